// Raw downloads converted into observation, detail and height files. Most case folders under
// tests/data/fielddata/raw are written by make_raw.py there, from true geometry: the downloads and
// the files each conversion must give; the "by hand" ones say so in their case.txt.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>

#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawConversion.h"
#include "support/Fakes.h"
#include "support/WholeRunCase.h"

namespace qef {
namespace {

namespace fs = std::filesystem;

const std::string kRawData = QEF_TEST_DATA "/fielddata/raw";

struct RawCase {
    std::map<std::string, std::string> values;
    int Int(const std::string& key) const { return std::stoi(values.at(key)); }

    RawFormat Format() const { return *RawInstruments()[Int("instrument")].Format; }
    RawConversionOptions Options() const {
        RawConversionOptions o;
        o.WithHeights = Int("heights") == 1;
        o.ControlFromNumber = Int("control_from");
        o.ControlDistanceCorrection = Int("control_mm") / 1000.0;
        o.DetailDistanceCorrection = Int("detail_mm") / 1000.0;
        o.TargetHeightCorrection = Int("target_height_mm") / 1000.0;
        return o;
    }
};

RawCase ReadCase(const std::string& folder) { return {test::CaseValues(folder + "/case.txt")}; }

RawConversionPaths PathsIn(const test::TempDir& dir, const std::string& input) {
    return {dir.File(input), dir.File("obs.DTA"), dir.File("mia.DTA"), dir.File("chenhcao.DTA"), dir.File("micao.DTA")};
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class RawCases : public testing::TestWithParam<std::string> {};

// Every output byte for byte; nothing else left in the folder (no work file, no fresh files). A
// refused download stops at its line with its message and leaves the earlier result as it was.
TEST_P(RawCases, WriteTheExpectedFiles) {
    const std::string folder = kRawData + "/" + GetParam();
    const RawCase c = ReadCase(folder);
    test::TempDir dir;
    const std::string input = c.values.at("input");
    fs::copy_file(folder + "/" + input, dir.File(input));
    test::ScriptedInteraction ui;
    if (c.values.count("stop_line")) {
        test::WriteFileBytes(dir.File("obs.DTA"), "old");
        const RawConversionStatus status = ConvertRawFile(c.Format(), c.Options(), PathsIn(dir, input), ui);
        EXPECT_EQ(status.Outcome, RawConversionOutcome::StoppedAtLine);
        EXPECT_EQ(status.StopLine, c.Int("stop_line"));
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_TRUE(ui.Messages()[0].starts_with(Vn(c.values.at("message")))) << Tcvn3ToUtf8(ui.Messages()[0]);
        EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"obs.DTA", input}));
        EXPECT_EQ(test::ReadFileBytes(dir.File("obs.DTA")), "old");
        return;
    }
    const RawConversionStatus status = ConvertRawFile(c.Format(), c.Options(), PathsIn(dir, input), ui);
    ASSERT_EQ(status.Outcome, RawConversionOutcome::Converted) << testing::PrintToString(ui.Messages());

    std::vector<std::string> expected = {input};
    for (const auto& entry : fs::directory_iterator(folder + "/expected")) {
        const std::string name = entry.path().filename().string();
        expected.push_back(name);
        EXPECT_EQ(test::ReadFileBytes(dir.File(name)), test::WithCrLf(test::ReadFileBytes(entry.path().string()))) << name;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(dir.Path()), expected);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].starts_with(Vn("Đã chuyển xong file "))) << ui.Messages()[0];
    // Hand-worked cases also give the counts the message ends with.
    if (c.values.count("summary")) {
        std::string summary = c.values.at("summary");
        for (std::size_t at; (at = summary.find("\\n")) != std::string::npos;) summary.replace(at, 2, "\n");
        EXPECT_TRUE(ui.Messages()[0].ends_with(Vn(summary))) << Tcvn3ToUtf8(ui.Messages()[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, RawCases, testing::ValuesIn(test::WholeRunCaseNames("fielddata/raw")));

}  // namespace
}  // namespace qef
