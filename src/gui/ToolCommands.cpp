#include "gui/ToolCommands.h"

#include <optional>
#include <string>

#include "core/grid/ZeroOrientation.h"
#include "core/io/Readers.h"
#include "core/text/VnCodec.h"
#include "tools/CoordinateTools.h"
#include "tools/FileTools.h"
#include "tools/ObservationTools.h"
#include "tools/CoordinateUpload.h"
#include "drawing/DxfDrawing.h"
#include "gui/CommandRunner.h"
#include "gui/GridModel.h"
#include "gui/GuiText.h"
#include "gui/CommandHost.h"
#include "gui/TextToolCommands.h"
#include "gui/dialogs/Fphantoado.h"
#include "gui/dialogs/TFVoiAutoCAD.h"
#include "tools/HeightFileTools.h"

namespace qef {

namespace {

const QString kDtFilter =
    QStringLiteral("File dạng *.DT* (*.DT* *.dt*);;File dạng *.DAT (*.DAT *.dat);;All File (*)");
const QString kDtaResultFilter = QStringLiteral("File kết quả dạng *.DTA (*.DTA *.dta)");
const QString kSortFilter = QStringLiteral("File dữ liệu *.DTA (*.DTA *.dta)");
const QString kDetailFilter = QStringLiteral("File dạng *.DTA* (*.DTA* *.dta*);;All File (*)");
const QString kDtaFilter = QStringLiteral("File dạng *.DTA (*.DTA *.dta)");

// What the user hears after a tool: a read error names its file and line; the rest was said,
// but for the file written, which the status bar names.
void Finish(CommandHost& w, const ToolStatus& status) {
    if (status.Outcome == RunOutcome::ReadFailed) w.Runner().ReportReadError(status.ReadError);
    w.TellWritten({status.WrittenFile});
}

// One input, one result: the shape of most tools.
template <typename Tool>
void OneToOne(CommandHost& w, const char* openTitle, const QString& openFilter, const char* saveTitle,
              const QString& saveFilter, const char* saveExt, Tool tool) {
    const auto in = AskToolInput(w, openTitle, openFilter, "DTA");
    if (!in) return;
    const auto out = AskToolResult(w, saveTitle, saveFilter, saveExt);
    if (!out) return;
    Finish(w, tool(*in, *out, w.Settings(), w.Ask()));
}

void SortCommand(CommandHost& w, PointFileKind kind) {
    const bool xyh = kind == PointFileKind::XYH;
    const auto in =
        AskToolInput(w, xyh ? "File tọa độ, cao độ cần sắp xếp" : "File tọa độ cần sắp xếp", kSortFilter, "DTA");
    if (!in) return;
    const auto out =
        AskToolResult(w, xyh ? "File tọa đô, cao độ kết quả sắp xếp" : "File tọa độ kết quả sắp xếp", kSortFilter,
                      "dta");
    if (!out) return;
    const SortOrder order = w.Ask().AskYesNo(Vn("Bạn muốn sắp xếp theo chiều tăng dần ?")) == Answer::Yes
                                ? SortOrder::Ascending
                                : SortOrder::Descending;
    Finish(w, (xyh ? SortPointsXYZ : SortPointsXY)(*in, *out, order, w.Settings(), w.Ask()));
}

// An observation file to compare, counted first so that a file that cannot be read stops here.
std::optional<std::string> OpenObservations(CommandHost& w, const char* title) {
    const auto name = AskToolInput(w, title, InputFileFilter(), "DTA");
    if (!name) return std::nullopt;
    ObservationCounts counts;
    ReadErrorRecord error;
    if (!CountObservationLines(*name, w.Settings(), counts, error)) {
        w.Runner().ReportReadError(error);
        return std::nullopt;
    }
    return name;
}

}  // namespace

std::optional<std::string> AskToolInput(CommandHost& w, const char* title, const QString& filter, const char* ext) {
    const std::optional<QString> name = w.AskOpenName({QString::fromUtf8(title), filter, QString::fromLatin1(ext)});
    if (!name || name->isEmpty()) return std::nullopt;
    return NativeName(*name);
}

std::optional<std::string> AskToolResult(CommandHost& w, const char* title, const QString& filter, const char* ext) {
    const std::optional<QString> name = w.AskSaveName({QString::fromUtf8(title), filter, QString::fromLatin1(ext)});
    if (!name || name->isEmpty()) return std::nullopt;
    return NativeName(*name);
}

void TrigToGeometricCommand(CommandHost& window, bool) {
    OneToOne(window, "File số liệu chênh cao lượng giác", kDtFilter, "Kết quả file số liệu chênh cao hình học",
             kDtaResultFilter, "dta", TrigToGeometricHeights);
}

void AverageLevellingCommand(CommandHost& window, bool) {
    OneToOne(window, "File số liệu chênh cao lượng giác", kDtFilter, "Kết quả file số liệu tính trung bình",
             kDtaResultFilter, "dta", AverageTwoWayLevelling);
}

void CommaFormCommand(CommandHost& window, bool) {
    OneToOne(window, "Tên file só liệu chi tiết dạng khác", kDetailFilter, "Tên file số liệu đo chi tiết dạng chuẩn",
             QStringLiteral("File dạng *.DAT (*.DAT *.dat)"), "dta", CoordinatesToCommaForm);
}

void StationListCommand(CommandHost& window, bool) {
    OneToOne(window, "Tên file só liệu chi tiết", kDetailFilter, "Tên file số hiệu trạm máy", kDtaFilter, "dta",
             ListStations);
}

void SortXYCommand(CommandHost& window, bool) { SortCommand(window, PointFileKind::XY); }
void SortXYHCommand(CommandHost& window, bool) { SortCommand(window, PointFileKind::XYH); }

void MergeHeightsCommand(CommandHost& window, bool) {
    const auto heights = AskToolInput(window, "Nhập tên file cao độ", InputFileFilter(), "DTA");
    if (!heights) return;
    const auto coords = AskToolInput(window, "Nhập tên file tọa độ", InputFileFilter(), "DTA");
    if (!coords) return;
    const auto result = AskToolResult(window, "Nhập tên file kết quả", ResultFileFilter(false), "DTA");
    if (!result) return;
    Finish(window, MergeHeightsIntoCoords(*heights, *coords, *result, window.Settings(), window.Ask()));
}

void CompareSameNamedCommand(CommandHost& window, bool) {
    const auto first = AskToolInput(window, "Nhap file toa do 1", InputFileFilter(), "DTA");
    if (!first) return;
    const auto second = AskToolInput(window, "Nhap file toa do 2", InputFileFilter(), "DTA");
    if (!second) return;
    const auto result = AskToolResult(window, "Nhap ten file ket so sanh", ResultFileFilter(false), "DTA");
    if (!result) return;
    Finish(window, CompareSameNamedPoints(*first, *second, *result, window.Settings(), window.Ask()));
}

void CompareObservationsCommand(CommandHost& window, bool) {
    const auto first = OpenObservations(window, "Nhap file so lieu 1");
    if (!first) return;
    const auto second = OpenObservations(window, "Nhap file so lieu 2");
    if (!second) return;
    auto result = AskToolResult(window, "Nhap file ket qua so sanh",
                                QStringLiteral("File ket qua dang *.DTA (*.DTA *.dta)"), "DTA");
    if (!result) return;
    if (!QString::fromStdString(*result).toUpper().endsWith(QStringLiteral(".DTA"))) *result += ".DTA";
    Finish(window, CompareObservationFiles(*first, *second, *result, window.Settings(), window.Ask()));
}

void CalculatorCommand(CommandHost& window, bool) {
    CreateToolDialogs(window);
    window.Widget()->findChild<Fphantoado*>(QStringLiteral("Fphantoado"))->exec();
}

void UploadCoordinatesCommand(CommandHost& window, bool) {
    ComputationSettings& settings = window.Settings();
    // The command borrows these for the options dialog and its own run; the user's choices made
    // in the dialog stay.
    const ComputationModeFlags modes = settings.Modes;
    const bool fileMode = settings.AcadFileUploadMode;
    const auto restore = [&] {
        settings.Modes.ModeDetailPoints = modes.ModeDetailPoints;
        settings.Modes.ModeWithHeights = modes.ModeWithHeights;
        settings.AcadFileUploadMode = fileMode;
    };
    settings.Modes.ModeDetailPoints = true;
    settings.Modes.ModeWithHeights = true;
    settings.AcadFileUploadMode = true;
    if (window.DrawingOptionsDialog() && window.DrawingOptionsDialog()->exec() != QDialog::Accepted) {
        restore();
        return;
    }
    const auto name = AskToolInput(window, "File dữ liệu tọa độ", kDtFilter, "DTA");
    if (!name) {
        restore();
        return;
    }
    ComputationSettings run = settings;
    run.AcadUploadEnabled = true;
    restore();
    Finish(window, UploadCoordinateFile(*name, run, window.Runner().Monitor(), window.Ask()));
}

void ZeroOrientationCommand(CommandHost& window, bool) {
    window.CommitGridEntry();
    GridModel& grid = window.Grid();
    const ZeroOrientationResult result = ReduceToZeroOrientation(grid.Document(), window.Settings().AnglesInDegrees,
                                                                 window.Settings().AngleTextWithPoint);
    for (const CellEdit& edit : result.Edits) grid.SetCell(edit.Row, edit.Column, edit.Text);
    if (!result.Edits.empty()) window.SetDataSaved(false);
    if (result.BadRows.empty()) return;
    std::string rows;
    for (int row : result.BadRows) rows += (rows.empty() ? "" : ", ") + std::to_string(row);
    window.Ask().Message(Vn("Góc sai định dạng ở dòng ") + rows + Vn(", dòng này không đổi"));
}

void CreateToolDialogs(CommandHost& window) {
    CreateTextToolDialogs(window);
    if (window.Widget()->findChild<Fphantoado*>(QStringLiteral("Fphantoado"))) return;
    new Fphantoado(window, [&window]() -> Interaction& { return window.Ask(); }, window.Widget());
}

}  // namespace qef
