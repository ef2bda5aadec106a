#include "fielddata/books/FieldBookOptions.h"

namespace qef {

namespace {

// Sets by network class (row) and instrument class (column). The over-5" column of the first two
// rows is never read: that instrument forces the region class.
constexpr int kSets[3][3] = {{4, 6, 0}, {2, 4, 0}, {1, 1, 2}};
constexpr int kHalfSet[3] = {8, 8, 12};
constexpr int kTwoC[3] = {12, 12, 18};

}  // namespace

ToleranceFill ToleranceFor(NetworkClass network, InstrumentClass instrument) {
    if (instrument == InstrumentClass::OverFive) network = NetworkClass::Region;
    const auto row = static_cast<int>(network);
    const auto column = static_cast<int>(instrument);
    return {network, kSets[row][column], kHalfSet[row], kTwoC[column]};
}

}  // namespace qef
