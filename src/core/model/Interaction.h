#pragma once
// The only way a computation speaks to the user. Texts are TCVN3 bytes.
#include <optional>
#include <string>

namespace qef {

enum class Answer { Ok, Yes, No, Cancel };

class Interaction {
public:
    virtual ~Interaction() = default;
    // A plain message with the single button OK.
    virtual void Message(const std::string& text) = 0;
    // Returns Yes or No.
    virtual Answer AskYesNo(const std::string& text) = 0;
    // Returns Yes, No or Cancel.
    virtual Answer AskYesNoCancel(const std::string& text) = 0;
    // A text input; nullopt when the user cancels.
    virtual std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                               const std::string& defaultText) = 0;
};

// Answers nothing and shows nothing: for runs that must not ask (benchmarks).
class SilentInteraction : public Interaction {
public:
    void Message(const std::string&) override {}
    Answer AskYesNo(const std::string&) override { return Answer::Yes; }
    Answer AskYesNoCancel(const std::string&) override { return Answer::Yes; }
    std::optional<std::string> AskText(const std::string&, const std::string&,
                                       const std::string& defaultText) override {
        return defaultText;
    }
};

// The standard messages.

// Shows the message (OK), then sets the flag.
void ShowError(Interaction& ui, bool& errorFlag, const std::string& message);
// Shows the message (OK) for a caller whose return value already says that it failed.
void ShowError(Interaction& ui, const std::string& message);
// "Đã tính xong".
void ShowDoneMessage(Interaction& ui);

}  // namespace qef
