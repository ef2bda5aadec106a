#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "adjustment/AdjustByOrder.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef {
namespace {

// A grid of 6,116 unknown points in one group, 3" and 3 mm of noise, whose branch closures lie
// near north while the node azimuths are still provisional (tests/data/networks/north_closures;
// TOADO_THAT.DTA holds the coordinates the observations were made from). A closure read there
// as a whole turn drove the azimuth stage away and put every point kilometres off.
struct NorthRun {
    test::TempDir dir;
    AdjustmentInput files;
    ComputationSettings settings;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    RunRecord record;
    RunStatus status;

    explicit NorthRun(bool rigorous) {
        const std::string data = std::string(QEF_TEST_DATA) + "/networks/north_closures/";
        files = {data + "TOADO_GOC.DTA", data + "SOLIEU_DO.DTA", "", dir.File("kq.dta")};
        settings.Modes.RigorousWanted = rigorous;
        settings.KeepAccents = false;
        status = AdjustNetworkByOrder(files, settings, ui, progress, record);
    }

    // The largest distance of a result point from its true place; every true point must be there.
    double WorstDistance() const {
        int repeats = 0;
        const test::PointMap result = test::ReadResult(files.ResultFile, repeats);
        const test::PointMap truth =
            test::ReadResult(std::string(QEF_TEST_DATA) + "/networks/north_closures/TOADO_THAT.DTA", repeats);
        EXPECT_EQ(result.size(), truth.size());
        double worst = 0.0;
        for (const auto& [name, xy] : truth) {
            const auto it = result.find(name);
            if (it == result.end()) {
                ADD_FAILURE() << "not computed: " << name;
                return 1e9;
            }
            worst = std::max(worst, std::hypot(it->second.first - xy.first, it->second.second - xy.second));
        }
        return worst;
    }
};

TEST(NorthClosures, AzimuthStageSettlesAndEveryPointLandsNearItsTruePlace) {
    for (const bool rigorous : {false, true}) {
        SCOPED_TRACE(rigorous ? "rigorous" : "simple");
        NorthRun run(rigorous);
        EXPECT_EQ(run.status.Outcome, RunOutcome::Completed);
        EXPECT_EQ(run.status.FailedGroups, 0);
        EXPECT_EQ(run.status.RigorousGroups, rigorous ? 1 : 0);
        for (const auto& call : run.ui.calls) ADD_FAILURE() << call.kind << ": " << call.text;
        EXPECT_LT(run.WorstDistance(), rigorous ? 0.05 : 0.2);
    }
}

}  // namespace
}  // namespace qef
