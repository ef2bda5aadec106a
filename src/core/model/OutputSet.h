#pragma once
// The files one run writes, put in place together or not at all.
//
// Every output is written under its own name into a staging folder beside its destination, so that
// names derived from the result (reports, logs, drawing) keep working. A result has one hidden area
// of short fixed name in its folder (".~qef" and 12 hex digits), holding the lock of the result and
// one folder per run: "n" for the new files, "o" for the old ones set aside while the set is put in
// place. Outputs in another folder are staged in ".~qes<run>" there and belong to the same set.
//
// The commit writes a journal, then sets each old file aside and moves the new one in. A move the
// system refuses puts back everything already moved: the folders then hold the old set whole. A run
// killed after its journal leaves it for the next run writing into that folder, which finishes the
// moves (or the putting back, when the kill fell there). A journal is trusted only when every entry
// is a plain file name, its folders are the set's own, each staged file is a regular file of this
// user, and none is an input of the run that recovers it; otherwise it is set aside untouched.
//
// While a set is open its result is locked (an advisory lock that the system frees when the process
// dies): a second run writing the same result is refused before it computes anything.
#include <string>
#include <string_view>
#include <vector>

#include "core/model/Interaction.h"

namespace qef {

class OutputSet {
public:
    // The journal's file name: no output may have it.
    static constexpr std::string_view kJournalName = "~~set~~";

    OutputSet() = default;
    ~OutputSet();  // discards a set that was not committed
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    // Finishes or clears what killed runs of this result left, when no run holds it now.
    static void Recover(const std::string& resultFile);
    // True when another run holds the result now: a command asks before it computes.
    static bool InUse(const std::string& resultFile);
    // "Kết quả <result> đang được một lần tính khác ghi".
    static std::string BusyMessage(const std::string& resultFile);

    // Locks the result, finishes what killed runs left in its folder and makes the staging folder.
    // `inputs` are files the run reads: a journal naming one is never acted on. False when the set
    // cannot be opened; FailureMessage() then says why.
    bool Begin(const std::string& resultFile, const std::vector<std::string>& inputs = {});
    bool Active() const { return !runDir_.empty(); }

    // Where to write `finalName`. A name that a folder or another non-file takes, or a read-only
    // file, stays unwritable when staged.
    std::string Staged(const std::string& finalName);
    // `text` with the staging folders spelled as the final ones, for messages and reports.
    std::string Unstaged(const std::string& text) const;

    // Puts every staged file in place; false when the set could not be, the old files then being
    // where they were. Either way the set is closed and its lock freed.
    bool Commit();
    // Removes the staged files; the old files stay as they were.
    void Discard();

    // After a failed Begin or Commit: the final name of the file that failed (empty when none),
    // and the message to show: "<lead><name> : <reason>", or that another run holds the result.
    // `lead` is UTF-8.
    const std::string& FailedFile() const { return failedFile_; }
    std::string FailureMessage(std::string_view lead = "Lỗi ghi file ") const;
    bool Busy() const { return busy_; }

private:
    struct Folder {
        std::string Final;    // with its trailing "/"
        std::string Staging;  // the folder holding "n" and "o", with its trailing "/"
    };
    bool Fail(const std::string& file, int error);
    std::string StagingFor(const std::string& finalDir);
    void Close();

    std::string result_;
    std::string area_;    // with its trailing "/"
    std::string runDir_;  // with its trailing "/", "" when no set is open
    std::string token_;
    std::vector<Folder> folders_;  // the result's own first
    int lockFd_ = -1;
    std::string failedFile_;
    int failedError_ = 0;
    bool busy_ = false;
};

// The message for an output that could not be written into its set: its name, and why where the
// place it goes to tells (a folder of that name, a file the user made read-only).
std::string WriteFailureText(const std::string& finalName);

// Writes one file whole through a set of its own: staged beside it, locked, put in place. False
// with `failure` set to the message to show. A path already inside a staging folder is written
// directly, replaced whole.
bool WriteSingleOutput(const std::string& path, const std::string& bytes, std::string& failure);
bool WriteSingleOutput(const std::string& path, const std::vector<std::string>& lines, std::string& failure);

// Passes everything on with the staging folder of a set spelled as its result's folder.
class UnstagingInteraction : public Interaction {
public:
    UnstagingInteraction(Interaction& inner, const OutputSet& outputs) : inner_(inner), outputs_(outputs) {}
    void Message(const std::string& text) override { inner_.Message(outputs_.Unstaged(text)); }
    Answer AskYesNo(const std::string& text) override { return inner_.AskYesNo(outputs_.Unstaged(text)); }
    Answer AskYesNoCancel(const std::string& text) override {
        return inner_.AskYesNoCancel(outputs_.Unstaged(text));
    }
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override {
        return inner_.AskText(caption, outputs_.Unstaged(prompt), defaultText);
    }

private:
    Interaction& inner_;
    const OutputSet& outputs_;
};

}  // namespace qef
