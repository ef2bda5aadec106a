#pragma once
// A dialog's step says its closing message itself, inside the step: the gate passes everything on
// and, just before that message, lets the runner show the monitor at its end (full, with the end
// time), so that the monitor never stands at 99 % under a message that says the work is done.
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/model/Interaction.h"
#include "gui/Workers.h"

namespace qef {

class StepEndGate : public Interaction {
public:
    // `closing`: the start of the step's closing message; `atEnd` runs first (the step's own last
    // monitor texts).
    StepEndGate(Interaction& target, StepRunner* runner, std::string closing, std::function<void()> atEnd = {})
        : target_(target), runner_(runner), closing_(std::move(closing)), atEnd_(std::move(atEnd)) {}
    void Message(const std::string& text) override {
        if (text.starts_with(closing_)) {
            if (atEnd_) atEnd_();
            if (runner_) runner_->StepEnded();
        }
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
    StepRunner* runner_;
    std::string closing_;
    std::function<void()> atEnd_;
};

}  // namespace qef
