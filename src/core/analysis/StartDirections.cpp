#include "core/analysis/StartDirections.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

int KnownLimit(const PointList& known, int knownCount) { return std::clamp(knownCount, 0, known.Count()); }

std::unordered_set<int> IdSet(const OneBased<int>& list, int count) {
    std::unordered_set<int> set;
    const int n = std::min(count, list.Size());
    set.reserve((std::max(n, 0)));
    for (int i = 1; i <= n; ++i) set.insert(list[i]);
    return set;
}

std::unordered_set<int> IdSet(const OneBased<int>& list) { return IdSet(list, list.Size()); }

std::unordered_set<int> AngleStations(const AngleTriples& angles) {
    std::unordered_set<int> set;
    for (int s : angles.Station) set.insert(s);
    return set;
}

}  // namespace

void SidePairs::Append(const SidePairs& other) {
    for (int i = 1; i <= other.Count(); ++i) Add(other.EndsA[i], other.EndsB[i]);
}

void AngleTriples::Append(const AngleTriples& other) {
    for (int i = 1; i <= other.Count(); ++i)
        Add(other.Back[i], other.Station[i], other.Fore[i]);
}

SidePairs MakeSidePairs(const SideObservations& sides) {
    SidePairs pairs;
    const int n = static_cast<int>(std::min(sides.FromIds.Size(), sides.ToIds.Size()));
    pairs.EndsA.Reserve(n);
    pairs.EndsB.Reserve(n);
    for (int i = 1; i <= n; ++i) pairs.Add(sides.FromIds[i], sides.ToIds[i]);
    return pairs;
}

AngleTriples MakeAngleTriples(const AngleObservations& angles) {
    AngleTriples triples;
    const int n = angles.StationIds.Size();
    for (int i = 1; i <= n; ++i)
        triples.Add(angles.BackIds[i], angles.StationIds[i], angles.ForeIds[i]);
    return triples;
}

bool StartAzimuthAnswers::Find(int station, int target, double& azimuth) const {
    auto it = answers_.find({station, target});
    if (it == answers_.end()) return false;
    azimuth = it->second;
    return true;
}

bool FindStartDirections(NetworkModel& model, const PointList& known, int knownCount, const AngleTriples& angles,
                         bool& errorFlag, Interaction& ui) {
    model.StartStations.Clear();
    model.StartTargets.Clear();
    const int n = KnownLimit(known, knownCount);

    // First position of each known id: targets are taken in known-list order.
    std::unordered_map<int, int> knownPosition;
    for (int k = n; k >= 1; --k) knownPosition[known.Ids[k]] = k;
    auto positionOf = [&](int id) {
        auto it = knownPosition.find(id);
        return it == knownPosition.end() ? 0 : it->second;
    };

    std::unordered_map<int, std::vector<int>> anglesAt;
    for (int j = 1; j <= angles.Count(); ++j) {
        const int s = angles.Station[j];
        if (positionOf(s) != 0) anglesAt[s].push_back(j);
    }

    std::unordered_set<std::uint64_t> pairs;
    auto add = [&](int station, int target) {
        const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(station)) << 32) |
                                  static_cast<std::uint32_t>(target);
        if (!pairs.insert(key).second) return;
        model.StartStations.PushBack(station);
        model.StartTargets.PushBack(target);
    };

    for (int k = 1; k <= n; ++k) {
        const int station = known.Ids[k];
        auto it = anglesAt.find(station);
        if (it == anglesAt.end()) continue;
        for (int j : it->second) {
            const int back = angles.Back[j];
            const int fore = angles.Fore[j];
            const int pb = positionOf(back);
            const int pf = positionOf(fore);
            if (pb != 0 && pf != 0 && pf < pb) {
                add(station, fore);
                add(station, back);
            } else {
                if (pb != 0) add(station, back);
                if (pf != 0) add(station, fore);
            }
        }
    }

    if (model.StartStations.Empty()) {
        ShowError(ui, errorFlag, "!Ten diem toa do goc khong phu hop");
        return false;
    }
    return true;
}

