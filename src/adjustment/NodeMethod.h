#pragma once
// Simple adjustment of one group of traverse branches by the node method: provisional node
// azimuths corrected by least squares over the branches' angular closures, azimuths carried along
// every branch, then node Y and X corrected alike over the coordinate closures, and what remains
// of each branch's closure spread along it in proportion to side length.
#include <vector>

#include "adjustment/GroupTopology.h"
#include "adjustment/GroupWorkingSet.h"
#include "adjustment/SideReduction.h"
#include "core/model/RunRecord.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/NormalMatrix.h"
#include "core/numeric/OneBased.h"
#include "core/model/Progress.h"

namespace qef {

// Passes a node stage may take to settle; it settles in two or three on any real network.
inline constexpr int kMaxNodePasses = 100;

struct GroupContext {
    const ComputationSettings& Settings;
    RunRecord& Run;
    Interaction& Ui;
    Progress& Monitor;
    int NodePassLimit = kMaxNodePasses;
};

enum class GroupStatus {
    Adjusted,  // results in the working set; the rigorous adjustment may start from them
    NotTied,   // no branch reaches a start station
    Failed,    // a missing condition or observation, a node stage that did not settle, or a file not written
    Rejected,  // the user stopped after the linear closure check
};

// What the adjustment of a group hands back besides the working set, which holds the adjusted
// values, closures and accuracy.
struct SimpleGroupResult {
    GroupStatus Status = GroupStatus::Failed;
    // Set once the sides were reduced (height or projection reduction): the rows of the
    // side-correction table, which is written even when the group fails after the reduction.
    bool SidesReduced = false;
    std::vector<ReducedSide> SideCorrections;
};

// Adjusts the group of branches 1..ws.Nb with nodes NetworkNodes[1..ws.Nn] and start directions
// 1..ws.Ns. Sizes and fills the working set; when adjusted its arrays stay filled for the caller
// (the writers, the rigorous adjustment, then FreeGroupArrays); on failure they are released and
// an empty line ends the group's part of the progress log. Writes no file.
SimpleGroupResult AdjustGroupSimple(GroupWorkingSet& ws, const GroupInputs& in, const GroupContext& context);

// Once the group's output is written: its totals join the run's, its summary goes to the progress
// log and the monitor.
void RecordCompletedGroup(const GroupWorkingSet& ws, const NetworkModel& model, const GroupContext& context);

// The steps, each on the working set of the group.

enum class NodeStage { Azimuth, Y, X };

// The azimuth carried along node k's carrier branch to the node.
double NodeAzimuthFromCarrier(const GroupWorkingSet& ws, const NetworkModel& model, int k);
// Node azimuths in level order, each spread to the branch ends at its node.
void ProvisionalNodeAzimuths(GroupWorkingSet& ws, const NetworkModel& model);
// ClosureFb of every branch (0 for branches without angular closure).
void ComputeAngularClosures(GroupWorkingSet& ws, const NetworkModel& model);
// The node equations of a stage from the current closures. On the first pass the whole matrix
// is built, and `profile`, when given, takes where its rows hold values; on later passes only the
// constant column (the coefficients stay reduced).
void BuildNodeNormals(const GroupWorkingSet& ws, const NetworkModel& model, PackedNormalMatrix& matrix,
                      bool firstPass, NodeStage stage, RowProfile* profile = nullptr);
// Coordinates of the unknown nodes carried along their carrier branches, spread to the branch
// ends; known nodes take their known coordinates.
void ProvisionalNodeCoordinates(GroupWorkingSet& ws, const NetworkModel& model);
// ClosureFx, ClosureFy, BranchLengthSums and ClosureFs from the current positions.
void ComputeProvisionalLinearClosures(GroupWorkingSet& ws, const NetworkModel& model);
// ClosureFs rounded to millimetres and [S] of the sides as used; returns the mean side length.
double FinalLinearClosures(GroupWorkingSet& ws, const NetworkModel& model);
// Mb (degrees) and Ms (metres) from the closures.
void GroupAccuracy(GroupWorkingSet& ws);
// Interior points of the branches plus the nodes that are not known points.
int CountUnknownPoints(const GroupWorkingSet& ws, const BranchModel& branches);

// Corrects the node values of one stage, on closures as computed (not rounded), until a pass
// corrects no node by more than 0.1 second (azimuths) or 0.01 mm (coordinates), or changes the
// tracked correction by no more. Then the azimuth stage checks the angular closures once, and the
// coordinate stages leave their closures in whole millimetres for the checks, reports and the
// distribution. A stage that has not settled within the context's pass limit says so, naming the
// group, and returns false: the group fails.
bool IterateNodeStage(GroupWorkingSet& ws, const NetworkModel& model, const GroupContext& context,
                      NodeStage stage);

}  // namespace qef
