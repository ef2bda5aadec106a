#pragma once
// Sorting a plain coordinate file (name X Y, or name X Y H) by point name after removing the
// points it lists twice.
#include <string>

#include "core/io/ToolFiles.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/numeric/OneBased.h"

namespace qef {

enum class PointFileKind { XY, XYH };
enum class SortOrder { Ascending, Descending };

// Parallel lists from 1; H is empty for plain coordinates.
struct PointRecords {
    OneBased<std::string> Names;
    OneBased<double> X;
    OneBased<double> Y;
    OneBased<double> H;

    int Count() const { return Names.Size(); }
};

// Two entries of one name within this of each other in every coordinate are one point: 0.9 mm,
// in 0.1 mm.
inline constexpr long long kSamePointTenths = 9;

// Keeps the first of every group of entries that are one point (RemoveDuplicatePoints, and
// RemoveDuplicatePointsXYZ when the records have heights: H is then compared too). Entries of one name that differ
// are all kept, with the message "Diem <name> co 2 toa do khac nhau" for each such pair.
void RemoveDuplicatePoints(PointRecords& points, Interaction& ui);
// Stable: entries of equal names keep their order. With heights it is SortPointsByNameXYZ too.
void SortPointsByName(PointRecords& points, SortOrder order);

// Reads, removes duplicates, sorts and writes name, TAB, X, TAB, Y with 3 decimals. Nothing is
// written after a read error or when no point is left.
ToolStatus SortPointsXY(const std::string& inName, const std::string& outName, SortOrder order,
                        const ComputationSettings& settings, Interaction& ui);
// The same for a file of name X Y H; H is written after Y.
ToolStatus SortPointsXYZ(const std::string& inName, const std::string& outName, SortOrder order,
                         const ComputationSettings& settings, Interaction& ui);

}  // namespace qef
