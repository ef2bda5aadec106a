#pragma once
// The arrays that every step of one group's adjustment shares: topology, node values, per-branch
// closures and per-position observations and coordinates. The group's branches are branches
// 1..Nb of the network model and its nodes NetworkNodes[1..Nn]; per-position arrays are indexed
// like BranchPoints.
#include <cstdint>
#include <initializer_list>

#include "core/model/BranchKind.h"
#include "core/model/OneBased.h"

namespace qef {

struct GroupWorkingSet {
    // Counts of the group and of the run it belongs to.
    int Nb = 0;                    // branches of the group
    int Nn = 0;                    // nodes of the group
    int Ns = 0;                    // start directions
    int KnownStationCount = 0;     // known stations without a start direction
    int SideOnlyCount = 0;         // known side-only points
    int NetworkBranchCount = 0;    // branches of the whole network
    int HeightCount = 0;           // entries of HeightPointIds
    int AngularClosureFactor = 0;  // k, seconds
    int LinearClosureDenominator = 0;  // T
    int TotalPoints = 0;           // positions of the group's branches

    // Per node (1..Nn).
    OneBased<std::uint8_t> KnownNodeFlags;  // 1: coordinates fixed
    OneBased<int> NodeStarts;               // node k's branches: NodeBranches[NodeStarts[k]+1 .. NodeStarts[k+1]]
    OneBased<int> NodeCarrierBranch;        // branch carrying the node's provisional values
    OneBased<int> NodeLevelStarts;          // level L: node positions NodeLevelStarts[L]+1 .. NodeLevelStarts[L+1]
    int NodeLevelCount = 0;
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

    // Results handed back to the caller.
    double MbDegrees = 0.0;
    double Ms = 0.0;        // metres
    double MeanSide = 0.0;  // metres

    // Sizes every array for the current Nn, Nb and TotalPoints, values 0. NodeStarts and
    // NodeLevelStarts hold one entry more: where the last node's (level's) entries end.
    void Allocate() {
        const int nodes = Nn;
        const int branches = Nb;
        const int positions = TotalPoints;
        for (auto* a : {&KnownNodeFlags}) *a = OneBased<std::uint8_t>(nodes);
        for (auto* a : {&NodeStarts, &NodeLevelStarts}) *a = OneBased<int>(nodes + 1);
        for (auto* a : {&NodeCarrierBranch}) *a = OneBased<int>(nodes);
        for (auto* a : {&NodeAzimuths, &NodeX, &NodeY}) *a = OneBased<double>(nodes);
        for (auto* a : {&NoAngleClosure, &StartFixState, &EndFixState}) *a = OneBased<std::uint8_t>(branches);
        for (auto* a : {&StartNodeOf, &EndNodeOf, &StartUnknownNodeOf, &EndUnknownNodeOf, &StartRefPoints,
                        &EndRefPoints, &BranchAngleCounts, &BranchSideCounts})
            *a = OneBased<int>(branches);
        BranchTypes = OneBased<BranchKind>(branches);
        for (auto* a : {&BranchStartAzimuths, &BranchEndAzimuths, &StartRefX, &StartRefY, &EndRefX, &EndRefY,
                        &ClosureFb, &ClosureFx, &ClosureFy, &ClosureFs, &BranchLengthSums, &AngularToleranceSeconds,
                        &ClosureRatios})
            *a = OneBased<double>(branches);
        for (auto* a : {&PositionAngles, &PositionSides, &PositionAzimuths, &PositionX, &PositionY})
            *a = OneBased<double>(positions);
    }

    // Grows every per-position array to hold `count` positions, keeping the values.
    void GrowPositions(int count) {
        for (auto* a : {&PositionAngles, &PositionSides, &PositionAzimuths, &PositionX, &PositionY})
            if (a->Size() < count) a->Resize(count);
    }

    // Releases every per-group array (the counts and results stay).
    void FreeGroupArrays() {
        for (auto* a : {&KnownNodeFlags, &NoAngleClosure, &StartFixState, &EndFixState}) a->Clear();
        for (auto* a : {&NodeStarts, &NodeCarrierBranch, &NodeLevelStarts, &StartNodeOf, &EndNodeOf,
                        &StartUnknownNodeOf, &EndUnknownNodeOf, &StartRefPoints, &EndRefPoints, &BranchAngleCounts,
                        &BranchSideCounts})
            a->Clear();
        BranchTypes.Clear();
        for (auto* a : {&NodeAzimuths, &NodeX, &NodeY, &BranchStartAzimuths, &BranchEndAzimuths, &StartRefX,
                        &StartRefY, &EndRefX, &EndRefY, &ClosureFb, &ClosureFx, &ClosureFy, &ClosureFs,
                        &BranchLengthSums, &AngularToleranceSeconds, &ClosureRatios, &PositionAngles, &PositionSides,
                        &PositionAzimuths, &PositionX, &PositionY})
            a->Clear();
        NodeLevelCount = 0;
    }
};

}  // namespace qef
