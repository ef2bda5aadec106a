#include "gui/ObservationBookCommands.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "fielddata/books/ObservationBooks.h"
#include "gui/CommandRunner.h"
#include "gui/GuiText.h"
#include "gui/CommandHost.h"
#include "gui/ToolCommands.h"
#include "gui/dialogs/TFTaosodo.h"

namespace qef {

namespace {

const QString kDtaFilter = QStringLiteral("File dạng *.DTA (*.DTA *.dta)");
const QString kTxtFilter = QStringLiteral("File dạng *.TXT (*.TXT *.txt)");

// A file without data has been named by its own message: there is no line to point at. A run
// that completed has put its files in place.
void Finish(CommandHost& w, const ToolStatus& status, const std::vector<std::string>& outputs) {
    if (status.Outcome == RunOutcome::ReadFailed && !status.ReadError.FailedFileName.empty())
        w.Runner().ReportReadError(status.ReadError);
    w.TellWritten(status.Outcome == RunOutcome::Completed ? outputs : std::vector<std::string>{});
}

}  // namespace

RandomSource& ProgramRandom() {
    static SeededRandom random(
        static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    return random;
}

void ObservationBooksCommand(CommandHost& window, bool) {
    TFTaosodo* dialog = window.FieldBookOptionsDialog();
    if (!dialog || dialog->exec() != QDialog::Accepted) return;
    ObservationBookFiles files;
    const auto input = AskToolInput(window, "Nhập tên file kết quả đo", kDtaFilter, "DTA");
    if (!input) return;
    const auto angles = AskToolResult(window, "Nhập tên file sổ đo góc", kTxtFilter, "TXT");
    if (!angles) return;
    const auto distances = AskToolResult(window, "Nhập tên file sổ đo cạnh", kTxtFilter, "TXT");
    if (!distances) return;
    const auto listing = AskToolResult(window, "Nhập tên file số liệu góc cạnh", kDtaFilter, "DTA");
    if (!listing) return;
    files = {*input, *angles, *distances, *listing};
    Finish(window, WriteObservationBooks(files, dialog->Options(), window.Settings(), ProgramRandom(), window.Ask()),
           {*angles, *distances, *listing});
}

void DetailBookCommand(CommandHost& window, bool) {
    const auto input = AskToolInput(window, "Nhập tên file kết quả đo chi tiết", kDtaFilter, "DTA");
    if (!input) return;
    const auto book = AskToolResult(window, "Nhập tên file sổ đo chi tiết", kTxtFilter, "TXT");
    if (!book) return;
    Finish(window, WriteDetailBook(*input, *book, window.Settings(), window.Ask()), {*book});
}

void RandomErrorsCommand(CommandHost& window, bool) {
    const auto input = AskToolInput(window, "Nhập tên file kết quả đo ban đầu", kDtaFilter, "DTA");
    if (!input) return;
    const auto output = AskToolResult(window, "Nhập tên file kết quả đo đã xử lý", kDtaFilter, "TXT");
    if (!output) return;
    Finish(window, AddRandomErrors(*input, *output, window.Settings(), ProgramRandom(), window.Ask()), {*output});
}

}  // namespace qef
