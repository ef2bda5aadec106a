#pragma once
// The arrays that every step of one group's adjustment shares: topology, node values, per-branch
// closures and per-position observations and coordinates. The group's branches are branches
// 1..Nb of the network model and its nodes NetworkNodes[1..Nn]; per-position arrays are indexed
// like BranchPoints.
#include <cstdint>
#include <initializer_list>
#include <tuple>
#include <vector>

#include "core/model/BranchKind.h"
#include "core/numeric/OneBased.h"

namespace qef {

// A measured angle (its place in the angle list) taken with a sign into the angle of a position.
struct AngleSource {
    int Angle = 0;
    int Sign = 0;
};

// Everything of the working set but its arrays.
struct GroupWorkingValues {
    // Counts of the group and of the run it belongs to.
    int Nb = 0;                    // branches of the group
    int Nn = 0;                    // nodes of the group
    int Ns = 0;                    // start directions
    int NetworkBranchCount = 0;    // branches of the whole network
    int HeightCount = 0;           // entries of HeightPointIds
    int AngularClosureFactor = 0;  // k, seconds
    int LinearClosureDenominator = 0;  // T
    int TotalPoints = 0;           // positions of the group's branches
    int NodeLevelCount = 0;        // levels of NodeLevelStarts

    // Results handed back to the caller.
    double MbDegrees = 0.0;
    double Ms = 0.0;        // metres
    double MeanSide = 0.0;  // metres
};

struct GroupWorkingSet : GroupWorkingValues {

    // Per node (1..Nn).
    OneBased<std::uint8_t> KnownNodeFlags;  // 1: coordinates fixed
    OneBased<int> NodeStarts;               // node k's branches: NodeBranches[NodeStarts[k]+1 .. NodeStarts[k+1]]
    OneBased<int> NodeCarrierBranch;        // branch carrying the node's provisional values
    OneBased<int> NodeLevelStarts;          // level L: node positions NodeLevelStarts[L]+1 .. NodeLevelStarts[L+1]
    OneBased<double> NodeAzimuths;  // degrees
    OneBased<double> NodeX;
    OneBased<double> NodeY;

    // Per branch (1..Nb).
    OneBased<int> StartNodeOf;          // node position of the first point, 0 when not a node
    OneBased<int> EndNodeOf;
    OneBased<int> StartUnknownNodeOf;   // the same, 0 where that end is a known station
    OneBased<int> EndUnknownNodeOf;
    OneBased<std::uint8_t> NoAngleClosure;  // an end is a known side-only point
    OneBased<int> StartRefPoints;       // point orienting the first (last) point, 0 when none
    OneBased<int> EndRefPoints;
    OneBased<std::uint8_t> StartFixState;  // 1: the end has a connecting angle, 2: it has none
    OneBased<std::uint8_t> EndFixState;
    OneBased<BranchKind> BranchTypes;
    OneBased<int> BranchAngleCounts;
    OneBased<int> BranchSideCounts;
    OneBased<double> BranchStartAzimuths;  // azimuth the first angle turns from (degrees)
    OneBased<double> BranchEndAzimuths;    // azimuth the last side must reach (degrees)
    OneBased<double> StartRefX;            // coordinates of StartRefPoints / EndRefPoints
    OneBased<double> StartRefY;
    OneBased<double> EndRefX;
    OneBased<double> EndRefY;
    OneBased<double> ClosureFb;  // degrees
    OneBased<double> ClosureFx;  // metres
    OneBased<double> ClosureFy;
    OneBased<double> ClosureFs;
    OneBased<double> BranchLengthSums;  // [S], metres
    OneBased<double> AngularToleranceSeconds;  // k * sqrt(angles), whole seconds
    OneBased<double> ClosureRatios;            // [S] / Fs, 0 where Fs is below 1 mm

