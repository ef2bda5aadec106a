#pragma once
// Where the branches of a traverse network start and end: the start directions (a known station
// that sighted a known point), the known points that are not start stations, the start azimuths,
// and the junction points of the network.
//
// Lists are OneBased with their size as their count. Input lists are never changed, except by
// CompactIdPairs. Every routine keeps the order rules of the analysis (known-list order, list
// order, first match) while looking points up through hashed or id-indexed tables.
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/io/Readers.h"

namespace qef {

// Sides as pairs of point ids: the working lists that the analysis consumes. An id of 0 marks a
// consumed side until CompactIdPairs removes it.
struct SidePairs {
    OneBased<int> EndsA;
    OneBased<int> EndsB;

    int Count() const { return EndsA.Size(); }
    void Add(int a, int b) {
        EndsA.PushBack(a);
        EndsB.PushBack(b);
    }
    void Append(const SidePairs& other);
    void Clear() {
        EndsA.Clear();
        EndsB.Clear();
    }
};

// Angles as id triples: measured at Station from Back to Fore.
struct AngleTriples {
    OneBased<int> Back;
    OneBased<int> Station;
    OneBased<int> Fore;

    int Count() const { return Station.Size(); }
    void Add(int back, int station, int fore) {
        Back.PushBack(back);
        Station.PushBack(station);
        Fore.PushBack(fore);
    }
    void Append(const AngleTriples& other);
    void Clear() {
        Back.Clear();
        Station.Clear();
        Fore.Clear();
    }
};

// The id lists of observations as read (values stay with the read lists).
SidePairs MakeSidePairs(const SideObservations& sides);
AngleTriples MakeAngleTriples(const AngleObservations& angles);

// What is kept per start direction i (StartStations[i] sighting StartTargets[i]).
// Azimuths[i] is the azimuth of the line arriving at the station, target -> station: the
// azimuth that NextAzimuth carries over the connecting angle at the station. Reversed, it is the
// known direction at the end of a branch arriving at that station.
struct StartAzimuthData {
    OneBased<double> Azimuths;
    OneBased<double> StationX;
    OneBased<double> StationY;
    OneBased<double> TargetX;
    OneBased<double> TargetY;
};

// The largest id of the list; 0 when it has none above 0.
int LargestId(const OneBased<int>& ids);

// The start directions of a model (StartStations[i] sighting StartTargets[i]) by station.
class StartDirectionIndex {
public:
    StartDirectionIndex() = default;
    explicit StartDirectionIndex(const NetworkModel& model) { Build(model); }
    void Build(const NetworkModel& model);

    int Count() const { return count_; }
    // The first i with StartStations[i] == point; 0 when the point is no start station.
    int StationRank(int point) const { return InRange(point, rank_) ? rank_[point] : 0; }
    bool IsStation(int point) const { return StationRank(point) != 0; }
    bool IsTarget(int point) const { return InRange(point, target_) && target_[point] != 0; }
    // The directions i with StartStations[i] == station, ascending.
    std::span<const int> At(int station) const;

private:
    int count_ = 0;
    std::vector<int> rank_;
    std::vector<std::uint8_t> target_;
    std::vector<int> first_;  // directions at p: directions_[first_[p] .. first_[p + 1])
    std::vector<int> directions_;

    template <typename T>
    static bool InRange(int point, const std::vector<T>& byPoint) {
        return point > 0 && static_cast<std::size_t>(point) < byPoint.size();
    }
};

// Start azimuths typed by the user, kept for a whole run so that no direction is asked twice.
// Keyed by (station, target) point ids; the caller owns it.
class StartAzimuthAnswers {
public:
    bool Find(int station, int target, double& azimuth) const;
    void Store(int station, int target, double azimuth) { answers_[{station, target}] = azimuth; }
    void Clear() { answers_.clear(); }

private:
    std::map<std::pair<int, int>, double> answers_;
};

// Fills model.StartStations / StartTargets: for each known point K (the first knownCount entries
// of `known`, in order), each angle measured at K, each known point T (in known order) that the
// angle sights as back or fore, the pair (K, T) once. None found: the message
// "!Ten diem toa do goc khong phu hop", errorFlag set, false.
bool FindStartDirections(NetworkModel& model, const PointList& known, int knownCount, const AngleTriples& angles,
                         bool& errorFlag, Interaction& ui);

// The known points at which angles were measured but that are not start stations, in known order,
// each once (the hard nodes).
void KnownStationsWithoutDirection(const NetworkModel& model, const PointList& known, int knownCount,
                                   const AngleTriples& angles, OneBased<int>& out);

// The known points that end a side and are neither start stations, start targets nor in
// firstGroup (the output of KnownStationsWithoutDirection), in known order, each once.
void KnownSideOnlyPoints(const NetworkModel& model, const PointList& known, int knownCount, const SidePairs& sides,
                         const OneBased<int>& firstGroup, OneBased<int>& out);

// Per start direction: the coordinates of station and target (from the known list; the last entry
// of a point listed twice) and the azimuth target -> station. `data` is resized to the directions.
void StartAzimuthsFromCoords(const NetworkModel& model, const PointList& known, int knownCount,
                             StartAzimuthData& data);

// For each start direction whose target (or else whose station) has no coordinates, asks
// "Nhap Phuong Vi " + target + " -> " + station (the azimuth of the line target -> station), unless
// the answer for that direction is in `answers`. A text that does not parse shows the parse
// message and is asked again. The answer also gives the direction standing at the target and
// sighting the station its reversed value. False when the user cancelled (the run should end).
bool AskStartAzimuths(const NetworkModel& model, const ComputationSettings& settings, StartAzimuthData& data,
                      StartAzimuthAnswers& answers, Interaction& ui);

// Angle-node candidates: stations not in excluded[1..excludedCount] with two or more angles
// (angles that both share a leg and cross are not counted), once each, in order of first angle.
void FindAngleNodes(const AngleTriples& angles, const OneBased<int>& excluded, int excludedCount,
                    OneBased<int>& out);

// Side-node candidates: points not in excluded[1..excludedCount] that end three or more sides,
// once each, in order of first appearance (first end before second end of each side).
void FindSideNodes(const SidePairs& sides, const OneBased<int>& excluded, int excludedCount, OneBased<int>& out);

// The entries of list1, in its order, that match an unused entry of list2 (each match uses one
// entry of each list).
void IntersectIdLists(const OneBased<int>& list1, const OneBased<int>& list2, OneBased<int>& out);

// out := firstGroup, junctions, lastGroup.
void ConcatNodeLists(const OneBased<int>& firstGroup, const OneBased<int>& junctions,
                     const OneBased<int>& lastGroup, OneBased<int>& out);

// Removes the pairs in which either id is 0, keeping the order of the rest.
void CompactIdPairs(SidePairs& sides);

}  // namespace qef
