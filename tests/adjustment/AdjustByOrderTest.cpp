#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/SyntheticTraverse.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
#include "drawing/RecordingDrawing.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::ReadFileBytes;
using test::ReadResult;
using test::SyntheticTraverse;
using test::WriteFileBytes;

using test::ByOrderCase;

// A connecting traverse A..B between two known directions.
SyntheticTraverse ConnectingTraverse() {
    SyntheticTraverse net;
    net.Add({{"TA", 5300.0, 4800.0}, {"A", 5000.0, 5000.0}, {"B", 5420.0, 5905.0}, {"TB", 5710.0, 6120.0}}, true);
    net.Add({{"P1", 5105.3, 5180.4}, {"P2", 5080.7, 5402.2}, {"P3", 5260.1, 5555.9}, {"P4", 5301.6, 5760.3}});
    net.Chain({"A", "P1", "P2", "P3", "P4", "B"}, "TA", "TB");
    return net;
}

// Three known stations joined at one node N.
SyntheticTraverse NodeNetwork() {
    SyntheticTraverse net;
    net.Add({{"TA", 1000.0, 1000.0}, {"A", 1150.0, 1320.0}, {"TB", 2150.0, 900.0}, {"B", 1980.0, 1210.0},
             {"TC", 1400.0, 2900.0}, {"C", 1550.0, 2500.0}}, true);
    net.Add({{"a1", 1305.2, 1502.7}, {"a2", 1480.9, 1655.1}, {"N", 1602.4, 1801.3}, {"b1", 1801.5, 1540.8},
             {"c1", 1590.3, 2260.6}, {"c2", 1655.0, 2030.2}});
    net.Chain({"A", "a1", "a2", "N"}, "TA", "");
    net.Chain({"B", "b1", "N"}, "TB", "");
    net.Chain({"C", "c1", "c2", "N"}, "TC", "");
    net.AddAngle("a2", "N", "b1");
    net.AddAngle("b1", "N", "c2");
    return net;
}

// The connecting traverse with an open traverse hanging from B.
SyntheticTraverse HangingNetwork() {
    SyntheticTraverse net = ConnectingTraverse();
    net.Add({{"H1", 5250.5, 6050.2}, {"H2", 5190.8, 6260.9}});
    net.Chain({"B", "H1", "H2"}, "TB", "");
    return net;
}

// A second traverse from C that ends at P3 of the first without an angle there: it closes only
// once P3 has coordinates, in the second order.
SyntheticTraverse TwoOrderNetwork() {
    SyntheticTraverse net = ConnectingTraverse();
    net.Add({{"TC", 4700.0, 5900.0}, {"C", 4900.0, 5700.0}}, true);
    net.Add({{"Q1", 5010.4, 5640.0}, {"Q2", 5140.2, 5610.3}});
    net.Chain({"C", "Q1", "Q2", "P3"}, "TC", "");
    return net;
}

