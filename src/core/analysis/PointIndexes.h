#pragma once
// Look-ups by point id that the analysis of an order and the adjustment of its groups read
// instead of scanning lists. Each is built once per run or per order, and a look-up costs an
// array access, so that a group costs what its own sides and branches cost, not what the whole
// network costs. Ids outside the range met when building have no role and no entries.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "core/analysis/StartDirections.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"

namespace qef {

// A set of point ids (0 included) held as flags up to the largest id it may hold.
class PointFlags {
public:
    explicit PointFlags(int largestId) : flags_(static_cast<std::size_t>(std::max(largestId, 0)) + 1, 0) {}
    // The ids of list[1..count] (count clipped to the list).
    void Add(const OneBased<int>& list, int count);
    void Add(const OneBased<int>& list) { Add(list, list.Size()); }
    void Add(int id) {
        if (InRange(id)) flags_[static_cast<std::size_t>(id)] = 1;
    }
    bool Contains(int id) const { return InRange(id) && flags_[static_cast<std::size_t>(id)] != 0; }

private:
    std::vector<std::uint8_t> flags_;
    bool InRange(int id) const { return id >= 0 && static_cast<std::size_t>(id) < flags_.size(); }
};

// A set of ordered pairs of point ids, held by first id: the second ids of each first id sorted.
class PointPairs {
public:
    // forEach(add) must call add(a, b) for every pair, the same way both times it is called.
    template <typename ForEach>
    PointPairs(int largestId, ForEach forEach) : first_(static_cast<std::size_t>(std::max(largestId, 0)) + 2, 0) {
        forEach([&](int a, int) {
            if (InRange(a)) ++first_[static_cast<std::size_t>(a) + 1];
        });
        for (std::size_t p = 1; p < first_.size(); ++p) first_[p] += first_[p - 1];
        seconds_.assign(static_cast<std::size_t>(first_.back()), 0);
        std::vector<int> fill(first_.begin(), first_.end() - 1);
        forEach([&](int a, int b) {
            if (InRange(a)) seconds_[static_cast<std::size_t>(fill[static_cast<std::size_t>(a)]++)] = b;
        });
        SortSeconds();
    }
    bool Contains(int a, int b) const;

private:
    std::vector<int> first_;  // seconds of a: seconds_[first_[a] .. first_[a + 1])
    std::vector<int> seconds_;
    bool InRange(int a) const { return a >= 0 && static_cast<std::size_t>(a) + 1 < first_.size(); }
    void SortSeconds();
};

// The last entry of each point in a list that only grows (a later entry wins). Entries added
// since the previous look-up are read by the next one, so each entry is read once.
class KnownPointIndex {
public:
    explicit KnownPointIndex(const PointList& list) : list_(&list) {}
    // Position in the list of the point's last entry; 0 when it has none.
    int Last(int point);
    const PointList& List() const { return *list_; }

private:
    const PointList* list_;
    int read_ = 0;
    std::vector<int> last_;
};

// Sides by end point in list order, as a walk takes them: the lowest-numbered side still unused at
// a point (walked sides have end ids 0) is found without rescanning the list.
class SidesByPoint {
public:
    // Points 1..largestId; sides with an end 0 are left out.
    void Build(const SidePairs& sides, int largestId);
    // The lowest-numbered unused side at `point`, 0 when none; every entry read adds to `steps`.
    int Next(int point, const SidePairs& sides, long long& steps);
    int Next(int point, const SidePairs& sides) {
        long long steps = 0;
        return Next(point, sides, steps);
    }

private:
    std::vector<int> first_;   // sides at p: sides_[first_[p] .. first_[p + 1]), cursor_[p] past the used
    std::vector<int> cursor_;
    std::vector<int> sides_;
};

// One order of the analysis: the roles of its points, its start directions by station, and its
// working sides by end point, kept in step as its groups take their sides. PrepareTraverseAnalysis
// builds it; BuildGroupBranches and NextGroupStart keep it current as long as nothing else
// changes the order's sides. Steps() counts the list entries and look-ups it has served, which
// grow with the network and not with its groups times its size.
class OrderIndex {
public:
    // From the model's start directions and angle-node candidates, the order's working sides, its
    // hard nodes and known side-only points, and known.Ids[1..knownCount].
    void Build(const NetworkModel& model, const SidePairs& sides, const OneBased<int>& hardNodes,
               const OneBased<int>& sideOnlyKnown, const PointList& known, int knownCount);
    // Built for this list of sides: the same list, changed since only by BuildGroupBranches.
    bool Covers(const SidePairs& sides) const { return built_ && sides.Count() == sideCount_; }

    const StartDirectionIndex& Starts() const { return starts_; }
    bool IsHardNode(int point) const { return Has(point, kHardNode); }
    bool IsSideOnly(int point) const { return Has(point, kSideOnly); }
    // Where a walk stops: a start station or target, a hard node, a known side-only point, or an
    // angle-node candidate that is no known point and ends three or more of the sides walked.
    bool IsStop(int point, int sideCount) const;

    // The lowest-numbered side of the order still unused at `point` (walked sides have id 0);
    // 0 when none.
    int NextSide(int point, const SidePairs& sides);
    // Unused sides at `point` (a side from a point to itself counts once), as of the last Taken.
    int SidesLeft(int point) const { return InRange(point) ? left_[point] : 0; }
    // A side between a and b has been walked.
    void Taken(int a, int b);
    // The first start station, in list order, that still ends an unused side; 0 when none.
    int NextGroupStart(const OneBased<int>& startStations);

    long long Steps() const { return steps_; }
    void CountSteps(long long n) const { steps_ += n; }

private:
    enum Role : std::uint8_t { kHardNode = 1, kSideOnly = 2, kKnown = 4, kAngleNode = 8 };

    bool built_ = false;
    int sideCount_ = 0;
    int nextStart_ = 1;
    StartDirectionIndex starts_;
    std::vector<std::uint8_t> roles_;
    std::vector<int> left_;
    SidesByPoint sidesAt_;
    mutable long long steps_ = 0;

    bool InRange(int point) const { return point > 0 && static_cast<std::size_t>(point) < roles_.size(); }
    bool Has(int point, Role role) const {
        ++steps_;
        return InRange(point) && (roles_[point] & role) != 0;
    }
    void Mark(const OneBased<int>& ids, int count, Role role);
    void IndexSides(const SidePairs& sides);
};

}  // namespace qef
