#include "FuzzInput.h"
#include "core/io/Readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qef::ComputationSettings settings = qef::fuzz::Prepare(data, size);
    qef::SilentInteraction ui;
    qef::ReadErrorRecord error;
    qef::NetworkModel model;
    qef::PointList points;
    qef::ReadKnownPoints(qef::fuzz::ScratchFile(), settings, model, points, error, ui);
    qef::OneBased<std::string> names;
    qef::OneBased<double> x, y, h;
    bool missing = false;
    qef::ReadPointsXYH(qef::fuzz::ScratchFile(), settings, names, x, y, h, missing, error, ui);
    return 0;
}
