#pragma once
// Sending the points of a coordinate file to the drawing beside it.
#include <string>

#include "core/io/ToolFiles.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"
#include "drawing/DrawingTarget.h"

namespace qef {

// Draws every point line of the file (name, X, Y and an optional H, which is 0 without one) as a
// detail point with the drawing options of `settings`, on the layers of AcadCurrentLayer, into
// `target`, or, when that is null, into the DXF drawing beside the file (DrawingPathFor), whose
// name the status then gives as WrittenFile. Lines that are not points (or give values no survey
// gives) are left out, counted and told; names are cut to 15 characters and told; a file without
// any point line is refused and draws nothing.
ToolStatus UploadCoordinateFile(const std::string& coordName, const ComputationSettings& settings,
                                Progress& monitor, Interaction& ui, DrawingTarget* target = nullptr);

}  // namespace qef
