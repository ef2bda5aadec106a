#pragma once
// Printing the editor's text: its lines in its font, as many to a page as the font's line
// spacing lets fit, a line holding a single form feed starting a new page.
#include <QStringList>

class QFont;
class QPagedPaintDevice;

namespace qef {

// Returns the number of pages printed; 0 when the printer could not be started.
int PrintLines(QPagedPaintDevice& printer, const QStringList& lines, const QFont& font);

}  // namespace qef
