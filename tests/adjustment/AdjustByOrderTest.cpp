#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/SyntheticNetwork.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
#include "drawing/RecordingDrawing.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef {
namespace {

using test::SyntheticNetwork;

// A whole run on the network's error-free files, in a folder of its own.
struct ByOrderCase {
    test::TempDir dir;
    AdjustmentInput files;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    RunRecord record;

    explicit ByOrderCase(SyntheticNetwork net)
        : files{dir.File("known.txt"), dir.File("obs.txt"), "", dir.File("kq.dta")} {
        net.Observe(1, 0.0, 0.0);
        test::WriteFileBytes(files.KnownPointsFile, net.KnownText());
        test::WriteFileBytes(files.ObservationFile, net.ObservationText());
    }
    RunStatus Go(const ComputationSettings& settings, DrawingTarget* drawing = nullptr) {
        return AdjustNetworkByOrder(files, settings, ui, progress, record, drawing);
    }
    std::string Report(const std::string& ext) const { return test::ReadFileBytes(dir.File("kq." + ext)); }

};

// A connecting traverse A..B between two known directions.
SyntheticNetwork ConnectingTraverse() {
    SyntheticNetwork net;
    net.AddPoints({{"TA", 5300.0, 4800.0, true}, {"A", 5000.0, 5000.0, true}, {"B", 5420.0, 5905.0, true},
                   {"TB", 5710.0, 6120.0, true}, {"P1", 5105.3, 5180.4}, {"P2", 5080.7, 5402.2}, {"P3", 5260.1, 5555.9},
                   {"P4", 5301.6, 5760.3}});
    net.AddBranch({"A", "P1", "P2", "P3", "P4", "B"}, BranchKind::BothEnds, "TA", "TB");
    return net;
}

// Three known stations joined at one node N, with angles at N between the branches.
SyntheticNetwork NodeNetwork() {
    SyntheticNetwork net;
    net.AddPoints({{"TA", 1000.0, 1000.0, true}, {"A", 1150.0, 1320.0, true}, {"TB", 2150.0, 900.0, true},
                   {"B", 1980.0, 1210.0, true}, {"TC", 1400.0, 2900.0, true}, {"C", 1550.0, 2500.0, true},
                   {"a1", 1305.2, 1502.7}, {"a2", 1480.9, 1655.1}, {"N", 1602.4, 1801.3}, {"b1", 1801.5, 1540.8},
                   {"c1", 1590.3, 2260.6}, {"c2", 1655.0, 2030.2}});
    net.AddBranch({"A", "a1", "a2", "N"}, BranchKind::StartOnly, "TA");
    net.AddBranch({"B", "b1", "N"}, BranchKind::BothEnds, "TB", "a2");
    net.AddBranch({"C", "c1", "c2", "N"}, BranchKind::BothEnds, "TC", "b1");
    return net;
}

// The connecting traverse with an open traverse hanging from B.
SyntheticNetwork HangingNetwork() {
    SyntheticNetwork net = ConnectingTraverse();
    net.AddPoints({{"H1", 5250.5, 6050.2}, {"H2", 5190.8, 6260.9}});
    net.AddBranch({"B", "H1", "H2"}, BranchKind::StartOnly, "TB");
    return net;
}

// A second traverse from C that ends at P3 of the first without an angle there: it closes only
// once P3 has coordinates, in the second order.
SyntheticNetwork TwoOrderNetwork() {
    SyntheticNetwork net = ConnectingTraverse();
    net.AddPoints({{"TC", 4700.0, 5900.0, true}, {"C", 4900.0, 5700.0, true}, {"Q1", 5010.4, 5640.0},
                   {"Q2", 5140.2, 5610.3}});
    net.AddBranch({"C", "Q1", "Q2", "P3"}, BranchKind::StartOnly, "TC");
    return net;
}

std::string Rule(int n) { return std::string(9, ' ') + std::string(static_cast<std::size_t>(n), '-') + "\r\n"; }

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(AdjustByOrder, ErrorFreeNetworksReproduceTheirTrueCoordinates) {
    struct Shape {
        const char* name;
        SyntheticNetwork net;
        int orders;
        bool hanging;
    };
    const Shape shapes[] = {{"connecting", ConnectingTraverse(), 1, false},
                            {"nodes", NodeNetwork(), 1, false},
                            {"hanging", HangingNetwork(), 2, true},
                            {"two orders", TwoOrderNetwork(), 2, false},
                            {"two node levels", test::TwoLevelNetwork(), 1, false}};
    for (const Shape& shape : shapes)
        for (bool rigorous : {false, true}) {
            SCOPED_TRACE(std::string(shape.name) + (rigorous ? " rigorous" : " simple"));
            ByOrderCase run(shape.net);
            ComputationSettings settings;
            settings.Modes.RigorousWanted = rigorous;
            settings.HeightReduction = true;  // at a mean height of 0 m: a table, no change
            const RunStatus status = run.Go(settings);
            EXPECT_EQ(status.Outcome, RunOutcome::Completed);
            EXPECT_EQ(status.Orders, shape.orders);
            EXPECT_EQ(status.FailedGroups, 0);
            EXPECT_EQ(status.ReportTablesClosed, shape.hanging);
            test::ExpectResult(run.files.ResultFile, shape.net.Truth(), 0.001);
            EXPECT_TRUE(run.ui.calls.empty());
            const std::string log = run.Report("in6");
            EXPECT_EQ(FileExists(run.dir.File("kq.in1")), rigorous);
            EXPECT_EQ(log.find(Vn("Sai số vị trí điểm yếu nhất : ")) != std::string::npos, rigorous);
            EXPECT_EQ(EndsWith(run.Report("in2"), Rule(70)), !shape.hanging);
            if (!rigorous) continue;
            EXPECT_EQ(status.RigorousGroups, shape.orders == 2 && !shape.hanging ? 2 : 1);
            // The closing rules end the rigorous tables unless hanging traverses were computed.
            const std::pair<const char*, int> rules[] = {{"in1", 65}, {"in3", 78}, {"in4", 61}, {"in5", 83}};
            for (const auto& [ext, length] : rules)
                EXPECT_EQ(EndsWith(run.Report(ext), Rule(length)), !shape.hanging) << ext;
        }
}

TEST(AdjustByOrder, KnownPointsAreDrawnOnceAndHangingTraversesToo) {
    SyntheticNetwork net = HangingNetwork();
    net.AddPoint("TC", 4700.0, 5900.0, true);  // a known point that nothing uses is drawn as well
    ComputationSettings settings;
    settings.AcadUploadEnabled = true;
    settings.AcadUploadKnownPoints = true;
    settings.AcadUploadAdjustedPoints = true;
    ByOrderCase run(net);
    test::RecordingDrawing drawing;
    ASSERT_EQ(run.Go(settings, &drawing).Outcome, RunOutcome::Completed);
    auto count = [&](const std::string& part) {
        int n = 0;
        for (const std::string& call : drawing.calls) n += call.find(part) != std::string::npos ? 1 : 0;
        return n;
    };
    // Names are drawn with a blank before them.
    for (const char* name : {"' TA'", "' A'", "' B'", "' TB'", "' TC'"})
        EXPECT_EQ(count("text sohieukc1 " + std::string(name)), 1) << name;
    EXPECT_EQ(count("line sohieukc1 c1"), 2);  // A -> TA and B -> TB
    for (const char* name : {"' P1'", "' H1'", "' H2'"})
        EXPECT_EQ(count("text sohieukc2 " + std::string(name)), 1) << name;

    // Without a drawing of the caller's the run draws into the DXF file beside the result.
    ByOrderCase own(net);
    ASSERT_EQ(own.Go(settings).Outcome, RunOutcome::Completed);
    EXPECT_NE(test::ReadFileBytes(own.dir.File("kq.dxf")).find("H2"), std::string::npos);
}

}  // namespace
}  // namespace qef
