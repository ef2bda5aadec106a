#pragma once
// Lists written inline in a test, read from a file, and 1-based lists made comparable.
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/model/OneBased.h"
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

// name -> (X, Y) of a result or coordinate file; `repeats` counts names listed more than once.
inline std::map<std::string, std::pair<double, double>> ReadResult(const std::string& path, int& repeats) {
    std::map<std::string, std::pair<double, double>> points;
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

}  // namespace qef::test
