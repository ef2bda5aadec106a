#pragma once
// The files one run writes, put in place together. Every output is written into a staging folder
// beside the result file, under its own name, so that names derived from the result (reports,
// logs, drawing) keep working; when the run ends well the staged files are moved over the old
// ones, and otherwise they are removed and the old files stay as they were.
//
// Moving a set is made whole across a crash: a list of the staged files (the journal) is written
// before the first move, and the next run of the same result finishes the moves that list names.
// The journal holds file names only; an entry with a folder part, or naming the journal itself, is
// no file of the set and is never moved.
#include <string>
#include <string_view>

#include "core/model/Interaction.h"

namespace qef {

class OutputSet {
public:
    // The journal's file name in the staging folder: no output of a set may have it.
    static constexpr std::string_view kJournalName = "~~set~~";

    OutputSet() = default;
    ~OutputSet();  // discards a set that was not committed
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    // Finishes a set that a run of this result had committed but not moved (a crash), and removes
    // what runs of this result that died before committing left behind.
    static void Recover(const std::string& resultFile);

    // Makes the staging folder beside `resultFile`; false when it cannot be made.
    bool Begin(const std::string& resultFile);
    bool Active() const { return !stagingDir_.empty(); }

    // Where to write `finalName`, a file of the result's folder. A name that a folder or another
    // non-file takes, or a read-only file, stays unwritable when staged.
    std::string Staged(const std::string& finalName);
    // `text` with the staging folder spelled as the result's folder, for messages and reports.
    std::string Unstaged(const std::string& text) const;

    // Moves every staged file over its final name; false when the set could not be put in place
    // (the old files then stay as far as the moves had not reached them). A staged file named like
    // the journal fails the set before anything is moved.
    bool Commit();
    // Removes the staged files; the old files stay as they were.
    void Discard();

private:
    std::string finalDir_;    // with its trailing "/"
    std::string stagingDir_;  // with its trailing "/", "" when no set is open
};

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
