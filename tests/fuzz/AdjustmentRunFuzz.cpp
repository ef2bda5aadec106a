// Whole traverse runs from a known-point file and an observation file: reading, analysis, the
// adjustment by order or in one pass, the reports and their putting in place.
#include <cassert>
#include <cmath>

#include "RunInput.h"
#include "adjustment/AdjustByOrder.h"
#include "adjustment/AdjustClassic.h"
#include "core/model/Progress.h"
#include "core/text/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qef::fuzz::RunFolder& folder = qef::fuzz::Folder();
    const qef::AdjustmentInput files{folder.File("known.txt"), folder.File("obs.txt"), "", folder.File("kq.dta")};
    std::uint8_t extra = 0;
    qef::ComputationSettings settings =
        qef::fuzz::PrepareRun(data, size, files.KnownPointsFile, files.ObservationFile, extra);
    settings.Modes.RigorousWanted = (extra & 1) != 0;
    settings.GroupedAdjustment = (extra & 2) != 0;
    settings.SkipHangingTraverses = (extra & 4) != 0;
    settings.WriteDhFile = (extra & 8) != 0;
    settings.HeightReduction = (extra & 32) != 0;
    settings.MeanAreaHeight = 25.0;
    qef::SilentInteraction ui;
    qef::NullProgress progress;
    qef::RunRecord record;
    const qef::RunStatus status = (extra & 16) != 0
                                      ? qef::AdjustNetworkClassic(files, settings, ui, progress, record)
                                      : qef::AdjustNetworkByOrder(files, settings, ui, progress, record);
    // A run that ended well left its result and log; no file of a run holds a value that is not finite.
    if (status.Outcome == qef::RunOutcome::Completed) {
        assert(qef::FileExists(files.ResultFile));
        assert(qef::FileExists(folder.File("kq.in6")));
        std::vector<std::string> lines;
        qef::ReadAllLines(files.ResultFile, lines);
        for (const std::string& line : lines) {
            assert(line.find("nan") == std::string::npos && line.find("inf") == std::string::npos);
            (void)line;
        }
    }
    folder.AssertNothingStaged();
    return 0;
}
