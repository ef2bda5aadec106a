#include "gui/EditorSearch.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace qef {

bool FindInEditor(QTextEdit& editor, const QString& text) {
    const QTextCursor at = editor.textCursor();
    const int from = at.hasSelection() ? at.selectionEnd() : 0;
    const QTextCursor found = editor.document()->find(text, from);
    if (found.isNull()) return false;
    editor.setTextCursor(found);
    editor.setFocus();
    return true;
}

bool EditorReplace::FindNext(QTextEdit& editor, const QString& text) {
    if (!FindInEditor(editor, text)) return false;
    position_ = editor.textCursor().selectionStart();
    return true;
}

bool EditorReplace::Replace(QTextEdit& editor, const QString& text, const QString& replacement) {
    QTextCursor cursor = editor.textCursor();
    if (position_) {
        const bool stillThere = cursor.hasSelection() && cursor.selectionStart() == *position_ &&
                                cursor.selectedText().compare(text, Qt::CaseInsensitive) == 0;
        position_.reset();
        if (!stillThere) return false;
    } else {
        cursor = editor.document()->find(text, 0);
        if (cursor.isNull()) return false;
    }
    cursor.insertText(replacement);
    editor.setTextCursor(cursor);
    return true;
}

int EditorReplace::ReplaceAll(QTextEdit& editor, const QString& text, const QString& replacement) {
    position_.reset();
    QTextDocument& doc = *editor.document();
    QTextCursor edit(&doc);
    edit.beginEditBlock();
    int count = 0;
    for (QTextCursor found = doc.find(text, 0); !found.isNull(); found = doc.find(text, found)) {
        found.insertText(replacement);  // the cursor now stands after the replacement
        ++count;
    }
    edit.endEditBlock();
    return count;
}

}  // namespace qef
