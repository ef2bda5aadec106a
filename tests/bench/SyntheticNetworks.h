#pragma once
// Networks of any size for the scaling benchmarks, written straight to a known-point file and an
// observation file in a temporary folder (removed with the object). Observations are computed
// from true coordinates with small deterministic errors; the generator keeps only one traverse
// (or one row of the grid) in memory, so that it never weighs on the memory of the run measured.
#include <string>

#include "adjustment/AdjustByOrder.h"

namespace qef::bench {

enum class NetworkShape {
    // Independent connecting traverses: known station and azimuth point at each end, ten new
    // points between; twelve angle-and-side lines each, one group each.
    Connecting,
    // Independent open traverses from a known station and azimuth point: ten new points each.
    Hanging,
    // One group: a square lattice of nodes joined by branches of four new points, the four corner
    // nodes known with an azimuth point each. Size = nodes per side.
    Grid,
};

class SyntheticNetwork {
public:
    SyntheticNetwork(NetworkShape shape, int size);
    ~SyntheticNetwork();
    SyntheticNetwork(const SyntheticNetwork&) = delete;
    SyntheticNetwork& operator=(const SyntheticNetwork&) = delete;

    AdjustmentInput Input() const;
    long long ObservationLines() const { return observationLines_; }
    long long NewPoints() const { return newPoints_; }

private:
    std::string dir_;
    long long observationLines_ = 0;
    long long newPoints_ = 0;
};

}  // namespace qef::bench
