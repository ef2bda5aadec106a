#pragma once
// Lists written inline in a test, read from a file, and 1-based lists made comparable.
#include <initializer_list>
#include <sstream>
#include <string>
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

}  // namespace qef::test
