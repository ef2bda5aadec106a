#include <QDir>
#include <QDirIterator>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "gui/Views.h"

namespace qef {
namespace {

// What pdftotext reads from a PDF, page after page; `layout` keeps the lines' spacing, `bbox`
// gives every word with its box instead.
QString PdfText(const std::string& pdf, const QStringList& options = {}) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        ADD_FAILURE() << "pdftotext is missing (poppler-utils, see scripts/install-deps.sh)";
        return {};
    }
    QProcess run;
    run.start(tool, QStringList(options) << QString::fromStdString(pdf) << QStringLiteral("-"));
    run.waitForFinished(60000);
    return QString::fromUtf8(run.readAllStandardOutput()).normalized(QString::NormalizationForm_C);
}

QString NoSpaces(QString text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.normalized(QString::NormalizationForm_C).remove(space);
}

int Pages(const QString& pdfText) { return static_cast<int>(pdfText.count(QLatin1Char('\f'))); }

// The main window's editor, printing to a PDF of the test's folder on the paper chosen.
struct Printing : test::ScriptedWindow {
    Printing() {
        window.show();
        Action("TBRE")->trigger();
        window.PrintSetup = [this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            printer.setPageLayout(QPageLayout(QPageSize(paper), orientation, QMarginsF(10, 10, 10, 10),
                                              QPageLayout::Millimeter));
            return true;
        };
    }
    void Print(const QString& text) {
        window.Editor()->setPlainText(text);
        Action("TBPrint")->trigger();
    }
    // The paper that holds the editor's widest line, as the editor lays it out.
    void ChoosePaper() {
        const qreal widthMm = window.Editor()->document()->idealWidth() / window.Editor()->logicalDpiX() * 25.4;
        const struct {
            QPageSize::PageSizeId size;
            QPageLayout::Orientation orientation;
            qreal widthMm;
        } papers[] = {{QPageSize::A4, QPageLayout::Portrait, 210},
                      {QPageSize::A4, QPageLayout::Landscape, 297},
                      {QPageSize::A3, QPageLayout::Landscape, 420}};
        for (const auto& p : papers) {
            paper = p.size;
            orientation = p.orientation;
            if (widthMm + 10 < p.widthMm - 20) return;
        }
    }
    std::string pdf = dir.File("print.pdf");
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

// The reports the computations write, as the case folders hold them: adjustment (its reports,
// side corrections, hanging traverses, closure table), levelling, detail points and the books.
QStringList ReportFiles() {
    static const QRegularExpression report(
        QStringLiteral("^(kq\\.(in\\d?|txt|dh|tb|mt|dat)|goc\\.txt|canh\\.txt|sochitiet\\.txt)$"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList files;
    for (const char* folder : {"adjustment", "heights", "fielddata"}) {
        QDirIterator it(QStringLiteral(QEF_TEST_DATA "/") + QLatin1String(folder), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QStringLiteral("/expected/")) && report.match(it.fileName()).hasMatch()) files << path;
        }
    }
    QDirIterator simple(QStringLiteral(QEF_TEST_DATA "/simple_reports"), QDir::Files);
    while (simple.hasNext()) files << simple.next();
    files.sort();
    return files;
}

TEST(PrintedReports, EveryWordOfEveryReportIsOnThePaperInOrder) {
    Printing p;
    const QStringList files = ReportFiles();
    ASSERT_GE(files.size(), 60);
    int withTabs = 0;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QString text = EditorTextOf(test::ReadFileBytes(file.toStdString())).Text;
        if (text.contains(QLatin1Char('\t'))) ++withTabs;
        p.window.Editor()->setPlainText(text);
        p.ChoosePaper();
        p.Print(text);
        const QString printed = PdfText(p.pdf, {QStringLiteral("-layout")});
        EXPECT_EQ(NoSpaces(printed).toStdString(), NoSpaces(QString(text).remove(QLatin1Char('\f'))).toStdString());
    }
    // The files that lost their text after a Tab are among them.
    EXPECT_GE(withTabs, 20);
}

