#pragma once
// What a failed read of an input file points at. The values are those the read-error record has
// always held.

namespace qef {

enum class ReadErrorKind {
    Line = 0,       // a value of a coordinate or levelling line, or no read error yet
    Open = 1,       // the file could not be opened
    Height = 2,     // the height of a name-and-value line
    Side = 3,       // the length, or a name, of a three-field side line
    Angle = 4,      // the angle, a name or its range, of a four- or five-field angle line
    AngleSide = 5,  // the length of a five-field angle line
    NoData = 6,     // the file holds no line of data (the whole file, as Open)
};

}  // namespace qef
