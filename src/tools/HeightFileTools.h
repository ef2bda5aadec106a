#pragma once
// File tools on heights and coordinates: the mean of levelling lines run both ways, heights
// merged into a coordinate file, and same-named points of two coordinate files compared.
#include <string>

#include "core/io/ToolFiles.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"

namespace qef {

// Lines between the same two points, either way, become one line of the first's direction: the
// mean length and the mean height difference (a reversed line counts with its sign changed).
// Written as from, to, length (1 decimal), dh (3 decimals), TAB-separated.
ToolStatus AverageTwoWayLevelling(const std::string& inputName, const std::string& resultName,
                                  const ComputationSettings& settings, Interaction& ui);

// Every point of the coordinate file that has a height, in the coordinate file's order: name, X,
// Y, H (3 decimals), TAB-separated. The first height of a name counts.
ToolStatus MergeHeightsIntoCoords(const std::string& heightsName, const std::string& coordName,
                                  const std::string& resultName, const ComputationSettings& settings,
                                  Interaction& ui);

// Rows name, X1, Y1, X2, Y2, dX, dY, dS: first the points each file lists twice, then the points
// of file 1 against their namesakes in file 2. Asks whether the points of file 1 that file 2
// lacks are listed (name, X1, Y1). A file compared with itself gives its repeats only.
ToolStatus CompareSameNamedPoints(const std::string& name1, const std::string& name2, const std::string& resultName,
                                  const ComputationSettings& settings, Interaction& ui);

}  // namespace qef
