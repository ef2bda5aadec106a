#pragma once
// Adjustment of a traverse network order by order: the known points and the observations are
// read, the network is analysed into groups of branches from the points known so far, each group
// is adjusted, its points join the known points of the next order, and what never closes is
// computed as hanging traverses. The adjustments only compute; the run writes the result
// coordinate file and its report set and draws, in a fixed order.
#include "adjustment/AdjustmentInput.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"
#include "core/model/RunOutcome.h"
#include "core/model/RunRecord.h"

namespace qef {

class DrawingTarget;

// One whole run. The settings are copied at the start; `run` is reset at the start and keeps the
// run's totals and logs afterwards. `drawing` receives the drawing exports; when it is null and
// the settings ask for a drawing, the run draws into the DXF file beside the result file.
RunStatus AdjustNetworkByOrder(const AdjustmentInput& files, const ComputationSettings& settings, Interaction& ui,
                               Progress& progress, RunRecord& run, DrawingTarget* drawing = nullptr);

}  // namespace qef
