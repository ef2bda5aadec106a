#pragma once
// Reading the printed angle books back: their lines, the cells of a table row and the angles in
// them, as the tests of the books check them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef::test {

// "DDD MM SS[.s]" in seconds; the text must be an angle of the circle.
inline double Seconds(const std::string& text) {
    int d = 0, m = 0;
    double s = 0;
    EXPECT_EQ(std::sscanf(text.c_str(), "%d %d %lf", &d, &m, &s), 3) << text;
    EXPECT_TRUE(d >= 0 && d < 360 && m < 60 && s < 60) << text;
    return d * 3600.0 + m * 60.0 + s;
}

// a - b in seconds, wrapped into (-180, 180] degrees.
inline double WrappedDiff(double a, double b) {
    double d = std::fmod(a - b, 1296000.0);
    if (d > 648000) d -= 1296000;
    if (d <= -648000) d += 1296000;
    return d;
}

// The cells of a table row "|a|b|...|" (the first character is the row's left border).
inline std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '|') {
            cells.push_back(cell);
            cell.clear();
        } else {
            cell += line[i];
        }
    }
    return cells;
}

// A row of the angle table that opens a reading: nine cells, the first naming a point rather than
// blank or a heading (the headings hold "L" or "đ").
inline bool OpensReading(const std::vector<std::string>& b) {
    return b.size() == 9 && b[0].find_first_not_of(' ') != std::string::npos && b[0].find("L") == std::string::npos &&
           b[0].find("đ") == std::string::npos;
}

// A TCVN3 book's lines in UTF-8, without their line ends.
inline std::vector<std::string> BookLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(Tcvn3ToUtf8(ReadFileBytes(path)));
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
    return lines;
}

}  // namespace qef::test
