#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QStackedWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include "core/VnCodec.h"
#include "gui/GridModel.h"
#include "gui/HelpWindow.h"
#include "gui/MainWindow.h"
#include "gui/SplashWindow.h"
#include "support/Fakes.h"

namespace qef {
namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QEF 2010"));
}

// A shown main window whose questions and file names come from the test.
struct Shell {
    Shell() {
        window.SetInteraction(&ask);
        window.SaveNameAsker = [this](const FileQuestion& q) {
            ++nameQuestions;
            lastQuestion = q;
            return saveName;
        };
        window.show();
    }
    QAction* Action(const char* name) { return window.findChild<QAction*>(QString::fromUtf8(name)); }
    QToolBar* Bar(const char* name) { return window.findChild<QToolBar*>(QString::fromUtf8(name)); }
    void Press(QWidget* target, Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    bool appReady = (EnsureApp(), true);  // before any widget
    test::ScriptedInteraction ask;
    test::TempDir dir;
    std::optional<QString> saveName;
    int nameQuestions = 0;
    FileQuestion lastQuestion;
    MainWindow window;
};

TEST(MainWindowCaption, FileOfTheVisibleViewAndStatusText) {
    EXPECT_EQ(ViewCaption(QStringLiteral("/home/a/net.DTA")), QStringLiteral("QEF 2010 [/home/a/net.DTA]"));
    EXPECT_EQ(ViewCaption(QString()), QStringLiteral("QEF 2010"));
    EXPECT_EQ(ViewCaption(QStringLiteral("w/net.in6"), QStringLiteral("QEF 2003")),
              QStringLiteral("QEF 2003 [w/net.in6]"));
    EXPECT_EQ(SavedAsCaption(QStringLiteral("/home/a.b/report.txt")), QStringLiteral("report.txt - QEF 2010"));
    EXPECT_EQ(GridStatusText(1, 0, 0), QStringLiteral(" Row: 1   Col: 1  Max: 0"));
    EXPECT_EQ(GridStatusText(120, 14, 3000), QStringLiteral(" Row: 120   Col: 15  Max: 3000"));
}

TEST(MainWindowViews, StartInTheGridAndSwitchWithTheViewPair) {
    Shell s;
    MainWindow& w = s.window;
    EXPECT_EQ(w.objectName(), QStringLiteral("Form1"));
    EXPECT_TRUE(w.GridVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QEF 2010"));
    EXPECT_TRUE(s.Bar("TB_StGrid")->isVisible());
    EXPECT_FALSE(s.Bar("TB_Editor")->isVisible());
    EXPECT_FALSE(w.Splash()->isVisible());
    EXPECT_TRUE(w.Splash()->IsAboutWindow());
    EXPECT_EQ(w.StatusText(0), QStringLiteral(" Row: 1   Col: 1  Max: 0"));
    EXPECT_EQ(w.StatusText(7), QStringLiteral("F9 : Tính X,Y,Z theo góc TĐỉnh"));
    // The grid: 15 numbered columns, 60000 data rows under the header.
    EXPECT_EQ(w.Grid().columnCount(), 15);
    EXPECT_EQ(w.Grid().rowCount(), 60000);
    EXPECT_EQ(w.Grid().headerData(14, Qt::Horizontal).toString(), QStringLiteral("15"));

    w.SetDataFileName(QStringLiteral("/d/luoi.DTA"));
    w.SetTextFileName(QStringLiteral("/d/luoi.in6"));
    w.Grid().SetDataRowCount(4);
    s.Action("TBRE")->trigger();
    EXPECT_FALSE(w.GridVisible());
    EXPECT_EQ(w.findChild<QStackedWidget*>()->currentWidget(), w.Editor());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QEF 2010 [/d/luoi.in6]"));
    EXPECT_TRUE(s.Bar("TB_Editor")->isVisible());
    EXPECT_FALSE(s.Bar("TB_StGrid")->isVisible());
    EXPECT_EQ(w.StatusText(0), QString());
    EXPECT_FALSE(s.Action("TBDBG")->isChecked());
    w.Editor()->insertPlainText(QStringLiteral("x"));
    EXPECT_EQ(w.StatusText(0), QStringLiteral("Modified"));

    // Pressing the button that is already down changes nothing.
    s.Action("TBRE")->trigger();
    EXPECT_FALSE(w.GridVisible());

    w.GridView()->setCurrentIndex(w.Grid().index(GridModel::ModelRow(3), 2));
    s.Action("TBDBG")->trigger();
    EXPECT_TRUE(w.GridVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("QEF 2010 [/d/luoi.DTA]"));
    EXPECT_EQ(w.StatusText(0), QStringLiteral(" Row: 3   Col: 3  Max: 4"));
    EXPECT_FALSE(s.Action("TBPrint")->isEnabled());

    // The options write their settings at once.
    s.Action("filekqcodau")->trigger();
    EXPECT_FALSE(w.Settings().KeepAccents);
    s.Action("Filedulieudohinh")->trigger();
    EXPECT_TRUE(w.Settings().WriteDhFile);
    ASSERT_EQ(s.ask.Messages().size(), 1u);
    EXPECT_EQ(s.ask.Messages()[0], Vn("Lựa chọn này sẽ tạo file số liệu đo theo thứ tự đồ hình (*.dh)"));
}

TEST(MainWindowKeys, F1OpensHelpInBothViewsAndAKeyClosesAbout) {
    Shell s;
    MainWindow& w = s.window;
    QApplication::setActiveWindow(&w);
    EXPECT_EQ(s.Action("Huongdan")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(s.Action("Binhsaimoi")->shortcut(), QKeySequence(Qt::Key_F4));
    EXPECT_EQ(s.Action("TB_TinhXYZ2")->shortcut(), QKeySequence(Qt::Key_F9));

    s.Press(w.GridView(), Qt::Key_F1);
    ASSERT_TRUE(w.Help()->isVisible());
    EXPECT_TRUE(w.Help()->Browser()->toPlainText().contains(QStringLiteral("File số liệu đo góc, cạnh")));
    w.Help()->close();
    QApplication::setActiveWindow(&w);
    s.Action("TBRE")->trigger();
    s.Press(w.Editor(), Qt::Key_F1);
    EXPECT_TRUE(w.Help()->isVisible());
    w.Help()->close();

    bool shownWhilePressed = false;
    QTimer::singleShot(0, [&] {
        shownWhilePressed = w.Splash()->isVisible();
        s.Press(w.Splash(), Qt::Key_Space);
    });
    s.Action("About")->trigger();  // modal until the key
    EXPECT_TRUE(shownWhilePressed);
    EXPECT_FALSE(w.Splash()->isVisible());
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
        w.Settings().OutputSeparatorMode = 2;
        s.saveName = QString::fromStdString(s.dir.File("net.DTA"));
        s.ask.answers = {Answer::Yes};
        EXPECT_TRUE(w.close());
        ASSERT_EQ(s.ask.calls.size(), 1u);
        EXPECT_EQ(s.ask.calls[0].kind, "yesnocancel");
        EXPECT_EQ(s.ask.calls[0].text, Vn("Bạn có Save dữ liệu không ?"));
        EXPECT_EQ(s.lastQuestion.defaultSuffix, QStringLiteral("DTA"));
        EXPECT_TRUE(s.lastQuestion.filter.contains(QStringLiteral("*.DTA *.dta")));
        EXPECT_EQ(test::ReadFileBytes(s.dir.File("net.DTA")), "A,,12.5\r\n\r\n,B\r\n");
        EXPECT_TRUE(w.DataSaved());
        EXPECT_EQ(w.DataFileName(), QString::fromStdString(s.dir.File("net.DTA")));
    }
    {  // No closes without writing; Cancel keeps the window and the unsaved state.
        Shell s;
        s.window.SetDataSaved(false);
        s.ask.answers = {Answer::Cancel, Answer::No};
        EXPECT_FALSE(s.window.close());
        EXPECT_TRUE(s.window.isVisible());
        EXPECT_FALSE(s.window.DataSaved());
        EXPECT_TRUE(s.window.close());
        EXPECT_EQ(s.nameQuestions, 0);
        EXPECT_EQ(s.ask.calls.size(), 2u);
    }
    {  // A failed save and a cancelled file dialog keep the window open with a message.
        Shell s;
        s.window.SetDataSaved(false);
        s.saveName = QString::fromStdString(s.dir.File("missing/net.DTA"));
        s.ask.answers = {Answer::Yes, Answer::Yes};
        EXPECT_FALSE(s.window.close());
        ASSERT_EQ(s.ask.Messages().size(), 1u);
        EXPECT_EQ(s.ask.Messages()[0].rfind(Vn("Không ghi được file "), 0), 0u);
        s.saveName.reset();
        EXPECT_FALSE(s.window.close());
        EXPECT_EQ(s.ask.Messages().size(), 2u);
        EXPECT_TRUE(s.window.isVisible());
        EXPECT_FALSE(s.window.DataSaved());
    }
    {  // Nothing changed: no question.
        Shell s;
        EXPECT_TRUE(s.window.close());
        EXPECT_TRUE(s.ask.calls.empty());
    }
}

TEST(MainWindowClosing, EditorAndGridBothAskedVisibleViewFirst) {
    {
        Shell s;
        MainWindow& w = s.window;
        s.Action("TBRE")->trigger();
        w.Editor()->setPlainText(QStringLiteral("Bình sai\n  line 2\n"));
        w.Editor()->document()->setModified(true);
        w.SetDataSaved(false);
        s.saveName = QString::fromStdString(s.dir.File("report.txt"));
        s.ask.answers = {Answer::Yes, Answer::No};
        EXPECT_TRUE(w.close());
        ASSERT_EQ(s.ask.calls.size(), 2u);
        EXPECT_EQ(s.ask.calls[0].text, "Save changes to Untitled?");
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
        s.Action("TBRE")->trigger();
        w.SetTextFileName(QString::fromStdString(path));
        w.SetEditorUtf8(true);
        w.Editor()->setPlainText(QStringLiteral("Độ cao"));
        w.Editor()->document()->setModified(true);
        w.SetDataSaved(false);
        s.ask.answers = {Answer::Cancel};
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(test::ReadFileBytes(path).empty());
        s.ask.answers = {Answer::Yes, Answer::Yes};
        EXPECT_FALSE(w.close());
        EXPECT_EQ(test::ReadFileBytes(path), "\xC4\x90\xE1\xBB\x99 cao\r\n");
        EXPECT_EQ(s.nameQuestions, 1);
        ASSERT_EQ(s.ask.calls.size(), 4u);
        EXPECT_EQ(s.ask.calls[1].text, "Save changes to " + path + "?");
        EXPECT_EQ(s.ask.calls[2].text, Vn("Bạn có Save dữ liệu không ?"));
        EXPECT_EQ(s.ask.calls[3].kind, "message");
        EXPECT_TRUE(w.isVisible());
    }
}

}  // namespace
}  // namespace qef