void KnownStationsWithoutDirection(const NetworkModel& model, const PointList& known, int knownCount,
                                   const AngleTriples& angles, OneBased<int>& out) {
    out.Clear();
    const int n = KnownLimit(known, knownCount);
    const std::unordered_set<int> stations = AngleStations(angles);
    const std::unordered_set<int> startStations = IdSet(model.StartStations);
    std::unordered_set<int> listed;
    for (int k = 1; k <= n; ++k) {
        const int id = known.Ids[k];
        if (!stations.count(id) || startStations.count(id) || !listed.insert(id).second) continue;
        out.PushBack(id);
    }
}

void KnownSideOnlyPoints(const NetworkModel& model, const PointList& known, int knownCount, const SidePairs& sides,
                         const OneBased<int>& firstGroup, OneBased<int>& out) {
    out.Clear();
    const int n = KnownLimit(known, knownCount);
    std::unordered_set<int> ends;
    for (int i = 1; i <= sides.Count(); ++i) {
        ends.insert(sides.EndsA[i]);
        ends.insert(sides.EndsB[i]);
    }
    ends.erase(0);
    std::unordered_set<int> skip = IdSet(model.StartStations);
    for (int t : model.StartTargets) skip.insert(t);
    for (int f : firstGroup) skip.insert(f);
    for (int k = 1; k <= n; ++k) {
        const int id = known.Ids[k];
        if (!ends.count(id) || skip.count(id)) continue;
        skip.insert(id);
        out.PushBack(id);
    }
}

void StartAzimuthsFromCoords(const NetworkModel& model, const PointList& known, int knownCount,
                             StartAzimuthData& data) {
    const int count = model.StartStations.Size();
    for (OneBased<double>* list : {&data.Azimuths, &data.StationX, &data.StationY, &data.TargetX, &data.TargetY}) {
        list->Clear();
        list->Resize(count, kMissingValue);
    }
    const int n = KnownLimit(known, knownCount);
    std::unordered_map<int, int> lastPosition;
    for (int k = 1; k <= n; ++k) lastPosition[known.Ids[k]] = k;

    for (int i = 1; i <= count; ++i) {
        auto s = lastPosition.find(model.StartStations[i]);
        if (s != lastPosition.end()) {
            data.StationX[i] = known.X[s->second];
            data.StationY[i] = known.Y[s->second];
        }
        auto t = lastPosition.find(model.StartTargets[i]);
        if (t != lastPosition.end()) {
            data.TargetX[i] = known.X[t->second];
            data.TargetY[i] = known.Y[t->second];
        }
        data.Azimuths[i] = AzimuthOf(data.TargetX[i], data.TargetY[i], data.StationX[i], data.StationY[i]);
    }
}

bool AskStartAzimuths(const NetworkModel& model, const ComputationSettings& settings, StartAzimuthData& data,
                      StartAzimuthAnswers& answers, Interaction& ui) {
    const int count = std::min(model.StartStations.Size(), data.Azimuths.Size());
    for (int i = 1; i <= count; ++i) {
        const bool targetMissing = IsMissing(data.TargetX[i]) && IsMissing(data.TargetY[i]);
        const bool stationMissing = IsMissing(data.StationX[i]) && IsMissing(data.StationY[i]);
        if (!targetMissing && !stationMissing) continue;
        const int station = model.StartStations[i];
        const int target = model.StartTargets[i];
        double azimuth = 0;
        if (answers.Find(station, target, azimuth)) {
            data.Azimuths[i] = azimuth;
            continue;
        }
        const std::string prompt =
            "Nhap Phuong Vi " + model.PointNames.Name(target) + " -> " + model.PointNames.Name(station);
        for (;;) {
            std::optional<std::string> text = ui.AskText("Nhap so lieu", prompt, "0");
            if (!text) return false;
            const ParsedAngle answer =
                ParseDms(TrimBlanks(*text), settings.AnglesInDegrees, settings.AngleTextWithPoint);
            azimuth = answer.Degrees;
            if (answer.Ok()) break;
            ui.Message(AngleFormatMessage(answer));
        }
        azimuth = std::fmod(azimuth, 360.0);
        if (azimuth < 0) azimuth += 360.0;
        data.Azimuths[i] = azimuth;
        answers.Store(station, target, azimuth);
        // The same line seen from the other end: only the direction standing at the target and
        // sighting this station takes the reversed value.
        answers.Store(target, station, ReverseAzimuth(azimuth));
    }
    return true;
}

