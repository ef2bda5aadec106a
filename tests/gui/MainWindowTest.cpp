#include <QKeyEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTableView>
#include <QTextBrowser>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "gui/GridModel.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/SplashWindow.h"

namespace qef {
namespace {

// A shown main window whose questions and file names come from the test.
struct Shell : test::ScriptedWindow {
    Shell() { window.show(); }
    bool BarShown(const char* name) { return test::Find<QToolBar>(window, name)->isVisible(); }
    void PressF1(QWidget* target) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    // Unsaved text in the editor view.
    void EditText(const QString& text) {
        Action("TBRE")->trigger();
        window.Editor()->setPlainText(text);
        window.Editor()->document()->setModified(true);
    }
};

TEST(MainWindowViews, StartInTheGridAndSwitchWithTheViewPair) {
    Shell s;
    MainWindow& w = s.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QEF 2010"));
    EXPECT_TRUE(w.GridVisible() && s.BarShown("TB_StGrid") && !s.BarShown("TB_Editor"));
    EXPECT_EQ(w.StatusText(0), QStringLiteral(" Dòng: 1   Cột: 1   Số dòng: 0"));
    // F5 opens the group-by-group dialog, and its panel says so.
    EXPECT_EQ(w.StatusText(3), QStringLiteral("F5 : BS từng nhóm"));

    w.SetDataFileName(QStringLiteral("/d/luoi.DTA"));
    w.SetTextFileName(QStringLiteral("/d/luoi.in6"));
    w.Grid().SetDataRowCount(4);
    s.Action("TBRE")->trigger();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QEF 2010 [/d/luoi.in6]"));
    EXPECT_TRUE(!w.GridVisible() && s.BarShown("TB_Editor") && !s.BarShown("TB_StGrid"));
    EXPECT_FALSE(s.Action("TBDBG")->isChecked());
    w.Editor()->insertPlainText(QStringLiteral("x"));
    EXPECT_EQ(w.StatusText(0), QStringLiteral("Đã sửa"));
    s.Action("TBRE")->trigger();  // already down: no change
    EXPECT_FALSE(w.GridVisible());

    w.GridView()->setCurrentIndex(w.Grid().index(GridModel::ModelRow(3), 2));
    s.Action("TBDBG")->trigger();
    EXPECT_TRUE(w.GridVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QEF 2010 [/d/luoi.DTA]"));
    EXPECT_EQ(w.StatusText(0), QStringLiteral(" Dòng: 3   Cột: 3   Số dòng: 4"));
}

// The centre of a window's frame.
QPoint Centre(const QWidget& window) { return window.frameGeometry().center(); }

TEST(MainWindowScreen, FitsALaptopScreenWithItsDialogsCentredOnIt) {
    test::EnsureApp();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1366, 768));
    Shell s;
    MainWindow& w = s.window;
    w.CreateDialogs();
    // The width the screen allows is kept; the height gives way, down to the status bar.
    EXPECT_TRUE(screen.contains(w.frameGeometry()));
    EXPECT_EQ(w.width(), 1260);
    EXPECT_LT(w.height(), 780);
    const QStatusBar* bar = w.statusBar();
    EXPECT_TRUE(bar->isVisible() && screen.contains(QRect(bar->mapToGlobal(QPoint()), bar->size())));

    // A dialog is centred on the main window; one larger than the screen is made to fit it.
    w.ShowHelp();
    EXPECT_LE((Centre(*w.Help()) - Centre(w)).manhattanLength(), 4);
    w.Help()->close();
    w.Help()->resize(1600, 1000);
    w.ShowHelp();
    EXPECT_TRUE(screen.contains(w.Help()->frameGeometry()));
    w.Help()->close();

