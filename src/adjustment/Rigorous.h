#pragma once
// Rigorous adjustment of one group of traverse branches by conditions with unknowns: each branch
// gives an angle, an x and a y closure condition in the corrections of its own angles and sides;
// each node adds an orientation, an X and a Y unknown (orientation only for a node with known
// coordinates). The correlate normals, bordered by the node unknowns, are solved starting from the
// values of the node-method adjustment, and again at the corrected values until they settle; the
// result replaces the node-method values of the group.
#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "adjustment/RigorousSolution.h"
#include "core/model/RunRecord.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/NormalMatrix.h"
#include "core/numeric/OneBased.h"
#include "core/model/Progress.h"
#include "core/model/RunOutcome.h"

namespace qef {

enum class RigorousStatus {
    Adjusted,
    TooLarge,  // the solution would not fit in memory: the group keeps its simple-adjustment values
};

struct RigorousGroupResult {
    RigorousStatus Status = RigorousStatus::Adjusted;
    RigorousSolution Solution;  // empty when TooLarge
};

// Adjusts the group held in `ws` (branches 1..ws.Nb, nodes NetworkNodes[1..ws.Nn]) that the
// node-method adjustment has just adjusted. The adjusted values replace those of the working set;
// the solution, with its corrections and accuracy, is handed back; the run's extremes in the
// context's state take the group's. Writes no file: the driver writes the four tables, the
// summary and the result points from the working set and the solution.
RigorousGroupResult RigorousAdjustGroup(GroupWorkingSet& ws, const NetworkModel& model,
                                        const RigorousContext& context);

// The steps, in the order the adjustment runs them.

// The terms of every branch, the measured angles that several terms share and the order of the
// unknowns: correlates, then each node's orientation, X, Y and shared angles.
void LayOutUnknowns(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol);

// Azimuths and coordinates carried along every branch from the observations (with the corrections
// of the last pass, once there is one), and the three closures of every branch.
void ComputeApproximateValues(GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol);
// The a-priori unit-weight error (seconds) and the Ms of the sides with estimated weights.
void ChooseAprioriErrors(const GroupWorkingSet& ws, const ComputationSettings& settings, RigorousSolution& sol);
// Condition coefficients and inverse weights of every term, linearised at the approximate values.
void BuildConditionBlock(const GroupWorkingSet& ws, const NetworkModel& model,
                         const ComputationSettings& settings, RigorousSolution& sol);
// Bytes the solution of the group takes: the pages of the packed normals that the elimination
// and the accuracy estimation write, with the unknowns of the nodes in the order the solution
// numbers them, and the per-point arrays. The rest of the store is never touched.
std::size_t NormalsMemoryEstimate(const GroupWorkingSet& ws, const NetworkModel& model);
// Half the memory of the machine.
std::size_t RigorousMemoryLimit();
void BuildCorrelateNormals(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol);
// Solves the normals; corrections, [pvv], redundancy and the unit-weight error.
void SolveRigorous(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol);
// Node values corrected and spread to the branch ends; azimuths and coordinates of every branch
// carried again with the corrected observations.
void ApplyRigorousCorrections(GroupWorkingSet& ws, const NetworkModel& model, const RigorousSolution& sol);

}  // namespace qef
