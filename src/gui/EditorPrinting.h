#pragma once
// Printing the editor's text: its lines in its font, as many to a page as the font's line
// spacing lets fit, a line holding a single form feed starting a new page. A Tab moves to the
// stop the editor shows it at; only what lies past the paper's right edge is lost.
#include <QList>
#include <functional>
#include <QStringList>
#include <vector>

class QFont;
class QPagedPaintDevice;
class QTextEdit;

namespace qef {

// The editor's tab stops, in its own pixels: a paragraph's own stops first, then one every
// `Distance`.
struct EditorTabs {
    qreal Distance = 80;
    qreal Dpi = 96;  // the editor's logical dots per inch
    std::vector<QList<qreal>> LineStops;  // by line; a missing entry has no stops of its own
};

// The tab stops of every line of the editor's plain text, and the editor's own distance.
EditorTabs TabsOf(const QTextEdit& editor);

// Where the text after each Tab of `line` starts, in the units of `advance` (the width of a piece
// of text): the next stop past the end of the text before it.
std::vector<qreal> TabPositions(const QString& line, const std::vector<qreal>& ownStops, qreal distance,
                                const std::function<qreal(const QString&)>& advance);

// Returns the number of pages printed; 0 when the printer could not be started.
int PrintLines(QPagedPaintDevice& printer, const QStringList& lines, const QFont& font, const EditorTabs& tabs = {});

}  // namespace qef