TEST(PrintedReports, TheLevellingReportKeepsItsTableOnA4) {
    // 23 lines: one page. Every table line begins with a Tab.
    Printing p;
    const QString text =
        EditorTextOf(test::ReadFileBytes(QEF_TEST_DATA "/heights/single_line/expected/kq.in")).Text;
    p.Print(text);
    const QString printed = PdfText(p.pdf, {QStringLiteral("-layout")});
    EXPECT_EQ(Pages(printed), 1);
    EXPECT_TRUE(printed.contains(QStringLiteral("| STT |")));
    EXPECT_TRUE(printed.contains(QStringLiteral("Kết quả bình sai độ cao")));
}

// Word boxes of a PDF page: the left edge of each word, in points.
std::map<QString, double> WordLeftEdges(const std::string& pdf) {
    std::map<QString, double> left;
    static const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    const QString boxes = PdfText(pdf, {QStringLiteral("-bbox")});
    for (auto it = word.globalMatch(boxes); it.hasNext();) {
        const auto m = it.next();
        left[m.captured(2)] = m.captured(1).toDouble();
    }
    return left;
}

TEST(PrintedReports, TabsLandWhereTheEditorShowsThem) {
    // The editor's Tab is 80 pixels at 96 dots per inch: 60 pt on paper, from the 10 mm margin
    // (28.35 pt). "AAA" is 3 × 6.02 pt wide in DejaVu Sans Mono 10 pt, so its Tab goes to 60 pt;
    // twelve characters (72.2 pt) pass the first stop and go to 120 pt.
    Printing p;
    p.Print(QStringLiteral("AAA\tBBB\tCCC\nDDDDDDDDDDDD\tEEE\n"));
    auto left = WordLeftEdges(p.pdf);
    const double margin = 10 / 25.4 * 72;
    EXPECT_NEAR(left[QStringLiteral("AAA")], margin, 0.5);
    EXPECT_NEAR(left[QStringLiteral("BBB")], margin + 60, 0.5);
    EXPECT_NEAR(left[QStringLiteral("CCC")], margin + 120, 0.5);
    EXPECT_NEAR(left[QStringLiteral("EEE")], margin + 120, 0.5);

    // A paragraph's own stop (an RTF \tx2880: 2 inches, 144 pt) comes before the default ones.
    QTextCursor cursor(p.window.Editor()->document());
    p.window.Editor()->setPlainText(QStringLiteral("X\tYYY\tZZZ"));
    QTextBlockFormat format;
    format.setTabPositions({QTextOption::Tab(192, QTextOption::LeftTab)});
    cursor.mergeBlockFormat(format);
    p.Action("TBPrint")->trigger();
    left = WordLeftEdges(p.pdf);
    EXPECT_NEAR(left[QStringLiteral("YYY")], margin + 144, 0.5);
    EXPECT_NEAR(left[QStringLiteral("ZZZ")], margin + 180, 0.5);
}

TEST(PrintedReports, OnlyWhatLiesPastThePaperIsLost) {
    // A4 portrait leaves 190 mm (538.6 pt) between the margins: 89 characters of 6.02 pt. The
    // line after the long one prints whole.
    Printing p;
    const QString longLine = QString(QStringLiteral("0123456789")).repeated(12);
    p.Print(longLine + QStringLiteral("\nnext line\n\tafter a tab\n"));
    const QString printed = PdfText(p.pdf, {QStringLiteral("-layout")});
    EXPECT_TRUE(printed.contains(longLine.left(89)));
    EXPECT_FALSE(printed.contains(longLine.left(90)));
    EXPECT_TRUE(printed.contains(QStringLiteral("next line")));
    EXPECT_TRUE(printed.contains(QStringLiteral("after a tab")));
}

// Printing needs no mouse: Ctrl+P in the editor prints it.
TEST(PrintedReports, CtrlPPrintsTheEditor) {
    Printing p;
    p.window.activateWindow();
    QApplication::setActiveWindow(&p.window);
    p.window.Editor()->setPlainText(QStringLiteral("Một dòng\tsau Tab\n"));
    p.window.Editor()->setFocus();
    QTest::keyClick(p.window.Editor(), Qt::Key_P, Qt::ControlModifier);
    const QString printed = PdfText(p.pdf, {QStringLiteral("-layout")});
    EXPECT_TRUE(printed.contains(QStringLiteral("sau Tab")));
    EXPECT_EQ(p.window.Editor()->toPlainText(), QStringLiteral("Một dòng\tsau Tab\n"));
}

}  // namespace
}  // namespace qef
