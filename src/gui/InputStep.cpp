#include "gui/InputStep.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/model/OutputNames.h"
#include "core/model/ReportNames.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "gui/GuiText.h"

namespace qef {

namespace {

// The name part of a path, for the extension rules.
QString FilePart(const QString& path) { return QFileInfo(path).fileName(); }

// Counts an input file the way the worker will read it; the heights of both input files add up.
bool CountInput(const std::string& name, const ComputationSettings& settings, InputFiles& files,
                long long& lines, ReadErrorRecord& error, bool& errorFlag, Interaction& ui) {
    ObservationCounts counts;
    if (!CountObservationLines(name, settings, counts, error)) {
        errorFlag = true;
        ui.Message(Vn("Không mở được file ") + ToTcvn3(NameOfNative(name)));
        return false;
    }
    errorFlag = false;
    lines = counts.Lines;
    files.AngleCount = counts.Angles;
    files.SideCount = counts.Sides;
    files.HeightLineCount += counts.Heights;
    return true;
}

}  // namespace

std::string NativeName(const QString& name) { return QFile::encodeName(name).toStdString(); }

QString NameOfNative(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

QString InputFileFilter() {
    return QStringLiteral("File dạng *.DTA (*.DTA *.dta);;File dạng *.DAT (*.DAT *.dat);;"
                          "File dạng *.TXT (*.TXT *.txt);;Tất cả các file (*)");
}

QString ResultFileFilter(bool detailPoints) {
    return detailPoints ? QStringLiteral("File ket qua dang *.DAT (*.DAT *.dat)")
                        : QStringLiteral("File ket qua dang *.DTA (*.DTA *.dta)");
}

std::vector<std::string> DerivedReportNames(const std::string& resultName) {
    const ReportSet r = ReportSetFor(resultName);
    // ".tb" is the observation list of the older driver.
    return {r.Main,         r.Rigorous1, r.Rigorous3, r.Rigorous4, r.Rigorous5, r.Log,
            r.Side,         r.ClosureTable, r.Dh,     r.Txt,       SwapExtAtFirstDot(resultName, ".tb")};
}

bool NhapSL(const InputPrompts& prompts, const ComputationSettings& settings, FileDialogs& dialogs,
            Interaction& ui, InputFiles& files, ReadErrorRecord& error, bool& errorFlag) {
    auto fail = [&errorFlag] {
        errorFlag = true;
        return false;
    };
    files.HeightLineCount = 0;

    FileQuestion open{prompts.KnownFile, InputFileFilter(), QStringLiteral("DTA")};
    auto chosen = dialogs.AskOpenName(open);
    if (!chosen || chosen->isEmpty()) return fail();
    files.KnownFileName = NativeName(*chosen);
    if (!CountInput(files.KnownFileName, settings, files, files.KnownFileLines, error, errorFlag, ui))
        return false;

    open.title = prompts.ObservationFile;
    chosen = dialogs.AskOpenName(open);
    if (!chosen || chosen->isEmpty()) return fail();
    files.ObservationFileName = NativeName(*chosen);
    if (!CountInput(files.ObservationFileName, settings, files, files.ObservationFileLines, error,
                    errorFlag, ui))
        return false;

    files.HeightFileName.clear();
    if (UsesPointHeights(settings.HeightReductionMode) && settings.HeightReduction && settings.HeightsFromFile) {
        open.title = prompts.HeightFile;
        chosen = dialogs.AskOpenName(open);
        if (!chosen || chosen->isEmpty()) return fail();
        files.HeightFileName = NativeName(*chosen);
        LineReader reader(files.HeightFileName);
        if (!reader.IsOpen()) {
            ui.Message(Vn("Không mở được file ") + ToTcvn3(*chosen));
            return fail();
        }
        int lines = 0;
        std::string line;
        while (reader.Next(line)) ++lines;
        files.HeightLineCount = lines;
    }

    const bool detail = settings.Modes.ModeDetailPoints;
    const FileQuestion save{prompts.ResultFile, ResultFileFilter(detail),
                            detail ? QStringLiteral("dat") : QStringLiteral("dta")};
    chosen = dialogs.AskSaveName(save);
    if (!chosen || chosen->isEmpty()) return fail();
    QString result = *chosen;
    // The dialog adds the default extension to a bare name; a scripted answer gets the same.
    if (!FilePart(result).contains(QLatin1Char('.'))) result += QLatin1Char('.') + save.defaultSuffix;
    if (detail && !FilePart(result).toUpper().contains(QStringLiteral(".DAT")))
        result += QStringLiteral(".DAT");
    files.ResultFileName = NativeName(result);

    files.FirstReportName = ReportSetFor(files.ResultFileName).Main;

    // A result or report must never replace an input file of the same run.
    std::vector<std::string> written = DerivedReportNames(files.ResultFileName);
    written.insert(written.begin(), files.ResultFileName);
    std::vector<std::string> inputs;
    for (const std::string* input : {&files.KnownFileName, &files.ObservationFileName, &files.HeightFileName})
        if (!input->empty()) inputs.push_back(*input);
    if (const std::optional<std::string> output = CollidingOutputName(inputs, written)) {
        ui.Message(Vn("File ") + ToTcvn3(NameOfNative(*output)) +
                   Vn(" là file số liệu vào, không ghi kết quả lên nó được. Hãy chọn tên file kết quả khác."));
        return fail();
    }
    return true;
}

}  // namespace qef
