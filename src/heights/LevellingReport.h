#pragma once
// The text of the levelling results: the table of each line for the report and the lines of the
// heights file. Only formatting: every value is computed before.
#include <string>
#include <vector>

#include "core/model/NetworkModel.h"
#include "heights/LevellingGroup.h"

namespace qef {

enum class LevellingTableKind {
    Adjusted,  // a line of an adjusted group, closed by its [S], Fh and Fhgh
    Open,      // a hanging line, carried on without correction
};

// Appends the table of one line: its points with their heights, between them the segments with
// their lengths and height differences.
void AddLevellingTable(std::vector<std::string>& report, const LevellingBranch& branch, const PointNameTable& names,
                       LevellingTableKind kind, int heightClosureFactor, bool keepAccents);

// One line of the heights file: name, TAB, height.
std::string HeightFileLine(const std::string& name, double height);

}  // namespace qef
