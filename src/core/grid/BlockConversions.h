#pragma once
// Conversions of the data typed in the grid, in place: length units, the text forms of angles,
// degrees and grads over the data rows, and the operations on a selected block. Each returns
// what it did, so the window can say how many cells it had to leave alone.
#include <string>

#include "core/grid/GridDocument.h"

namespace qef {

// What kind of data file the grid holds: it decides which columns hold lengths and angles.
enum class DataFileKind { None = -1, Coordinates = 0, Control = 1, Detail = 2 };

// The fifth column of a detail file is a height difference for F8 and a zenith angle for F9;
// only the user knows which one the grid holds. Absent: the column is left alone.
enum class DetailFifthColumn { Absent, ZenithAngle, HeightDifference };

// Which columns of a row hold lengths and angles.
struct GridDataKind {
    DataFileKind Kind = DataFileKind::None;
    DetailFifthColumn Fifth = DetailFifthColumn::Absent;
};

enum class BlockStatus {
    Done,
    NotANumber,       // the typed value had to be a number
    NotInFirstColumn, // renumbering needs a block that starts in the point-number column
    PastCellNumbers   // a number of the fill would pass kLargestWholeCell: nothing is filled
};

// The largest whole number a numbered fill writes: 15 digits, what the program's general number
// format keeps and a double holds exactly.
inline constexpr long long kLargestWholeCell = 999'999'999'999'999;

struct ConversionResult {
    BlockStatus Status = BlockStatus::Done;
    int Changed = 0;
    // Cells that should have been converted but do not hold a valid angle.
    int Skipped = 0;
    // Rows of the text forms of angles whose fifth column already holds a value (a side): the
    // converted angle has nowhere to go.
    int SideKept = 0;
};

// Scales the length columns of the kind by `factor` (1000: m -> mm, 0.001: mm -> m).
ConversionResult ScaleLengths(GridDocument& doc, GridDataKind kind, double factor);
// Scales the angle column of the kind: 10000 turns 180.0000 into 1800000, 0.0001 turns it back.
ConversionResult ScaleAngles(GridDocument& doc, GridDataKind kind, double factor);

// Control data only: the angle in column 3 written into column 4 as "180 01 01.0", or back
// from that form in column 3 to "180.0101" in column 4. A row whose column 4 holds a side
// keeps it: the row is counted apart from the angles that cannot be read.
ConversionResult AnglesToSpacedText(GridDocument& doc, DataFileKind kind);
ConversionResult AnglesFromSpacedText(GridDocument& doc, DataFileKind kind);

ConversionResult DegreesToGrads(GridDocument& doc, GridDataKind kind);
// Written back as D.MMSS, the form the forward conversion reads.
ConversionResult GradsToDegrees(GridDocument& doc, GridDataKind kind);

// The text forms of one angle; "" when the text is not a valid angle. The spaced form needs
// whole degrees and minutes and seconds of plain digits ("12.5 30 00" is no angle).
std::string SpacedAngleText(const std::string& dmsText);
std::string PackedAngleText(const std::string& spacedText);

ConversionResult FillBlock(GridDocument& doc, const GridBlock& block, const std::string& text);
ConversionResult FillIncreasing(GridDocument& doc, const GridBlock& block, const std::string& start);
ConversionResult AddToBlock(GridDocument& doc, const GridBlock& block, const std::string& value);
ConversionResult PrefixBlock(GridDocument& doc, const GridBlock& block, const std::string& text);
ConversionResult SuffixBlock(GridDocument& doc, const GridBlock& block, const std::string& text);
// Point numbers of the detail rows in the block's first column from `start` on; station rows
// keep their text and use no number.
ConversionResult RenumberDetailPoints(GridDocument& doc, const GridBlock& block,
                                      const std::string& start);

}  // namespace qef
