#pragma once
// The input step of the computation commands: the file questions in their fixed order, the
// counting of the input files, and the name of the first report.
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/io/Readers.h"

namespace qef {

// What a file dialog is asked: its title, filter and default extension.
struct FileQuestion {
    QString title;
    QString filter;
    QString defaultSuffix;
    bool confirmOverwrite = true;  // a save dialog asks before an existing file is replaced
    // What the last answer is remembered by when the title alone would share it with another
    // command's question; empty: the title.
    QString rememberAs{};
};

// Where file names come from: the main window's open and save dialogs, or a test's script.
// nullopt is Cancel.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> AskOpenName(const FileQuestion& question) = 0;
    virtual std::optional<QString> AskSaveName(const FileQuestion& question) = 0;
};

// Titles of the file questions, set by each command.
struct InputPrompts {
    QString KnownFile;
    QString ObservationFile;
    QString ResultFile;
    QString HeightFile;
};

// What the input step hands to the worker. Names are file-system bytes, ready to open.
struct InputFiles {
    std::string KnownFileName;
    std::string ObservationFileName;
    std::string HeightFileName;  // empty when not asked
    std::string ResultFileName;
    std::string FirstReportName;   // result with extension "in"
    long long KnownFileLines = 0;
    long long ObservationFileLines = 0;
    int AngleCount = 0;  // of the observation file
    int SideCount = 0;
    int HeightLineCount = 0;
};

// The filters of the two dialogs, both cases of every pattern.
QString InputFileFilter();
QString ResultFileFilter(bool detailPoints);

// The file questions of a computation. False (with errorFlag set) when a question was cancelled,
// a file could not be counted, or the result or a report would replace an input file; the last
// two say so in a message.
bool NhapSL(const InputPrompts& prompts, const ComputationSettings& settings, FileDialogs& dialogs,
            Interaction& ui, InputFiles& files, ReadErrorRecord& error, bool& errorFlag);

// File-system bytes of a dialog's name and back; messages show names through ToTcvn3.
std::string NativeName(const QString& name);
QString NameOfNative(const std::string& name);

// Every file a traverse run derives from its result name (reports "in" to "in7", "dh", "txt").
std::vector<std::string> DerivedReportNames(const std::string& resultName);

}  // namespace qef
