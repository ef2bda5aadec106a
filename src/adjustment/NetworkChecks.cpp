#include "adjustment/NetworkChecks.h"

#include <algorithm>
#include <utility>

#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

template <typename T>
void EnsureSize(OneBased<T>& list, int n) {
    if (list.Size() < n) list.Resize(n);
}

// The measured angles of one station whose share in a derived angle is followed.
constexpr int kMaxStationAngles = 10;

// A measured direction pair at one station, as DeriveStationAngle rewrites it, with the signs of
// the station's measured angles (in collection order) it is made of.
struct Direction {
    int back;
    int fore;
    double value;
    signed char signs[kMaxStationAngles];

    void Reverse() {
        std::swap(back, fore);
        value = 360.0 - value;
        for (signed char& k : signs) k = static_cast<signed char>(-k);
    }
    // This direction becomes (newBack, newFore) with value `v` = a's value + sign * b's value.
    void Combine(int newBack, int newFore, double v, const Direction& a, const Direction& b, int sign) {
        signed char combined[kMaxStationAngles];
        for (int k = 0; k < kMaxStationAngles; ++k)
            combined[k] = static_cast<signed char>(a.signs[k] + sign * b.signs[k]);
        back = newBack;
        fore = newFore;
        value = v;
        std::copy(std::begin(combined), std::end(combined), signs);
    }
};

enum class BranchEnd { Start, End };

// What the start and end searches share.
bool FindConnectingAngles(const ConnectingAngleSearch& search, int nBranches, BranchEndRefs& ends,
                          const OneBased<std::uint8_t>* excluded, BranchEnd end, bool& errorFlag, Interaction& ui,
                          LogBuffer& log) {
    const NetworkModel& model = search.Model;
    const AngleObservations& angles = search.Angles;
    const StationAngleIndex& index = search.Index;
    const StartDirectionIndex& starts = search.Starts;
    const StartDirectionRefs& dirs = search.Directions;
    const bool atEnd = end == BranchEnd::End;
    const BranchModel& br = model.Branches;
    for (int b = 1; b <= nBranches; ++b) {
        const int k = b;
        if (ends.FixState[k] != 1 || ends.RefPoints[k] != 0) continue;
        if (excluded != nullptr && (*excluded)[k] != 0) continue;
        const int pos = atEnd ? br.Last(b) : br.First(b);
        const int p = br.PointAt(pos);
        const int q = br.PointAt(atEnd ? pos - 1 : pos + 1);
        const std::span<const int> atP = index.At(p);
        const std::span<const int> directionsAtP = starts.At(p);

        // First an angle between the known target and the branch's neighbour point, then any
        // angle at P that sights the target.
        int found = 0;
        for (int pass = 1; pass <= 2 && found == 0; ++pass) {
            for (int j : atP) {
                const int back = angles.BackIds[j];
                const int fore = angles.ForeIds[j];
                for (int i : directionsAtP) {
                    const int t = model.StartTargets[i];
                    const bool match = pass == 1 ? (back == t && fore == q) || (back == q && fore == t)
                                                 : back == t || fore == t;
                    if (match) {
                        found = i;
                        break;
                    }
                }
                if (found != 0) break;
            }
        }
        if (found == 0) {
            const PointNameTable& names = model.PointNames;
            std::string text =
                Vn("Nhánh ") + names.Name(br.FirstPoint(b)) + " " + names.Name(br.PointAt(br.First(b) + 1));
            if (br.BranchPointCounts[k] > 2) text += "..." + names.Name(br.LastPoint(b));
            text += atEnd ? Vn(" Thiếu góc đo nối phương vị cuối") : Vn(" Thiếu góc đo nối phương vị đầu");
            log.Add(text);
            ShowError(ui, errorFlag, text);
            return false;
        }
        const int d = found;
        ends.RefPoints[k] = model.StartTargets[d];
        ends.RefX[k] = dirs.TargetX[d];
        ends.RefY[k] = dirs.TargetY[d];
        ends.Azimuths[k] = atEnd ? ReverseAzimuth(dirs.Azimuths[d]) : dirs.Azimuths[d];
        search.PositionX[pos] = dirs.StationX[d];
        search.PositionY[pos] = dirs.StationY[d];
    }
    return true;
}

}  // namespace

