#pragma once
// The two views of the main window, and the editor's text as it is read from and written to a
// file.
#include <QString>
#include <string>

class QTableView;
class QTextEdit;
class QWidget;

namespace qef {

class GridModel;

// The grid over its model: not edited in place, selected in one block, rows of a fixed height.
QTableView* MakeGridView(GridModel* model, QWidget* parent);
// The editor: a monospace font and no line wrap.
QTextEdit* MakeEditor(QWidget* parent);

struct EditorText {
    QString Text;
    bool Utf8 = false;  // saved back as UTF-8, else as TCVN3
};
// A file's bytes as editor text: UTF-8 when they are UTF-8 with multi-byte sequences, TCVN3
// otherwise; a trailing Ctrl-Z is dropped and line ends (CR LF, LF, a lone CR) become "\n".
EditorText EditorTextOf(std::string bytes);
// The bytes of a file holding the editor's text: every line ended by CR LF.
std::string FileBytesOf(const QString& text, bool utf8);

}  // namespace qef
