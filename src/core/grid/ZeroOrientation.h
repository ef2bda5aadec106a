#pragma once
// Reducing the directions of a detail survey in the grid to a zero orientation: a station row
// "(orientation)", station, back-sight sets the orientation that the directions below it lose.
#include <string>
#include <vector>

#include "core/grid/GridDocument.h"

namespace qef {

struct CellEdit {
    int Row;
    int Column;
    std::string Text;
};

struct ZeroOrientationResult {
    std::vector<CellEdit> Edits;
    std::vector<int> BadRows;  // rows whose orientation or direction is not an angle; left as they are
};

// Rows 1 to DataRowCount. Every station row (columns 1 and 2 filled, column 0 empty or
// "(angle)") sets the orientation, 0 when column 0 is empty, and loses its parentheses. A row
// below it with a point in column 0 gets direction - orientation in [0, 360) in column 1, in the
// D.MMSS form with the seconds' decimals of the direction.
ZeroOrientationResult ReduceToZeroOrientation(const GridDocument& grid, bool anglesInDegrees, bool angleTextWithPoint);

}  // namespace qef
