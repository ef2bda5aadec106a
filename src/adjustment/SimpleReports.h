#pragma once
// Text output of the node-method adjustment of a group: the side-correction table (report 2), the
// result table of every branch (the main report), the angles and sides in network order (the "dh"
// file) and the group's points in the result file. They only format what the adjustment has
// computed.
#include <string>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "adjustment/SideReduction.h"
#include "core/model/RunRecord.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"
#include "core/model/Progress.h"

namespace qef {

// "Từ điểm nút A" / "Từ điểm gốc A" and " đến điểm nút B" / " đến điểm gốc B" (labels without
// accents unless KeepAccents).
std::string WriteBranchFromLabel(const GroupWorkingSet& ws, const NetworkModel& model,
                                 const ComputationSettings& settings, int b);
std::string WriteBranchToLabel(const GroupWorkingSet& ws, const NetworkModel& model,
                               const ComputationSettings& settings, int b);

// Appends the table of branch b with its closure lines to `lines`, and its lines to the progress
// log under "Nhánh số <branchNumber> : "; the names line goes to the monitor too.
void WriteBranchTableText(std::vector<std::string>& lines, const GroupWorkingSet& ws, const NetworkModel& model,
                          const ComputationSettings& settings, int b, int branchNumber, RunRecord& run,
                          Progress& progress);

// The table row text of one side.
std::string SideCorrectionRowText(const std::string& fromName, const std::string& toName,
                                  const SideReductionRow& row);
// The heading written by the first table of a run (empty lines included).
std::vector<std::string> SideCorrectionHeading(const ComputationSettings& settings);

// The reports are written through the run's open files (run.Files, or `files`), each flushed
// before the writer returns.

// Appends the group's rows to the side-correction report `path`; the first write of a run rewrites
// it with its heading. False when the file cannot be written (the user has been told).
bool WriteSideCorrectionTable(const std::string& path, const std::vector<ReducedSide>& rows,
                              const PointNameTable& names, const ComputationSettings& settings, RunRecord& run,
                              Interaction& ui);

// Writes the tables of the group's branches to the main report `path` (the first write of a run
// rewrites it). Branches are numbered in writing order from run.RunBranchTotal + 1; the group's
// branches join RunBranchTotal when the group completes, after this call. False when the file
// cannot be written (the user has been told).
bool WriteSimpleResultsText(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                            const ComputationSettings& settings, RunRecord& run, Progress& progress, Interaction& ui);

// An angle as D.MMSS with 4 decimals (123°45'06.7" -> "123.4507").
std::string DhAngleText(double degrees);

// Appends the group's angles and sides, tab-separated, to the "dh" file `path`, then one empty
// line. False when the file cannot be written (the user has been told).
bool AppendDhAngles(OpenFiles& files, const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                    Interaction& ui);

// Appends the group's points to the result file: the nodes that are not known points, then the
// interior points of every branch. False when the file cannot be written.
bool AppendGroupResultPoints(OpenFiles& files, const std::string& path, const GroupWorkingSet& ws,
                             const NetworkModel& model, bool metres);

}  // namespace qef
