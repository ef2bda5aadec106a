#pragma once
// Adjustment of a levelling network: the known heights and the levelling lines are read, the
// network is cut into lines between known points and nodes, every group of lines joined through
// nodes is adjusted by least squares on its node heights (weights 1 / length), each line's
// misclosure is spread along it, and the hanging lines are carried on from the points that have a
// height. The run computes first and then writes the heights file, the report and the matrix file.
#include <string>
#include <utility>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"
#include "core/model/ReadError.h"
#include "core/model/RunOutcome.h"
#include "core/model/RunRecord.h"

namespace qef {

struct LevellingInput {
    std::string KnownHeightsFile;  // name, height a line
    std::string LevellingFile;     // from, to, length, dh a line
    std::string ResultFile;        // the heights file written
};

// The files a run writes beside its result: the report ("in"), the branch log ("txt") and the
// normal equations of each group as first built ("mt").
struct LevellingOutputs {
    std::string Report;
    std::string BranchLog;
    std::string Matrix;
};
LevellingOutputs LevellingOutputsFor(const std::string& resultFile);

struct LevellingStatus {
    RunOutcome Outcome = RunOutcome::Completed;
    std::string Report;  // the report as this run put it in place; empty when the run failed
    ReadErrorRecord ReadError;
    int AdjustedGroups = 0;  // node groups and single lines between known points
    int SkippedGroups = 0;   // refused: no known height, a line without length, no solution
    int OpenLines = 0;
    bool PassCapReached = false;
    // Every height of the heights file in its order, before rounding.
    std::vector<std::pair<std::string, double>> Heights;
};

// One whole run. `run` is reset at the start; its progress log holds the branch log afterwards.
LevellingStatus AdjustLevellingNetwork(const LevellingInput& files, const ComputationSettings& settings,
                                       Interaction& ui, Progress& progress, RunRecord& run);

}  // namespace qef
