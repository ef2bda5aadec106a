#include "core/analysis/Duplicates.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/numeric/Numbers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

std::size_t Index(int i) { return static_cast<std::size_t>(i); }

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
void Compact(OneBased<T>& list, const std::vector<char>& keep) {
    std::size_t out = 0;
    for (std::size_t i = 1; i <= list.Size(); ++i)
        if (keep[i]) list[++out] = list[i];
    list.Resize(out);
}

// Repeats of the first entry of each key, in the order a scan from the front meets them.
template <typename Key, typename Hash, typename KeyOf>
std::vector<std::vector<int>> GroupRepeats(int count, KeyOf keyOf) {
    std::unordered_map<Key, int, Hash> firstOf;
    firstOf.reserve(Index(count));
    std::vector<std::vector<int>> repeats(Index(count) + 1);
    for (int i = 1; i <= count; ++i) {
        auto [it, inserted] = firstOf.try_emplace(keyOf(i), i);
        if (!inserted) repeats[Index(it->second)].push_back(i);
    }
    return repeats;
}

bool MergeSides(SideObservations& sides, const PointNameTable& names, LogBuffer& log) {
    const int count = sides.Count();
    auto repeats = GroupRepeats<std::uint64_t, std::hash<std::uint64_t>>(
        count, [&](int i) { return PairKey(sides.FromIds[Index(i)], sides.ToIds[Index(i)]); });
    std::vector<char> keep(Index(count) + 1, 1);
    bool any = false;
    for (int i = 1; i <= count; ++i) {
        if (!keep[Index(i)] || repeats[Index(i)].empty()) continue;
        double sum = sides.Lengths[Index(i)];
        for (int j : repeats[Index(i)]) {
            log.Add(Vn("Cạnh trùng ") + names.Name(sides.FromIds[Index(i)]) + " -> " +
                    names.Name(sides.ToIds[Index(i)]));
            sum += sides.Lengths[Index(j)];
            keep[Index(j)] = 0;
        }
        sides.Lengths[Index(i)] = RoundHalfEven(3, sum / static_cast<double>(repeats[Index(i)].size() + 1));
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
        return AngleKey{angles.StationIds[Index(i)], PairKey(angles.BackIds[Index(i)], angles.ForeIds[Index(i)])};
    });
    std::vector<char> keep(Index(count) + 1, 1);
    bool any = false;
    for (int i = 1; i <= count; ++i) {
        if (!keep[Index(i)] || repeats[Index(i)].empty()) continue;
        const double first = angles.Values[Index(i)];
        double sum = first;
        for (int j : repeats[Index(i)]) {
            log.Add(Vn("Góc trùng ") + names.Name(angles.BackIds[Index(i)]) + " <- " +
                    names.Name(angles.StationIds[Index(i)]) + " -> " + names.Name(angles.ForeIds[Index(i)]));
            const bool sameWay = angles.BackIds[Index(j)] == angles.BackIds[Index(i)] &&
                                 angles.ForeIds[Index(j)] == angles.ForeIds[Index(i)];
            double value = sameWay ? angles.Values[Index(j)] : 360.0 - angles.Values[Index(j)];
            // Readings either side of 0/360 are one direction: bring each within half a turn of the first.
            while (value - first > 180.0) value -= 360.0;
            while (value - first < -180.0) value += 360.0;
            sum += value;
            keep[Index(j)] = 0;
        }
        double mean = sum / static_cast<double>(repeats[Index(i)].size() + 1);
        while (mean >= 360.0) mean -= 360.0;
        while (mean < 0.0) mean += 360.0;
        angles.Values[Index(i)] = mean;
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
