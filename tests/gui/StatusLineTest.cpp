// What the status line says after a command that writes files: the files this very run put in
// place, or nothing.
#include <QCheckBox>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTableView>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "gui/GridModel.h"

namespace qef {
namespace {

struct StatusLine : ::testing::Test, test::CommandWindow {
    QString Line() const { return window.statusBar()->currentMessage(); }
    QString Written(std::initializer_list<const char*> names) const {
        QStringList paths;
        for (const char* name : names) paths << QString::fromStdString(dir.File(name));
        return QStringLiteral("Đã ghi file ") + paths.join(QStringLiteral(", "));
    }
    // The line after `command`, its file questions answered with the files `names` of the test's
    // folder; none is a cancel.
    QString LineAfter(const char* command, std::initializer_list<const char*> names) {
        files.names.clear();
        for (const char* name : names) files.names.push_back(dir.File(name));
        RunCommand(command);
        return Line();
    }
};

// A good sort names its result; a sort of an empty file, then one whose result cannot be written,
// then a cancel at the first question, each leave the line empty.
TEST_F(StatusLine, NamesOnlyFilesThisRunPutInPlace) {
    files.names = {Input("tools/sort_xy_ascending/coords.txt", "td.txt"), dir.File("sx.dta")};
    RunCommand("Sapxeptoado");
    EXPECT_EQ(Line(), Written({"sx.dta"}));

    files.names = {Input("tools/empty_sort_xy/coords.txt", "rong.txt"), dir.File("sx2.dta")};
    RunCommand("Sapxeptoado");
    EXPECT_EQ(Line(), QString());

    RunCommand("Sapxeptoado");  // to fill the line again
    files.names = {Input("tools/sort_xy_ascending/coords.txt", "td.txt"), dir.File("sx.dta")};
    RunCommand("Sapxeptoado");
    ASSERT_EQ(Line(), Written({"sx.dta"}));
    files.names = {dir.File("td.txt"), dir.File("khong_co/sx.dta")};
    RunCommand("Sapxeptoado");
    EXPECT_EQ(Line(), QString());

    files.names = {Input("tools/sort_xy_ascending/coords.txt", "td.txt"), dir.File("sx.dta")};
    RunCommand("Sapxeptoado");
    files.names.clear();
    RunCommand("Sapxeptoado");
    EXPECT_EQ(Line(), QString());
}

// The book builder names its three books, and the RTF book when it lays one out; the detail book
// and the text books name theirs.
TEST_F(StatusLine, FieldBooksNameTheFilesTheyWrote) {
    const std::string raw = Input("fielddata/two_sets_k2/raw.dta", "raw.dta");
    files.names = {raw, dir.File("goc.txt"), dir.File("canh.txt"), dir.File("bs.dta")};
    test::OnNextModal([](QWidget& modal) {
        test::Find<QSpinBox>(modal, "Esolandogoc")->setValue(2);
        test::Find<QCheckBox>(modal, "cb_xlsl")->setChecked(true);
        test::Find<QCheckBox>(modal, "cb_sdcanh")->setChecked(false);
        test::Find<QPushButton>(modal, "Button1")->click();
    });
    RunCommand("Taosodogoccanh");
    EXPECT_EQ(Line(), Written({"goc.txt", "canh.txt", "bs.dta"}));

    // Only the RTF layout of the distance book written before.
    files.names = {dir.File("canh.txt"), dir.File("canh.rtf")};
    test::OnNextModal([](QWidget& modal) {
        test::Find<QCheckBox>(modal, "cb_xlsl")->setChecked(false);
        test::Find<QCheckBox>(modal, "cb_sdcanh")->setChecked(true);
        test::Find<QPushButton>(modal, "Button1")->click();
    });
    RunCommand("Taosodogoccanh");
    EXPECT_EQ(Line(), Written({"canh.rtf"}));

    files.names = {Input("fielddata/simulated/detail_book/obs.dta", "ct.dta"), dir.File("sochitiet.txt")};
    RunCommand("sodochitiet");
    EXPECT_EQ(Line(), Written({"sochitiet.txt"}));

    // The text books: both layouts, ".txt" added to a bare name.
    files.names = {dir.File("goc.txt"), dir.File("sogoc"), dir.File("canh.txt"), dir.File("socanh.txt")};
    test::OnNextModal([](QWidget& modal) {
        test::Find<QCheckBox>(modal, "cb_lapsdg")->setChecked(true);
        test::Find<QCheckBox>(modal, "cb_lapsdc")->setChecked(true);
        test::Find<QPushButton>(modal, "Button1")->click();
    });
    RunCommand("Vesodogoc");
    EXPECT_EQ(Line(), Written({"sogoc.txt", "socanh.txt"}));

    // Cancelled at its first file question, the builder clears the line.
    files.names.clear();
    test::OnNextModal([](QWidget& modal) {
        test::Find<QCheckBox>(modal, "cb_xlsl")->setChecked(true);
        test::Find<QPushButton>(modal, "Button1")->click();
    });
    RunCommand("Taosodogoccanh");
    EXPECT_EQ(Line(), QString());
}

// The grid's block written and appended, the documents saved and the editor printed to a PDF file
// each name their file; a cancel, and a refused name followed by a cancel, leave the line empty.
TEST_F(StatusLine, BlockWritesSavesAndPrintsToAFileNameTheirFile) {
    window.Grid().SetCell(1, 0, "A1");
    window.Grid().SetDataRowCount(1);
    window.GridView()->setCurrentIndex(window.Grid().index(GridModel::ModelRow(1), 0));
    EXPECT_EQ(LineAfter("Ghikhoirafile", {"khoi.dta"}), Written({"khoi.dta"}));
    EXPECT_EQ(LineAfter("Noikhoivaofile", {}), QString());
    EXPECT_EQ(LineAfter("Noikhoivaofile", {"khoi.dta"}), Written({"khoi.dta"}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("khoi.dta")), "A1\r\nA1\r\n");
    EXPECT_EQ(LineAfter("Ghikhoirafile", {"khong_co/khoi2.dta"}), QString());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.File("khong_co/khoi2.dta"))));

    EXPECT_EQ(LineAfter("TBSaveas", {"dulieu.dta"}), Written({"dulieu.dta"}));
    ASSERT_EQ(LineAfter("Ghikhoirafile", {}), QString());
    EXPECT_EQ(LineAfter("TBSave", {}), Written({"dulieu.dta"}));

    RunCommand("TBRE");
    window.Editor()->setPlainText(QStringLiteral("Dòng 1\tx"));
    EXPECT_EQ(LineAfter("TBSaveas", {"vanban.txt"}), Written({"vanban.txt"}));

    const QString pdf = QString::fromStdString(dir.File("in.pdf"));
    window.PrintSetup = [pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    RunCommand("TBPrint");
    EXPECT_EQ(Line(), Written({"in.pdf"}));
    // A print dialog left with Cancel prints nothing and says nothing.
    window.PrintSetup = [](QPrinter&) { return false; };
    RunCommand("TBPrint");
    EXPECT_EQ(Line(), QString());
}

// Panel 0 says "Đã sửa" for a modified text whenever the editor is shown, also after the grid.
TEST_F(StatusLine, ModifiedTextIsShownAgainAfterSwitchingViews) {
    RunCommand("TBRE");
    window.Editor()->setFocus();
    QTest::keyClicks(window.Editor(), QStringLiteral("abc"));
    ASSERT_EQ(window.StatusText(0), QStringLiteral("Đã sửa"));
    RunCommand("TBDBG");
    EXPECT_NE(window.StatusText(0), QStringLiteral("Đã sửa"));
    RunCommand("TBRE");
    EXPECT_EQ(window.StatusText(0), QStringLiteral("Đã sửa"));
}

}  // namespace
}  // namespace qef
