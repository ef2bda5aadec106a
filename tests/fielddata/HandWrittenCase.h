#pragma once
// Case folders whose files are written by hand as UTF-8 with LF line ends: earlier/ holds the files
// of a run before, expected/ the files the run must write (and dialogue.txt, what it says).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/Fakes.h"

namespace qef::test {

// Puts the files of the case's earlier/, where it has one, in `dir` as the program writes them.
inline void PutEarlierFiles(const std::filesystem::path& folder, const TempDir& dir) {
    if (!std::filesystem::exists(folder / "earlier")) return;
    for (const auto& earlier : std::filesystem::directory_iterator(folder / "earlier"))
        WriteFileBytes(dir.File(earlier.path().filename().string()), AsWritten(ReadFileBytes(earlier.path().string())));
}

// Each file of the case's expected/ but dialogue.txt is in `dir` as the program writes it, and `dir`
// holds nothing else but the one input: no temporary file.
inline void ExpectWrittenAsExpected(const std::filesystem::path& folder, const TempDir& dir) {
    std::size_t files = 0;
    for (const auto& expected : std::filesystem::directory_iterator(folder / "expected")) {
        const std::string name = expected.path().filename().string();
        if (name == "dialogue.txt") continue;
        ++files;
        EXPECT_EQ(ReadFileBytes(dir.File(name)), AsWritten(ReadFileBytes(expected.path().string()))) << name;
    }
    EXPECT_EQ(dir.EntryCount(), files + 1);
}

}  // namespace qef::test
