#pragma once
// Whole runs kept as files: tests/data/<module>/<case>/ holds case.txt, the input files and
// expected/, the files the run must write.
//
// case.txt starts with "command <name>"; the other lines are "name = value" ("#" starts a comment
// line). The names known, observations, heights, first, second and result give the files of the
// run; "before" names a file of the case folder that lies in the run's folder before the run
// (unless expected/ names it too, it must keep its bytes), "readonly" such a file that is made
// read-only there, "leftover" a file of the case folder (a path such as ".kq.dta.~1-a/~~set~~")
// put there as a run that died left it, which the run may clear, "blocked" a name that a folder
// takes there. "expected = text" says the expected files are UTF-8 with LF line
// ends, written by hand, and are compared as the program writes text (TCVN3, CR LF); in them a
// line "[...]" stands for any lines and "[...]" within a line for any text. "outcome" is how the
// run ends (Completed unless given); each "answer" line answers one of its questions (Yes, No,
// Cancel) and each "text" line is one typed answer, in order. "others = unchecked" lets the run
// write files that expected/ does not name. Any other name is a field of ComputationSettings that
// differs from its default.
//
// What the run says to the user is compared like a file written as dialogue.txt: a line
// "kind: text" a call (message, yesno, yesnocancel, text: caption|prompt), the run's folder
// written as <dir>. A run that says nothing writes no dialogue.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/RunOutcome.h"
#include "support/Fakes.h"

namespace qef::test {

struct WholeRunCase {
    std::string Folder;
    std::string Command;
    std::map<std::string, std::string> Files;  // role -> file name in the case folder
    ComputationSettings Settings;
    bool ExpectedAsText = false;
    RunOutcome Outcome = RunOutcome::Completed;
    std::deque<Answer> Answers;
    std::deque<std::optional<std::string>> Texts;
    std::vector<std::string> Before;   // files of the case folder put in the run's folder
    std::vector<std::string> ReadOnly;  // those of them made read-only
    std::vector<std::string> Leftovers;  // paths of the case folder put in the run's folder, not checked
    std::vector<std::string> Blocked;  // names that a folder takes
    bool OthersUnchecked = false;
    std::vector<std::string> Problems;  // what case.txt got wrong; the case cannot run unless empty

    // The file of a role inside `dir`; "" when the case names none.
    std::string File(const std::string& role, const std::string& dir) const;
};

// The case folders of tests/data/<module>, in name order.
std::vector<std::string> WholeRunCaseNames(const std::string& module);
// Only the cases of these commands (a module's folder may hold several commands' cases).
std::vector<std::string> WholeRunCaseNames(const std::string& module, const std::set<std::string>& commands);
// A case folder name as a test name: letters, digits and "_".
std::string WholeRunTestName(const std::string& caseName);

WholeRunCase ReadWholeRunCase(const std::string& module, const std::string& caseName);

// Runs the case twice in one fresh folder (the second run must start afresh and replace the files
// of the first), each time with the case's scripted answers; then saves the dialogue and compares
// every output: each expected file with the same bytes (or fitting its pattern), the inputs and
// the earlier run's files unchanged, no file that is not expected unless the case allows others. `run` runs the command once in `dir` and checks what only its module knows.
void RunTwiceAndCompare(const WholeRunCase& runCase,
                        const std::function<void(const std::string& dir, ScriptedInteraction& ui)>& run);

}  // namespace qef::test