StationAngleIndex::StationAngleIndex(const AngleObservations& angles) {
    const OneBased<int>& stations = angles.StationIds;
    first_.assign(static_cast<std::size_t>(LargestId(stations)) + 2, 0);
    for (int s : stations)
        if (s > 0) ++first_[s + 1];
    for (std::size_t p = 1; p < first_.size(); ++p) first_[p] += first_[p - 1];
    angles_.assign(first_.back(), 0);
    std::vector<int> fill(first_.begin(), first_.end() - 1);
    for (int j = 1; j <= stations.Size(); ++j)
        if (stations[j] > 0) angles_[fill[stations[j]]++] = j;
}

std::span<const int> StationAngleIndex::At(int station) const {
    if (station <= 0 || static_cast<std::size_t>(station) + 1 >= first_.size()) return {};
    return std::span<const int>(angles_).subspan(first_[station], first_[station + 1] - first_[station]);
}

namespace {

std::uint64_t SideKey(int p, int q) {
    if (p > q) std::swap(p, q);
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(p)) << 32) | static_cast<std::uint32_t>(q);
}

}  // namespace

SideLengthIndex::SideLengthIndex(const SideObservations& sides) {
    entries_.reserve(sides.Count());
    for (int i = 1; i <= sides.Count(); ++i)
        entries_.push_back({SideKey(sides.FromIds[i], sides.ToIds[i]), sides.Lengths[i]});
    // A stable sort keeps the measurements of a side in list order: the first one stays.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.Key < b.Key; });
    entries_.erase(std::unique(entries_.begin(), entries_.end(),
                               [](const Entry& a, const Entry& b) { return a.Key == b.Key; }),
                   entries_.end());
}

bool SideLengthIndex::Find(int a, int b, double& length) const {
    const std::uint64_t key = SideKey(a, b);
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const Entry& e, std::uint64_t k) { return e.Key < k; });
    if (it == entries_.end() || it->Key != key) return false;
    length = it->Length;
    return true;
}

bool CheckGroupTied(const NetworkModel& model, const StartDirectionIndex& starts, int nBranches, bool& errorFlag,
                    Interaction& ui) {
    const BranchModel& br = model.Branches;
    for (int b = 1; b <= nBranches; ++b)
        if (starts.IsStation(br.FirstPoint(b)) || starts.IsStation(br.LastPoint(b))) return true;
    if (nBranches < 1) return true;  // nothing to tie
    const PointNameTable& names = model.PointNames;
    std::string text = " Nhom co " + names.Name(br.FirstPoint(1)) + " , " + names.Name(br.PointAt(br.First(1) + 1)) +
                       " , " + names.Name(br.LastPoint(1));
    text += nBranches == 1 ? " khong duoc noi voi toa do goc" : " ... khong duoc noi voi toa do goc";
    ShowError(ui, errorFlag, text);
    return false;
}

bool FindStartConnectingAngles(const ConnectingAngleSearch& search, int nBranches, BranchEndRefs ends, bool& errorFlag,
                               Interaction& ui, LogBuffer& log) {
    return FindConnectingAngles(search, nBranches, ends, nullptr, BranchEnd::Start, errorFlag, ui, log);
}

bool FindEndConnectingAngles(const ConnectingAngleSearch& search, int nBranches, BranchEndRefs ends,
                             const OneBased<std::uint8_t>* excluded, bool& errorFlag, Interaction& ui, LogBuffer& log) {
    return FindConnectingAngles(search, nBranches, ends, excluded, BranchEnd::End, errorFlag, ui, log);
}

bool FindConnectingAngles(GroupWorkingSet& ws, const GroupInputs& in, Interaction& ui, LogBuffer& log) {
    const NetworkModel& model = in.Model;
    const StartDirectionIndex& starts = in.Order.Starts();
    const StartDirectionRefs dirs{in.Starts.StationX, in.Starts.StationY, in.Starts.TargetX, in.Starts.TargetY,
                                  in.Starts.Azimuths};
    bool errorFlag = false;
    const ConnectingAngleSearch search{model, in.Angles, in.AngleIndex, starts, dirs, ws.PositionX, ws.PositionY};
    if (!FindStartConnectingAngles(search, ws.Nb,
                                   BranchEndRefs{ws.StartFixState, ws.StartRefPoints, ws.StartRefX, ws.StartRefY,
                                                 ws.BranchStartAzimuths},
                                   errorFlag, ui, log))
        return false;
    return FindEndConnectingAngles(search, ws.Nb,
                                   BranchEndRefs{ws.EndFixState, ws.EndRefPoints, ws.EndRefX, ws.EndRefY,
                                                 ws.BranchEndAzimuths},
                                   &ws.NoAngleClosure, errorFlag, ui, log);
}

