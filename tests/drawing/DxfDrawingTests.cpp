// DXF drawings written by the program and read back by an independent reader (ezdxf).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "drawing/DxfReadBack.h"
#include "drawing/DrawingExport.h"
#include "drawing/DxfDrawing.h"
#include "drawing/RecordingDrawing.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::Lines;
using test::List;
using test::ReadBack;

TEST(DxfDrawing, ExportsOfOneCommandMakeOneCompleteDrawingAndTextsKeepTheirBytes) {
    test::TempDir dir;
    const std::string path = DrawingPathFor(dir.File("net.kq"));
    ASSERT_EQ(path, dir.File("net.dxf"));
    EXPECT_EQ(DrawingPathFor("/data/v1.2/net"), "/data/v1.2/net.dxf");  // a dot in a folder is no extension
    DxfDrawing drawing(path);
    ComputationSettings settings;
    settings.AcadUploadEnabled = true;
    settings.AcadTextHeight1 = 3.5, settings.AcadTextHeight3 = 1.5, settings.AcadHeightTextHeight = 1.25;
    test::RecordingProgress progress;
    test::ScriptedInteraction ui;
    DrawingExportContext context{settings, drawing, progress, ui};

    PointNameTable names;
    for (const char* name : {"A", "B"}) names.Register(name);
    const OneBased<double> x = List<double>({2345678.125, 2346000.5});
    const OneBased<double> y = List<double>({567890.25, 568000});
    AcadExportPoints(context, names, 1, 2, x, y, List<double>({2345678.125}), List<double>({567890.25}),
                     List<double>({2346000.5}), List<double>({568000}), List<int>({1, 2}));
    // Already a complete drawing after the first export.
    EXPECT_EQ(ReadBack(dir, path).size(), 12u);

    // Detail points on their own layers, heights as z; the known points again add no layer.
    settings.Modes.ModeDetailPoints = true;
    AcadExportDetailPoints(context, "kc3", 1, List<std::string>({"C"}), List<double>({100.5}),
                           List<double>({200.25}), List<double>({12.125}), 7);
    AcadExportPoints(context, names, 0, 1, x, y, {}, {}, {}, {}, List<int>({1}));
    EXPECT_EQ(ReadBack(dir, path), test::ReadLines(QEF_TEST_DATA "/drawing/dxf/points-and-details.txt"));
    EXPECT_TRUE(ui.calls.empty());
    // A TCVN3 name goes out byte for byte; a line break cannot cut the file.
    DxfDrawing texts(dir.File("t.dxf"));
    texts.AddLayer("sohieudiem", 2);
    texts.AddText("sohieudiem", " \xA7\xE9" "1", {1, 2, 0}, 2);
    texts.AddText("sohieudiem", " A\r\nB", {3, 4, 0}, 2);
    ASSERT_TRUE(texts.Write());
    EXPECT_NE(test::ReadFileBytes(dir.File("t.dxf")).find("\r\n  1\r\n \xA7\xE9" "1\r\n"), std::string::npos);
    Lines back = ReadBack(dir, dir.File("t.dxf"));
    EXPECT_NE(std::find(back.begin(), back.end(), "TEXT sohieudiem \" \\xA7\\xE91\" 1 2 0 h2"), back.end());
    EXPECT_NE(std::find(back.begin(), back.end(), "TEXT sohieudiem \" A  B\" 3 4 0 h2"), back.end());
}

// The upload of a coordinate file, read back: every point at its X, Y and H (drawing x = survey Y,
// z = H), its name and its height as texts, all on the layers of the options' choice "kc1".
// Worked by hand from td.dta: 12.125 rounds half to even to 12.12; P3 has no H and stands at 0.
TEST(DxfDrawing, AnUnwritableDrawingIsReportedOnceAndLeavesNothingBehind) {
    test::TempDir dir;
    ComputationSettings settings;
    settings.AcadUploadEnabled = true;
    test::RecordingProgress progress;
    PointNameTable names;
    const OneBased<double> x = List<double>({1});
    const OneBased<int> ids = List<int>({names.Register("A")});

    // Two exports of one command to a drawing that cannot be written: the messages shown.
    auto exportTwice = [&](const std::string& path) {
        DxfDrawing drawing(path);
        test::ScriptedInteraction ui;
        DrawingExportContext context{settings, drawing, progress, ui};
        for (int i = 0; i < 2; ++i) AcadExportPoints(context, names, 0, 1, x, x, {}, {}, {}, {}, ids);
        return ui.Messages();
    };
    // The folder does not exist.
    const Lines lost = exportTwice(dir.File("gone/net.dxf"));
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_NE(lost[0].find(dir.File("gone/net.dxf")), std::string::npos);
    // The name is taken by a folder: the rename fails and the temporary file goes.
    std::filesystem::create_directory(dir.File("busy.dxf"));
    EXPECT_EQ(exportTwice(dir.File("busy.dxf")).size(), 1u);
    Lines left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, (Lines{"busy.dxf"}));
}

}  // namespace
}  // namespace qef
