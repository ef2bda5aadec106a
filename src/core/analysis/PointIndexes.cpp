#include "core/analysis/PointIndexes.h"

#include <algorithm>

namespace qef {

void PointFlags::Add(const OneBased<int>& list, int count) {
    const int n = std::min(count, list.Size());
    for (int i = 1; i <= n; ++i) Add(list[i]);
}

bool PointPairs::Contains(int a, int b) const {
    if (!InRange(a)) return false;
    const auto begin = seconds_.begin() + first_[static_cast<std::size_t>(a)];
    const auto end = seconds_.begin() + first_[static_cast<std::size_t>(a) + 1];
    return std::binary_search(begin, end, b);
}

void PointPairs::SortSeconds() {
    for (std::size_t a = 0; a + 1 < first_.size(); ++a)
        if (first_[a + 1] - first_[a] > 1)
            std::sort(seconds_.begin() + first_[a], seconds_.begin() + first_[a + 1]);
}

int KnownPointIndex::Last(int point) {
    const PointList& list = *list_;
    if (list.Count() < read_) {
        read_ = 0;
        last_.clear();
    }
    for (; read_ < list.Count(); ++read_) {
        const int id = list.Ids[read_ + 1];
        if (id <= 0) continue;
        if (static_cast<std::size_t>(id) >= last_.size()) last_.resize(static_cast<std::size_t>(id) * 2, 0);
        last_[id] = read_ + 1;
    }
    return point > 0 && static_cast<std::size_t>(point) < last_.size() ? last_[point] : 0;
}

void OrderIndex::Build(const NetworkModel& model, const SidePairs& sides, const OneBased<int>& hardNodes,
                       const OneBased<int>& sideOnlyKnown, const PointList& known, int knownCount) {
    const int n = std::clamp(knownCount, 0, known.Count());
    starts_.Build(model);
    const int maxId = std::max({model.PointNames.Count(), LargestId(sides.EndsA), LargestId(sides.EndsB),
                                LargestId(hardNodes), LargestId(sideOnlyKnown), LargestId(known.Ids),
                                LargestId(model.AngleNodeCandidates), LargestId(model.StartStations),
                                LargestId(model.StartTargets)});
    roles_.assign(maxId + 1, 0);
    Mark(hardNodes, hardNodes.Size(), kHardNode);
    Mark(sideOnlyKnown, sideOnlyKnown.Size(), kSideOnly);
    Mark(known.Ids, n, kKnown);
    Mark(model.AngleNodeCandidates, model.AngleNodeCandidates.Size(), kAngleNode);
    IndexSides(sides);
    sideCount_ = sides.Count();
    nextStart_ = 1;
    built_ = true;
    steps_ += maxId + sides.Count() + model.StartStations.Size();
}

void OrderIndex::Mark(const OneBased<int>& ids, int count, Role role) {
    for (int i = 1; i <= count; ++i)
        if (InRange(ids[i])) roles_[ids[i]] |= role;
}

void SidesByPoint::Build(const SidePairs& sides, int largestId) {
    const auto slots = static_cast<std::size_t>(std::max(largestId, 0)) + 1;
    std::vector<int> count(slots, 0);
    auto usable = [&](int i) { return sides.EndsA[i] > 0 && sides.EndsB[i] > 0; };
    for (int i = 1; i <= sides.Count(); ++i) {
        if (!usable(i)) continue;
        ++count[sides.EndsA[i]];
        if (sides.EndsB[i] != sides.EndsA[i]) ++count[sides.EndsB[i]];
    }
    first_.assign(slots + 1, 0);
    for (std::size_t p = 1; p < slots; ++p) first_[p + 1] = first_[p] + count[p];
    sides_.assign(first_.back(), 0);
    cursor_.assign(first_.begin(), first_.end() - 1);
    for (int i = 1; i <= sides.Count(); ++i) {
        if (!usable(i)) continue;
        const int a = sides.EndsA[i];
        const int b = sides.EndsB[i];
        sides_[cursor_[a]++] = i;
        if (b != a) sides_[cursor_[b]++] = i;
    }
    cursor_.assign(first_.begin(), first_.end() - 1);
}

int SidesByPoint::Next(int point, const SidePairs& sides, long long& steps) {
    if (point <= 0 || static_cast<std::size_t>(point) + 1 >= first_.size()) return 0;
    int& c = cursor_[point];
    const int end = first_[point + 1];
    for (; c < end && sides.EndsA[sides_[c]] == 0; ++c) ++steps;
    ++steps;
    return c < end ? sides_[c] : 0;
}

// Sides by end point, and how many are left at each point as groups take them.
void OrderIndex::IndexSides(const SidePairs& sides) {
    const std::size_t points = roles_.size();
    left_.assign(points, 0);
    for (int i = 1; i <= sides.Count(); ++i) {
        const int a = sides.EndsA[i];
        const int b = sides.EndsB[i];
        if (a <= 0 || b <= 0) continue;
        ++left_[a];
        if (b != a) ++left_[b];
    }
    sidesAt_.Build(sides, static_cast<int>(points) - 1);
}

bool OrderIndex::IsStop(int point, int sideCount) const {
    ++steps_;
    if (starts_.IsStation(point) || starts_.IsTarget(point)) return true;
    if (!InRange(point)) return false;
    const std::uint8_t roles = roles_[point];
    if ((roles & (kHardNode | kSideOnly)) != 0) return true;
    return (roles & kAngleNode) != 0 && (roles & kKnown) == 0 && sideCount >= 3;
}

int OrderIndex::NextSide(int point, const SidePairs& sides) {
    if (!InRange(point)) return 0;
    return sidesAt_.Next(point, sides, steps_);
}

void OrderIndex::Taken(int a, int b) {
    if (InRange(a)) --left_[a];
    if (b != a && InRange(b)) --left_[b];
}

int OrderIndex::NextGroupStart(const OneBased<int>& startStations) {
    for (; nextStart_ <= startStations.Size(); ++nextStart_) {
        ++steps_;
        if (SidesLeft(startStations[nextStart_]) > 0) return startStations[nextStart_];
    }
    return 0;
}

}  // namespace qef