double LookupBranchAngle(const AngleObservations& angles, const StationAngleIndex& index, int a, int s, int c,
                         const PointNameTable& names, bool& errorFlag, Interaction& ui, LogBuffer& log,
                         bool* declined, std::vector<AngleSource>* sources) {
    // Directions from a common third point X to A (first kind) and to C (second kind).
    struct Toward {
        int other;
        double value;
        int angle;
        int sign;
    };
    std::vector<Toward> toA;
    std::vector<Toward> toC;
    for (int j : index.At(s)) {
        const int back = angles.BackIds[j];
        const int fore = angles.ForeIds[j];
        const double v = angles.Values[j];
        if (fore == a) toA.push_back({back, v, j, 1});
        else if (back == a) toA.push_back({fore, 360.0 - v, j, -1});
        else if (fore == c) toC.push_back({back, v, j, 1});
        else if (back == c) toC.push_back({fore, 360.0 - v, j, -1});
    }
    double result = kMissingValue;
    const Toward* pairA = nullptr;
    const Toward* pairC = nullptr;
    for (const Toward& u : toA)
        for (const Toward& w : toC)
            if (u.other == w.other) {
                result = w.value > u.value ? w.value - u.value : 360.0 + w.value - u.value;
                pairA = &u;
                pairC = &w;
            }
    if (sources != nullptr) sources->clear();
    if (pairA == nullptr) {
        result = DeriveStationAngle(angles, index, a, s, c, sources);
    } else if (sources != nullptr) {
        sources->push_back({pairC->angle, pairC->sign});
        sources->push_back({pairA->angle, -pairA->sign});
    }
    if (IsMissing(result)) {
        if (sources != nullptr) sources->clear();
        // A missing angle must never reach the arithmetic: always say which one.
        const std::string triple = names.Name(a) + "   " + names.Name(s) + "   " + names.Name(c);
        log.Add(Vn("Thiếu góc : ") + triple);
        Answer answer = ui.AskYesNo("Khong tim thay goc : " + triple +
                                    "\rBan xem lai so hieu canh tuong ung co hop ly chua ?\rTiep tuc nua khong ?");
        if (declined != nullptr) *declined = answer == Answer::No;
        errorFlag = true;
        return kMissingValue;
    }
    return result;
}

namespace {

// The angles measured at station s as directions, each its own measured angle (`measured` holds
// their numbers, in the same order).
std::vector<Direction> StationDirections(const AngleObservations& angles, const StationAngleIndex& index, int s,
                                         std::vector<int>& measured) {
    std::vector<Direction> dirs;
    for (int j : index.At(s))
        if (angles.ForeIds[j] != s) {
            Direction d{angles.BackIds[j], angles.ForeIds[j], angles.Values[j], {}};
            if (dirs.size() < static_cast<std::size_t>(kMaxStationAngles)) d.signs[dirs.size()] = 1;
            dirs.push_back(d);
            measured.push_back(j);
        }
    return dirs;
}

// Rewrites the directions, as far as they chain, to start from the reference r: two angles that
// meet at a direction sum, two that end at one differ.
void ReferTo(int r, std::vector<Direction>& dirs) {
    for (std::size_t i = 1; i < dirs.size(); ++i)
        if (dirs[i].fore == r) dirs[i].Reverse();
    // Each rewrite gives one more direction the reference as its back, so the passes end.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < dirs.size(); ++i)
            for (std::size_t j = i + 1; j < dirs.size(); ++j) {
                Direction& di = dirs[i];
                Direction& dj = dirs[j];
                if (di.fore == dj.back && dj.fore != di.back) {
                    if (di.back == r && dj.back != r) {
                        dj.Combine(r, dj.fore, di.value + dj.value, di, dj, 1);
                        changed = true;
                    } else if (dj.back == r && di.back != r) {
                        di.Combine(r, di.fore, di.value + dj.value, di, dj, 1);
                        changed = true;
                    }
                } else if (di.fore == dj.fore && di.back != dj.back) {
                    if (di.back == r) {
                        dj.Combine(r, dj.back, 360.0 + di.value - dj.value, di, dj, -1);
                        changed = true;
                    } else if (dj.back == r) {
                        di.Combine(r, di.back, 360.0 + dj.value - di.value, dj, di, -1);
                        changed = true;
                    }
                }
            }
    }
}

