#pragma once
#include "adjustment/GroupWorkingSet.h"
#include "adjustment/Rigorous.h"
#include "core/model/ComputationSettings.h"
#include "core/model/NetworkModel.h"
#include "core/model/RunRecord.h"
#include "support/Fakes.h"

namespace qef::test {

// What one group's rigorous adjustment reads and leaves, with scripted answers and a recording
// monitor.
struct RigorousGroupState {
    NetworkModel model;
    GroupWorkingSet ws;
    ComputationSettings settings;
    RunRecord run;
    RigorousRunState state;
    ScriptedInteraction ui;
    RecordingProgress monitor;
    RigorousSolution sol;

    RigorousContext Context() { return RigorousContext{settings, run, state, ui, monitor}; }
};

}  // namespace qef::test
