#pragma once
// The older single-pass adjustment: every branch of the network is built at once from the known
// points, branches between two known points are adjusted alone, node branches group by group, and
// hanging branches level by level outward from the adjusted core. Writes the report set of the
// by-order run (without the closure table) and the observation list ".tb".
#include "adjustment/AdjustByOrder.h"

namespace qef {

RunStatus AdjustNetworkClassic(const AdjustmentInput& files, const ComputationSettings& settings, Interaction& ui,
                               Progress& progress, RunRecord& run, DrawingTarget* drawing = nullptr);

}  // namespace qef