// Sums of two angles may pass a full turn; the angle is the same direction within one turn.
double WithinTurn(double v) {
    while (v > 360.0) v -= 360.0;
    while (v < 0.0) v += 360.0;
    return v;
}

// The signed measured angles of `plus` less those of `minus` (when given), into `sources` when
// asked for.
void GiveSources(const std::vector<int>& measured, const Direction& plus, int sign, const Direction* minus,
                 std::vector<AngleSource>* sources) {
    if (sources == nullptr) return;
    sources->clear();
    for (std::size_t k = 0; k < measured.size(); ++k) {
        const int net = sign * (plus.signs[k] - (minus != nullptr ? minus->signs[k] : 0));
        if (net != 0) sources->push_back({measured[k], net});
    }
}

}  // namespace

double DeriveStationAngle(const AngleObservations& angles, const StationAngleIndex& index, int a, int s, int c,
                          std::vector<AngleSource>* sources) {
    std::vector<int> measured;
    std::vector<Direction> dirs = StationDirections(angles, index, s, measured);
    if (dirs.empty()) return kMissingValue;
    // Past the signs a direction keeps, the angle is given as one measured angle of its own.
    if (dirs.size() > static_cast<std::size_t>(kMaxStationAngles) && sources != nullptr) {
        sources->clear();
        sources = nullptr;
    }
    const int r = dirs[0].back;
    ReferTo(r, dirs);

    for (const Direction& d : dirs) {
        if (d.back == a && d.fore == c) {
            GiveSources(measured, d, 1, nullptr, sources);
            return WithinTurn(d.value);
        }
        if (d.back == c && d.fore == a) {
            GiveSources(measured, d, -1, nullptr, sources);
            return WithinTurn(360.0 - d.value);
        }
    }
    const Direction* toA = nullptr;
    const Direction* toC = nullptr;
    for (const Direction& d : dirs) {
        if (d.back != r) continue;
        if (d.fore == a && toA == nullptr) toA = &d;
        if (d.fore == c && toC == nullptr) toC = &d;
    }
    if (toA == nullptr || toC == nullptr) return kMissingValue;
    const double va = WithinTurn(toA->value);
    const double vc = WithinTurn(toC->value);
    GiveSources(measured, *toC, 1, toA, sources);
    return vc > va ? vc - va : 360.0 - (va - vc);
}

bool CollectBranchAngles(GroupWorkingSet& ws, const GroupInputs& in, AngleSources wanted, Interaction& ui,
                         LogBuffer& log) {
    bool missing = false;
    const AngleSourceLists sources{ws.AngleSourceFirst, ws.AngleSourceCount, ws.AngleSources};
    return CollectBranchAngles(in.Model, in.Angles, in.AngleIndex, in.SideLengths, ws.Nb, ws.BranchTypes,
                               ws.StartRefPoints, ws.EndRefPoints, ws.PositionAngles, ws.PositionSides, missing, ui,
                               log, wanted == AngleSources::List ? &sources : nullptr);
}

bool CollectBranchAngles(const NetworkModel& model, const AngleObservations& angles,
                         const StationAngleIndex& index, const SideLengthIndex& sides, int nBranches,
                         const OneBased<BranchKind>& kinds, const OneBased<int>& startRefs,
                         const OneBased<int>& endRefs, OneBased<double>& positionAngles,
                         OneBased<double>& positionSides, bool& errorFlag, Interaction& ui, LogBuffer& log,
                         const AngleSourceLists* sources) {
    const BranchModel& br = model.Branches;
    const PointNameTable& names = model.PointNames;
    const int total = br.SumBranchPoints(nBranches);
    EnsureSize(positionAngles, total);
    EnsureSize(positionSides, total);
    std::vector<AngleSource> found;
    if (sources != nullptr) {
        sources->First.Assign(total);
        sources->Count.Assign(total);
        sources->Sources.clear();
    }

    bool complete = true;
    bool declined = false;
    auto angleAt = [&](int pos, int back, int fore) {
        bool missing = false;
        positionAngles[pos] = LookupBranchAngle(angles, index, back, br.PointAt(pos), fore, names, missing, ui, log,
                                                &declined, sources != nullptr ? &found : nullptr);
        if (missing) complete = false;
        if (sources == nullptr) return;
        sources->First[pos] = static_cast<int>(sources->Sources.size());
        sources->Count[pos] = static_cast<int>(found.size());
        sources->Sources.insert(sources->Sources.end(), found.begin(), found.end());
    };
    for (int b = 1; b <= nBranches && !declined; ++b) {
        const int first = br.First(b);
        const int last = br.Last(b);
        if (HasStartAngle(kinds[b])) angleAt(first, startRefs[b], br.PointAt(first + 1));
        if (!declined && HasEndAngle(kinds[b])) angleAt(last, br.PointAt(last - 1), endRefs[b]);
        for (int p = first + 1; p < last && !declined; ++p) angleAt(p, br.PointAt(p - 1), br.PointAt(p + 1));
        for (int p = first; p < last && !declined; ++p) {
            if (sides.Find(br.PointAt(p), br.PointAt(p + 1), positionSides[p])) continue;
            const std::string text =
                Vn("Thiếu cạnh : ") + names.Name(br.PointAt(p)) + "   " + names.Name(br.PointAt(p + 1));
            log.Add(text);
            ShowError(ui, text);
            complete = false;
        }
    }
    if (!complete) errorFlag = true;
    return complete;
}

