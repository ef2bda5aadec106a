#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/Fakes.h"
#include "tools/CoordinateTools.h"
#include "tools/FileTools.h"

namespace qef {
namespace {

TEST(FileTools, NothingIsWrittenOverAnInputOrAfterAReadError) {
    const std::string dir = testing::TempDir() + "/guards";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/in.txt") << "A B 1 2 3 4\n";
    std::ofstream(dir + "/bad.txt") << "P1 100 200\nP2 1x 2\n";
    ComputationSettings settings;
    test::ScriptedInteraction ui;
    EXPECT_EQ(TrigToGeometricHeights(dir + "/in.txt", dir + "/./in.txt", settings, ui).Outcome,
              RunOutcome::NameCollision);
    EXPECT_EQ(SortPointsXY(dir + "/bad.txt", dir + "/out.txt", SortOrder::Ascending, settings, ui).Outcome,
              RunOutcome::ReadFailed);
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.txt"));
    ui.texts.push_back(std::nullopt);
    EXPECT_EQ(CoordinatesToCommaForm(dir + "/bad.txt", dir + "/out.txt", settings, ui).Outcome, RunOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.txt"));
    EXPECT_EQ(StartNumberOf(" 7.6"), 8);
    EXPECT_EQ(StartNumberOf("abc"), 0);
}

}  // namespace
}  // namespace qef
