#include "core/analysis/StartDirections.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/PointIndexes.h"
#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

int KnownLimit(const PointList& known, int knownCount) { return std::clamp(knownCount, 0, known.Count()); }

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

void StartDirectionIndex::Build(const NetworkModel& model) {
    const OneBased<int>& stations = model.StartStations;
    const OneBased<int>& targets = model.StartTargets;
    count_ = stations.Size();
    const int maxId = std::max(LargestId(stations), LargestId(targets));
    rank_.assign(maxId + 1, 0);
    target_.assign(maxId + 1, 0);
    first_.assign(maxId + 2, 0);
    for (int i = 1; i <= targets.Size(); ++i)
        if (targets[i] > 0) target_[targets[i]] = 1;
    for (int i = count_; i >= 1; --i)
        if (stations[i] > 0) {
            rank_[stations[i]] = i;
            ++first_[stations[i] + 1];
        }
    for (std::size_t p = 1; p < first_.size(); ++p) first_[p] += first_[p - 1];
    directions_.assign(first_.back(), 0);
    std::vector<int> fill(first_.begin(), first_.end() - 1);
    for (int i = 1; i <= count_; ++i)
        if (stations[i] > 0) directions_[fill[stations[i]]++] = i;
}

std::span<const int> StartDirectionIndex::At(int station) const {
    if (!InRange(station, rank_)) return {};
    return std::span<const int>(directions_).subspan(first_[station], first_[station + 1] - first_[station]);
}

int LargestId(const OneBased<int>& ids) {
    int largest = 0;
    for (int id : ids) largest = std::max(largest, id);
    return largest;
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
    const std::size_t size = static_cast<std::size_t>(LargestId(known.Ids)) + 1;
    std::vector<int> knownPosition(size, 0);
    for (int k = n; k >= 1; --k)
        if (known.Ids[k] > 0) knownPosition[known.Ids[k]] = k;
    auto positionOf = [&](int id) { return id > 0 && static_cast<std::size_t>(id) < size ? knownPosition[id] : 0; };

    // The angles at each known station, in list order: those at s are angles[first[s] .. first[s + 1]).
    std::vector<int> first(size + 1, 0);
    for (int s : angles.Station)
        if (positionOf(s) != 0) ++first[s + 1];
    for (std::size_t p = 1; p < first.size(); ++p) first[p] += first[p - 1];
    std::vector<int> anglesAt(first.back());
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (int j = 1; j <= angles.Count(); ++j)
        if (positionOf(angles.Station[j]) != 0) anglesAt[fill[angles.Station[j]]++] = j;

    // A station listed twice in the known list gives nothing new the second time; the targets met
    // at the current station are stamped with it.
    PointFlags done(static_cast<int>(size) - 1);
    std::vector<int> stamp(size, 0);
    auto add = [&](int station, int target) {
        if (stamp[target] == station) return;
        stamp[target] = station;
        model.StartStations.PushBack(station);
        model.StartTargets.PushBack(target);
    };

    for (int k = 1; k <= n; ++k) {
        const int station = known.Ids[k];
        if (station <= 0 || done.Contains(station)) continue;
        done.Add(station);
        for (int a = first[station]; a < first[station + 1]; ++a) {
            const int j = anglesAt[a];
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
    const int largest = LargestId(known.Ids);
    PointFlags stations(largest);
    stations.Add(angles.Station);
    PointFlags startStations(largest);
    startStations.Add(model.StartStations);
    PointFlags listed(largest);
    for (int k = 1; k <= n; ++k) {
        const int id = known.Ids[k];
        if (!stations.Contains(id) || startStations.Contains(id) || listed.Contains(id)) continue;
        listed.Add(id);
        out.PushBack(id);
    }
}

void KnownSideOnlyPoints(const NetworkModel& model, const PointList& known, int knownCount, const SidePairs& sides,
                         const OneBased<int>& firstGroup, OneBased<int>& out) {
    out.Clear();
    const int n = KnownLimit(known, knownCount);
    const int largest = LargestId(known.Ids);
    PointFlags ends(largest);
    ends.Add(sides.EndsA);
    ends.Add(sides.EndsB);
    PointFlags skip(largest);
    skip.Add(model.StartStations);
    skip.Add(model.StartTargets);
    skip.Add(firstGroup);
    for (int k = 1; k <= n; ++k) {
        const int id = known.Ids[k];
        if (id == 0 || !ends.Contains(id) || skip.Contains(id)) continue;
        skip.Add(id);
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
    const std::size_t size = static_cast<std::size_t>(LargestId(known.Ids)) + 1;
    std::vector<int> lastPosition(size, 0);
    for (int k = 1; k <= n; ++k)
        if (known.Ids[k] > 0) lastPosition[known.Ids[k]] = k;
    auto positionOf = [&](int id) { return id > 0 && static_cast<std::size_t>(id) < size ? lastPosition[id] : 0; };

    for (int i = 1; i <= count; ++i) {
        if (const int k = positionOf(model.StartStations[i]); k != 0) {
            data.StationX[i] = known.X[k];
            data.StationY[i] = known.Y[k];
        }
        if (const int k = positionOf(model.StartTargets[i]); k != 0) {
            data.TargetX[i] = known.X[k];
            data.TargetY[i] = known.Y[k];
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
    const int largest = LargestId(angles.Station);
    PointFlags skip(largest);
    skip.Add(excluded, excludedCount);
    std::vector<int> station(n + 1, 0);
    // The angles at each station in list order: those at s are anglesAt[first[s] .. first[s + 1]).
    std::vector<int> first(static_cast<std::size_t>(largest) + 2, 0);
    for (int j = 1; j <= n; ++j) {
        const int s = angles.Station[j];
        if (s <= 0 || skip.Contains(s)) continue;
        station[j] = s;
        ++first[s + 1];
    }
    for (std::size_t p = 1; p < first.size(); ++p) first[p] += first[p - 1];
    std::vector<int> anglesAt(first.back());
    std::vector<int> place(n + 1, 0);  // position of angle j in anglesAt
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (int j = 1; j <= n; ++j)
        if (station[j] != 0) {
            place[j] = fill[station[j]]++;
            anglesAt[place[j]] = j;
        }
    for (int i = 1; i < n; ++i) {
        const int s = station[i];
        if (s == 0) continue;
        const int bi = angles.Back[i];
        const int fi = angles.Fore[i];
        int c = 1;
        for (int r = place[i] + 1; r < first[s + 1]; ++r) {
            const int j = anglesAt[r];
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
    const int largest = std::max(LargestId(sides.EndsA), LargestId(sides.EndsB));
    PointFlags skip(largest);
    skip.Add(excluded, excludedCount);
    std::vector<int> degree(static_cast<std::size_t>(largest) + 1, 0);
    std::vector<int> order;  // points in order of first appearance
    auto count = [&](int id) {
        if (id <= 0 || skip.Contains(id)) return;
        if (degree[id]++ == 0) order.push_back(id);
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
    std::vector<int> unused(static_cast<std::size_t>(LargestId(list2)) + 1, 0);
    for (int y : list2)
        if (y > 0) ++unused[y];
    for (int x : list1) {
        if (x <= 0 || static_cast<std::size_t>(x) >= unused.size() || unused[x] == 0) continue;
        --unused[x];
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
