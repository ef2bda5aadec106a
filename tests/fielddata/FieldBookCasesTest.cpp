// Raw field files reduced into the three books, compared byte for byte with books worked out by
// hand. Each folder of tests/data/fielddata holding raw.dta is one case: case.txt gives the options
// (and the answers to the run's questions), expected/ the books as UTF-8 text and what the run says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "HandWrittenCase.h"
#include "core/text/VnCodec.h"
#include "fielddata/books/FieldBookReduction.h"
#include "support/Fakes.h"

namespace qef {
namespace {

namespace fs = std::filesystem;
const fs::path kCases = fs::path(QEF_TEST_DATA) / "fielddata";

struct BookCase {
    FieldBookOptions Options;
    std::deque<Answer> Answers;
    FieldBookOutcome Outcome = FieldBookOutcome::Completed;
};

BookCase ReadCase(const fs::path& folder) {
    BookCase c;
    std::ifstream in(folder / "case.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const auto eq = line.find(" = ");
        EXPECT_NE(eq, std::string::npos) << line;
        const std::string name = line.substr(0, eq);
        const std::string value = line.substr(eq + 3);
        if (name == "AngleSets") c.Options.AngleSets = std::stoi(value);
        else if (name == "SecondsDecimals") c.Options.SecondsDecimals = std::stoi(value);
        else if (name == "DistanceCount") c.Options.DistanceCount = std::stoi(value);
        else if (name == "DistanceTolerance") c.Options.DistanceTolerance = std::stoi(value);
        else if (name == "DistanceMode") c.Options.Distances = value == "Free" ? DistanceMode::Free : DistanceMode::ForwardBack;
        else if (name == "answer") c.Answers.push_back(value == "Yes" ? Answer::Yes : Answer::No);
        else if (name == "outcome")
            c.Outcome = value == "Stopped"      ? FieldBookOutcome::Stopped
                        : value == "ReadFailed" ? FieldBookOutcome::ReadFailed
                                                : FieldBookOutcome::Completed;
        else ADD_FAILURE() << "unknown line in case.txt: " << line;
    }
    return c;
}

class FieldBookCase : public testing::TestWithParam<std::string> {};

TEST_P(FieldBookCase, WritesTheBooksWorkedByHand) {
    const fs::path folder = kCases / GetParam();
    const BookCase c = ReadCase(folder);
    test::TempDir dir;
    fs::copy_file(folder / "raw.dta", dir.File("raw.dta"));
    test::PutEarlierFiles(folder, dir);
    test::ScriptedInteraction ui;
    ui.answers = c.Answers;
    const FieldBookFiles files{dir.File("raw.dta"), dir.File("goc.txt"), dir.File("canh.txt"), dir.File("bs.dta")};

    EXPECT_EQ(BuildFieldBooks(files, c.Options, ComputationSettings{}, ui), c.Outcome);

    test::ExpectWrittenAsExpected(folder, dir);
    EXPECT_EQ(test::Dialogue(ui.calls, dir.Path()), test::ReadFileBytes((folder / "expected" / "dialogue.txt").string()));
    EXPECT_TRUE(ui.answers.empty()) << "questions expected but not asked";
}

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kCases))
        if (fs::exists(entry.path() / "case.txt")) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, FieldBookCase, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& param) { return param.param; });

}  // namespace
}  // namespace qef
