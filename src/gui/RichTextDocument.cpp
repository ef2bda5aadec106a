#include "gui/RichTextDocument.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <cmath>

namespace qef {

namespace {

// RTF measures in twips; the document lays out in pixels of a 96 dpi screen.
constexpr double kTwipsPerPixel = 15.0;
// Width of a table column that has none of its own.
constexpr int kDefaultCellTwips = 2000;

QTextCharFormat CharFormatOf(const RunFormat& run) {
    QTextCharFormat format;
    format.setFontFamilies(QStringList{QString::fromStdString(run.Font)});
    format.setFontPointSize(run.HalfPoints / 2.0);
    format.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.Italic);
    format.setFontUnderline(run.Underline);
    return format;
}

QTextBlockFormat BlockFormatOf(const RichParagraph& paragraph) {
    QTextBlockFormat format;
    switch (paragraph.Alignment) {
        case ParagraphAlignment::Left: format.setAlignment(Qt::AlignLeft); break;
        case ParagraphAlignment::Centre: format.setAlignment(Qt::AlignHCenter); break;
        case ParagraphAlignment::Right: format.setAlignment(Qt::AlignRight); break;
        case ParagraphAlignment::Justify: format.setAlignment(Qt::AlignJustify); break;
    }
    if (paragraph.PageBreakBefore) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QList<QTextOption::Tab> tabs;
    for (int twips : paragraph.TabStopsTwips) tabs.append(QTextOption::Tab(twips / kTwipsPerPixel, QTextOption::LeftTab));
    if (!tabs.isEmpty()) format.setTabPositions(tabs);
    return format;
}

// Writes the paragraph into the cursor's block (`fresh`: an empty block waiting for it) or a new
// block after it.
void InsertParagraph(QTextCursor& cursor, const RichParagraph& paragraph, bool fresh) {
    if (fresh)
        cursor.setBlockFormat(BlockFormatOf(paragraph));
    else
        cursor.insertBlock(BlockFormatOf(paragraph));
    for (const TextRun& run : paragraph.Runs) cursor.insertText(QString::fromStdString(run.Text), CharFormatOf(run.Format));
}

bool SameTable(const RichRow& a, const RichRow& b) {
    return a.Cells.size() == b.Cells.size() && a.CellRightsTwips == b.CellRightsTwips;
}

void InsertTable(QTextCursor& cursor, const std::vector<const RichRow*>& rows) {
    const RichRow& first = *rows.front();
    const int columns = std::max<int>(1, static_cast<int>(first.Cells.size()));
    QTextTableFormat format;
    format.setCellPadding(2);
    format.setCellSpacing(0);
    QList<QTextLength> widths;
    int left = 0;
    for (int right : first.CellRightsTwips) {
        widths.append(QTextLength(QTextLength::FixedLength, (right - left) / kTwipsPerPixel));
        left = right;
    }
    if (widths.size() == columns) format.setColumnWidthConstraints(widths);
    QTextTable* table = cursor.insertTable(static_cast<int>(rows.size()), columns, format);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const RichRow& row = *rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.Cells.size()); ++c) {
            QTextCursor cell = table->cellAt(r, c).firstCursorPosition();
            bool fresh = true;
            for (const RichParagraph& p : row.Cells[static_cast<std::size_t>(c)].Paragraphs) {
                InsertParagraph(cell, p, fresh);
                fresh = false;
            }
        }
    }
    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
}

// ------------------------------------------------------------------ reading the document

ParagraphAlignment AlignmentOf(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) return ParagraphAlignment::Centre;
    if (alignment & Qt::AlignRight) return ParagraphAlignment::Right;
    if (alignment & Qt::AlignJustify) return ParagraphAlignment::Justify;
    return ParagraphAlignment::Left;
}

