#pragma once
// Checks and helpers that the traverse adjustments run on the branch model before they compute:
// the group tie to known points, the connecting angles at known directions, the angles and sides
// of every branch, and spreading a node's values into the branches that meet at it. The group
// adjustments call the forms on their working set; the hanging traverses, which have none, the
// forms on loose lists.
#include <cstdint>
#include <span>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "core/model/ComputationSettings.h"
#include "adjustment/SideReduction.h"
#include "core/model/BranchKind.h"
#include "core/model/Interaction.h"
#include "core/model/LogBuffer.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/io/Readers.h"
#include "core/analysis/PointIndexes.h"
#include "core/analysis/StartDirections.h"

namespace qef {

// The angles of the list grouped by station, each group in list order.
class StationAngleIndex {
public:
    explicit StationAngleIndex(const AngleObservations& angles);
    // Indexes of the angles measured at `station` (empty when none).
    std::span<const int> At(int station) const;

private:
    std::vector<int> first_;  // angles at s: angles_[first_[s] .. first_[s + 1])
    std::vector<int> angles_;
};

// The first measurement of each side, either way round.
class SideLengthIndex {
public:
    explicit SideLengthIndex(const SideObservations& sides);
    // False when no side between a and b was measured.
    bool Find(int a, int b, double& length) const;

private:
    struct Entry {
        std::uint64_t Key;
        double Length;
    };
    std::vector<Entry> entries_;  // by key; one per side, its first measurement
};

// True when the first or last point of a branch 1..nBranches is a start station; otherwise the
// message naming branch 1 and false (errorFlag set).
bool CheckGroupTied(const NetworkModel& model, const StartDirectionIndex& starts, int nBranches, bool& errorFlag,
                    Interaction& ui);

// What the caller keeps per start direction (station S sighting known target T).
struct StartDirectionRefs {
    const OneBased<double>& StationX;
    const OneBased<double>& StationY;
    const OneBased<double>& TargetX;
    const OneBased<double>& TargetY;
    const OneBased<double>& Azimuths;  // of the line arriving at S: from T to S
};

// The per-branch slots of one end of the branches that the connecting-angle search fills.
struct BranchEndRefs {
    const OneBased<std::uint8_t>& FixState;  // 1: this end carries a connecting angle
    OneBased<int>& RefPoints;                // the known point sighted at this end; 0 until found
    OneBased<double>& RefX;
    OneBased<double>& RefY;
    OneBased<double>& Azimuths;
};

// What the connecting-angle searches read, and the branch positions whose ends take the
// coordinates of the station where the connecting angle was measured.
struct ConnectingAngleSearch {
    const NetworkModel& Model;
    const AngleObservations& Angles;
    const StationAngleIndex& Index;
    const StartDirectionIndex& Starts;
    const StartDirectionRefs& Directions;
    OneBased<double>& PositionX;
    OneBased<double>& PositionY;
};

// What the group adjustment reads besides its working set.
struct GroupInputs {
    NetworkModel& Model;
    AngleObservations& Angles;  // the rigorous stage corrects the measured angles behind derived ones
    const StationAngleIndex& AngleIndex;
    const SideLengthIndex& SideLengths;
    KnownPointIndex& Known;            // known points with coordinates (a later entry wins)
    const OrderIndex& Order;           // start directions, hard nodes and known side-only points
    const StartAzimuthData& Starts;    // per start direction (azimuth target -> station)
    const PointHeightIndex& Heights;   // for the side reduction
};

// The connecting angles at both ends of the group's branches (start, then end; branches without
// angular closure are skipped at the end), taking the start directions of `in`. False, with the
// message shown, at the first branch end without one.
bool FindConnectingAngles(GroupWorkingSet& ws, const GroupInputs& in, Interaction& ui, LogBuffer& log);

// For each branch 1..nBranches whose start carries a connecting angle and has no reference yet,
// takes the start direction at its first point at which a connecting angle to the branch was
// measured: the reference point, its coordinates and the direction's azimuth go to the branch, the
// station's coordinates to the branch's first position. False (message logged and shown, errorFlag
// set) at the first branch without such an angle.
bool FindStartConnectingAngles(const ConnectingAngleSearch& search, int nBranches, BranchEndRefs ends, bool& errorFlag,
                               Interaction& ui, LogBuffer& log);
// The same at the last point of the branches; the azimuth is reversed (the branch arrives at the
// known point). Branches flagged in `excluded` (when given) are skipped.
bool FindEndConnectingAngles(const ConnectingAngleSearch& search, int nBranches, BranchEndRefs ends,
                             const OneBased<std::uint8_t>* excluded, bool& errorFlag, Interaction& ui, LogBuffer& log);

// The angle at station s from point a to point c, in the convention of the measured angles, from
// the angles measured at s. When none can be found: logged, the user asked whether to go on
// (declined set on No), errorFlag set and the missing value returned. `sources`, when given,
// receives the measured angles the result is made of, each with its sign (a whole number of turns
// aside, the result is their signed sum); left empty when the angle is missing.
double LookupBranchAngle(const AngleObservations& angles, const StationAngleIndex& index, int a, int s, int c,
                         const PointNameTable& names, bool& errorFlag, Interaction& ui, LogBuffer& log,
                         bool* declined = nullptr, std::vector<AngleSource>* sources = nullptr);
// The angle at s from a to c derived from the directions measured at s brought to one reference;
// the missing value when they do not give it. `sources` as for LookupBranchAngle.
double DeriveStationAngle(const AngleObservations& angles, const StationAngleIndex& index, int a, int s, int c,
                          std::vector<AngleSource>* sources = nullptr);

// Fills, for branches 1..nBranches, the angle at each position that the branch kind measures
// (connecting angles towards startRefs / endRefs at the ends) and the length of each side. False
// when an angle or a side is missing (errorFlag set); stops early when the user declines to go on.
// The measured angles behind each angle are listed only when asked: the rigorous stage alone reads
// them.
enum class AngleSources { Skip, List };
bool CollectBranchAngles(GroupWorkingSet& ws, const GroupInputs& in, AngleSources wanted, Interaction& ui,
                         LogBuffer& log);
// What the settings ask of CollectBranchAngles.
inline AngleSources AngleSourcesFor(const ComputationSettings& settings) {
    return settings.Modes.RigorousWanted ? AngleSources::List : AngleSources::Skip;
}
// Where the angles of the positions come from: the working set's three source arrays.
struct AngleSourceLists {
    OneBased<int>& First;
    OneBased<int>& Count;
    std::vector<AngleSource>& Sources;
};

// The same on loose lists; `sources`, when given, receives the measured angles of every position.
bool CollectBranchAngles(const NetworkModel& model, const AngleObservations& angles,
                         const StationAngleIndex& index, const SideLengthIndex& sides, int nBranches,
                         const OneBased<BranchKind>& kinds, const OneBased<int>& startRefs,
                         const OneBased<int>& endRefs, OneBased<double>& positionAngles,
                         OneBased<double>& positionSides, bool& errorFlag, Interaction& ui, LogBuffer& log,
                         const AngleSourceLists* sources = nullptr);

// Writes NodeX[node] (NodeY[node]) at the last position of the node's carrier branch and at the
// node's end(s) of every other branch listed for it in NodeBranches[NodeStarts[node]+1 ..
// NodeStarts[node+1]], in PositionX (PositionY).
void SpreadNodeX(GroupWorkingSet& ws, const NetworkModel& model, int node);
void SpreadNodeY(GroupWorkingSet& ws, const NetworkModel& model, int node);

// Gives NodeAzimuths[node] to the end azimuth of its carrier branch and to the start or end
// azimuths of the other branches at the node, by the two branch kinds and how each branch meets
// the node.
void SpreadNodeAzimuth(GroupWorkingSet& ws, const NetworkModel& model, int node);

}  // namespace qef
