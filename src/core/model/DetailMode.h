#pragma once
// What a detail-point computation works out besides plan coordinates. The values are those the
// command table has always used.

namespace qef {

enum class DetailMode {
    Plan = 0,
    HeightsFromDifferences = 1,
    HeightsFromZenithAngles = 2,
};

}  // namespace qef
