#pragma once
// The source of the random whole numbers that the simulated books draw. Tests give a fixed seed
// or a fixed list of draws.
#include <cstdint>
#include <random>

namespace qef {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A whole number in 0 .. n-1; 0 when n is 1 or less.
    virtual int Below(int n) = 0;
};

class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
    int Below(int n) override {
        if (n <= 1) return 0;
        return std::uniform_int_distribution<int>(0, n - 1)(engine_);
    }

private:
    std::mt19937 engine_;
};

}  // namespace qef
