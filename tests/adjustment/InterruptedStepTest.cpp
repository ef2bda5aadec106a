// A step of "Bình sai" or "Tính tọa độ" that dies, runs out of disk or has a move refused leaves
// the files of the step before it whole, or its own, never a mixture.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "adjustment/StepByStep.h"
#include "adjustment/SyntheticNetwork.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/InterruptedRuns.h"
#include "support/MoveFaults.h"

namespace qef {
namespace {

// A long traverse between two known directions: a step writes enough to be killed inside it.
test::SyntheticNetwork LongTraverse() {
    test::SyntheticNetwork net;
    net.AddPoints({{"TA", 1000.0, 900.0, true}, {"A", 1000.0, 1000.0, true}});
    std::vector<std::string> line{"A"};
    for (int i = 1; i <= 80; ++i) {
        const std::string name = "P" + std::to_string(i);
        net.AddPoint(name, 1000.0 + 120.0 * i, 1000.0 + (i % 2 == 0 ? 35.0 : -25.0) + 1.5 * i);
        line.push_back(name);
    }
    net.AddPoints({{"B", 1000.0 + 120.0 * 81, 1130.0, true}, {"TB", 1000.0 + 120.0 * 82, 1180.0, true}});
    line.push_back("B");
    net.AddBranch(line, BranchKind::BothEnds, "TA", "TB");
    return net;
}

// The parameter: true for "Bình sai", false for "Tính tọa độ".
class InterruptedStep : public ::testing::TestWithParam<bool> {
protected:
    test::TempDir dir;
    std::string result = dir.File("kq.dta");
    ComputationSettings settings;
    StepByStepSession ready;  // analysed, its group built: each run starts from a copy
    test::RunFolder folder{dir.Path(), {"goc.DTA", "do.DTA"}, {}, {}};
    const test::RunWith runWith = [this](Interaction& ui) {
        StepByStepSession session = ready;
        NullProgress progress;
        return static_cast<int>(GetParam() ? session.AdjustGroup(settings, result, ui, progress)
                                           : session.ComputeCoordinates(settings, result, ui, progress));
    };
    const test::StartRun start = [this](long long fileLimit) {
        return test::StartChild(
            [this] {
                SilentInteraction ui;
                return runWith(ui);
            },
            fileLimit);
    };

    void SetUp() override {
        settings.Modes.RigorousWanted = true;
        settings.WriteDhFile = true;
        // The step's drawing is one of its files.
        settings.AcadUploadEnabled = true;
        settings.AcadUploadKnownPoints = true;
        settings.AcadUploadAdjustedPoints = true;
        test::SyntheticNetwork net = LongTraverse();
        net.Observe(5, 3.0, 0.004);
        test::WriteFileBytes(dir.File("goc.DTA"), net.KnownText());
        test::WriteFileBytes(dir.File("do.DTA"), net.ObservationText());
        ready.SetKnownFile(dir.File("goc.DTA"));
        ready.SetObservationFile(dir.File("do.DTA"));
        SilentInteraction ui;
        NullProgress progress;
        ASSERT_EQ(ready.Start(settings, "", ui, progress), StepStatus::Done);
        ASSERT_FALSE(ready.Lists().StartSides.empty());
        ASSERT_EQ(ready.BuildGroup(GroupBasis::StartSide, StartSideText(ready.Lists().StartSides.front()), {},
                                   settings, ui),
                  StepStatus::Done);
        ASSERT_EQ(test::WaitChild(start(-1)), static_cast<int>(StepStatus::Done));
        folder.After = folder.Now();
        // The step before wrote files of the same names, other bytes.
        for (const auto& [name, bytes] : folder.After) folder.Before[name] = "step before: " + name;
        ASSERT_TRUE(folder.After.count("kq.dta") && folder.After.count("kq.dh"));
        // Known points and the traverse's interior points are drawn.
        ASSERT_TRUE(folder.After.count("kq.dxf"));
        for (const char* name : {"TA", "P1", "P40", "P80", "TB"})
            EXPECT_NE(folder.After.at("kq.dxf").find(std::string("\r\n ") + name + "\r\n"), std::string::npos) << name;
        ASSERT_TRUE(!GetParam() || (folder.After.count("kq.in") && folder.After.count("kq.in1")));
        folder.PutBackBefore();
    }
};

TEST_P(InterruptedStep, KilledAtAnyMomentOrOutOfDiskLeavesTheFilesOfAWholeStep) {
    std::chrono::nanoseconds runTime{};
    ASSERT_NO_FATAL_FAILURE(test::TimeWholeRuns(folder, start, 3, static_cast<int>(StepStatus::Done), runTime));
    test::ExpectKilledRunsLeaveOldOrNew(folder, start, runTime, 21, 60, result);
    // The drawing is the largest file: one byte short of it, it alone fails, and the step with it.
    const std::size_t largest = test::LargestFile(folder.After);
    ASSERT_EQ(largest, folder.After.at("kq.dxf").size());
    test::ExpectFullDisksLeaveTheOldOutputs(folder, start, {0LL, 1LL, 100LL, static_cast<long long>(largest) - 1},
                                            static_cast<int>(StepStatus::Failed));
}

TEST_P(InterruptedStep, AMoveRefusedOrKilledAtAnyPointLeavesTheFilesOfAWholeStep) {
    test::ExpectEachMoveRefusedOrKilledLeavesOldOrNew(folder, runWith, static_cast<int>(StepStatus::Done),
                                                      static_cast<int>(StepStatus::Failed), result);
}

INSTANTIATE_TEST_SUITE_P(Computations, InterruptedStep, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Adjust" : "Coordinates"; });

}  // namespace
}  // namespace qef
