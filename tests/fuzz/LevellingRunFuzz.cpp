// Whole levelling runs from a known-height file and a levelling file.
#include <cassert>
#include <cmath>

#include "RunInput.h"
#include "core/model/Progress.h"
#include "core/text/TextFile.h"
#include "heights/LevellingAdjustment.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qef::fuzz::RunFolder& folder = qef::fuzz::Folder();
    const qef::LevellingInput files{folder.File("known.txt"), folder.File("lines.txt"), folder.File("kq.dta")};
    std::uint8_t extra = 0;
    const qef::ComputationSettings settings =
        qef::fuzz::PrepareRun(data, size, files.KnownHeightsFile, files.LevellingFile, extra);
    qef::SilentInteraction ui;
    qef::NullProgress progress;
    qef::RunRecord record;
    const qef::LevellingStatus status = qef::AdjustLevellingNetwork(files, settings, ui, progress, record);
    if (status.Outcome == qef::RunOutcome::Completed) {
        assert(qef::FileExists(files.ResultFile));
        for (const auto& [name, height] : status.Heights) {
            assert(std::isfinite(height));
            (void)name;
            (void)height;
        }
    }
    folder.AssertNothingStaged();
    return 0;
}
