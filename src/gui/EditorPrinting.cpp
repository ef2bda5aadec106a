#include "gui/EditorPrinting.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include "core/text/Pagination.h"

namespace qef {

EditorTabs TabsOf(const QTextEdit& editor) {
    EditorTabs tabs;
    tabs.Distance = editor.tabStopDistance();
    tabs.Dpi = editor.logicalDpiX();
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        QList<qreal> stops;
        for (const QTextOption::Tab& tab : block.blockFormat().tabPositions()) stops.append(tab.position);
        // A line break inside a paragraph ends a line of the plain text too.
        const qsizetype lines = block.text().count(QChar::LineSeparator) + 1;
        for (qsizetype i = 0; i < lines; ++i) tabs.LineStops.push_back(stops);
    }
    return tabs;
}

std::vector<qreal> TabPositions(const QString& line, const std::vector<qreal>& ownStops, qreal distance,
                                const std::function<qreal(const QString&)>& advance) {
    std::vector<qreal> starts;
    qreal x = 0;
    const QStringList pieces = line.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        x += advance(pieces[i]);
        // As the editor: the first stop strictly past the text, then the next multiple of the distance.
        qreal next = 0;
        bool own = false;
        for (qreal stop : ownStops) {
            if (stop > x) {
                next = stop;
                own = true;
                break;
            }
        }
        if (!own) next = distance > 0 ? (std::floor(x / distance) + 1) * distance : x;
        x = next;
        starts.push_back(x);
    }
    return starts;
}

namespace {

// The part of `text` that fits in `room`, in whole characters.
QString Fitting(const QString& text, qreal room, const QFontMetricsF& metrics) {
    if (metrics.horizontalAdvance(text) <= room) return text;
    qsizetype n = text.size();
    while (n > 0 && metrics.horizontalAdvance(text.left(n)) > room) --n;
    return text.left(n);
}

}  // namespace

int PrintLines(QPagedPaintDevice& printer, const QStringList& lines, const QFont& font, const EditorTabs& tabs) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &printer);
    const QRect page = painter.viewport();
    const qreal lineHeight = std::max<qreal>(1, metrics.lineSpacing());
    // The editor's pixels in the printer's dots.
    const qreal scale = tabs.Dpi > 0 ? printer.logicalDpiX() / tabs.Dpi : 1;
    const auto advance = [&metrics](const QString& piece) { return metrics.horizontalAdvance(piece); };

    std::vector<std::string> text;
    text.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines) text.push_back(line.toStdString());
    // A text that ends with a line end has no further line.
    if (!text.empty() && text.back().empty()) text.pop_back();
    const std::vector<PageLines> pages = Paginate(text, static_cast<int>(page.height() / lineHeight));

    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !printer.newPage()) return static_cast<int>(p);
        for (std::size_t i = 0; i < pages[p].LineCount; ++i) {
            const std::size_t index = pages[p].FirstLine + i;
            const QString& line = lines[static_cast<qsizetype>(index)];
            std::vector<qreal> own;
            if (index < tabs.LineStops.size())
                for (qreal stop : tabs.LineStops[index]) own.push_back(stop * scale);
            std::vector<qreal> starts = TabPositions(line, own, tabs.Distance * scale, advance);
            starts.insert(starts.begin(), 0);
            const QStringList pieces = line.split(QLatin1Char('\t'));
            const qreal baseline = static_cast<qreal>(i) * lineHeight + metrics.ascent();
            for (qsizetype k = 0; k < pieces.size(); ++k) {
                const qreal x = starts[static_cast<std::size_t>(k)];
                if (x >= page.width()) break;
                painter.drawText(QPointF(x, baseline), Fitting(pieces[k], page.width() - x, metrics));
            }
        }
    }
    painter.end();
    return static_cast<int>(pages.size());
}

}  // namespace qef
