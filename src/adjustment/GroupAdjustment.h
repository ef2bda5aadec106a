#pragma once
// One group of traverse branches adjusted and written as every traverse command does it: the node
// method, then the rigorous stage when the settings ask for it; the side-correction table, the
// branch tables, the closure rows, the dh rows, the rigorous tables and summary, the group's points
// in the result file and its branches in the drawing, in a fixed order. The by-order and
// single-pass runs and the step-by-step dialog share it, so that a group comes out the same
// whichever command adjusted it.
#include <string>
#include <vector>

#include "adjustment/GroupTopology.h"
#include "adjustment/GroupWorkingSet.h"
#include "adjustment/NodeMethod.h"
#include "adjustment/Rigorous.h"
#include "adjustment/RigorousReports.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"
#include "core/model/Progress.h"
#include "core/model/ReportNames.h"
#include "core/model/RunRecord.h"

namespace qef {

class DrawingTarget;

// Where a group's output goes. An empty name is not written; a null drawing is not drawn.
struct GroupOutputs {
    const ReportSet& Reports;
    const std::string& ResultFile;
    DrawingTarget* Drawing = nullptr;
};

enum class GroupOutcome {
    Adjusted,  // the working set holds the final values; its arrays stay filled for the caller
    Failed,    // the group gives no coordinates; the run goes on
    Stopped,   // a rigorous table or the result file could not be written: the run must stop
};

class GroupAdjustment {
public:
    GroupAdjustment(const ComputationSettings& settings, RunRecord& run, RigorousRunState& rigorous, Interaction& ui,
                    Progress& progress)
        : settings_(settings), run_(run), rigorous_(rigorous), ui_(ui), progress_(progress) {}

    // Adjusts the group set up in `ws` (branches 1..ws.Nb, nodes NetworkNodes[1..ws.Nn]) and writes
    // its output. `known` is the run's known-point list, which the rigorous coordinate table lists.
    GroupOutcome Adjust(GroupWorkingSet& ws, const GroupInputs& in, const PointList& known,
                        const GroupOutputs& out);

    // Flushes the rigorous tables, whose rows wait in the run's open files from group to group:
    // before the run ends or writes under them. The name of one that could not be written (the
    // caller tells the user), null when all were.
    const std::string* FlushTables();

    // Some output missed part of what it was meant to hold (the user has been told).
    bool Unwritten() const { return unwritten_; }
    // Groups that the rigorous stage adjusted.
    int RigorousGroups() const { return rigorousGroups_; }

private:
    GroupStatus WriteSideCorrections(const SimpleGroupResult& result, const NetworkModel& model,
                                     const GroupOutputs& out);
    GroupStatus WriteSimpleGroup(const GroupWorkingSet& ws, const NetworkModel& model, const GroupOutputs& out);
    GroupStatus CloseFailedGroup();
    bool AdjustRigorously(GroupWorkingSet& ws, const GroupInputs& in, const PointList& known,
                          const GroupOutputs& out);
    bool WriteRigorousGroup(const GroupWorkingSet& ws, const NetworkModel& model, const PointList& known,
                            const RigorousSolution& sol, const GroupOutputs& out);
    bool AppendResultPoints(const GroupWorkingSet& ws, const NetworkModel& model, const GroupOutputs& out);
    void DrawAdjustedBranches(const GroupWorkingSet& ws, const NetworkModel& model, const GroupOutputs& out);
    // Logs and shows "Không ghi được tệp <name>"; false.
    bool WriteFailure(const std::string& fileName);

    const ComputationSettings& settings_;
    RunRecord& run_;
    RigorousRunState& rigorous_;
    Interaction& ui_;
    Progress& progress_;
    std::vector<std::string> tables_;  // the rigorous tables written since they were last flushed
    std::string failedTable_;
    bool unwritten_ = false;
    int rigorousGroups_ = 0;
};

}  // namespace qef
