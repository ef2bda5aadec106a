#include "gui/BlockCommands.h"

#include <functional>
#include <optional>
#include <string>

#include "core/grid/BlockConversions.h"
#include "core/text/VnCodec.h"
#include "gui/GridModel.h"
#include "gui/CommandHost.h"
#include "gui/dialogs/TFloaifile.h"

namespace qef {

namespace {

using RowConversion = std::function<ConversionResult(GridDocument&, GridDataKind)>;

// Whether a conversion of a detail grid depends on what its fifth column holds.
enum class FifthColumnQuestion { Asked, NotAsked };

constexpr double kMillimetresPerMetre = 1000;
// Angles packed as whole numbers: 180.0000 is 1800000.
constexpr double kPackedAngleScale = 10000;

TFloaifile* KindDialog(CommandHost& window) {
    return window.Widget()->findChild<TFloaifile*>(QStringLiteral("Floaifile"));
}

// A detail file's fifth column holds either height differences or zenith angles; only the user
// knows which, and it decides whether a unit change touches it.
DetailFifthColumn AskFifthColumn(CommandHost& window) {
    const GridDocument& doc = window.Grid().Document();
    bool any = false;
    for (int row = 1; row <= doc.DataRowCount() && !any; ++row) any = !doc.Cell(row, 4).empty();
    if (!any) return DetailFifthColumn::Absent;
    const Answer answer = window.Ask().AskYesNo(
        Vn("Cột thứ 5 của số liệu chi tiết là chênh cao (Có) hay góc thiên đỉnh (Không) ?"));
    return answer == Answer::Yes ? DetailFifthColumn::HeightDifference : DetailFifthColumn::ZenithAngle;
}

// One message for each reason a cell was left alone.
void TellSkipped(CommandHost& window, const ConversionResult& result) {
    if (result.Skipped > 0)
        window.Ask().Message(Vn("Có ") + std::to_string(result.Skipped) +
                             Vn(" ô không phải là góc đúng định dạng, các ô này được giữ nguyên."));
    if (result.SideKept > 0)
        window.Ask().Message(Vn("Có ") + std::to_string(result.SideKept) +
                             Vn(" dòng đã có cạnh ở cột 5, góc của các dòng này không được chuyển."));
}

// Asks the data kind, then converts rows 1 .. DataRowCount from the first cell of the grid.
// The text forms of angles change control rows only: a detail grid is not asked about.
void ConvertRows(CommandHost& window, const RowConversion& convert,
                 FifthColumnQuestion fifth = FifthColumnQuestion::Asked) {
    window.CommitGridEntry();
    TFloaifile* dialog = KindDialog(window);
    if (dialog == nullptr || dialog->exec() != QDialog::Accepted) return;
    GridDataKind kind{dialog->Kind()};
    if (kind.Kind == DataFileKind::None) return;
    if (kind.Kind == DataFileKind::Detail && fifth == FifthColumnQuestion::Asked) kind.Fifth = AskFifthColumn(window);
    window.MoveGridCursor({1, 0});
    const ConversionResult result = window.Grid().Edit([&](GridDocument& doc) { return convert(doc, kind); });
    window.SetDataSaved(false);
    TellSkipped(window, result);
}

using BlockOperation = std::function<ConversionResult(GridDocument&, const GridBlock&, const std::string&)>;

const char* const kDigitsOnly = "Bạn chỉ được vào dữ liệu dạng chữ số";

// Asks the value, then runs the operation on the selected block of the grid view. A value that
// had to be a number and is not shows `notANumber`, when there is one.
void OnBlock(CommandHost& window, const char* caption, const char* prompt, const BlockOperation& operation,
             const char* notANumber = nullptr) {
    if (!window.GridVisible()) return;
    window.CommitGridEntry();
    const GridBlock block = window.SelectedBlock();
    const std::optional<std::string> value = window.Ask().AskText(Vn(caption), Vn(prompt), std::string());
    if (!value) return;
    const ConversionResult result =
        window.Grid().Edit([&](GridDocument& doc) { return operation(doc, block, *value); });
    if (result.Status == BlockStatus::Done) window.SetDataSaved(false);
    if (result.Status == BlockStatus::NotANumber && notANumber != nullptr) window.Ask().Message(Vn(notANumber));
    if (result.Status == BlockStatus::PastCellNumbers)
        window.Ask().Message(Vn("Số vượt quá 999999999999999 (15 chữ số), một ô không giữ được: khối không được điền."));
}

}  // namespace

void MetresToMillimetresCommand(CommandHost& window, bool) {
    ConvertRows(window, [](GridDocument& doc, GridDataKind kind) { return ScaleLengths(doc, kind, kMillimetresPerMetre); });
}

void MillimetresToMetresCommand(CommandHost& window, bool) {
    ConvertRows(window, [](GridDocument& doc, GridDataKind kind) { return ScaleLengths(doc, kind, 1 / kMillimetresPerMetre); });
}

void AnglesToPackedCommand(CommandHost& window, bool) {
    ConvertRows(window, [](GridDocument& doc, GridDataKind kind) { return ScaleAngles(doc, kind, kPackedAngleScale); });
}

void AnglesFromPackedCommand(CommandHost& window, bool) {
    ConvertRows(window, [](GridDocument& doc, GridDataKind kind) { return ScaleAngles(doc, kind, 1 / kPackedAngleScale); });
}

void AnglesToSpacedCommand(CommandHost& window, bool) {
    ConvertRows(
        window, [](GridDocument& doc, GridDataKind kind) { return AnglesToSpacedText(doc, kind.Kind); },
        FifthColumnQuestion::NotAsked);
}

void AnglesFromSpacedCommand(CommandHost& window, bool) {
    ConvertRows(
        window, [](GridDocument& doc, GridDataKind kind) { return AnglesFromSpacedText(doc, kind.Kind); },
        FifthColumnQuestion::NotAsked);
}

void DegreesToGradsCommand(CommandHost& window, bool) {
    ConvertRows(window, [](GridDocument& doc, GridDataKind kind) { return DegreesToGrads(doc, kind); });
}

void GradsToDegreesCommand(CommandHost& window, bool) {
    ConvertRows(window, [](GridDocument& doc, GridDataKind kind) { return GradsToDegrees(doc, kind); });
}

void FillBlockCommand(CommandHost& window, bool) { OnBlock(window, "Vào dữ liệu", "Dữ liệu mẫu", FillBlock); }

void FillIncreasingCommand(CommandHost& window, bool) {
    OnBlock(window, "Vào dữ liệu", "Dữ liệu mẫu", FillIncreasing, kDigitsOnly);
}

void AddToBlockCommand(CommandHost& window, bool) { OnBlock(window, "Vào dữ liệu", "Nhập một số", AddToBlock); }

void PrefixBlockCommand(CommandHost& window, bool) {
    OnBlock(window, "Thêm dữ liệu", "Chuỗi cần thêm", PrefixBlock);
}

void SuffixBlockCommand(CommandHost& window, bool) {
    OnBlock(window, "Thêm dữ liệu", "Chuỗi cần thêm", SuffixBlock);
}

void RenumberBlockCommand(CommandHost& window, bool) {
    // Only a block of point numbers is renumbered: nothing is asked for another block.
    if (window.SelectedBlock().FirstColumn != 0) return;
    OnBlock(window, "Vào dữ liệu", "Giá trị bắt đầu", RenumberDetailPoints, "Giá trị vừa nhập không là một chữ số");
}

void CreateBlockDialogs(CommandHost& window) {
    if (KindDialog(window) == nullptr) new TFloaifile(window.Widget());
}

}  // namespace qef
