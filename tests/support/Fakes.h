#pragma once
// Test doubles of the user-facing interfaces.
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/model/Interaction.h"
#include "core/model/Progress.h"

namespace qef::test {

// Answers from a script and records every call. Texts are TCVN3, as the computations send them.
class ScriptedInteraction : public Interaction {
public:
    struct Call {
        std::string kind;  // "message", "yesno", "yesnocancel", "text"
        std::string text;
    };

    // Answers given in order to AskYesNo / AskYesNoCancel; Yes when the script runs out.
    std::deque<Answer> answers;
    // Answers to AskText in order; nullopt means Cancel; the default text when the script runs out.
    std::deque<std::optional<std::string>> texts;
    std::vector<Call> calls;

    void Message(const std::string& text) override;
    Answer AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override;

    // Messages shown, in order.
    std::vector<std::string> Messages() const;
};

class RecordingProgress : public Progress {
public:
    struct Event {
        std::string kind;  // "show", "text", "range", "position"
        int label = -1;
        std::string text;
        int a = 0;
        int b = 0;
    };
    std::vector<Event> events;

    void Show() override { events.push_back({"show", -1, {}, 0, 0}); }
    void SetText(MonitorLabel label, const std::string& text) override {
        events.push_back({"text", static_cast<int>(label), text, 0, 0});
    }
    void SetRange(int minimum, int maximum) override { events.push_back({"range", -1, {}, minimum, maximum}); }
    void SetPosition(int position) override { events.push_back({"position", -1, {}, position, 0}); }
    // The last text set on a label, or "" when none.
    std::string LastText(MonitorLabel label) const;
};

// A fresh empty folder under the test temp dir, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // How many files and folders it holds.
    std::size_t EntryCount() const;

private:
    std::string path_;
};

// Whole file as bytes ("" when missing).
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Text with the program's CR LF line ends; and UTF-8 text as the program writes it (TCVN3, CR LF).
std::string WithCrLf(const std::string& text);
std::string AsWritten(const std::string& utf8);
// What a run said, a line "kind: text" a call in UTF-8, with the run's folder `dir` spelled "<dir>".
std::string Dialogue(const std::vector<ScriptedInteraction::Call>& calls, const std::string& dir);
// The "name = value" lines of a case folder's case.txt; other lines are passed over.
std::map<std::string, std::string> CaseValues(const std::string& caseFile);

}  // namespace qef::test
