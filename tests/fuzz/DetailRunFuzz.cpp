// Whole detail-point runs from a known-point file and a detail observation file: reading, the
// walk over the stations, the result file and the drawing, and their putting in place.
#include <cassert>
#include <cmath>
#include <cstdio>

#include "RunInput.h"
#include "core/model/Progress.h"
#include "core/text/TextFile.h"
#include "heights/DetailPoints.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qef::fuzz::RunFolder& folder = qef::fuzz::Folder();
    const qef::DetailInput files{folder.File("known.txt"), folder.File("obs.txt"), folder.File("kq.dat")};
    std::uint8_t extra = 0;
    qef::ComputationSettings settings =
        qef::fuzz::PrepareRun(data, size, files.KnownPointsFile, files.ObservationFile, extra);
    settings.Modes.ModeDetailPoints = true;
    settings.AcadUploadEnabled = (extra & 4) != 0;
    settings.AcadUploadDetailPoints = (extra & 4) != 0;
    settings.AcadUploadFlags = static_cast<std::uint8_t>((extra >> 3) & 7);
    const qef::DetailMode modes[] = {qef::DetailMode::Plan, qef::DetailMode::HeightsFromDifferences,
                                     qef::DetailMode::HeightsFromZenithAngles};
    qef::SilentInteraction ui;
    qef::NullProgress progress;
    std::remove(files.ResultFile.c_str());
    const qef::DetailRunStatus status = qef::ComputeDetailPoints(modes[extra % 3], files, settings, ui, progress);
    // A run stopped before its first point writes nothing; one that wrote its result wrote one line
    // a point, every number finite and of a sane width.
    const bool stoppedAtOnce = status.Outcome == qef::RunOutcome::StoppedAtLine && status.PointCount == 0;
    if (stoppedAtOnce) {
        assert(!qef::FileExists(files.ResultFile));
    } else if (status.Outcome == qef::RunOutcome::Completed || status.Outcome == qef::RunOutcome::StoppedAtLine) {
        std::vector<std::string> lines;
        const bool read = qef::ReadAllLines(files.ResultFile, lines);
        assert(read && static_cast<long long>(lines.size()) == status.PointCount);
        for (const std::string& line : lines) {
            assert(line.find("nan") == std::string::npos && line.find("inf") == std::string::npos);
            assert(line.size() < 200);
            (void)line;
        }
        (void)read;
    }
    folder.AssertNothingStaged();
    return 0;
}
