#pragma once
// The levelling network cut into branches between the known-height points and the levelling
// nodes, with the lines that could not be joined reported and a branch log written.
#include <string>
#include <vector>

#include "core/model/Interaction.h"
#include "core/model/LogBuffer.h"
#include "core/model/NetworkModel.h"
#include "core/model/Progress.h"
#include "core/io/Readers.h"

namespace qef {

struct LevellingBranchOutcome {
    int UnjoinedLines = 0;  // lines no walk reached
    bool LogSaved = false;
    std::string LogFile;    // logName with the extension "txt"
};

// Walks the lines into branches of model.Branches from each stop point
// model.BranchStopPoints[1..stopCount] in turn, taking at each point the lowest-numbered unused
// line that touches it; a branch ends at a stop point once it has two points, or dead-ended where
// no line goes on. Lines no walk used are listed in a message (unjoinedSidesFlag set) and in the
// log; with a leftoverFile they are also appended to it (from, TAB, to, TAB, length) and removed
// from `lines`. The branches are then written to the log and the log saved beside logName with the
// extension "txt", unless that name is one of inputFiles (then only a log line says so).
LevellingBranchOutcome BuildBranches(NetworkModel& model, LevellingLines& lines, int stopCount,
                                     const std::string& leftoverFile, const std::string& logName,
                                     const std::vector<std::string>& inputFiles, bool& unjoinedSidesFlag,
                                     LogBuffer& log, Interaction& ui, Progress& progress);

}  // namespace qef
