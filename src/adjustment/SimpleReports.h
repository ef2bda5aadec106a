#pragma once
// Text reports of the node-method adjustment of a group: the result table of every branch
// (the main report), and the angles and sides in network order (the "dh" file). They only
// format what the adjustment has computed.
#include <string>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
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

// Writes the tables of the group's branches to the main report ws.MainReportName (the first write
// of a run rewrites it). Branches are numbered in writing order from run.RunBranchTotal + 1; the
// adjustment adds the group's branches to RunBranchTotal after this call. False when the file
// cannot be written (the user has been told).
bool WriteSimpleResultsText(const GroupWorkingSet& ws, const NetworkModel& model, const ComputationSettings& settings,
                            RunRecord& run, Progress& progress, Interaction& ui);

// An angle as D.MMSS with 4 decimals (123°45'06.7" -> "123.4507").
std::string DhAngleText(double degrees);

// Appends the group's angles and sides, tab-separated, to the "dh" file beside the result file
// (ReplaceFileExt(ws.ResultFileName, "dh")), then one empty line. Nothing when the result file
// name is empty. False when the file cannot be written (the user has been told).
bool AppendDhAngles(const GroupWorkingSet& ws, const NetworkModel& model, Interaction& ui);

}  // namespace qef
