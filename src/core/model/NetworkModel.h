#pragma once
// The survey network of one computation run: point names, branches, nodes, start directions and
// heights. Built afresh for each run and owned by that run.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/numeric/OneBased.h"

namespace qef {

// A coordinate or height that has no value yet.
inline constexpr double kMissingValue = -9478106.253;
inline bool IsMissing(double value) { return std::fabs(value - kMissingValue) < 0.0001; }

// The point-name table: a point's id is its position (from 1). Names match case-blind over a..z
// and over at most 15 characters; the first registration of a name keeps its id.
class PointNameTable {
public:
    int Count() const { return names_.Size(); }
    // The id of the name, registering it when new.
    int Register(std::string_view name);
    // ids[i] := Register(names[i]) for i = 1..n, in order.
    void RegisterAll(const OneBased<std::string>& names, OneBased<int>& ids, int n);
    // The id of the name, 0 when absent.
    int Find(std::string_view name) const;
    const std::string& Name(int id) const { return names_[id]; }
    void Reserve(int count);
    void Clear();

private:
    // A name as it is looked up: cut to 15 characters, a..z upper-cased, zero-filled, its length
    // in the last byte.
    using Key = std::array<char, 16>;

    OneBased<std::string> names_;
    std::vector<Key> keys_;             // by id; entry 0 unused
    std::vector<std::uint64_t> slots_;  // open addressing: hash in the high half, id in the low; 0 free

    static Key KeyOf(std::string_view name);
    static std::uint64_t HashOf(const Key& key);
    // The slot that holds the key, or the free slot where it goes.
    std::size_t SlotOf(const Key& key, std::uint64_t hash) const;
    int Insert(const Key& key, std::uint64_t hash, std::size_t slot, std::string_view name);
    void Rehash(std::size_t capacity);
};

// Branches: traverse lines between stop points, stored one after another.
// Branch b occupies positions First(b)..Last(b) of BranchPoints; per-position arrays of the
// adjustments use the same positions.
struct BranchModel {
    OneBased<int> BranchPoints;
    OneBased<int> BranchPointCounts;
    OneBased<int> BranchOffsets;        // BranchOffsets[1] = 0; size BranchCount()+1
    OneBased<std::uint8_t> BranchDeadEnd;

    int BranchCount() const { return BranchPointCounts.Size(); }
    int First(int b) const { return BranchOffsets[b] + 1; }
    int Last(int b) const {
        return BranchOffsets[b] + BranchPointCounts[b];
    }
    int FirstPoint(int b) const { return BranchPoints[First(b)]; }
    int LastPoint(int b) const { return BranchPoints[Last(b)]; }
    // The point at position p of BranchPoints.
    int PointAt(int p) const { return BranchPoints[p]; }

    // Sum of BranchPointCounts[1..n] (0 for n < 1).
    int SumBranchPoints(int n) const;
    // Rebuilds BranchOffsets[1..n+1] from BranchPointCounts.
    void BuildBranchOffsets(int n);
    // Reverses the order of the points of branch b.
    void ReverseBranch(int b);
    void Clear();
};

// Point ids with coordinates: the known-point list of a run, which grows as groups are adjusted.
struct PointList {
    OneBased<int> Ids;
    OneBased<double> X;
    OneBased<double> Y;

    int Count() const { return Ids.Size(); }
    void Add(int id, double x, double y) {
        Ids.PushBack(id);
        X.PushBack(x);
        Y.PushBack(y);
    }
    void Clear() {
        Ids.Clear();
        X.Clear();
        Y.Clear();
    }
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

    // Releases every list, the point names included (the end of a run).
    void FreeNetworkArrays();
    // Releases the branch lists only.
    void FreeBranchArrays() { Branches.Clear(); }
    // Releases the start-direction and node lists.
    void FreeIdLists();
};

// For i = 1..n: ids[i] := the id of names[i], registering new names in order. ids is grown to n
// when shorter.
void RegisterPointNames(PointNameTable& table, const OneBased<std::string>& names, OneBased<int>& ids,
                        int n);
// The first position 1..n of `list` whose name equals `name` (both cut to 15 characters,
// case-blind over a..z); 0 when absent. A linear search for short lists that are not the table.
int FindPointName(std::string_view name, const OneBased<std::string>& list, int n);

// Appends to `out`: first every node i (1..nodeCount) whose nodeDone[i] is 0, with id
// NetworkNodes[i] and nodeX[i], nodeY[i]; then for every branch 1..branchCount its points from the
// second to the last-but-one (to the last with includeLast) with the per-position coordinates.
void CollectResultPoints(const NetworkModel& model, PointList& out, const OneBased<double>& nodeX,
                         const OneBased<double>& nodeY, int nodeCount,
                         const OneBased<std::uint8_t>& nodeDone, bool includeLast, int branchCount,
                         const OneBased<double>& branchX, const OneBased<double>& branchY);

// Forms A[1..n] + B[1..n] + C[1..m] and appends to `list` each id not yet among its first
// model.DistinctPointCount entries, counting them in model.DistinctPointCount.
void AccumulateDistinctPoints(NetworkModel& model, OneBased<int>& list, const OneBased<int>& a,
                              const OneBased<int>& b, int m, int n, const OneBased<int>& c);

}  // namespace qef
