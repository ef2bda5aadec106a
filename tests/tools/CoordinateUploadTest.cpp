// A coordinate file sent to the drawing: the calls it makes, and the DXF read back by ezdxf.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../drawing/DxfReadBack.h"
#include "../drawing/RecordingDrawing.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"
#include "tools/CoordinateUpload.h"

namespace qef {
namespace {

TEST(CoordinateUpload, DrawsOnlyThePointLinesRead) {
    const test::TempDir dir;
    test::WriteFileBytes(dir.File("td.dta"),
                         "P1 100 200\nheader\nP2,300,400,12.5\nP3 x 1\nLONGPOINTNAME017 5 6\nP4 1e308 1\n");
    ComputationSettings settings;
    settings.AcadUploadFlags = 1;
    test::RecordingDrawing drawing;
    test::RecordingProgress monitor;
    test::ScriptedInteraction ui;
    const ToolStatus status = UploadCoordinateFile(dir.File("td.dta"), settings, monitor, ui, &drawing);
    EXPECT_EQ(status.Written, 3);
    EXPECT_EQ(status.Skipped, 3);
    // Drawing x is the survey Y.
    const auto points = std::count_if(drawing.calls.begin(), drawing.calls.end(),
                                      [](const std::string& c) { return c.rfind("point ", 0) == 0; });
    EXPECT_EQ(points, 3);
    // A name is cut to 15 characters, and the user hears of it; 1e308 is no
    // coordinate: its line is counted with the others left out.
    EXPECT_NE(std::find(drawing.calls.begin(), drawing.calls.end(), "text sohieudiem ' LONGPOINTNAME01' 6 5 0 h2"),
              drawing.calls.end());
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{
                                 "File " + dir.File("td.dta") + Vn(" : 1 tên điểm dài quá 15 ký tự bị cắt : ") +
                                     "LONGPOINTNAME017 -> LONGPOINTNAME01",
                                 Vn("Có 3 dòng số liệu không phù hợp, không đưa vào bản vẽ")}));
    EXPECT_NE(std::find(drawing.calls.begin(), drawing.calls.end(), "point toadodiem 400 300 0"), drawing.calls.end());
}

using test::ReadBack;

TEST(CoordinateUpload, AnUploadedFileKeepsItsHeightsOnTheChosenLayers) {
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

// A point name holding a NUL is a damaged line, refused as every reader refuses it: the file,
// the line and the reason, and nothing is drawn.
TEST(CoordinateUpload, RefusesAPointNameHoldingANul) {
    const test::TempDir dir;
    test::WriteFileBytes(dir.File("td.dta"), std::string("P1 100 200\r\nGP\0S03 300 400\r\n", 28));
    ComputationSettings settings;
    test::RecordingDrawing drawing;
    test::RecordingProgress monitor;
    test::ScriptedInteraction ui;
    const ToolStatus status = UploadCoordinateFile(dir.File("td.dta"), settings, monitor, ui, &drawing);
    EXPECT_EQ(status.Outcome, RunOutcome::ReadFailed);
    EXPECT_EQ(status.ReadError.ReadErrorLine, 2);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"File " + dir.File("td.dta") + Vn(", dòng 2 : tên điểm có ký tự NUL")});
    EXPECT_TRUE(drawing.calls.empty());
}

}  // namespace
}  // namespace qef
