#include "FuzzInput.h"
#include "core/analysis/Duplicates.h"
#include "adjustment/NetworkChecks.h"
#include "adjustment/StepByStep.h"
#include "core/io/Readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qef::ComputationSettings settings = qef::fuzz::Prepare(data, size);
    qef::SilentInteraction ui;
    qef::ReadErrorRecord error;
    qef::ObservationCounts counts;
    qef::CountObservationLines(qef::fuzz::ScratchFile(), settings, counts, error);
    qef::PointNameTable names;
    qef::Observations obs;
    qef::ReadObservations(qef::fuzz::ScratchFile(), settings, names, obs, error, ui);
    // What was read goes on through the steps that follow a read.
    qef::LogBuffer log;
    qef::FindDuplicateObservations(obs, names, log, ui);
    qef::StationAngleIndex index(obs.Angles);
    for (int i = 1; i <= obs.Angles.Count() && i <= 50; ++i)
        qef::DeriveStationAngle(obs.Angles, index, obs.Angles.BackIds[i], obs.Angles.StationIds[i], obs.Angles.ForeIds[i]);
    if (names.Count() >= 2) {
        qef::OneBased<int> from = obs.Sides.FromIds, to = obs.Sides.ToIds;
        qef::StartFromChosenSide(names.Name(2) + "," + names.Name(1), names, from, to, obs.Sides.Count());
    }
    return 0;
}
