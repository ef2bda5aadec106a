#pragma once
// The survey network of one computation run: point names, branches, nodes, start directions and
// heights. Built afresh for each run and owned by that run.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/OneBased.h"

namespace qef {

// A coordinate or height that has no value yet.
inline constexpr double kMissingValue = -9478106.253;
inline bool IsMissing(double value) { return std::fabs(value - kMissingValue) < 0.0001; }

// The point-name table: a point's id is its position (from 1). Names match case-blind over a..z
// and over at most 15 characters; the first registration of a name keeps its id.
class PointNameTable {
public:
    int Count() const { return static_cast<int>(names_.Size()); }
    // The id of the name, registering it when new.
    int Register(std::string_view name);
    // The id of the name, 0 when absent.
    int Find(std::string_view name) const;
    const std::string& Name(int id) const { return names_[static_cast<std::size_t>(id)]; }
    void Clear();

private:
    OneBased<std::string> names_;
    std::unordered_map<std::string, int> index_;  // upper-cased, cut name -> id
};

// Branches: traverse lines between stop points, stored one after another.
// Branch b occupies positions First(b)..Last(b) of BranchPoints; per-position arrays of the
// adjustments use the same positions.
struct BranchModel {
    OneBased<int> BranchPoints;
    OneBased<int> BranchPointCounts;
    OneBased<int> BranchOffsets;        // BranchOffsets[1] = 0; size BranchCount()+1
    OneBased<std::uint8_t> BranchDeadEnd;

    int BranchCount() const { return static_cast<int>(BranchPointCounts.Size()); }
    int First(int b) const { return BranchOffsets[static_cast<std::size_t>(b)] + 1; }
    int Last(int b) const {
        return BranchOffsets[static_cast<std::size_t>(b)] + BranchPointCounts[static_cast<std::size_t>(b)];
    }
    int FirstPoint(int b) const { return BranchPoints[static_cast<std::size_t>(First(b))]; }
    int LastPoint(int b) const { return BranchPoints[static_cast<std::size_t>(Last(b))]; }

    // Sum of BranchPointCounts[1..n] (0 for n < 1).
    int SumBranchPoints(int n) const;
    // Rebuilds BranchOffsets[1..n+1] from BranchPointCounts.
    void BuildBranchOffsets(int n);
    // Reverses the order of the points of branch b.
    void ReverseBranch(int b);
    void Clear();
};

struct NetworkModel {
    PointNameTable PointNames;
    BranchModel Branches;

    // Start directions: a known station and the known point sighted from it (parallel lists).
    OneBased<int> StartStations;
    OneBased<int> StartTargets;
    // Node candidates among angle stations and side ends, and their intersection.
    OneBased<int> AngleNodeCandidates;
    OneBased<int> SideNodeCandidates;
    OneBased<int> JunctionNodes;
    // Nodes of the branch analysis.
    OneBased<int> NetworkNodes;
    // StartStations + StartTargets + NetworkNodes: a branch walk ends at one of them.
    OneBased<int> BranchStopPoints;
    // Branch numbers meeting at each node, node after node.
    OneBased<int> NodeBranches;

    // Known heights by point id (parallel), and the mean height of each side at the position of
    // the side's first point.
    OneBased<int> HeightPointIds;
    OneBased<double> PointHeights;
    OneBased<double> SideMeanHeights;

    int DistinctPointCount = 0;
    bool MissingValuesFlag = false;
};

}  // namespace qef
