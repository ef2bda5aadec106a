#pragma once
// Accuracy of the rigorous adjustment: reciprocal weights of functions of the adjusted
// observations and node unknowns, read from the reduced normals, for every side length, side
// azimuth and point of a group; the run's extremes; the summary lines of the progress log.
#include <span>

#include "adjustment/GroupWorkingSet.h"
#include "adjustment/RigorousSolution.h"
#include "core/model/ComputationSettings.h"
#include "core/model/LogBuffer.h"
#include "core/model/NetworkModel.h"
#include "core/model/Progress.h"

namespace qef {

// A node unknown (column of the normals) and the function's coefficient of it.
struct NodeTerm {
    int Column = 0;
    double Value = 0.0;
};

// Replaces the reduced node rows of the normals by the node part of the inverse's quadratic form,
// which every reciprocal weight below reads: formed where a node meets itself or a node a branch
// joins it (and near the diagonal), 0 elsewhere. Once per group, after the solve.
void PrepareNodeInverse(RigorousSolution& sol);

// 1/P (>= 0) of F = f'v + h'x, where v are the corrections of branch b's terms and x the node
// unknowns: g = [a1qf], [a2qf], [a3qf] (b = 0: F has no observation part), fqf = [fqf], and the
// function's node coefficients (at most six). Reads the normals as PrepareNodeInverse leaves them.
double FunctionReciprocalWeight(const RigorousSolution& sol, int b, const double (&g)[3],
                                std::span<const NodeTerm> nodeTerms, double fqf);

// Azimuth errors (seconds) and length errors (metres, rounded to mm) of every side of the group.
// The monitor's bar, when given, follows the branches (position b after branch b).
void EstimateAzimuthAndSideErrors(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol,
                                  Progress* monitor = nullptr);

// 1/P of X (or Y with `y`) of point k (1 <= k <= n) of branch b, carried from the branch start.
double PointReciprocalWeight(const GroupWorkingSet& ws, const NetworkModel& model, const RigorousSolution& sol,
                             int b, int k, bool y);
// Mx, My, Mp of the interior points and of the nodes (0 for known nodes).
// The monitor's bar, when given, is at b + 1 after branch b.
void EstimatePointErrors(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol,
                         Progress* monitor = nullptr);

// Side ratios of the group, then the weakest point, the weakest side and the largest azimuth
// error of the run so far.
void UpdateRunExtremes(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol,
                       RigorousRunExtremes& extremes);

// The a-priori and a-posteriori errors of the group, into the progress log.
void WriteRigorousSummary(LogBuffer& log, const ComputationSettings& settings, const RigorousSolution& sol);

}  // namespace qef
