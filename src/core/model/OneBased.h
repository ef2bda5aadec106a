#pragma once
// A growable list indexed from 1, as the survey algorithms number their items.
// Element 0 exists but is never used; indices are checked in debug builds.
#include <cassert>
#include <cstddef>
#include <vector>

namespace qef {

template <typename T>
class OneBased {
public:
    OneBased() : items_(1) {}
    explicit OneBased(std::size_t count, const T& value = T()) : items_(count + 1, value) {}

    // Number of usable elements (index 1..Size()).
    std::size_t Size() const { return items_.size() - 1; }
    bool Empty() const { return items_.size() == 1; }
    void Resize(std::size_t count, const T& value = T()) { items_.resize(count + 1, value); }
    void Clear() { items_.resize(1); }
    void Reserve(std::size_t count) { items_.reserve(count + 1); }
    void PushBack(const T& value) { items_.push_back(value); }
    void PushBack(T&& value) { items_.push_back(std::move(value)); }

    T& operator[](std::size_t i) {
        assert(i >= 1 && i < items_.size());
        return items_[i];
    }
    const T& operator[](std::size_t i) const {
        assert(i >= 1 && i < items_.size());
        return items_[i];
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
};

}  // namespace qef
