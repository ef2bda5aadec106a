#include "gui/Views.h"

#include <QHeaderView>
#include <QStringList>
#include <QTableView>
#include <QTextEdit>

#include "core/text/VnCodec.h"
#include "gui/GridModel.h"
#include "gui/GuiText.h"

namespace qef {

QTableView* MakeGridView(GridModel* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(QStringLiteral("StGrid"));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view->setWordWrap(false);
    view->horizontalHeader()->setDefaultSectionSize(95);
    view->horizontalHeader()->setHighlightSections(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->verticalHeader()->hide();
    return view;
}

QTextEdit* MakeEditor(QWidget* parent) {
    auto* editor = new QTextEdit(parent);
    editor->setObjectName(QStringLiteral("Editor"));
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(10);
    editor->setFont(mono);
    editor->document()->setDefaultFont(mono);
    editor->setLineWrapMode(QTextEdit::NoWrap);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return editor;
}

EditorText EditorTextOf(std::string bytes) {
    if (!bytes.empty() && bytes.back() == '\x1A') bytes.pop_back();
    EditorText result;
    result.Utf8 = LooksLikeUtf8(bytes);
    result.Text = result.Utf8 ? QString::fromStdString(bytes) : FromTcvn3(bytes);
    // CR LF, a lone LF and a lone CR are one line end each, as the grid reads data files (Qt
    // alone would take a CR LF left by CR CR LF as one).
    result.Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

std::string FileBytesOf(const QString& text, bool utf8) {
    QStringList lines = text.split(QLatin1Char('\n'));
    // A text that ends with a line end has no further line.
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    std::string bytes;
    for (const QString& line : lines) {
        bytes += utf8 ? line.toStdString() : ToTcvn3(line);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace qef
