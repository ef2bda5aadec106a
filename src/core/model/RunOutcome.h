#pragma once
// How a run ended and what it leaves for the caller: the outcome, the counts, the read error and
// the weakest results of its rigorous groups.
#include <string>

#include "core/model/ReadError.h"

namespace qef {

enum class RunOutcome {
    Completed,
    ReadFailed,        // an input file could not be read (message shown; nothing written)
    NameCollision,     // no result file name, an output name that would replace an input file or
                       // another output, or an output that cannot be written (a read-only file)
                       // (message shown; nothing written)
    NoStartDirection,  // no known station sights a known point
    Cancelled,         // the user cancelled a start-azimuth prompt
    WriteFailed,       // an output file could not be written (message shown)
    StoppedAtLine,     // a faulty input line ended the run; what came before it was written
                       // (message shown)
    EmptyInput,        // an input file holds no data line (message shown; nothing written)
};

// The weakest results of a run, reported by the driver at its end. Each covers the whole run:
// none is reset between groups.
struct RigorousRunExtremes {
    double WeakestPointMp = 0.0;  // metres
    std::string WeakestPointName;
    double WeakestSideRatio = 10000000.0;  // N of Ms/S = 1/N; the start of a minimum search
    double WeakestSideMs = 0.0;            // metres
    std::string WeakestSideFrom;
    std::string WeakestSideTo;
    double LargestAzimuthError = 0.0;  // seconds
    std::string LargestAzimuthFrom;
    std::string LargestAzimuthTo;

    void Reset() { *this = RigorousRunExtremes(); }
};

struct RunStatus {
    RunOutcome Outcome = RunOutcome::Completed;
    // Report 6 as this run put it in place; empty when the run did not end well, which leaves the
    // files of the run before it.
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

}  // namespace qef
