// DXF drawings written by the program and read back by an independent reader (ezdxf).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "drawing/CoordinateUpload.h"
#include "drawing/DrawingExport.h"
#include "drawing/DxfDrawing.h"
#include "drawing/RecordingDrawing.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::Lines;
using test::List;

// What ezdxf finds in the drawing, one item a line (see check_dxf.py).
Lines ReadBack(const test::TempDir& dir, const std::string& drawing) {
    const std::string out = dir.File("check.out");
    const std::string command = std::string("\"") + QEF_DXF_PYTHON + "\" \"" + QEF_DXF_CHECK + "\" \"" +
                                drawing + "\" > \"" + out + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << "check_dxf.py failed on " << drawing << " (status 2: python3-ezdxf missing)";
    return test::ReadLines(out);
}

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
TEST(DxfDrawing, AnUploadedFileKeepsItsHeightsOnTheChosenLayers) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("td.dta"), "P1 1000.5 2000.25 12.125\r\nP2,1100,2100,7\r\n// ghi chu\r\nP3 1200 2200\r\n");
    ComputationSettings settings;
    settings.AcadUploadEnabled = true;
    settings.Modes.ModeDetailPoints = true;
    settings.AcadUploadFlags = 7;
    settings.AcadTextHeight3 = 1.5, settings.AcadHeightTextHeight = 1.25;
    settings.AcadCurrentLayer = "kc1";
    test::RecordingProgress progress;
    test::ScriptedInteraction ui;
    const ToolStatus status = UploadCoordinateFile(dir.File("td.dta"), settings, progress, ui);
    EXPECT_EQ(status.Outcome, RunOutcome::Completed);
    EXPECT_EQ(status.Written, 3);
    EXPECT_EQ(status.WrittenFile, dir.File("td.dxf"));
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_EQ(ReadBack(dir, dir.File("td.dxf")), test::ReadLines(QEF_TEST_DATA "/drawing/dxf/upload-kc1.txt"));

    // A drawing that cannot be written is said once and the upload does not end well.
    std::filesystem::create_directory(dir.File("busy.dxf"));
    test::WriteFileBytes(dir.File("busy.dta"), "P1 1 2 3\r\n");
    test::ScriptedInteraction busy;
    const ToolStatus failed = UploadCoordinateFile(dir.File("busy.dta"), settings, progress, busy);
    EXPECT_EQ(failed.Outcome, RunOutcome::WriteFailed);
    EXPECT_TRUE(failed.WrittenFile.empty());
    EXPECT_EQ(busy.Messages().size(), 1u);
}

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