std::string Rule(int n) { return std::string(9, ' ') + std::string(static_cast<std::size_t>(n), '-') + "\r\n"; }

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(AdjustByOrder, ErrorFreeNetworksReproduceTheirTrueCoordinates) {
    struct Shape {
        const char* name;
        SyntheticTraverse net;
        int orders;
        bool hanging;
    };
    const Shape shapes[] = {{"connecting", ConnectingTraverse(), 1, false},
                            {"nodes", NodeNetwork(), 1, false},
                            {"hanging", HangingNetwork(), 2, true},
                            {"two orders", TwoOrderNetwork(), 2, false}};
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
            run.ExpectTrueCoordinates(shape.net, 0.001);
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

TEST(AdjustByOrder, HeldBackSidesThatNeverJoinAreListed) {
    // Skipped hanging traverses, and 33 sides between points that nothing reaches.
    SyntheticTraverse net = HangingNetwork();
    for (int i = 0; i <= 33; ++i) net.Add("F" + std::to_string(i), 7000.0 + 10.0 * i, 7000.0);
    for (int i = 0; i < 33; ++i) net.AddSide("F" + std::to_string(i), "F" + std::to_string(i + 1));
    ByOrderCase run(net);
    ComputationSettings settings;
    settings.SkipHangingTraverses = true;
    ASSERT_EQ(run.Go(settings).Outcome, RunOutcome::Completed);

    int repeats = 0;
    const auto result = ReadResult(run.files.ResultFile, repeats);
    EXPECT_EQ(result.size(), 8u);  // known points, P1..P4
    EXPECT_FALSE(result.count("H1"));
    EXPECT_FALSE(FileExists(run.dir.File("kq.txt")));
    EXPECT_EQ(run.Report("in").find(Vn("Kết quả tính đường treo")), std::string::npos);

    const auto messages = run.ui.Messages();
    ASSERT_EQ(messages.size(), 1u);
    std::string expected = Vn("Một số cạnh không nối được vào lưới") + "\nB --> H1\nH1 --> H2\n";
    for (int i = 0; i < 28; ++i) expected += "F" + std::to_string(i) + " --> F" + std::to_string(i + 1) + "\n";
    expected += Vn("... và 5 cạnh khác (xem ") + run.dir.File("kq.in6") + ")\n";
    EXPECT_EQ(messages[0], expected);
    // Report 6 has them all.
    const std::string log = run.Report("in6");
    EXPECT_NE(log.find("\r\n     B --> H1\r\n     H1 --> H2\r\n     F0 --> F1\r\n"), std::string::npos);
    EXPECT_NE(log.find("\r\n     F32 --> F33\r\n"), std::string::npos);

    // Computed, the hanging traverse leaves the floating sides, and no error besides them.
    settings.SkipHangingTraverses = false;
    run.ui.calls.clear();
    ASSERT_EQ(run.Go(settings).Outcome, RunOutcome::Completed);
    ASSERT_EQ(run.ui.Messages().size(), 1u);
    EXPECT_EQ(run.ui.Messages()[0].find(Vn("Một số cạnh không nối được vào lưới") + "\nF0 --> F1\n"), 0u);
    EXPECT_TRUE(ReadResult(run.files.ResultFile, repeats).count("H2"));

    // Floating sides alone: the second order finds no start direction and the run still ends well.
    SyntheticTraverse floating = ConnectingTraverse();
    floating.Add({{"G1", 100.0, 100.0}, {"G2", 100.0, 200.0}});
    floating.AddSide("G1", "G2");
    ByOrderCase alone(floating);
    const RunStatus status = alone.Go(settings);
    EXPECT_EQ(status.Outcome, RunOutcome::Completed);
    EXPECT_EQ(status.Orders, 1);
    EXPECT_EQ(alone.ui.Messages(),
              std::vector<std::string>{Vn("Một số cạnh không nối được vào lưới") + "\nG1 --> G2\n"});
    EXPECT_TRUE(ReadResult(alone.files.ResultFile, repeats).count("P4"));
}

TEST(AdjustByOrder, ObservationFileWithoutSides) {
    SyntheticTraverse net = ConnectingTraverse();
    net.Sides.clear();
    ByOrderCase run(net);
    ComputationSettings settings;
    settings.KeepAccents = false;
    const RunStatus status = run.Go(settings);
    EXPECT_EQ(status.Outcome, RunOutcome::Completed);
    EXPECT_EQ(status.Orders, 1);
    EXPECT_TRUE(run.ui.calls.empty());
    EXPECT_EQ(ReadFileBytes(run.files.ResultFile),
              "TA\t5300.000\t4800.000\r\nA\t5000.000\t5000.000\r\nB\t5420.000\t5905.000\r\nTB\t5710.000\t6120.000\r\n");
    EXPECT_EQ(run.Report("in7"), "STT\tTEN NHANH\tSO GOC\tSO CANH\tSO NUT\tFb\tFbcp\tFx\tFy\tFs\tFs/[S]\r\n");
    EXPECT_TRUE(EndsWith(run.Report("in6"),
                         "\r\n     Tong so diem khoi tinh : 0\r\n     Tong so diem binh sai : 0\r\n"
                         "     Tong so goc toan mang : 0\r\n     Tong so canh toan mang : 0\r\n"
                         "     Tong so nut toan mang : 0\r\n     Tong so nhanh toan mang : 0\r\n"));

    // No group was adjusted rigorously: the accuracy lines say so rather than print start values.
    settings.Modes.RigorousWanted = true;
    run.Go(settings);
    EXPECT_TRUE(EndsWith(run.Report("in6"), "     Tong so nhanh toan mang : 0\r\n"
                                            "     Khong co nhom nao duoc binh sai chat che\r\n"));
}

TEST(AdjustByOrder, KnownPointsAreDrawnOnceAndHangingTraversesToo) {
    SyntheticTraverse net = HangingNetwork();
    net.Add({{"TC", 4700.0, 5900.0}}, true);  // a known point that nothing uses is drawn as well
    ComputationSettings settings;
    settings.AcadUploadEnabled = true;
    settings.AcadUploadKnownPoints = true;
    settings.AcadUploadAdjustedPoints = true;
    ByOrderCase run(net);
    test::RecordingDrawing drawing;
    ASSERT_EQ(AdjustNetworkByOrder(run.files, settings, run.ui, run.progress, run.record, &drawing).Outcome,
              RunOutcome::Completed);
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
    EXPECT_NE(ReadFileBytes(own.dir.File("kq.dxf")).find("H2"), std::string::npos);
}

TEST(AdjustByOrder, AFailedGroupIsNamedAndTheOthersGoOn) {
    // Two separate connecting traverses; the first has a blunder of 1 m in a side, and the
    // user stops its adjustment at the linear closure question.
    SyntheticTraverse net = ConnectingTraverse();
    net.Add({{"TD", 4000.0, 4000.0}, {"D", 4100.0, 4050.0}, {"E", 4150.0, 4400.0}, {"TE", 4100.0, 4600.0}}, true);
    net.Add("R1", 4210.0, 4180.0);
    net.Chain({"D", "R1", "E"}, "TD", "TE");
    ByOrderCase run(net);
    std::string obs = net.ObservationText();
    const std::string side = "P2\tP3\t" + SyntheticTraverse::Fixed(net.Distance("P2", "P3"), 5);
    obs.replace(obs.find(side), side.size(), "P2\tP3\t" + SyntheticTraverse::Fixed(net.Distance("P2", "P3") + 1.0, 5));
    WriteFileBytes(run.files.ObservationFile, obs);
    run.ui.answers = {Answer::No};
    ComputationSettings settings;
    settings.KeepAccents = false;
    const RunStatus status = run.Go(settings);
    EXPECT_EQ(status.Outcome, RunOutcome::Completed);
    EXPECT_EQ(status.FailedGroups, 1);
    EXPECT_NE(run.Report("in6").find("Nhom khong binh sai duoc, cac nhanh : A - B\r\n"), std::string::npos);
    int repeats = 0;
    const auto result = ReadResult(run.files.ResultFile, repeats);
    EXPECT_FALSE(result.count("P1"));
    EXPECT_EQ(result.at("R1"), std::make_pair(4210.0, 4180.0));
}

TEST(AdjustByOrder, AFileThatCannotBeWrittenIsNamed) {
    // The side-correction table fails its group; its closing rule then stops the run.
    ComputationSettings reduced;
    reduced.KeepAccents = false;
    reduced.HeightReduction = true;
    reduced.MeanAreaHeight = 20.0;
    ByOrderCase sides(ConnectingTraverse());
    std::filesystem::create_directory(sides.dir.File("kq.in2"));
    const RunStatus sidesStatus = sides.Go(reduced);
    EXPECT_EQ(sidesStatus.Outcome, RunOutcome::WriteFailed);
    EXPECT_EQ(sidesStatus.FailedGroups, 1);
    EXPECT_EQ(sides.ui.Messages(), (std::vector<std::string>{Vn("Không ghi được tệp ") + sides.dir.File("kq.in2"),
                                                             Vn("Lỗi ghi file ") + sides.dir.File("kq.in2")}));

    // A rigorous table stops the run at once; the log says why.
    ComputationSettings rigorous;
    rigorous.KeepAccents = false;
    rigorous.Modes.RigorousWanted = true;
    ByOrderCase tables(ConnectingTraverse());
    std::filesystem::create_directory(tables.dir.File("kq.in1"));
    EXPECT_EQ(tables.Go(rigorous).Outcome, RunOutcome::WriteFailed);
    EXPECT_EQ(tables.ui.Messages(), std::vector<std::string>{Vn("Không ghi được tệp ") + tables.dir.File("kq.in1")});
    EXPECT_TRUE(EndsWith(tables.Report("in6"), "\r\nDung tinh do khong ghi duoc file\r\n"));
}

TEST(AdjustByOrder, StartAzimuthOfATargetWithoutCoordinatesIsAskedOnce) {
    SyntheticTraverse net = HangingNetwork();
    ByOrderCase run(net);
    std::string known = net.KnownText();
    const auto tb = known.find("TB\t");
    known.replace(tb, known.find("\r\n", tb) - tb, "TB");
    WriteFileBytes(run.files.KnownPointsFile, known);
    run.ui.texts = {SyntheticTraverse::DmsText(net.Azimuth("TB", "B"))};
    ASSERT_EQ(run.Go(ComputationSettings{}).Outcome, RunOutcome::Completed);
    ASSERT_EQ(run.ui.calls.size(), 1u);
    EXPECT_EQ(run.ui.calls[0].kind, "text");
    EXPECT_NE(run.ui.calls[0].text.find("Nhap Phuong Vi TB -> B"), std::string::npos);
    net.Truth.erase("TB");  // every other point is placed
    run.ExpectTrueCoordinates(net, 0.001);
}

TEST(AdjustByOrder, RunsThatStopSaveTheirLogAndNeverReplaceInputs) {
    // No known station measured an angle: the run stops, and report 6 says why, replacing the
    // report of an earlier run.
    SyntheticTraverse net = ConnectingTraverse();
    net.Angles.clear();
    ByOrderCase stopped(net);
    WriteFileBytes(stopped.dir.File("kq.in6"), "stale\r\n");
    const RunStatus status = stopped.Go(ComputationSettings{});
    EXPECT_EQ(status.Outcome, RunOutcome::NoStartDirection);
    EXPECT_EQ(status.Report6, stopped.dir.File("kq.in6"));
    EXPECT_TRUE(EndsWith(stopped.Report("in6"), "\r\n!Ten diem toa do goc khong phu hop\r\n"));
    EXPECT_EQ(stopped.ui.Messages(), std::vector<std::string>{"!Ten diem toa do goc khong phu hop"});

    // An observation file named like the run's log file is refused before anything is written.
    ByOrderCase clash(ConnectingTraverse());
    const std::string obs = ReadFileBytes(clash.files.ObservationFile);
    clash.files.ObservationFile = clash.dir.File("kq.txt");
    WriteFileBytes(clash.files.ObservationFile, obs);
    const RunStatus refused = clash.Go(ComputationSettings{});
    EXPECT_EQ(refused.Outcome, RunOutcome::NameCollision);
    EXPECT_TRUE(refused.Report6.empty());
    EXPECT_EQ(ReadFileBytes(clash.files.ObservationFile), obs);
    EXPECT_FALSE(FileExists(clash.files.ResultFile));
    ASSERT_EQ(clash.ui.Messages().size(), 1u);

    // A file that cannot be read: nothing is written.
    ByOrderCase unreadable(ConnectingTraverse());
    unreadable.files.KnownPointsFile = unreadable.dir.File("missing.txt");
    EXPECT_EQ(unreadable.Go(ComputationSettings{}).Outcome, RunOutcome::ReadFailed);
    EXPECT_FALSE(FileExists(unreadable.files.ResultFile));
    EXPECT_FALSE(FileExists(unreadable.dir.File("kq.in6")));
}

}  // namespace
}  // namespace qef