namespace {

void SpreadNodeValue(const NetworkModel& model, const OneBased<int>& nodeStarts, const OneBased<int>& definingBranch,
                     const OneBased<double>& values, int node, OneBased<double>& branchX) {
    const BranchModel& br = model.Branches;
    const double v = values[node];
    const int d = definingBranch[node];
    const int id = model.NetworkNodes[node];
    branchX[br.Last(d)] = v;
    for (int k = nodeStarts[node] + 1; k <= nodeStarts[(node + 1)]; ++k) {
        const int e = model.NodeBranches[k];
        if (e == d) continue;
        if (br.FirstPoint(e) == id) branchX[br.First(e)] = v;
        if (br.LastPoint(e) == id) branchX[br.Last(e)] = v;
    }
}

}  // namespace

void SpreadNodeX(GroupWorkingSet& ws, const NetworkModel& model, int node) {
    SpreadNodeValue(model, ws.NodeStarts, ws.NodeCarrierBranch, ws.NodeX, node, ws.PositionX);
}

void SpreadNodeY(GroupWorkingSet& ws, const NetworkModel& model, int node) {
    SpreadNodeValue(model, ws.NodeStarts, ws.NodeCarrierBranch, ws.NodeY, node, ws.PositionY);
}

void SpreadNodeAzimuth(GroupWorkingSet& ws, const NetworkModel& model, int node) {
    const OneBased<int>& nodeStarts = ws.NodeStarts;
    const OneBased<int>& definingBranch = ws.NodeCarrierBranch;
    const OneBased<BranchKind>& kinds = ws.BranchTypes;
    OneBased<double>& startAzimuths = ws.BranchStartAzimuths;
    OneBased<double>& endAzimuths = ws.BranchEndAzimuths;
    const OneBased<double>& nodeAzimuths = ws.NodeAzimuths;
    const BranchModel& br = model.Branches;
    const double a = nodeAzimuths[node];
    const double r = ReverseAzimuth(a);
    const int d = definingBranch[node];
    const int id = model.NetworkNodes[node];
    const bool dEndsWithAngle = HasEndAngle(kinds[d]);
    endAzimuths[d] = a;
    for (int k = nodeStarts[node] + 1; k <= nodeStarts[(node + 1)]; ++k) {
        const int e = model.NodeBranches[k];
        if (e == d) continue;
        const int ei = e;
        const bool closed = br.FirstPoint(e) == br.LastPoint(e);
        const bool starts = br.FirstPoint(e) == id;
        double* start = &startAzimuths[ei];
        double* end = &endAzimuths[ei];
        // Which azimuth a branch takes depends on whether the defining branch arrives with a
        // measured angle at the node and on which ends of e carry one.
        switch (kinds[ei]) {
            case BranchKind::BothEnds:
                if (closed || starts) *start = dEndsWithAngle ? r : a;
                if (closed || !starts) *end = dEndsWithAngle ? a : r;
                break;
            case BranchKind::StartOnly:
                if (dEndsWithAngle) {
                    if (closed || starts) *start = r;
                    if (closed || !starts) *end = r;
                } else {
                    *start = a;
                }
                break;
            case BranchKind::EndOnly:
                if (dEndsWithAngle) {
                    if (closed || starts) *start = a;
                    if (closed || !starts) *end = a;
                } else {
                    *end = r;
                }
                break;
            case BranchKind::Neither:
                if (dEndsWithAngle) {
                    if (closed || starts) *start = a;
                    if (closed || !starts) *end = r;
                }
                break;
            default: break;
        }
    }
}

}  // namespace qef
