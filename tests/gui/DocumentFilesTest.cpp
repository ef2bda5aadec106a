#include <QLineEdit>
#include <filesystem>
#include <QPrinter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextTable>

#include "GuiTestSupport.h"
#include "core/text/Rtf.h"
#include "core/text/TextFile.h"
#include "gui/GridEditor.h"
#include "gui/GridModel.h"

namespace qef {
namespace {

struct Files : test::ScriptedWindow {
    Files() { window.show(); }
    QString Path(const char* name) const { return QString::fromStdString(dir.File(name)); }
    // Unsaved grid data: A in row 1.
    void DirtyGrid() {
        window.Grid().SetCell(1, 0, "A");
        window.Grid().SetDataRowCount(1);
        window.SetDataSaved(false);
    }
    std::string Row(int row) {
        std::string out;
        for (int c = 0; c < 4; ++c) out += "[" + window.Grid().Cell(row, c) + "]";
        return out;
    }
};

TEST(GridFiles, NewAndOpenAskToSaveFirstAndGoOnOnlyAfterASave) {
    {  // Cancel, then a save that gets no name, then a save that fails and whose name, asked
       // again, is not given: nothing is opened.
        Files f;
        f.DirtyGrid();
        test::WriteFileBytes(f.dir.File("in.DTA"), "B\t1\r\n");
        f.ask.answers = {Answer::Cancel, Answer::Yes, Answer::Yes};
        f.Action("TBOpen")->trigger();
        EXPECT_TRUE(f.files.asked.empty());
        f.Action("TBOpen")->trigger();  // the save dialog is cancelled
        ASSERT_EQ(f.files.asked.size(), 1u);
        EXPECT_EQ(f.files.asked[0].first, 's');
        f.files.names = {f.dir.File("missing/out.DTA")};
        f.Action("TBOpen")->trigger();
        ASSERT_EQ(f.files.asked.size(), 3u);
        EXPECT_EQ(f.files.asked[2].first, 's');
        ASSERT_EQ(f.ask.Messages().size(), 1u);
        EXPECT_EQ(f.ask.Messages()[0].rfind(Vn("Không ghi được file "), 0), 0u);
        EXPECT_EQ(f.ask.calls[0].text, Vn("Bạn có save dữ liệu không ?"));
        EXPECT_FALSE(f.window.DataSaved());
        EXPECT_EQ(f.window.Grid().Cell(1, 0), "A");
        EXPECT_TRUE(f.window.DataFileName().isEmpty());
    }
    {  // Yes with a good name saves, then the file opens; its caption and state follow.
        Files f;
        f.DirtyGrid();
        test::WriteFileBytes(f.dir.File("in.DTA"), "B\t1\r\n\r\nC\t2\t3\r\n");
        f.ask.answers = {Answer::Yes};
        f.files.names = {f.dir.File("saved.DTA"), f.dir.File("in.DTA")};
        f.Action("TBOpen")->trigger();
        EXPECT_EQ(test::ReadFileBytes(f.dir.File("saved.DTA")), "A\r\n");
        EXPECT_EQ(f.files.asked[1].second.title, QStringLiteral("Mở file dữ liệu"));
        EXPECT_EQ(f.Row(1) + f.Row(2) + f.Row(3), "[B][1][][][][][][][C][2][3][]");
        EXPECT_EQ(f.window.Grid().DataRowCount(), 3);
        EXPECT_TRUE(f.window.DataSaved());
        EXPECT_EQ(f.window.windowTitle(), QStringLiteral("QEF 2010 [") + f.Path("in.DTA") + "]");
        EXPECT_EQ(f.window.StatusText(0), QStringLiteral(" Dòng: 1   Cột: 1   Số dòng: 3"));

        // New after No: an empty grid with no file.
        f.DirtyGrid();
        f.ask.answers = {Answer::No};
        f.Action("TBNew")->trigger();
        EXPECT_EQ(f.window.Grid().DataRowCount(), 0);
        EXPECT_EQ(f.window.Grid().Cell(1, 0), "");
        EXPECT_TRUE(f.window.DataSaved() && f.window.DataFileName().isEmpty());
        EXPECT_EQ(f.window.windowTitle(), QStringLiteral("QEF 2010"));
    }
}

TEST(GridFiles, OpenStartsAtTheFirstCellOfTheNewData) {
    Files f;
    f.window.Grid().SetCell(3, 2, "old");
    f.window.Grid().SetDataRowCount(3);
    f.window.GridEntry().MoveTo({3, 2});
    test::WriteFileBytes(f.dir.File("in.DTA"), "B\t1\r\nC\t2\t3\r\n");
    f.files.names = {f.dir.File("in.DTA")};
    f.Action("TBOpen")->trigger();
    EXPECT_EQ(f.window.GridEntry().Current().Row, 1);
    EXPECT_EQ(f.window.GridEntry().Current().Column, 0);
    EXPECT_EQ(f.window.GridEntry().CellEditor()->text(), QStringLiteral("B"));
    EXPECT_EQ(f.window.StatusText(0), QStringLiteral(" Dòng: 1   Cột: 1   Số dòng: 2"));
}

TEST(GridFiles, OpenBySeparatorOrDetectionAndRefuseWhatDoesNotFit) {
    Files f;
    test::WriteFileBytes(f.dir.File("mixed.DTA"), "A,1\nB 2\n");
    // The toggle down: every line split by the chosen separator (Tab), so each is one field.
    f.files.names = {f.dir.File("mixed.DTA")};
    f.Action("TBOpen")->trigger();
    EXPECT_EQ(f.Row(1) + f.Row(2), "[A,1][][][][B 2][][][]");
    // The toggle up: each line's own separator.
    f.Action("TBtudongnhandang")->trigger();
    f.files.names = {f.dir.File("mixed.DTA")};
    f.Action("TBOpen")->trigger();
    EXPECT_EQ(f.Row(1) + f.Row(2), "[A][1][][][B][2][][]");

    // One line more than the grid has rows: refused, the grid and its file stay.
    std::string big;
    for (int i = 0; i <= GridDocument::kDefaultRows; ++i) big += "P\r\n";
    test::WriteFileBytes(f.dir.File("big.DTA"), big);
    f.files.names = {f.dir.File("big.DTA")};
    f.Action("TBOpen")->trigger();
    ASSERT_EQ(f.ask.Messages().size(), 1u);
    EXPECT_NE(f.ask.Messages()[0].find("60001"), std::string::npos);
    EXPECT_EQ(f.Row(1), "[A][1][][]");
    EXPECT_EQ(f.window.DataFileName(), f.Path("mixed.DTA"));

    // Save As cancelled keeps the name; Save writes it with the chosen separator.
    f.window.Settings().OutputSeparatorMode = SeparatorMode::Semicolon;
    f.Action("TBSaveas")->trigger();
    EXPECT_EQ(f.window.DataFileName(), f.Path("mixed.DTA"));
    f.Action("TBSave")->trigger();
    EXPECT_EQ(test::ReadFileBytes(f.dir.File("mixed.DTA")), "A;1\r\nB;2\r\n");
}

TEST(GridFiles, ReadInAtARowAndWriteOrAppendTheSelectedBlock) {
    Files f;
    GridModel& g = f.window.Grid();
    for (int r = 1; r <= 10; ++r) g.SetCell(r, 0, "R" + std::to_string(r));
    g.SetCell(2, 1, "x2");
    g.SetCell(3, 2, "y3");
    g.SetDataRowCount(10);
    test::WriteFileBytes(f.dir.File("part.DTA"), "N1 100\r\nN2,200\r\n");
    f.window.GridView()->setCurrentIndex(g.index(GridModel::ModelRow(5), 1));
    f.files.names = {f.dir.File("part.DTA")};
    f.Action("Chenfilevao1")->trigger();
    EXPECT_EQ(f.Row(4) + f.Row(5) + f.Row(6) + f.Row(7), "[R4][][][][N1][100][][][N2][200][][][R5][][][]");
    EXPECT_EQ(g.Cell(12, 0), "R10");
    EXPECT_EQ(g.DataRowCount(), 12);
    EXPECT_FALSE(f.window.DataSaved());

    // Rows 2-3, columns 2-3: each row from the block's left column, trailing blanks left out.
    auto* view = f.window.GridView();
    view->selectionModel()->select(QItemSelection(g.index(1, 1), g.index(2, 2)), QItemSelectionModel::ClearAndSelect);
    f.window.Settings().OutputSeparatorMode = SeparatorMode::Comma;
    f.files.names = {f.dir.File("block.DTA"), f.dir.File("block.DTA")};
    f.Action("Ghikhoirafile")->trigger();
    EXPECT_EQ(test::ReadFileBytes(f.dir.File("block.DTA")), "x2\r\n,y3\r\n");
    EXPECT_TRUE(f.files.asked.back().second.confirmOverwrite);
    f.Action("Noikhoivaofile")->trigger();
    EXPECT_EQ(test::ReadFileBytes(f.dir.File("block.DTA")), "x2\r\n,y3\r\nx2\r\n,y3\r\n");
    EXPECT_EQ(f.files.asked.back().second.title, QStringLiteral("Nối khối vào file"));
    EXPECT_FALSE(f.files.asked.back().second.confirmOverwrite);
    EXPECT_FALSE(g.Document().KeptBlock().has_value());

    // The grid's file commands are not offered in the editor view.
    f.Action("TBRE")->trigger();
    EXPECT_FALSE(f.Action("Chenfilevao1")->isEnabled() || f.Action("Ghikhoirafile")->isEnabled());
    EXPECT_TRUE(f.Action("TBPrint")->isEnabled());
}

RichDocument RtfOfFile(const std::string& path) { return ReadRtf(test::ReadFileBytes(path)); }

TEST(EditorFiles, AnRtfDocumentIsShownIntactAndSavedBackAsRtf) {
    Files f;
    f.Action("TBRE")->trigger();
    const std::string original = std::string(QEF_TEST_DATA) + "/rtf/ordinary.rtf";
    const std::string copy = f.dir.File("report.rtf");
    test::WriteFileBytes(copy, test::ReadFileBytes(original));
    f.files.names = {copy};
    f.Action("TBOpen")->trigger();
    QTextEdit* editor = f.window.Editor();
    EXPECT_TRUE(f.window.EditorRtf());
    const QString text = editor->toPlainText();
    for (const char* shown : {"BÁO CÁO KẾT QUẢ", "Đường chuyền: Việt Nam", "Việt Nam\tĐường", "Độ cao “café”", "Điểm",
                              "2345.678", "Trang 2"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;
    QTextCursor atBold = editor->document()->find(QStringLiteral("Việt Nam"));
    EXPECT_EQ(atBold.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(editor->document()->firstBlock().blockFormat().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("QEF 2010 [") + QString::fromStdString(copy) + "]");

    // Saved back as RTF: the same document as the file that was opened.
    editor->document()->setModified(true);
    f.Action("TBSave")->trigger();
    EXPECT_TRUE(IsRtf(test::ReadFileBytes(copy)));
    EXPECT_EQ(RtfOfFile(copy), RtfOfFile(original));
    EXPECT_FALSE(editor->document()->isModified());

    // Save As a .TXT: plain TCVN3 text; a .DTA name is refused and nothing changes.
    f.files.names = {f.dir.File("copy.TXT"), f.dir.File("data.DTA")};
    f.Action("TBSaveas")->trigger();
    const std::string plain = test::ReadFileBytes(f.dir.File("copy.TXT"));
    EXPECT_FALSE(IsRtf(plain));
    EXPECT_NE(plain.find(Vn("Đường chuyền")), std::string::npos);
    editor->document()->setModified(true);
    f.Action("TBSaveas")->trigger();
    EXPECT_FALSE(FileExists(f.dir.File("data.DTA")));
    EXPECT_EQ(f.ask.Messages().back(), Vn("Bạn không được Save file <.DTA> ở đây"));
    EXPECT_TRUE(editor->document()->isModified());
}

TEST(EditorFiles, NewAndOpenAskAboutUnsavedText) {
    Files f;
    f.Action("TBRE")->trigger();
    f.window.Editor()->setPlainText(QStringLiteral("sửa"));
    f.window.Editor()->document()->setModified(true);
    // Cancel keeps the text; a save that fails (its name asked again and not given) keeps it
    // too, and nothing is opened.
    f.ask.answers = {Answer::Cancel, Answer::Yes};
    f.Action("TBNew")->trigger();
    f.files.names = {f.dir.File("missing/a.txt")};
    f.Action("TBOpen")->trigger();
    EXPECT_EQ(f.window.Editor()->toPlainText(), QStringLiteral("sửa"));
    EXPECT_EQ(f.files.asked.size(), 2u);
    EXPECT_EQ(f.files.asked[0].first, 's');
    // No: a new empty text, no file, an empty status.
    f.ask.answers = {Answer::No};
    f.Action("TBNew")->trigger();
    EXPECT_TRUE(f.window.Editor()->toPlainText().isEmpty());
    EXPECT_TRUE(f.window.TextFileName().isEmpty());
    EXPECT_EQ(f.window.StatusText(0), QString());
    // A plain UTF-8 file opens without a question, and Save As writes it back as UTF-8.
    test::WriteFileBytes(f.dir.File("u.txt"), "Độ cao\r\n");
    f.files.names = {f.dir.File("u.txt"), f.dir.File("v.txt")};
    f.Action("TBOpen")->trigger();
    EXPECT_FALSE(f.window.EditorRtf());
    f.Action("TBSaveas")->trigger();
    EXPECT_EQ(test::ReadFileBytes(f.dir.File("v.txt")), "Độ cao\r\n");
    EXPECT_EQ(f.window.TextFileName(), f.Path("v.txt"));
}

TEST(EditorFormatting, StylesAlignmentAndSize) {
    Files f;
    f.Action("TBRE")->trigger();
    QTextEdit* editor = f.window.Editor();
    editor->setPlainText(QStringLiteral("old"));
    editor->moveCursor(QTextCursor::End);
    // No selection: the style applies to what is typed next, not to the text there.
    f.Action("ItalicButton")->trigger();
    f.Action("BoldButton")->trigger();
    editor->insertPlainText(QStringLiteral("new"));
    f.Action("BoldButton")->trigger();  // off again: italic stays
    editor->insertPlainText(QStringLiteral("x"));
    auto formatAt = [editor](int position) {
        QTextCursor c(editor->document());
        c.setPosition(position + 1);
        return c.charFormat();
    };
    EXPECT_NE(formatAt(0).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(3).fontWeight() == QFont::Bold && formatAt(3).fontItalic());
    EXPECT_TRUE(formatAt(6).fontWeight() != QFont::Bold && formatAt(6).fontItalic());
    // A selection takes the underline and the size; the paragraph the alignment.
    editor->selectAll();
    f.Action("UnderlineButton")->trigger();
    test::Find<QSpinBox>(f.window, "FontSize")->setValue(17);
    f.Action("RightAlign")->trigger();
    EXPECT_TRUE(formatAt(0).fontUnderline() && formatAt(6).fontUnderline());
    EXPECT_EQ(formatAt(4).fontPointSize(), 17);
    EXPECT_TRUE(formatAt(4).fontItalic());
    EXPECT_EQ(editor->document()->firstBlock().blockFormat().alignment() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(f.window.StatusText(0), QStringLiteral("Đã sửa"));
}

// Every save of the grid and the editor refuses a read-only file by its mode bits, naming the
// file, as the computations refuse their results; root, who may write any file, too. The file
// keeps its bytes and the name is asked again.
TEST(DocumentSaves, ReadOnlyTargetsAreRefusedNamingTheFile) {
    Files f;
    const std::string ro = f.dir.File("ro.DTA");
    test::WriteFileBytes(ro, "OLD\r\n");
    std::filesystem::permissions(ro, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
    const std::string refusal = Vn("Không ghi được file ") + ro + Vn(" : file chỉ đọc");

    f.DirtyGrid();
    f.files.names = {ro};
    f.Action("TBSaveas")->trigger();
    ASSERT_EQ(f.ask.Messages().size(), 1u);
    EXPECT_EQ(f.ask.Messages()[0], refusal);
    EXPECT_EQ(f.files.asked.size(), 2u);  // asked again, then cancelled
    EXPECT_TRUE(f.window.DataFileName().isEmpty());
    EXPECT_FALSE(f.window.DataSaved());

    // A block written or appended to it.
    f.window.GridView()->setCurrentIndex(f.window.Grid().index(GridModel::ModelRow(1), 0));
    f.files.names = {ro};
    f.Action("Ghikhoirafile")->trigger();
    f.files.names = {ro};
    f.Action("Noikhoivaofile")->trigger();
    ASSERT_EQ(f.ask.Messages().size(), 3u);
    EXPECT_EQ(f.ask.Messages()[1], refusal);
    EXPECT_EQ(f.ask.Messages()[2], refusal);

    // The editor's text, by Save As and by Save under the name it has.
    f.Action("TBRE")->trigger();
    const std::string roText = f.dir.File("ro.txt");
    test::WriteFileBytes(roText, "OLD\r\n");
    std::filesystem::permissions(roText, std::filesystem::perms::owner_read);
    f.window.Editor()->setPlainText(QStringLiteral("mới"));
    f.files.names = {roText};
    f.Action("TBSaveas")->trigger();
    ASSERT_EQ(f.ask.Messages().size(), 4u);
    EXPECT_EQ(f.ask.Messages()[3], Vn("Không ghi được file ") + roText + Vn(" : file chỉ đọc"));
    EXPECT_TRUE(f.window.TextFileName().isEmpty());
    EXPECT_EQ(test::ReadFileBytes(ro), "OLD\r\n");
    EXPECT_EQ(test::ReadFileBytes(roText), "OLD\r\n");

    // Writable again, the same save goes through.
    std::filesystem::permissions(ro, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    f.Action("TBDBG")->trigger();
    f.files.names = {ro};
    f.Action("TBSaveas")->trigger();
    EXPECT_EQ(test::ReadFileBytes(ro), "A\r\n");
    EXPECT_EQ(f.ask.Messages().size(), 4u);
}

// A text written under a .rtf name is RTF whatever the editor held, so a new text made bold
// keeps its bold; the no-break spaces of a TCVN3 text (byte 0xA0) survive a plain save.
TEST(EditorFiles, RtfNamesNoBreakSpacesAndTheVietnameseCodePage) {
    Files f;
    f.Action("TBRE")->trigger();
    f.Action("TBNew")->trigger();
    QTextEdit* editor = f.window.Editor();
    editor->insertPlainText(QStringLiteral("thường "));
    f.Action("BoldButton")->trigger();
    editor->insertPlainText(QStringLiteral("đậm"));
    f.files.names = {f.dir.File("x.rtf")};
    f.Action("TBSaveas")->trigger();
    const std::string rtf = test::ReadFileBytes(f.dir.File("x.rtf"));
    ASSERT_TRUE(IsRtf(rtf));
    const RichDocument doc = ReadRtf(rtf);
    ASSERT_EQ(doc.Blocks.size(), 1u);
    const auto& runs = std::get<RichParagraph>(doc.Blocks[0]).Runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Text, "thường ");
    EXPECT_FALSE(runs[0].Format.Bold);
    EXPECT_EQ(runs[1].Text, "đậm");
    EXPECT_TRUE(runs[1].Format.Bold);
    // A data file stays plain text, bold or not.
    f.files.names = {f.dir.File("x.txt")};
    f.Action("TBSaveas")->trigger();
    EXPECT_EQ(test::ReadFileBytes(f.dir.File("x.txt")), Vn("thường đậm") + "\r\n");

    // TCVN3 with 0xA0 between, after and alone on a line, and an empty line: byte for byte.
    const std::string nbsp = "T\xA0" "1\r\n\r\n" "\xA0\r\n" "100.5\xA0\r\n";
    test::WriteFileBytes(f.dir.File("nbsp.txt"), nbsp);
    f.files.names = {f.dir.File("nbsp.txt")};
    f.Action("TBOpen")->trigger();
    editor->document()->setModified(true);
    f.Action("TBSave")->trigger();
    EXPECT_EQ(test::ReadFileBytes(f.dir.File("nbsp.txt")), nbsp);

    // A Word document in code page 1258 is shown as its letters, and saved back as them.
    const std::string word = f.dir.File("word.rtf");
    test::WriteFileBytes(word, test::ReadFileBytes(std::string(QEF_TEST_DATA) + "/rtf/word_cp1258.rtf"));
    f.files.names = {word};
    f.Action("TBOpen")->trigger();
    EXPECT_EQ(editor->document()->firstBlock().text(), QStringLiteral("Đường chuyền"));
    editor->document()->setModified(true);
    f.Action("TBSave")->trigger();
    EXPECT_NE(PlainTextOf(ReadRtf(test::ReadFileBytes(word))).find("Việt Nam, Hà Nội"), std::string::npos);
}

// A 300-character cell is saved whole between its neighbours and named; a lone CR ends a row
// as it ends a line in the editor.
TEST(GridFiles, LongCellsLineEndsAndNoBreakSpaces) {
    Files f;
    const std::string cell(300, 'x');
    f.window.Grid().SetCell(2, 0, "A");
    f.window.Grid().SetCell(2, 1, cell);
    f.window.Grid().SetCell(2, 2, "B");
    f.window.Grid().SetDataRowCount(2);
    f.window.Settings().OutputSeparatorMode = SeparatorMode::Tab;
    f.files.names = {f.dir.File("long.DTA")};
    f.Action("TBSaveas")->trigger();
    EXPECT_EQ(test::ReadFileBytes(f.dir.File("long.DTA")), "\r\nA\t" + cell + "\tB\r\n");
    ASSERT_EQ(f.ask.Messages().size(), 1u);
    EXPECT_EQ(f.ask.Messages()[0],
              Vn("Có 1 ô dài quá 255 ký tự, được ghi nguyên, không bị cắt (ô đầu ở dòng 2, cột 2: 300 ký tự)."));
    f.files.names = {f.dir.File("long.DTA")};
    f.Action("TBOpen")->trigger();
    EXPECT_EQ(f.Row(2), "[A][" + cell + "][B][]");

    const std::string mixed = "A\t1\rB\t2\r\nC\t3\r\r\nD\t4\nE\t5";
    test::WriteFileBytes(f.dir.File("mixed.DTA"), mixed);
    f.files.names = {f.dir.File("mixed.DTA")};
    f.Action("TBOpen")->trigger();
    EXPECT_EQ(f.window.Grid().DataRowCount(), 6);
    EXPECT_EQ(f.Row(1) + f.Row(2) + f.Row(3) + f.Row(4) + f.Row(5) + f.Row(6),
              "[A][1][][][B][2][][][C][3][][][][][][][D][4][][][E][5][][]");
    f.Action("TBRE")->trigger();
    f.files.names = {f.dir.File("mixed.DTA")};
    f.Action("TBOpen")->trigger();
    EXPECT_EQ(f.window.Editor()->document()->blockCount(), 6);
}

// Pages of a PDF that Qt wrote: its page objects.
int PdfPages(const std::string& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    int pages = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next()) ++pages;
    return pages;
}

TEST(EditorPrinting, AFormFeedLineStartsANewPage) {
    Files f;
    f.Action("TBRE")->trigger();
    const std::string pdf = f.dir.File("print.pdf");
    f.window.PrintSetup = [&pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    f.window.Editor()->setPlainText(QStringLiteral("Trang một\ndòng 2\n\f\nTrang hai\n"));
    f.Action("TBPrint")->trigger();
    EXPECT_EQ(PdfPages(test::ReadFileBytes(pdf)), 2);
    // Without the form feed the short text fits one page.
    f.window.Editor()->setPlainText(QStringLiteral("Trang một\ndòng 2\nTrang hai\n"));
    f.Action("TBPrint")->trigger();
    EXPECT_EQ(PdfPages(test::ReadFileBytes(pdf)), 1);
    EXPECT_TRUE(f.ask.calls.empty());
}

}  // namespace
}  // namespace qef
