#include "FuzzInput.h"
#include "core/io/Readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qef::ComputationSettings settings = qef::fuzz::Prepare(data, size);
    qef::SilentInteraction ui;
    qef::ReadErrorRecord error;
    qef::PointNameTable names;
    qef::LevellingLines lines;
    qef::ReadLevellingLines(qef::fuzz::ScratchFile(), settings, names, lines, error, ui);
    return 0;
}