RunFormat RunFormatOf(const QTextCharFormat& format, const QFont& defaultFont) {
    RunFormat run;
    const QStringList families = format.fontFamilies().toStringList();
    run.Font = (families.isEmpty() || families.front().isEmpty() ? defaultFont.family() : families.front()).toStdString();
    const double points = format.fontPointSize() > 0 ? format.fontPointSize() : defaultFont.pointSizeF();
    run.HalfPoints = static_cast<int>(std::lround(points * 2));
    run.Bold = format.fontWeight() >= QFont::Bold;
    run.Italic = format.fontItalic();
    run.Underline = format.fontUnderline();
    return run;
}

RichParagraph ParagraphOf(const QTextBlock& block, const QFont& defaultFont) {
    RichParagraph paragraph;
    const QTextBlockFormat format = block.blockFormat();
    paragraph.Alignment = AlignmentOf(format.alignment());
    paragraph.PageBreakBefore = (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) != 0;
    for (const QTextOption::Tab& tab : format.tabPositions())
        paragraph.TabStopsTwips.push_back(static_cast<int>(std::lround(tab.position * kTwipsPerPixel)));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() || fragment.text().isEmpty()) continue;
        RunFormat run = RunFormatOf(fragment.charFormat(), defaultFont);
        std::string text = fragment.text().toStdString();
        if (!paragraph.Runs.empty() && paragraph.Runs.back().Format == run)
            paragraph.Runs.back().Text += text;
        else
            paragraph.Runs.push_back(TextRun{std::move(text), std::move(run)});
    }
    return paragraph;
}

RichRow RowOf(const QTextTable& table, int r, const QFont& defaultFont) {
    RichRow row;
    const QList<QTextLength> widths = table.format().columnWidthConstraints();
    int right = 0;
    for (int c = 0; c < table.columns(); ++c) {
        const bool fixed = c < widths.size() && widths[c].type() == QTextLength::FixedLength;
        right += fixed ? static_cast<int>(std::lround(widths[c].rawValue() * kTwipsPerPixel)) : kDefaultCellTwips;
        row.CellRightsTwips.push_back(right);
        RichCell cell;
        const QTextTableCell at = table.cellAt(r, c);
        for (auto it = at.begin(); !it.atEnd(); ++it)
            if (!it.currentFrame()) cell.Paragraphs.push_back(ParagraphOf(it.currentBlock(), defaultFont));
        if (cell.Paragraphs.empty()) cell.Paragraphs.emplace_back();
        row.Cells.push_back(std::move(cell));
    }
    return row;
}

}  // namespace

void FillTextDocument(QTextDocument& document, const RichDocument& rich) {
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    bool fresh = true;
    for (std::size_t i = 0; i < rich.Blocks.size();) {
        if (const auto* p = std::get_if<RichParagraph>(&rich.Blocks[i])) {
            InsertParagraph(cursor, *p, fresh);
            fresh = false;
            ++i;
            continue;
        }
        std::vector<const RichRow*> rows{&std::get<RichRow>(rich.Blocks[i++])};
        while (i < rich.Blocks.size() && std::holds_alternative<RichRow>(rich.Blocks[i]) &&
               SameTable(*rows.front(), std::get<RichRow>(rich.Blocks[i])))
            rows.push_back(&std::get<RichRow>(rich.Blocks[i++]));
        InsertTable(cursor, rows);
        fresh = true;
    }
    cursor.endEditBlock();
}

RichDocument RichDocumentOf(const QTextDocument& document, const QFont& defaultFont) {
    RichDocument rich;
    bool afterTable = false;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            for (int r = 0; r < table->rows(); ++r) rich.Blocks.emplace_back(RowOf(*table, r, defaultFont));
            afterTable = true;
            continue;
        }
        if (it.currentFrame()) continue;
        rich.Blocks.emplace_back(ParagraphOf(it.currentBlock(), defaultFont));
        afterTable = false;
    }
    // The empty block that always follows a table at the end is not part of the text.
    if (!afterTable && rich.Blocks.size() >= 2 && std::holds_alternative<RichRow>(rich.Blocks[rich.Blocks.size() - 2])) {
        const auto& last = std::get<RichParagraph>(rich.Blocks.back());
        if (last.Runs.empty() && !last.PageBreakBefore) rich.Blocks.pop_back();
    }
    return rich;
}

}  // namespace qef