    // Per position (1..TotalPoints).
    OneBased<double> PositionAngles;    // angle measured at the point, degrees
    OneBased<double> PositionSides;     // side to the next point, metres (reduced in place)
    OneBased<double> PositionAzimuths;  // azimuth of the side leaving the point
    OneBased<double> PositionX;
    OneBased<double> PositionY;
    // The measured angles each position's angle is made of: AngleSources[AngleSourceFirst[p] ..
    // AngleSourceFirst[p] + AngleSourceCount[p]). Empty when the angles were not collected from a
    // list: then each angle stands as one measured angle of its own.
    OneBased<int> AngleSourceFirst;
    OneBased<int> AngleSourceCount;
    std::vector<AngleSource> AngleSources;

private:
    // Every per-group array.
    auto Arrays() {
        return std::tie(KnownNodeFlags, NodeStarts, NodeCarrierBranch, NodeLevelStarts, NodeAzimuths, NodeX, NodeY,
                        StartNodeOf, EndNodeOf, StartUnknownNodeOf, EndUnknownNodeOf, NoAngleClosure, StartRefPoints,
                        EndRefPoints, StartFixState, EndFixState, BranchTypes, BranchAngleCounts, BranchSideCounts,
                        BranchStartAzimuths, BranchEndAzimuths, StartRefX, StartRefY, EndRefX, EndRefY, ClosureFb,
                        ClosureFx, ClosureFy, ClosureFs, BranchLengthSums, AngularToleranceSeconds, ClosureRatios,
                        PositionAngles, PositionSides, PositionAzimuths, PositionX, PositionY, AngleSourceFirst,
                        AngleSourceCount);
    }

public:
    // Sizes every array for the current Nn, Nb and TotalPoints, values 0. NodeStarts and
    // NodeLevelStarts hold one entry more: where the last node's (level's) entries end.
    void Allocate() {
        const int nodes = Nn;
        const int branches = Nb;
        const int positions = TotalPoints;
        for (auto* a : {&KnownNodeFlags}) a->Assign(nodes);
        for (auto* a : {&NodeStarts, &NodeLevelStarts}) a->Assign(nodes + 1);
        for (auto* a : {&NodeCarrierBranch}) a->Assign(nodes);
        for (auto* a : {&NodeAzimuths, &NodeX, &NodeY}) a->Assign(nodes);
        for (auto* a : {&NoAngleClosure, &StartFixState, &EndFixState}) a->Assign(branches);
        for (auto* a : {&StartNodeOf, &EndNodeOf, &StartUnknownNodeOf, &EndUnknownNodeOf, &StartRefPoints,
                        &EndRefPoints, &BranchAngleCounts, &BranchSideCounts})
            a->Assign(branches);
        BranchTypes.Assign(branches);
        for (auto* a : {&BranchStartAzimuths, &BranchEndAzimuths, &StartRefX, &StartRefY, &EndRefX, &EndRefY,
                        &ClosureFb, &ClosureFx, &ClosureFy, &ClosureFs, &BranchLengthSums, &AngularToleranceSeconds,
                        &ClosureRatios})
            a->Assign(branches);
        for (auto* a : {&PositionAngles, &PositionSides, &PositionAzimuths, &PositionX, &PositionY})
            a->Assign(positions);
    }

    // Grows every per-position array to hold `count` positions, keeping the values.
    void GrowPositions(int count) {
        for (auto* a : {&PositionAngles, &PositionSides, &PositionAzimuths, &PositionX, &PositionY})
            if (a->Size() < count) a->Resize(count);
    }

    // Empties every per-group array (the counts and results stay).
    void FreeGroupArrays() {
        std::apply([](auto&... array) { (array.Clear(), ...); }, Arrays());
        AngleSources.clear();
        NodeLevelCount = 0;
    }

    // Starts the next group: counts and results as in a new working set, the arrays empty but
    // keeping their storage, so that a run of many groups does not allocate them for each.
    void Restart() {
        static_cast<GroupWorkingValues&>(*this) = GroupWorkingValues();
        FreeGroupArrays();
    }
};

}  // namespace qef
