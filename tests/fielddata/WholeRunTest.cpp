// The adjustment file of a reduction is an observation file like any other: read back and
// adjusted with F4's driver, the traverse of the example lands on its true coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "adjustment/AdjustByOrder.h"
#include "core/io/Readers.h"
#include "core/model/Progress.h"
#include "core/model/RunRecord.h"
#include "fielddata/books/FieldBookReduction.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef {
namespace {

namespace fs = std::filesystem;
const std::string kCase = QEF_TEST_DATA "/fielddata/whole_run_f4/";

TEST(FieldBookWholeRun, ReducedTraverseReadsBackAndAdjustsToItsTrueCoordinates) {
    test::TempDir dir;
    // Noise-free readings of examples/make_field_example.py --exact: two sets, a 2C in every set.
    fs::copy_file(kCase + "SOTHO_GOCCANH.DTA", dir.File("raw.dta"));
    fs::copy_file(kCase + "known.dta", dir.File("known.dta"));
    FieldBookOptions options;
    options.AngleSets = 2;
    options.DistanceCount = 2;
    options.DistanceTolerance = 10;
    test::ScriptedInteraction ui;
    const FieldBookFiles files{dir.File("raw.dta"), dir.File("goc.txt"), dir.File("canh.txt"), dir.File("bs.dta")};
    ASSERT_EQ(BuildFieldBooks(files, options, ComputationSettings{}, ui), FieldBookOutcome::Completed);
    EXPECT_TRUE(ui.calls.empty());

    // Read back: an angle at each of the 10 stations, the 9 sides between new points.
    const ComputationSettings settings;
    PointNameTable names;
    Observations obs;
    ReadErrorRecord error;
    ASSERT_TRUE(ReadObservations(dir.File("bs.dta"), settings, names, obs, error, ui));
    EXPECT_EQ(obs.Angles.Count(), 10);
    EXPECT_EQ(obs.Sides.Count(), 9);

    // Each reduced angle against the angle of the true coordinates, computed here on its own.
    int repeats = 0;
    const auto truth = test::ReadResult(QEF_TEST_DATA "/f4/example/true-coordinates.txt", repeats);
    const auto azimuth = [&](int from, int to) {
        const auto& a = truth.at(names.Name(from));
        const auto& b = truth.at(names.Name(to));
        return std::atan2(b.second - a.second, b.first - a.first) * 180 / M_PI;
    };
    for (int i = 1; i <= obs.Angles.Count(); ++i) {
        double beta = azimuth(obs.Angles.StationIds[i], obs.Angles.ForeIds[i]) -
                      azimuth(obs.Angles.StationIds[i], obs.Angles.BackIds[i]);
        beta = std::fmod(beta + 720, 360);
        // Readings, half-sets and means each rounded to whole seconds: 2.5" at worst.
        EXPECT_NEAR(obs.Angles.Values[i] * 3600, beta * 3600, 2.5) << names.Name(obs.Angles.StationIds[i]);
    }

    NullProgress progress;
    RunRecord run;
    const RunStatus status = AdjustNetworkByOrder({dir.File("known.dta"), dir.File("bs.dta"), "", dir.File("kq.dta")},
                                                  settings, ui, progress, run, nullptr);
    ASSERT_EQ(status.Outcome, RunOutcome::Completed);
    const auto adjusted = test::ReadResult(dir.File("kq.dta"), repeats);
    for (const char* p : {"I1", "I2", "I3", "I4", "I5", "I6", "I7", "I8"}) {
        ASSERT_TRUE(adjusted.count(p)) << p;
        EXPECT_NEAR(adjusted.at(p).first, truth.at(p).first, 0.005) << p;
        EXPECT_NEAR(adjusted.at(p).second, truth.at(p).second, 0.005) << p;
    }
}

}  // namespace
}  // namespace qef
