#pragma once
// What one adjustment run keeps beside its groups: counters, "first write rewrites" flags, the
// two log buffers and the files it writes group by group. Created per run and passed down.
#include <cstdint>

#include "core/model/LogBuffer.h"
#include "core/text/OpenFiles.h"

namespace qef {

struct RunRecord {
    std::int32_t GroupCounter = 0;
    std::int32_t GroupAngleTotal = 0;  // current group
    std::int32_t GroupSideTotal = 0;   // current group
    std::int32_t RunAngleTotal = 0;
    std::int32_t RunSideTotal = 0;
    std::int32_t RunNodeTotal = 0;
    std::int32_t RunUnknownPointTotal = 0;
    std::int32_t RunBranchTotal = 0;
    // List entries and point look-ups that the branch analysis read over the run: it grows with
    // the network, never with its groups times its size.
    long long AnalysisSteps = 0;

    // The first write of a run rewrites the report; later writes append.
    bool MainReportFresh = true;
    bool SideReportFresh = true;

    LogBuffer ProgressLog;   // progress log of the run
    LogBuffer ClosureTable;  // one row per branch, saved as the closure table
    // The files the groups add to, open until the run closes them before its files are put in place.
    OpenFiles Files;

    void Reset() { *this = RunRecord(); }
};

}  // namespace qef
