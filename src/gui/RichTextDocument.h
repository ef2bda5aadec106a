#pragma once
// The editor's document and the program's rich text (read from and written to RTF).
#include "core/text/Rtf.h"

class QFont;
class QTextDocument;

namespace qef {

// Replaces the document's content; runs keep their font names even where the screen lacks them.
void FillTextDocument(QTextDocument& document, const RichDocument& rich);
// The document as rich text; text without a font or size of its own takes `defaultFont`'s.
RichDocument RichDocumentOf(const QTextDocument& document, const QFont& defaultFont);

}  // namespace qef
