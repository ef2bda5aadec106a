#pragma once
// Differences counted in whole units of the precision the data are typed in: 0.1 mm for lengths
// and coordinates, 0.01" for angles. A difference typed exactly at a limit then counts as the limit
// itself, whatever the size of the values; held as binary doubles it would fall either side.
#include <cmath>
#include <limits>

namespace qef {

// Size of a difference in whole units; one too large to count (or NaN) is past every limit.
inline long long WholeUnits(double difference, double unitsPerValue) {
    const double units = std::fabs(difference) * unitsPerValue;
    return units < 1e15 ? std::llround(units) : std::numeric_limits<long long>::max();
}
inline long long TenthsOfMillimetre(double metres) { return WholeUnits(metres, 1e4); }
inline long long HundredthsOfSecond(double degrees) { return WholeUnits(degrees, 360000.0); }

}  // namespace qef
