#pragma once
// Find and replace in the editor, case-blind, searching down.
#include <QString>
#include <optional>

class QTextEdit;

namespace qef {

// Searches from the end of the selection (from the start of the text when nothing is selected)
// and selects the match.
bool FindInEditor(QTextEdit& editor, const QString& text);

// The replace dialog's work: Replace acts on the match that Find Next selected, while it is still
// selected and unchanged; without one it takes the first match of the whole text.
class EditorReplace {
public:
    void Restart() { position_.reset(); }
    bool FindNext(QTextEdit& editor, const QString& text);
    bool Replace(QTextEdit& editor, const QString& text, const QString& replacement);
    // Every match, as one change of the text; the count replaced.
    int ReplaceAll(QTextEdit& editor, const QString& text, const QString& replacement);

private:
    std::optional<int> position_;
};

}  // namespace qef
