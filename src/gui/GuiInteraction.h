#pragma once
// Questions and messages of the computations, shown as message boxes and input boxes.
#include <QPointer>
#include <QWidget>

#include "core/model/Interaction.h"

namespace qef {

class GuiInteraction : public Interaction {
public:
    explicit GuiInteraction(QWidget* parent = nullptr) : parent_(parent) {}

    void Message(const std::string& text) override;
    Answer AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace qef
