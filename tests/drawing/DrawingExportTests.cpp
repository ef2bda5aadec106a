// The exporters against a recording drawing: what is drawn, on which layer, in which order. The longer
// expected call lists are files of tests/data/drawing/exports/, one call a line.
#include <gtest/gtest.h>

#include <string>

#include "core/text/VnCodec.h"
#include "drawing/DrawingExport.h"
#include "drawing/RecordingDrawing.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::Lines;
using test::List;

Lines Expected(const std::string& name) { return test::ReadLines(QEF_TEST_DATA "/drawing/exports/" + name + ".txt"); }

struct Bench {
    ComputationSettings settings;
    test::RecordingDrawing drawing;
    test::RecordingProgress progress;
    test::ScriptedInteraction ui;
    DrawingExportContext Context() { return {settings, drawing, progress, ui}; }

    Bench() {
        settings.AcadUploadEnabled = true, settings.AcadHeightTextHeight = 1.25;
        settings.AcadTextHeight1 = 3.5, settings.AcadTextHeight2 = 2.5, settings.AcadTextHeight3 = 1.5;
    }
};

// Nodes N1 and N2; branch 1 runs N1 - P - N2, branch 2 (two points) N2 - K.
NetworkModel TwoBranchModel() {
    NetworkModel model;
    for (const char* name : {"N1", "P", "N2", "K"}) model.PointNames.Register(name);
    model.NetworkNodes = List<int>({1, 3});
    model.Branches.BranchPoints = List<int>({1, 2, 3, 3, 4});
    model.Branches.BranchPointCounts = List<int>({3, 2});
    model.Branches.BranchOffsets = List<int>({0, 3, 5});
    return model;
}
// Coordinates by branch position (X north, Y east).
const OneBased<double> kPosX = List<double>({10, 20, 30, 30, 40});
const OneBased<double> kPosY = List<double>({110, 120, 130, 130, 140});

TEST(DrawingExport, NothingIsTouchedWhenTheExportIsOff) {
    Bench bench;
    bench.settings.AcadUploadEnabled = false;
    bench.settings.AcadUploadKnownPoints = bench.settings.AcadUploadAdjustedPoints = true;
    bench.settings.Modes.ModeDetailPoints = true;
    NetworkModel model = TwoBranchModel();
    OneBased<double> none;
    AcadExportPoints(bench.Context(), model.PointNames, 0, 0, none, none, none, none, none, none, {});
    AcadExportAdjustedBranches(bench.Context(), model, 2, 2, kPosX, kPosY, kPosX, kPosY, List<int>({0, 0}));
    AcadExportTraverse(bench.Context(), model, 2, kPosX, kPosY);
    AcadExportDetailPoints(bench.Context(), "diem", 1, List<std::string>({"D"}), List<double>({1}),
                           List<double>({2}), List<double>({3}), 7);
    EXPECT_TRUE(bench.drawing.calls.empty());
    EXPECT_TRUE(bench.progress.events.empty());

    // A coordinate-file upload runs outside the detail-point mode and is not held back.
    bench.settings.Modes.ModeDetailPoints = false;
    AcadExportDetailPoints(bench.Context(), "kc1", 0, {}, none, none, none, 0);
    EXPECT_EQ(bench.drawing.calls,
              (Lines{"attach", "layer toadokc1 1", "layer sohieukc1 2", "layer docaokc1 3", "detach"}));
}

TEST(DrawingExport, KnownPointsAndStartDirections) {
    Bench bench;
    PointNameTable names;
    for (const char* name : {"A", "B"}) names.Register(name);
    // No points and no lines still make the layers and tell the monitor.
    const OneBased<double> none;
    AcadExportPoints(bench.Context(), names, 0, 0, none, none, none, none, none, none, {});
    EXPECT_EQ(bench.drawing.calls, (Lines{"attach", "layer toadokc1 1", "layer sohieukc1 2", "detach"}));
    EXPECT_EQ(bench.progress.LastText(MonitorLabel::Stage), Vn("Đang tải lên AutoCAD"));

    // The third point has no north coordinate; the second line ends at it.
    bench.drawing.calls.clear();
    bench.settings.AcadLayer1 = "kc4";
    const OneBased<double> x = List<double>({1000.5, 2000, kMissingValue});
    const OneBased<double> y = List<double>({500.25, 600, 700});
    AcadExportPoints(bench.Context(), names, 2, 3, x, y, List<double>({1000.5, 2000}),
                     List<double>({500.25, 600}), List<double>({2000, kMissingValue}), List<double>({600, 700}),
                     List<int>({1, 2, 1}));
    EXPECT_EQ(bench.drawing.calls, Expected("known-points"));
    EXPECT_TRUE(bench.ui.calls.empty());
}

TEST(DrawingExport, BranchesAndTraverse) {
    Bench bench;
    NetworkModel model = TwoBranchModel();
    // Adjusted branches skip the nodes done but keep their lines; the traverse skips its first point.
    AcadExportAdjustedBranches(bench.Context(), model, 2, 2, List<double>({10, 30}), List<double>({110, 130}), kPosX,
                               kPosY, List<int>({0, 1}));
    EXPECT_EQ(bench.drawing.calls, Expected("adjusted-branches"));
    EXPECT_EQ(bench.progress.LastText(MonitorLabel::Stage), Vn("Đang tải lên AutoCAD"));

    bench.drawing.calls.clear();
    AcadExportTraverse(bench.Context(), model, 2, kPosX, kPosY);
    EXPECT_EQ(bench.drawing.calls, Expected("traverse"));

    // A drawing that cannot be reached is reported once.
    bench.drawing.calls.clear();
    bench.drawing.attachResult = false;
    AcadExportTraverse(bench.Context(), model, 2, kPosX, kPosY);
    AcadExportTraverse(bench.Context(), model, 2, kPosX, kPosY);
    EXPECT_EQ(bench.drawing.calls, (Lines{"attach", "attach"}));
    EXPECT_EQ(bench.ui.Messages(), (Lines{"drawing failed"}));
}

TEST(DrawingExport, DetailPointsWithNamesHeightsAndZ) {
    Bench bench;
    bench.settings.Modes.ModeDetailPoints = true;
    const OneBased<std::string> names = List<std::string>({"D1", "D2", "D3", "D4", "D5"});
    const OneBased<double> x = List<double>({100, 200, kMissingValue, 300, 400});
    const OneBased<double> y = List<double>({50, 60, 70, 80, 90});
    const OneBased<double> h = List<double>({12.125, 7.0, 1.0, -0.001, kMissingValue});
    AcadExportDetailPoints(bench.Context(), "kc3", 5, names, x, y, h, 7);
    EXPECT_EQ(bench.drawing.calls, Expected("detail-points"));

    // Only the bits asked for: heights as text in the plane (0.375 is an exact half: 0.38).
    bench.drawing.calls.clear();
    AcadExportDetailPoints(bench.Context(), "diem", 1, names, x, y, List<double>({0.375}), 2);
    EXPECT_EQ(bench.drawing.calls, Expected("detail-heights-only"));
}

}  // namespace
}  // namespace qef
