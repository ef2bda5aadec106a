#pragma once
// A run or a dialog's step says its closing message itself, once its files are written: the gate
// passes everything on and, just before that message, brings the monitor to its end (full, with the
// end time), so that the monitor never stands at 99 % under a message that says the work is done.
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/model/Interaction.h"

namespace qef {

class StepEndGate : public Interaction {
public:
    // `closing`: the start of the closing message; `atEnd` runs just before it is said.
    StepEndGate(Interaction& target, std::string closing, std::function<void()> atEnd)
        : target_(target), closing_(std::move(closing)), atEnd_(std::move(atEnd)) {}
    void Message(const std::string& text) override {
        if (text.starts_with(closing_)) atEnd_();
        target_.Message(text);
    }
    Answer AskYesNo(const std::string& text) override { return target_.AskYesNo(text); }
    Answer AskYesNoCancel(const std::string& text) override { return target_.AskYesNoCancel(text); }
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override {
        return target_.AskText(caption, prompt, defaultText);
    }

private:
    Interaction& target_;
    std::string closing_;
    std::function<void()> atEnd_;
};

}  // namespace qef
