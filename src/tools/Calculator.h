#pragma once
// The small azimuth and coordinate calculator: the azimuth between two points, or a new point
// from two points, an angle and a side, or from one point, an azimuth and a side.
#include <array>
#include <string>
#include <vector>

namespace qef {

enum class CalculatorMethod {
    Azimuth = 0,        // from point 1 to point 2
    FromTwoPoints = 1,  // azimuth 1 -> 2 plus the angle, then the side from point 1
    FromAzimuth = 2,    // the typed azimuth, then the side from point 1
};

// The texts of the edits.
struct CalculatorInput {
    std::string X1, Y1, X2, Y2, Angle, Side;
};

enum class CalculatorOutcome {
    Computed,
    Incomplete,       // an edit the method needs is not a number: nothing is shown
    CoincidentPoints, // points 1 and 2 are one place: they give no direction
    OutOfRange,       // a coordinate or the side is past what a survey gives: Message says which
};

struct CalculatorResult {
    CalculatorOutcome Outcome = CalculatorOutcome::Incomplete;
    std::string First;   // the azimuth "DDD MM SS.s", or X with 3 decimals
    std::string Second;  // Y with 3 decimals; empty for the azimuth
    std::string Message; // TCVN3; the refusal of an OutOfRange value
};

// Angles are read in the calculator's own notation, never the computation settings'.
struct CalculatorAngles {
    bool InDegrees = true;
    bool TextWithPoint = true;  // D.MMSS
};

CalculatorResult Calculate(CalculatorMethod method, const CalculatorInput& input, const CalculatorAngles& angles = {});

// The point table of the calculator: the first three fields (name, X, Y) of every non-blank line,
// in order, and the number of lines of the file. False when the file cannot be read.
struct CalculatorTable {
    long long Lines = 0;
    std::vector<std::array<std::string, 3>> Rows;
};
bool ReadCalculatorTable(const std::string& fileName, int fixedFieldWidth, CalculatorTable& table);

}  // namespace qef
