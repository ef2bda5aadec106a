#include "gui/FieldBookWorkers.h"

#include <optional>
#include <string>
#include <vector>

#include "core/io/ToolFiles.h"
#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
#include "fielddata/books/BookFiles.h"
#include "fielddata/books/BookNumbers.h"
#include "fielddata/books/DistanceBookRtf.h"
#include "fielddata/books/FieldBookReduction.h"
#include "fielddata/books/TextBooks.h"
#include "gui/CommandRunner.h"
#include "gui/GuiText.h"
#include "gui/CommandHost.h"
#include "gui/dialogs/TFTaosodo.h"
#include "gui/dialogs/Tflapsdgc.h"

namespace qef {

namespace {

const QString kDtaFilter = QStringLiteral("File dạng *.DTA (*.DTA *.dta)");
const QString kTxtFilter = QStringLiteral("File dạng *.TXT (*.TXT *.txt)");
const QString kRtfFilter = QStringLiteral("File dạng *.RTF (*.RTF *.rtf)");
const QString kTextBookFilter = QStringLiteral("File du lieu (*.TXT *.txt);;All file (*)");

// A chosen name as file-system bytes; nullopt when the question was cancelled or left empty.
std::optional<std::string> Chosen(const std::optional<QString>& name) {
    if (!name || name->isEmpty()) return std::nullopt;
    return NativeName(*name);
}

std::optional<std::string> AskOpen(CommandHost& window, const char* title, const QString& filter, const char* suffix) {
    return Chosen(window.AskOpenName({QString::fromUtf8(title), filter, QString::fromUtf8(suffix)}));
}

std::optional<std::string> AskSave(CommandHost& window, const char* title, const QString& filter, const char* suffix) {
    return Chosen(window.AskSaveName({QString::fromUtf8(title), filter, QString::fromUtf8(suffix)}));
}

WorkerResult Cancelled() {
    WorkerResult result;
    result.Cancelled = true;
    return result;
}

WorkerResult Failed() {
    WorkerResult result;
    result.StoppedOnError = true;
    return result;
}

bool ReadBook(const std::string& path, std::vector<std::string>& lines, Interaction& ui) {
    if (!ReadAllLines(path, lines)) {
        ui.Message(Vn("Không đọc được file ") + ToTcvn3(NameOfNative(path)));
        return false;
    }
    if (!lines.empty()) DropByteOrderMark(lines.front());
    if (const auto refused = RefusedBookLine(ToTcvn3(NameOfNative(path)), lines)) {
        ui.Message(*refused);
        return false;
    }
    return true;
}

// A book without a line of text would lay out as an empty form over the last one.
bool HasData(const std::string& path, const std::vector<std::string>& lines, Interaction& ui) {
    for (const std::string& line : lines)
        if (line.find_first_not_of(" \t\x1A") != std::string::npos) return true;
    ui.Message(NoDataMessage(ToTcvn3(NameOfNative(path))));
    return false;
}

bool WriteBook(const std::string& path, const std::vector<std::string>& lines, Interaction& ui) {
    std::string failure;
    if (WriteSingleOutput(path, lines, failure)) return true;
    ui.Message(Vn("Không ghi được file ") + ToTcvn3(NameOfNative(path)));
    return false;
}

// The RTF form of a distance book; an empty name writes nothing. Its name joins `written`.
WorkerResult WriteRtfBook(CommandHost& window, const FieldBookFiles& files, const FieldBookOptions& options,
                          Interaction& ui, std::vector<std::string>& written) {
    const std::string& distanceBook = files.DistanceBook;
    std::vector<std::string> book;
    if (!ReadBook(distanceBook, book, ui)) return Failed();
    if (!HasSideLines(book)) {
        ui.Message(Vn("Dữ liệu của bạn không có cạnh"));
        return Failed();
    }
    const auto rtfName = AskSave(window, "Nhập tên file trình bày", kRtfFilter, "RTF");
    if (!rtfName) return Cancelled();
    std::vector<std::string> others{distanceBook};
    for (const std::string* name : {&files.Raw, &files.AngleBook, &files.Adjustment})
        if (!name->empty()) others.push_back(*name);
    if (!CheckOutputNames(others, {*rtfName}, ui)) return Failed();
    const auto rtf = DistanceBookRtf(book, options, ui);
    if (!rtf || !WriteBook(*rtfName, *rtf, ui)) return Failed();
    written.push_back(*rtfName);
    return {};
}

// One text book: its input, its output (".txt" added unless the name holds it), the layout.
// False when the command ends here.
bool MakeTextBook(CommandHost& window, Interaction& ui, const char* inputTitle, const char* outputTitle,
                  std::vector<std::string> (*layout)(const std::vector<std::string>&, const TextBookHeader&),
                  const TextBookHeader& header, WorkerResult& result, std::vector<std::string>& written) {
    const auto input = AskOpen(window, inputTitle, kTextBookFilter, "");
    if (!input) return false;
    const auto chosen = AskSave(window, outputTitle, kTextBookFilter, "txt");
    if (!chosen) return false;
    const std::string output = TextBookName(*chosen);
    std::vector<std::string> book;
    if (!CheckOutputNames({*input}, {output}, ui) || !ReadBook(*input, book, ui) || !HasData(*input, book, ui) ||
        !WriteBook(output, layout(book, header), ui)) {
        result.StoppedOnError = true;
        return false;
    }
    written.push_back(output);
    return true;
}

// The book builder's questions and books; `written` gets each book once it is in place.
WorkerResult RunFieldBooks(CommandRunner& runner, std::vector<std::string>& written) {
    CommandHost& window = runner.Host();
    TFTaosodo* dialog = window.FieldBookOptionsDialog();
    if (!dialog || dialog->exec() != QDialog::Accepted) return Cancelled();
    const FieldBookOptions options = dialog->Options();
    Interaction& ui = runner.Ask();

    FieldBookFiles files;
    if (options.Compute) {
        const auto raw = AskOpen(window, "Nhập tên file sổ đo thô", kDtaFilter, "DTA");
        if (!raw) return Cancelled();
        const auto angleBook = AskSave(window, "Nhập tên file sổ đo góc", kTxtFilter, "TXT");
        if (!angleBook) return Cancelled();
        files.Raw = *raw;
        files.AngleBook = *angleBook;
    }
    // A distance book that is only laid out, not built, is an input.
    const auto distanceBook = options.Compute ? AskSave(window, "Nhập tên file sổ đo cạnh", kTxtFilter, "TXT")
                                              : AskOpen(window, "Nhập tên file sổ đo cạnh", kTxtFilter, "TXT");
    if (!distanceBook) return Cancelled();
    files.DistanceBook = *distanceBook;

    if (options.Compute) {
        const auto adjustment = AskSave(window, "Nhập tên file số liệu góc cạnh để bình sai", kDtaFilter, "DTA");
        if (!adjustment) return Cancelled();
        files.Adjustment = *adjustment;
        const FieldBookOutcome outcome = BuildFieldBooks(files, options, runner.Settings(), ui);
        if (outcome == FieldBookOutcome::Stopped) return Cancelled();
        if (outcome != FieldBookOutcome::Completed) return Failed();
        written = {files.AngleBook, files.DistanceBook, files.Adjustment};
    }
    if (options.RtfDistanceBook) return WriteRtfBook(window, files, options, ui, written);
    return {};
}

}  // namespace

WorkerResult FieldBooksWorker(CommandRunner& runner, const ComputationCommand&, const InputFiles&) {
    // The books of this run, named once they are in place, whether the run ends well or not.
    std::vector<std::string> written;
    const WorkerResult result = RunFieldBooks(runner, written);
    runner.Host().TellWritten(written);
    return result;
}

WorkerResult TextBooksWorker(CommandRunner& runner, const ComputationCommand&, const InputFiles&) {
    CommandHost& window = runner.Host();
    Tflapsdgc* dialog = window.TextBooksDialog();
    if (!dialog || dialog->exec() != QDialog::Accepted) return Cancelled();
    const TextBookRequest request = dialog->Request();
    WorkerResult result;
    std::vector<std::string> written;
    if (!request.AngleBook || MakeTextBook(window, runner.Ask(), "Ten file so do goc", "Ten file trinh bay so do goc",
                                           AngleTextBook, request.Header, result, written)) {
        if (request.DistanceBook)
            MakeTextBook(window, runner.Ask(), "Ten file so do canh", "Ten file trinh bay so do canh", DistanceTextBook,
                         request.Header, result, written);
    }
    window.TellWritten(written);
    return result;
}

}  // namespace qef
