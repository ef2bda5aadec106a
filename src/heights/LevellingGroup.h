#pragma once
// The computations of the levelling adjustment on lines whose segments already carry their
// lengths and height differences: least squares on the node heights of one group, the spreading
// of each line's misclosure along it, and open lines carried on from the end that has a height.
// Nothing here reads or writes files.
#include <string>
#include <unordered_map>
#include <vector>

#include "core/numeric/NormalMatrix.h"

namespace qef {

// One levelling line between stop points: its points and, per segment k (point k to k+1, from 0),
// the length (metres) and dh = H(k+1) - H(k) as measured.
struct LevellingBranch {
    std::vector<int> Points;
    std::vector<double> Lengths;
    std::vector<double> Dhs;
    double LengthSum = 0.0;   // [S], metres
    double Misclosure = 0.0;  // f = H(first) + sum dh - H(last), metres
    std::vector<double> Heights;  // per point, once computed

    int First() const { return Points.front(); }
    int Last() const { return Points.back(); }
    bool IsLoop() const { return Points.front() == Points.back(); }
    double DhSum() const;
};

// Heights known so far by point id: the known points, then every point the run has computed.
using HeightTable = std::unordered_map<int, double>;

// Passes of the iteration before it gives up.
inline constexpr int kLevellingPassCap = 20;
// A pass whose largest correction stays below this (metres) ends the iteration.
inline constexpr double kLevellingConvergence = 1e-6;

struct LevellingGroupSolution {
    bool Solved = false;
    bool NoKnownHeight = false;  // the group reaches no known point: nothing fixes its heights
    bool CapReached = false;
    int Passes = 0;
    std::vector<int> NodeOrder;       // the node ids in the order of the unknowns
    std::vector<double> NodeHeights;  // parallel to NodeOrder
    PackedNormalMatrix FirstMatrix;   // the normal equations as first built, before elimination
};

// Adjusts the node heights of a group: each line that is not a loop is an observation
// H(last) - H(first) = sum dh with the weight 1 / ([S] in km). Nodes are ordered by their distance
// in lines from a known point and start from the heights carried along those lines. Every line's
// [S] must be above 0. The branches' Misclosure is set from the adjusted heights.
LevellingGroupSolution AdjustLevellingGroup(std::vector<LevellingBranch>& branches, const std::vector<int>& nodeIds,
                                            const HeightTable& heights);

// Heights along the line from the heights of its two ends, the misclosure spread in proportion to
// the length: H(k+1) = H(k) + dh(k) - f * length(k) / [S]. Sets Misclosure first: the line's part
// of BranchMisclosures and of HeightsAlongLines.
void SpreadMisclosure(LevellingBranch& branch, double firstHeight, double lastHeight);

// Heights along an open line from its first point: H(k+1) = H(k) + dh(k), the last one included.
void CarryOpenLine(LevellingBranch& branch, double firstHeight);

}  // namespace qef
