#pragma once
// Adjustment of a traverse network order by order: the known points and the observations are
// read, the network is analysed into groups of branches from the points known so far, each group
// is adjusted, its points join the known points of the next order, and what never closes is
// computed as hanging traverses. The run writes the result coordinate file and its report set.
#include <string>

#include "adjustment/Rigorous.h"
#include "core/model/RunRecord.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"
#include "core/io/Readers.h"
#include "drawing/DrawingTarget.h"

namespace qef {

// The files of a run.
struct AdjustmentInput {
    std::string KnownPointsFile;
    std::string ObservationFile;
    std::string HeightsFile;  // read only when the side reduction takes heights from a file
    std::string ResultFile;
};

// The report files that belong to a result file R: report 0 is R with the extension "in",
// reports 1, 3, 4, 5 and 6 add a digit to it, report 2 is R with "in2"; the closure table is
// report 6 with "in7"; the angle-and-side list and the saved log are R with "dh" and "txt".
struct ReportSet {
    std::string Main;      // report 0
    std::string Rigorous1;  // adjusted coordinates
    std::string Side;      // report 2, side corrections
    std::string Rigorous3;  // adjusted angles
    std::string Rigorous4;  // adjusted distances
    std::string Rigorous5;  // sides, azimuths and relative accuracy
    std::string Log;       // report 6, the progress log
    std::string ClosureTable;  // "in7"
    std::string Dh;
    std::string Txt;
};
ReportSet ReportSetFor(const std::string& resultFile);

enum class RunOutcome {
    Completed,
    ReadFailed,        // an input file could not be read (message shown; nothing written)
    NameCollision,     // no result file name, or an output name that would replace an input file
                       // (message shown; nothing written)
    NoStartDirection,  // no known station sights a known point
    Cancelled,         // the user cancelled a start-azimuth prompt
    WriteFailed,       // an output file could not be written (message shown)
};

struct RunStatus {
    RunOutcome Outcome = RunOutcome::Completed;
    // Report 6 as this run saved it; empty when the run saved none (before or while reading).
    std::string Report6;
    ReadErrorRecord ReadError;
    int Orders = 0;
    int FailedGroups = 0;
    int RigorousGroups = 0;
    // Set when hanging traverses were computed: the closing rules of the tables were not written.
    bool ReportTablesClosed = false;
    // The weakest results of the rigorous groups of this run.
    RigorousRunExtremes Extremes;
};

// One whole run. The settings are copied at the start; `run` is reset at the start and keeps the
// run's totals and logs afterwards. `drawing` receives the drawing exports; when it is null and
// the settings ask for a drawing, the run draws into the DXF file beside the result file.
RunStatus AdjustNetworkByOrder(const AdjustmentInput& files, const ComputationSettings& settings, Interaction& ui,
                               Progress& progress, RunRecord& run, DrawingTarget* drawing = nullptr);

}  // namespace qef
