#pragma once
// Sending the points of a coordinate file to the drawing beside it.
#include <string>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"
#include "core/tools/ToolFiles.h"
#include "drawing/DrawingTarget.h"

namespace qef {

// Draws every point line of the file (name, X, Y and an optional H, which is 0 without one) as a
// detail point with the drawing options of `settings`, into `target`, or, when that is null, into
// the DXF drawing beside the file. Lines that are not points are left out and counted.
ToolStatus UploadCoordinateFile(const std::string& coordName, const ComputationSettings& settings,
                                Progress& monitor, Interaction& ui, DrawingTarget* target = nullptr);

}  // namespace qef
