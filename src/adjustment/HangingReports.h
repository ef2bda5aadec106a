#pragma once
// The output of the hanging traverses: their table in the main report and their new points in the
// result file. The writers only format what the computation has left in the table.
#include <string>
#include <vector>

#include "adjustment/HangingTraverses.h"
#include "core/model/ComputationSettings.h"
#include "core/model/NetworkModel.h"
#include "core/text/OpenFiles.h"

namespace qef {

// The table lines of branches 1..table.BranchCount: pages of 40 units, a branch taking its
// point count plus one unit (plus one per misclosure line); a branch that does not fit on a
// started page begins a new one after a form feed.
std::vector<std::string> HangingTableLines(const HangingTraverseTable& table, const NetworkModel& model,
                                           const ComputationSettings& settings);

// Both write through the run's open files, flushed before they return.

// Writes the table to the main report `path`: rewritten when `fresh`, appended otherwise. False
// when the file cannot be written.
bool WriteHangingTable(OpenFiles& files, const std::string& path, bool fresh, const HangingTraverseTable& table,
                       const NetworkModel& model, const ComputationSettings& settings);

// Appends the points that received coordinates to the result file `path` (nothing when there are
// none). False when the file cannot be written.
bool AppendHangingPoints(OpenFiles& files, const std::string& path, const HangingTraverseTable& table,
                         const PointNameTable& names, bool metres);

}  // namespace qef
