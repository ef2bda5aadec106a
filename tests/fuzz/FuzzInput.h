#pragma once
// Shared by the reader fuzz targets: the readers take a file name, so each input goes through a
// scratch file. The first byte picks the settings that change how lines are understood.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"

namespace qef::fuzz {

// Removed when the fuzzer ends.
struct Scratch {
    std::string path = "/tmp/qef-fuzz-" + std::to_string(::getpid()) + ".txt";
    ~Scratch() { std::remove(path.c_str()); }
};

inline const std::string& ScratchFile() {
    static const Scratch scratch;
    return scratch.path;
}

// Writes the input (after its first byte) to the scratch file and returns the settings.
inline ComputationSettings Prepare(const std::uint8_t* data, std::size_t size) {
    ComputationSettings settings;
    std::uint8_t mode = size > 0 ? data[0] : 0;
    settings.MetresFlag = (mode & 1) == 0;
    settings.AngleTextWithPoint = (mode & 2) == 0;
    settings.AnglesInDegrees = (mode & 4) == 0;
    settings.HeightReduction = (mode & 8) != 0;
    settings.HeightReductionMode = (mode & 8) != 0 ? ReductionMode::SideMean : ReductionMode::AreaMean;
    settings.HeightsFromFile = (mode & 16) != 0;
    settings.FixedFieldWidth = (mode >> 5) * 3;  // 0..21, including widths below 1
    std::FILE* f = std::fopen(ScratchFile().c_str(), "wb");
    if (f != nullptr) {
        if (size > 1) std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    return settings;
}

}  // namespace qef::fuzz
