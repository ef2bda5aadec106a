#pragma once
// Lists written inline in a test, read from a file, and 1-based lists made comparable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/numeric/OneBased.h"
#include "support/Fakes.h"

namespace qef::test {

using Lines = std::vector<std::string>;

template <typename T>
OneBased<T> List(std::initializer_list<T> items) {
    OneBased<T> list;
    for (const T& item : items) list.PushBack(item);
    return list;
}

// The elements 1..Size(), for EXPECT_EQ against a braced list.
template <typename T>
std::vector<T> Vec(const OneBased<T>& list) {
    return {list.begin(), list.end()};
}

// The lines of a text file without their line ends; none when it is missing.
inline Lines ReadLines(const std::string& path) {
    Lines lines;
    std::istringstream text(ReadFileBytes(path));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

using PointMap = std::map<std::string, std::pair<double, double>>;

// name -> (X, Y) of a result or coordinate file; `repeats` counts names listed more than once.
inline PointMap ReadResult(const std::string& path, int& repeats) {
    PointMap points;
    repeats = 0;
    for (std::string line : ReadLines(path)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const auto t1 = line.find('\t');
        const auto t2 = line.find('\t', t1 + 1);
        const std::string name = line.substr(0, t1);
        if (points.count(name)) ++repeats;
        points[name] = {std::strtod(line.c_str() + t1 + 1, nullptr), std::strtod(line.c_str() + t2 + 1, nullptr)};
    }
    return points;
}

// Every point of `some` is in `all`, within `tolerance` of it.
inline void ExpectPointsNear(const PointMap& all, const PointMap& some, double tolerance) {
    for (const auto& [name, xy] : some) {
        ASSERT_TRUE(all.count(name)) << name;
        EXPECT_NEAR(all.at(name).first, xy.first, tolerance) << name;
        EXPECT_NEAR(all.at(name).second, xy.second, tolerance) << name;
    }
}

// A result file holds each point once, and the points of `truth` and no other, within `tolerance`.
inline void ExpectResult(const std::string& path, const PointMap& truth, double tolerance) {
    int repeats = 0;
    const PointMap result = ReadResult(path, repeats);
    EXPECT_EQ(repeats, 0);
    EXPECT_EQ(result.size(), truth.size());
    ExpectPointsNear(result, truth, tolerance);
}

}  // namespace qef::test
