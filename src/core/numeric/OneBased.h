#pragma once
// A growable list indexed from 1, as the survey algorithms number their items: the offsets of
// the algorithms then read as they are stated. Element 0 exists but is never used; indices are
// checked in debug builds. Sizes and indices are int, like every index of the algorithms.
#include <cassert>
#include <cstddef>
#include <vector>

namespace qef {

template <typename T>
class OneBased {
public:
    OneBased() : items_(1) {}
    explicit OneBased(int count, const T& value = T()) : items_(Slots(count), value) {}

    // Number of usable elements (index 1..Size()).
    int Size() const { return static_cast<int>(items_.size()) - 1; }
    bool Empty() const { return items_.size() == 1; }
    void Resize(int count, const T& value = T()) { items_.resize(Slots(count), value); }
    // count elements of `value`, in the storage already held when it is large enough.
    void Assign(int count, const T& value = T()) { items_.assign(Slots(count), value); }
    void Clear() { items_.resize(1); }
    void Reserve(int count) { items_.reserve(Slots(count)); }
    void PushBack(const T& value) { items_.push_back(value); }
    void PushBack(T&& value) { items_.push_back(std::move(value)); }

    T& operator[](int i) {
        assert(i >= 1 && i <= Size());
        return items_[static_cast<std::size_t>(i)];
    }
    const T& operator[](int i) const {
        assert(i >= 1 && i <= Size());
        return items_[static_cast<std::size_t>(i)];
    }

    T& Back() { return items_.back(); }
    const T& Back() const { return items_.back(); }

    // Iteration covers elements 1..Size().
    auto begin() { return items_.begin() + 1; }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin() + 1; }
    auto end() const { return items_.end(); }

private:
    std::vector<T> items_;

    static std::size_t Slots(int count) {
        assert(count >= 0);
        return static_cast<std::size_t>(count) + 1;
    }
};

}  // namespace qef
