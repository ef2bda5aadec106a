#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/AdjustClassic.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

// A result named like one of its own reports, or a report that is the result through a link,
// would lose one output under another: both drivers refuse before writing anything.
TEST(OutputNames, AResultThatIsOneOfItsOwnReportsIsRefused) {
    using Driver = RunStatus (*)(const AdjustmentInput&, const ComputationSettings&, Interaction&, Progress&,
                                 RunRecord&, DrawingTarget*);
    for (Driver driver : {&AdjustNetworkByOrder, &AdjustNetworkClassic}) {
        for (const char* name : {"kq.in6", "kq.in7", "kq.in", "kq.in1", "kq.txt", "kq.dh", "kq.dta"}) {
            // The single-pass driver saves no closure table.
            if (driver == &AdjustNetworkClassic && std::string(name) == "kq.in7") continue;
            SCOPED_TRACE(name);
            test::TempDir dir;
            test::WriteFileBytes(dir.File("known.txt"), "TA 1000 900\r\nA 1000 1000\r\nB 1150 1400\r\n");
            test::WriteFileBytes(dir.File("obs.txt"), "TA A P1 90.0000 100.000\r\nA P1 B 180.0000 100.000\r\n");
            const bool linked = std::string(name) == "kq.dta";
            // The last: the closure table and report 0 are links to the result.
            if (linked) {
                test::WriteFileBytes(dir.File("kq.dta"), "old\r\n");
                std::filesystem::create_symlink("kq.dta", dir.File("kq.in7"));
                std::filesystem::create_symlink("kq.dta", dir.File("kq.in"));
            }
            const AdjustmentInput files{dir.File("known.txt"), dir.File("obs.txt"), "", dir.File(name)};
            test::ScriptedInteraction ui;
            test::RecordingProgress progress;
            RunRecord record;
            ComputationSettings settings;
            settings.WriteDhFile = true;
            EXPECT_EQ(driver(files, settings, ui, progress, record, nullptr).Outcome, RunOutcome::NameCollision);
            ASSERT_EQ(ui.Messages().size(), 1u);
            EXPECT_EQ(ui.Messages()[0].rfind(Vn("Hai file kết quả trùng tên : "), 0), 0u) << ui.Messages()[0];
            EXPECT_EQ(dir.EntryCount(), linked ? 5u : 2u);
            if (linked) {
                EXPECT_EQ(test::ReadFileBytes(dir.File("kq.dta")), "old\r\n");
            }
        }
    }
}

}  // namespace
}  // namespace qef
