#pragma once
// A set of node positions (positions in NetworkNodes, from 1). Element 0 marks a dead-ended
// branch. Kept as a sorted vector: a branch's set holds at most its two end nodes and the marker,
// and a group's set is read in position order.
#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace qef {

class NodeSet {
public:
    NodeSet() = default;
    NodeSet(std::initializer_list<int> elements) {
        for (int e : elements) Insert(e);
    }

    bool Empty() const { return items_.empty(); }
    std::size_t Size() const { return items_.size(); }
    void Clear() { items_.clear(); }

    bool Contains(int e) const { return std::binary_search(items_.begin(), items_.end(), e); }

    void Insert(int e) {
        auto it = std::lower_bound(items_.begin(), items_.end(), e);
        if (it == items_.end() || *it != e) items_.insert(it, e);
    }

    void Erase(int e) {
        auto it = std::lower_bound(items_.begin(), items_.end(), e);
        if (it != items_.end() && *it == e) items_.erase(it);
    }

    // this := this + other
    NodeSet& operator|=(const NodeSet& other) {
        std::vector<int> merged;
        merged.reserve(items_.size() + other.items_.size());
        std::set_union(items_.begin(), items_.end(), other.items_.begin(), other.items_.end(),
                       std::back_inserter(merged));
        items_.swap(merged);
        return *this;
    }

    // this := this - other
    NodeSet& operator-=(const NodeSet& other) {
        std::vector<int> rest;
        rest.reserve(items_.size());
        std::set_difference(items_.begin(), items_.end(), other.items_.begin(), other.items_.end(),
                            std::back_inserter(rest));
        items_.swap(rest);
        return *this;
    }

    // True when the two sets share an element (0 included).
    bool Intersects(const NodeSet& other) const {
        const NodeSet& small = Size() <= other.Size() ? *this : other;
        const NodeSet& large = Size() <= other.Size() ? other : *this;
        for (int e : small.items_)
            if (large.Contains(e)) return true;
        return false;
    }

    friend bool operator==(const NodeSet&, const NodeSet&) = default;

    // Elements in increasing order.
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<int> items_;
};

inline NodeSet operator|(NodeSet a, const NodeSet& b) { return a |= b; }
inline NodeSet operator-(NodeSet a, const NodeSet& b) { return a -= b; }

}  // namespace qef
