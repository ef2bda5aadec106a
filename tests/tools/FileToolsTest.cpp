#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/Fakes.h"
#include "tools/CoordinateTools.h"
#include "tools/FileTools.h"

namespace qef {
namespace {

TEST(FileTools, NothingIsWrittenOverAnInputOrAfterAReadError) {
    const test::TempDir dir;
    test::WriteFileBytes(dir.File("in.txt"), "A B 1 2 3 4\n");
    test::WriteFileBytes(dir.File("bad.txt"), "P1 100 200\nP2 1x 2\n");
    ComputationSettings settings;
    test::ScriptedInteraction ui;
    EXPECT_EQ(TrigToGeometricHeights(dir.File("in.txt"), dir.Path() + "/./in.txt", settings, ui).Outcome,
              RunOutcome::NameCollision);
    EXPECT_EQ(SortPointsXY(dir.File("bad.txt"), dir.File("out.txt"), SortOrder::Ascending, settings, ui).Outcome,
              RunOutcome::ReadFailed);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.txt")));
    ui.texts.push_back(std::nullopt);
    EXPECT_EQ(CoordinatesToCommaForm(dir.File("bad.txt"), dir.File("out.txt"), settings, ui).Outcome,
              RunOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.txt")));
    EXPECT_EQ(StartNumberOf(" 7.6"), 8);
    EXPECT_EQ(StartNumberOf("abc"), 0);
}

}  // namespace
}  // namespace qef
