#pragma once
// Whole runs kept as files: tests/data/<module>/<case>/ holds case.txt, the input files and
// expected/, the files the run must write.
//
// case.txt starts with "command <name>"; the other lines are "name = value" ("#" starts a comment
// line). The names known, observations, heights and result give the files of the run;
// "expected = text" says the expected files are UTF-8 with LF line ends, written by hand, and are
// compared as the program writes text (TCVN3, CR LF); any other name is a field of
// ComputationSettings that differs from its default.
#include <map>
#include <string>
#include <vector>

#include "core/model/ComputationSettings.h"

namespace qef::test {

struct WholeRunCase {
    std::string Folder;
    std::string Command;
    std::map<std::string, std::string> Files;  // role -> file name in the case folder
    ComputationSettings Settings;
    bool ExpectedAsText = false;
    std::vector<std::string> Problems;  // what case.txt got wrong; the case cannot run unless empty

    // The file of a role inside `dir`; "" when the case names none.
    std::string File(const std::string& role, const std::string& dir) const;
};

// The case folders of tests/data/<module>, in name order.
std::vector<std::string> WholeRunCaseNames(const std::string& module);
// A case folder name as a test name: letters, digits and "_".
std::string WholeRunTestName(const std::string& caseName);

WholeRunCase ReadWholeRunCase(const std::string& module, const std::string& caseName);

// Copies the input files of the case into `dir` under their own names.
void CopyInputs(const WholeRunCase& runCase, const std::string& dir);
// Every expected file must be in `dir` with the same bytes, and every file of `dir` that is not an
// input must be expected.
void ExpectOutputs(const WholeRunCase& runCase, const std::string& dir);

}  // namespace qef::test
