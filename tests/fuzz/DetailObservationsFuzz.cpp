#include "FuzzInput.h"
#include "heights/DetailPoints.h"

// The same bytes serve as the known points and as the detail observations, in every mode, so
// that station lines can find their points.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qef::ComputationSettings settings = qef::fuzz::Prepare(data, size);
    qef::SilentInteraction ui;
    for (qef::DetailMode mode : {qef::DetailMode::Plan, qef::DetailMode::HeightsFromDifferences,
                                 qef::DetailMode::HeightsFromZenithAngles}) {
        qef::ReadErrorRecord error;
        qef::DetailKnownPoints known;
        if (!qef::ReadDetailKnownPoints(qef::fuzz::ScratchFile(), mode, settings, known, error, ui)) {
            known = qef::DetailKnownPoints();
            known.Index();
        }
        qef::DetailPointList points;
        bool opened = false;
        qef::ComputeDetailStations(qef::fuzz::ScratchFile(), mode, settings, known, points, opened);
    }
    return 0;
}
