#include "core/analysis/Duplicates.h"

#include <cstdint>
#include <unordered_map>
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
    bool operator==(const AngleKey&) const = default;
};
struct AngleKeyHash {
    std::size_t operator()(const AngleKey& k) const {
        return std::hash<std::uint64_t>()(k.ends) ^ (std::hash<int>()(k.station) * 0x9E3779B97F4A7C15ull);
    }
};

// Keeps the entries whose `keep` flag is set, in order.
template <typename T>
void Compact(OneBased<T>& list, const OneBased<char>& keep) {
    int out = 0;
    for (int i = 1; i <= list.Size(); ++i)
        if (keep[i]) list[++out] = list[i];
    list.Resize(out);
}

// Repeats of the first entry of each key, in the order a scan from the front meets them.
template <typename Key, typename Hash, typename KeyOf>
OneBased<std::vector<int>> GroupRepeats(int count, KeyOf keyOf) {
    std::unordered_map<Key, int, Hash> firstOf;
    firstOf.reserve(count);
    OneBased<std::vector<int>> repeats(count);
    for (int i = 1; i <= count; ++i) {
        auto [it, inserted] = firstOf.try_emplace(keyOf(i), i);
        if (!inserted) repeats[it->second].push_back(i);
    }
    return repeats;
}

bool MergeSides(SideObservations& sides, const PointNameTable& names, LogBuffer& log) {
    const int count = sides.Count();
    auto repeats = GroupRepeats<std::uint64_t, std::hash<std::uint64_t>>(
        count, [&](int i) { return PairKey(sides.FromIds[i], sides.ToIds[i]); });
    OneBased<char> keep(count, 1);
    bool any = false;
    for (int i = 1; i <= count; ++i) {
        if (!keep[i] || repeats[i].empty()) continue;
        double sum = sides.Lengths[i];
        for (int j : repeats[i]) {
            log.Add(Vn("Cạnh trùng ") + names.Name(sides.FromIds[i]) + " -> " +
                    names.Name(sides.ToIds[i]));
            sum += sides.Lengths[j];
            keep[j] = 0;
        }
        sides.Lengths[i] = RoundHalfEven(3, sum / static_cast<double>(repeats[i].size() + 1));
        any = true;
    }
    Compact(sides.FromIds, keep);
    Compact(sides.ToIds, keep);
    Compact(sides.Lengths, keep);
    return any;
}

bool MergeAngles(AngleObservations& angles, const PointNameTable& names, LogBuffer& log) {
    const int count = angles.Count();
    auto repeats = GroupRepeats<AngleKey, AngleKeyHash>(count, [&](int i) {
        return AngleKey{angles.StationIds[i], PairKey(angles.BackIds[i], angles.ForeIds[i])};
    });
    OneBased<char> keep(count, 1);
    bool any = false;
    for (int i = 1; i <= count; ++i) {
        if (!keep[i] || repeats[i].empty()) continue;
        const double first = angles.Values[i];
        double sum = first;
        for (int j : repeats[i]) {
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
        double mean = sum / static_cast<double>(repeats[i].size() + 1);
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
