#include "gui/TextToolCommands.h"

#include <optional>
#include <string>

#include "core/grid/ColumnSum.h"
#include "core/text/VnCodec.h"
#include "tools/WordReplacement.h"
#include "gui/CommandRunner.h"
#include "gui/GridModel.h"
#include "gui/GuiText.h"
#include "gui/InputStep.h"
#include "gui/CommandHost.h"
#include "gui/dialogs/TFcongcot.h"
#include "gui/dialogs/TFthaythechuoi.h"

namespace qef {

namespace {

std::optional<std::string> Chosen(const std::optional<QString>& name) {
    if (!name || name->isEmpty()) return std::nullopt;
    return NativeName(*name);
}

template <typename Dialog>
Dialog* Find(CommandHost& window, const char* name) {
    CreateTextToolDialogs(window);
    return window.Widget()->findChild<Dialog*>(QString::fromLatin1(name));
}

}  // namespace

void ReplaceWordsCommand(CommandHost& window, bool) {
    auto* dialog = Find<TFthaythechuoi>(window, "TFthaythechuoi");
    if (dialog->exec() != QDialog::Accepted) return;
    const WordReplacementOptions options = dialog->Options();
    const auto pairs = Chosen(window.AskOpenName(
        {QStringLiteral("Tên file thống kê chuỗi cần thay thê"),
         QStringLiteral("File dạng *.DTA* (*.DTA* *.dta*);;File dạng *.TXT* (*.TXT* *.txt*);;All File (*)"),
         QStringLiteral("TXT")}));
    if (!pairs) return;
    const auto input = Chosen(window.AskOpenName(
        {QStringLiteral("Tên file cần tìm để thay thế"),
         QStringLiteral("File dạng *.DTA* (*.DTA* *.dta*);;File dạng *.IN* (*.IN* *.in*);;"
                        "File dạng *.TXT* (*.TXT* *.txt*);;All File (*)"),
         QStringLiteral("DTA")}));
    if (!input) return;
    const auto result =
        Chosen(window.AskSaveName({QStringLiteral("Tên file kết quả thay thế"), QStringLiteral("All File (*)"), {}}));
    if (!result) return;
    const ToolStatus status = ReplaceWordsInFile(*pairs, *input, *result, options, window.Settings(), window.Ask());
    if (status.Outcome == RunOutcome::ReadFailed) window.Runner().ReportReadError(status.ReadError);
    window.TellWritten({status.WrittenFile});
}

void SumColumnsCommand(CommandHost& window, bool) {
    window.CommitGridEntry();
    auto* dialog = Find<TFcongcot>(window, "TFcongcot");
    if (dialog->exec() != QDialog::Accepted) return;
    GridModel& grid = window.Grid();
    const ColumnSumResult result = SumColumns(grid.Document(), dialog->Request(), window.Settings().FixedFieldWidth);
    if (result.Outcome == ColumnSumOutcome::OutsideGrid) {
        // The limit is the grid's own width, which the layout dialog can change.
        window.Ask().Message(Vn("Các bạn chỉ được sử dụng trong ") + std::to_string(grid.Columns()) + Vn(" cột"));
        return;
    }
    for (const CellEdit& edit : result.Edits) grid.SetCell(edit.Row, edit.Column, edit.Text);
    if (!result.Edits.empty()) window.SetDataSaved(false);
}

void CreateTextToolDialogs(CommandHost& window) {
    if (!window.Widget()->findChild<TFthaythechuoi*>(QStringLiteral("TFthaythechuoi"))) new TFthaythechuoi(window.Widget());
    if (!window.Widget()->findChild<TFcongcot*>(QStringLiteral("TFcongcot"))) new TFcongcot(window.Widget());
}

}  // namespace qef
