#include "core/analysis/Duplicates.h"

#include <algorithm>
#include <compare>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/numeric/Numbers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

std::uint64_t PairKey(int a, int b) {
    if (a > b) std::swap(a, b);
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

struct AngleKey {
    int station;
    std::uint64_t ends;
    auto operator<=>(const AngleKey&) const = default;
};

// Keeps the entries whose `keep` flag is set, in order.
template <typename T>
void Compact(OneBased<T>& list, const OneBased<char>& keep) {
    int out = 0;
    for (int i = 1; i <= list.Size(); ++i)
        if (keep[i]) list[++out] = list[i];
    list.Resize(out);
}

// An entry and the later entries with its key, in list order.
struct Repeats {
    int First;
    std::vector<int> Others;
};

// The entries whose key comes again later, in list order, each with its repeats. Sorting by key
// and position keeps each key's entries in list order.
template <typename Key, typename KeyOf>
std::vector<Repeats> GroupRepeats(int count, KeyOf keyOf) {
    std::vector<std::pair<Key, int>> keyed;
    keyed.reserve(count);
    for (int i = 1; i <= count; ++i) keyed.emplace_back(keyOf(i), i);
    std::sort(keyed.begin(), keyed.end());
    std::vector<Repeats> repeats;
    for (std::size_t g = 0; g < keyed.size();) {
        std::size_t end = g + 1;
        while (end < keyed.size() && keyed[end].first == keyed[g].first) ++end;
        if (end - g > 1) {
            Repeats r{keyed[g].second, {}};
            for (std::size_t k = g + 1; k < end; ++k) r.Others.push_back(keyed[k].second);
            repeats.push_back(std::move(r));
        }
        g = end;
    }
    std::sort(repeats.begin(), repeats.end(), [](const Repeats& a, const Repeats& b) { return a.First < b.First; });
    return repeats;
}

bool MergeSides(SideObservations& sides, const PointNameTable& names, LogBuffer& log) {
    const int count = sides.Count();
    const std::vector<Repeats> repeats = GroupRepeats<std::uint64_t>(
        count, [&](int i) { return PairKey(sides.FromIds[i], sides.ToIds[i]); });
    OneBased<char> keep(count, 1);
    bool any = false;
    for (const Repeats& r : repeats) {
        const int i = r.First;
        double sum = sides.Lengths[i];
        for (int j : r.Others) {
            log.Add(Vn("Cạnh trùng ") + names.Name(sides.FromIds[i]) + " -> " +
                    names.Name(sides.ToIds[i]));
            sum += sides.Lengths[j];
            keep[j] = 0;
        }
        sides.Lengths[i] = RoundHalfEven(3, sum / static_cast<double>(r.Others.size() + 1));
        any = true;
    }
    Compact(sides.FromIds, keep);
    Compact(sides.ToIds, keep);
    Compact(sides.Lengths, keep);
    return any;
}

bool MergeAngles(AngleObservations& angles, const PointNameTable& names, LogBuffer& log) {
    const int count = angles.Count();
    const std::vector<Repeats> repeats = GroupRepeats<AngleKey>(count, [&](int i) {
        return AngleKey{angles.StationIds[i], PairKey(angles.BackIds[i], angles.ForeIds[i])};
    });
    OneBased<char> keep(count, 1);
    bool any = false;
    for (const Repeats& r : repeats) {
        const int i = r.First;
        const double first = angles.Values[i];
        double sum = first;
        for (int j : r.Others) {
            log.Add(Vn("Góc trùng ") + names.Name(angles.BackIds[i]) + " <- " +
                    names.Name(angles.StationIds[i]) + " -> " + names.Name(angles.ForeIds[i]));
            const bool sameWay = angles.BackIds[j] == angles.BackIds[i] &&
                                 angles.ForeIds[j] == angles.ForeIds[i];
            double value = sameWay ? angles.Values[j] : 360.0 - angles.Values[j];
            // Readings either side of 0/360 are one direction: bring each within half a turn of the first.
            while (value - first > 180.0) value -= 360.0;
            while (value - first < -180.0) value += 360.0;
            sum += value;
            keep[j] = 0;
        }
        double mean = sum / static_cast<double>(r.Others.size() + 1);
        while (mean >= 360.0) mean -= 360.0;
        while (mean < 0.0) mean += 360.0;
        angles.Values[i] = mean;
        any = true;
    }
    Compact(angles.BackIds, keep);
    Compact(angles.StationIds, keep);
    Compact(angles.ForeIds, keep);
    Compact(angles.Values, keep);
    return any;
}

}  // namespace

void FindDuplicateObservations(Observations& obs, const PointNameTable& names, LogBuffer& log,
                               Interaction& ui) {
    const bool sides = MergeSides(obs.Sides, names, log);
    const bool angles = MergeAngles(obs.Angles, names, log);
    const char* what = angles && sides ? "GOC - CANH" : angles ? "GOC" : sides ? "CANH" : nullptr;
    if (what != nullptr)
        ui.Message(std::string("Du lieu cua ban co ") + what + " trung nhau, CT tam tinh trung binh nhung ban can xem lai");
}

}  // namespace qef
