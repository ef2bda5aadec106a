#include <gtest/gtest.h>

#include <string>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/AdjustClassic.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef {
namespace {

using Driver = RunStatus (*)(const AdjustmentInput&, const ComputationSettings&, Interaction&, Progress&, RunRecord&,
                             DrawingTarget*);

// The result of one run on these files, in metres.
test::PointMap Adjust(Driver driver, const std::string& known, const std::string& observations, bool metres) {
    test::TempDir dir;
    const AdjustmentInput files{known, observations, "", dir.File("KQ.DTA")};
    ComputationSettings settings;
    settings.MetresFlag = metres;
    settings.Modes.RigorousWanted = true;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    RunRecord record;
    EXPECT_EQ(driver(files, settings, ui, progress, record, nullptr).Outcome, RunOutcome::Completed);
    int repeats = 0;
    test::PointMap result = test::ReadResult(dir.File("KQ.DTA"), repeats);
    EXPECT_EQ(repeats, 0);
    if (!metres)
        for (auto& [name, xy] : result) xy = {xy.first / 1000.0, xy.second / 1000.0};
    return result;
}

// The example network with its coordinates and sides in millimetres (ten-digit national-grid
// coordinates, written by tests/data/f4/example_mm/to_millimetres.py): both drivers read it and
// put every point where the metre files put it, within a few centimetres of its true place.
TEST(MillimetreData, TheExampleNetworkInMillimetresGivesTheMetreResults) {
    const std::string examples = QEF_TEST_DATA "/../../examples/";
    const std::string millimetres = QEF_TEST_DATA "/f4/example_mm/";
    int repeats = 0;
    const test::PointMap truth = test::ReadResult(QEF_TEST_DATA "/f4/example/true-coordinates.txt", repeats);
    for (Driver driver : {Driver(&AdjustNetworkByOrder), Driver(&AdjustNetworkClassic)}) {
        SCOPED_TRACE(driver == &AdjustNetworkByOrder ? "by order" : "classic");
        const test::PointMap inMetres = Adjust(driver, examples + "TOADO_GOC.DTA", examples + "SOLIEU_DO.DTA", true);
        const test::PointMap inMillimetres =
            Adjust(driver, millimetres + "known.DTA", millimetres + "observations.DTA", false);
        ASSERT_EQ(inMillimetres.size(), truth.size());
        test::ExpectPointsNear(inMillimetres, truth, 0.05);
        // Whole millimetres against three decimals of a metre: the same figures.
        ASSERT_EQ(inMillimetres.size(), inMetres.size());
        test::ExpectPointsNear(inMillimetres, inMetres, 0.0005001);
    }
}

}  // namespace
}  // namespace qef
