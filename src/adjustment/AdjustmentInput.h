#pragma once
// The files of a traverse run, shared by the drivers and the run they build on.
#include <string>

namespace qef {

struct AdjustmentInput {
    std::string KnownPointsFile;
    std::string ObservationFile;
    std::string HeightsFile;  // read only when the side reduction takes heights from a file
    std::string ResultFile;
};

}  // namespace qef