    // About: centred on the main window, with the version; a click closes it.
    EXPECT_TRUE(SplashWindow::VersionText().startsWith(QStringLiteral("Phiên bản ")));
    QPoint aboutCentre;
    test::OnNextModal([&aboutCentre](QWidget& about) {
        aboutCentre = Centre(about);
        QTest::mouseClick(&about, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        if (about.isVisible()) {
            ADD_FAILURE() << "About stays after a click";
            about.close();
        }
    });
    w.ShowAbout();
    EXPECT_LE((aboutCentre - Centre(w)).manhattanLength(), 4);
}

TEST(MainWindowKeys, F1OpensHelpInBothViews) {
    Shell s;
    MainWindow& w = s.window;
    QApplication::setActiveWindow(&w);
    s.PressF1(w.GridView());
    ASSERT_TRUE(w.Help()->isVisible());
    EXPECT_TRUE(w.Help()->Browser()->toPlainText().contains(QStringLiteral("File số liệu đo góc, cạnh")));
    w.Help()->close();
    QApplication::setActiveWindow(&w);
    s.Action("TBRE")->trigger();
    s.PressF1(w.Editor());
    EXPECT_TRUE(w.Help()->isVisible());
}

TEST(MainWindowClosing, GridQuestionAnswers) {
    {  // Yes: the data are written with the chosen separator, then the window closes.
        Shell s;
        MainWindow& w = s.window;
        GridModel& g = w.Grid();
        g.SetCell(1, 0, "A");
        g.SetCell(1, 2, " 12.5 ");
        g.SetCell(3, 1, "B");
        g.SetDataRowCount(3);
        w.SetDataSaved(false);
        w.Settings().OutputSeparatorMode = SeparatorMode::Comma;
        s.files.names = {s.dir.File("net.DTA")};
        s.ask.answers = {Answer::Yes};
        EXPECT_TRUE(w.close());
        ASSERT_EQ(s.ask.calls.size(), 1u);
        EXPECT_EQ(s.ask.calls[0].kind, "yesnocancel");
        EXPECT_EQ(s.ask.calls[0].text, Vn("Bạn có Save dữ liệu không ?"));
        EXPECT_EQ(s.files.asked.back().second.defaultSuffix, QStringLiteral("DTA"));
        EXPECT_EQ(test::ReadFileBytes(s.dir.File("net.DTA")), "A,,12.5\r\n\r\n,B\r\n");
        EXPECT_TRUE(w.DataSaved() && w.DataFileName() == QString::fromStdString(s.dir.File("net.DTA")));
    }
    {  // No closes without writing; Cancel keeps the window and the unsaved state.
        Shell s;
        s.window.SetDataSaved(false);
        s.ask.answers = {Answer::Cancel, Answer::No};
        EXPECT_FALSE(s.window.close());
        EXPECT_TRUE(s.window.isVisible() && !s.window.DataSaved());
        EXPECT_TRUE(s.window.close());
        EXPECT_TRUE(s.files.asked.empty());
        EXPECT_EQ(s.ask.calls.size(), 2u);
    }
    {  // A failed save asks the name again; cancelling it keeps the window open with a message.
        Shell s;
        s.window.SetDataSaved(false);
        s.files.names = {s.dir.File("missing/net.DTA")};
        s.ask.answers = {Answer::Yes, Answer::Yes};
        EXPECT_FALSE(s.window.close());
        ASSERT_EQ(s.ask.Messages().size(), 2u);
        EXPECT_EQ(s.ask.Messages()[0], Vn("Không ghi được file ") + s.dir.File("missing/net.DTA") +
                                           Vn(" : không tìm thấy thư mục ") + s.dir.File("missing"));
        EXPECT_EQ(s.ask.Messages()[1], Vn("Chưa ghi file, chương trình chưa đóng."));
        EXPECT_EQ(s.files.asked.size(), 2u);
        EXPECT_FALSE(s.window.close());
        EXPECT_EQ(s.ask.Messages().size(), 3u);
        EXPECT_TRUE(s.window.isVisible() && !s.window.DataSaved());
    }
    {  // Nothing changed: no question.
        Shell s;
        EXPECT_TRUE(s.window.close() && s.ask.calls.empty());
    }
}

TEST(MainWindowClosing, EditorAndGridBothAskedVisibleViewFirst) {
    {
        Shell s;
        MainWindow& w = s.window;
        s.EditText(QStringLiteral("Bình sai\n  line 2\n"));
        w.SetDataSaved(false);
        s.files.names = {s.dir.File("report.txt")};
        s.ask.answers = {Answer::Yes, Answer::No};
        EXPECT_TRUE(w.close());
        ASSERT_EQ(s.ask.calls.size(), 2u);
        EXPECT_EQ(s.ask.calls[0].text, Vn("Văn bản chưa có tên đã bị sửa. Bạn có ghi văn bản không ?"));
        EXPECT_EQ(s.ask.calls[1].text, Vn("Bạn có Save dữ liệu không ?"));
        EXPECT_EQ(test::ReadFileBytes(s.dir.File("report.txt")), Vn("Bình sai") + "\r\n  line 2\r\n");
        EXPECT_FALSE(w.Editor()->document()->isModified());
        EXPECT_EQ(w.windowTitle(), QStringLiteral("report.txt - QEF 2010"));
    }
    {  // A named UTF-8 text goes back to its file as UTF-8 without a file question; a grid
       // save that gets no name then keeps the window open.
        Shell s;
        MainWindow& w = s.window;
        const std::string path = s.dir.File("notes.txt");
        w.SetTextFileName(QString::fromStdString(path));
        w.SetEditorUtf8(true);
        s.EditText(QStringLiteral("Độ cao"));
        w.SetDataSaved(false);
        s.ask.answers = {Answer::Cancel};
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(test::ReadFileBytes(path).empty());
        s.ask.answers = {Answer::Yes, Answer::Yes};
        EXPECT_FALSE(w.close());
        EXPECT_EQ(test::ReadFileBytes(path), "\xC4\x90\xE1\xBB\x99 cao\r\n");
        EXPECT_EQ(s.files.asked.size(), 1u);
        ASSERT_EQ(s.ask.calls.size(), 4u);
        EXPECT_EQ(s.ask.calls[1].text, Vn("Bạn có ghi văn bản ") + path + Vn(" không ?"));
        EXPECT_EQ(s.ask.calls[2].text, Vn("Bạn có Save dữ liệu không ?"));
        EXPECT_EQ(s.ask.calls[3].kind, "message");
        EXPECT_TRUE(w.isVisible());
    }
}

}  // namespace
}  // namespace qef
