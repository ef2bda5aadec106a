#include "gui/EditorPrinting.h"

#include <QFont>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

#include "core/text/Pagination.h"

namespace qef {

int PrintLines(QPagedPaintDevice& printer, const QStringList& lines, const QFont& font) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect page = painter.viewport();
    const int lineHeight = std::max(1, metrics.lineSpacing());

    std::vector<std::string> text;
    text.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines) text.push_back(line.toStdString());
    // A text that ends with a line end has no further line.
    if (!text.empty() && text.back().empty()) text.pop_back();
    const std::vector<PageLines> pages = Paginate(text, page.height() / lineHeight);

    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !printer.newPage()) return static_cast<int>(p);
        for (std::size_t i = 0; i < pages[p].LineCount; ++i) {
            const QRect line(0, static_cast<int>(i) * lineHeight, page.width(), lineHeight);
            painter.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextExpandTabs,
                             lines[static_cast<qsizetype>(pages[p].FirstLine + i)]);
        }
    }
    painter.end();
    return static_cast<int>(pages.size());
}

}  // namespace qef