void FindAngleNodes(const AngleTriples& angles, const OneBased<int>& excluded, int excludedCount,
                    OneBased<int>& out) {
    out.Clear();
    const int n = angles.Count();
    const std::unordered_set<int> skip = IdSet(excluded, excludedCount);
    std::vector<int> station(n + 1, 0);
    std::unordered_map<int, std::vector<int>> anglesAt;
    std::vector<std::size_t> rank(n + 1, 0);  // position of angle j in its station's list
    for (int j = 1; j <= n; ++j) {
        const int s = angles.Station[j];
        if (s == 0 || skip.count(s)) continue;
        station[j] = s;
        std::vector<int>& list = anglesAt[s];
        rank[j] = list.size();
        list.push_back(j);
    }
    for (int i = 1; i < n; ++i) {
        const int s = station[i];
        if (s == 0) continue;
        const std::vector<int>& list = anglesAt[s];
        const int bi = angles.Back[i];
        const int fi = angles.Fore[i];
        int c = 1;
        for (std::size_t r = rank[i] + 1; r < list.size(); ++r) {
            const int j = list[r];
            if (station[j] == 0) continue;
            const int bj = angles.Back[j];
            const int fj = angles.Fore[j];
            const bool shareLeg = bi == bj || fi == fj;
            const bool cross = bi == fj || fi == bj;
            if (shareLeg && cross) continue;  // one of them sights the same point twice
            station[j] = 0;
            ++c;
        }
        if (c >= 2) out.PushBack(s);
    }
}

void FindSideNodes(const SidePairs& sides, const OneBased<int>& excluded, int excludedCount, OneBased<int>& out) {
    out.Clear();
    const std::unordered_set<int> skip = IdSet(excluded, excludedCount);
    std::unordered_map<int, int> degree;
    std::vector<int> order;  // points in order of first appearance
    auto count = [&](int id) {
        if (id == 0 || skip.count(id)) return;
        auto [it, fresh] = degree.try_emplace(id, 0);
        if (fresh) order.push_back(id);
        ++it->second;
    };
    for (int i = 1; i <= sides.Count(); ++i) {
        const int a = sides.EndsA[i];
        const int b = sides.EndsB[i];
        count(a);
        if (b != a) count(b);  // a side that starts and ends at one point counts once
    }
    for (int id : order)
        if (degree[id] >= 3) out.PushBack(id);
}

void IntersectIdLists(const OneBased<int>& list1, const OneBased<int>& list2, OneBased<int>& out) {
    out.Clear();
    std::unordered_map<int, int> unused;
    for (int y : list2)
        if (y != 0) ++unused[y];
    for (int x : list1) {
        if (x == 0) continue;
        auto it = unused.find(x);
        if (it == unused.end() || it->second == 0) continue;
        --it->second;
        out.PushBack(x);
    }
}

void ConcatNodeLists(const OneBased<int>& firstGroup, const OneBased<int>& junctions,
                     const OneBased<int>& lastGroup, OneBased<int>& out) {
    OneBased<int> result;
    result.Reserve(firstGroup.Size() + junctions.Size() + lastGroup.Size());
    for (int id : firstGroup) result.PushBack(id);
    for (int id : junctions) result.PushBack(id);
    for (int id : lastGroup) result.PushBack(id);
    out = std::move(result);
}

void CompactIdPairs(SidePairs& sides) {
    int w = 1;
    const int n = sides.EndsA.Size();
    for (int i = 1; i <= n; ++i) {
        const int a = sides.EndsA[i];
        const int b = sides.EndsB[i];
        if (a == 0 || b == 0) continue;
        sides.EndsA[w] = a;
        sides.EndsB[w] = b;
        ++w;
    }
    sides.EndsA.Resize(w - 1);
    sides.EndsB.Resize(w - 1);
}

}  // namespace qef
