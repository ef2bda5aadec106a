#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "gui/dialogs/TFListCanhXp.h"
#include "gui/dialogs/TFTsbs.h"
#include "gui/dialogs/TForm2.h"

namespace qef {
namespace {

// Where a key the user types goes: the focused widget of the active window.
QWidget* KeyTarget() {
    if (QWidget* focus = QApplication::focusWidget()) return focus;
    return QApplication::activeWindow();
}

// A key as the user types it, and what the window system says before the next one.
void Press(Qt::Key key) {
    QWidget* target = KeyTarget();
    ASSERT_NE(target, nullptr) << "no window has the keyboard";
    QTest::keyClick(target, key);
    QApplication::processEvents();
}

// Closes a dialog that a test's steps left open when they stopped early.
struct CloseWhenDone {
    QWidget& dialog;
    ~CloseWhenDone() {
        if (dialog.isVisible()) qobject_cast<QDialog*>(&dialog)->reject();
    }
};

// A window manager gives the keyboard to a window that comes up.
void GiveKeyboard(QWidget& window) {
    if (QApplication::activeWindow() != &window) QApplication::setActiveWindow(&window);
}

// Presses Tab until the focus is on `wanted` (at most `limit` times); the presses it took, or -1.
int TabTo(const QWidget* wanted, int limit = 40) {
    for (int i = 0; i <= limit; ++i) {
        if (QApplication::focusWidget() == wanted) return i;
        Press(Qt::Key_Tab);
    }
    return -1;
}

std::string FocusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName().toStdString() : std::string("(none)");
}

// Answers every message box with Enter, as a user does, and notes their texts.
struct EnterOnMessages {
    EnterOnMessages() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            texts << box->text();
            QWidget* owner = box->parentWidget() ? box->parentWidget()->window() : nullptr;
            QTest::keyClick(box, Qt::Key_Return);
            // A window manager gives the keyboard back to the window the box stood over.
            if (!QApplication::activeWindow() && owner) QApplication::setActiveWindow(owner);
        });
        timer.start();
    }
    QTimer timer;
    QStringList texts;
};

// F7, F8, F9 with the window's own message boxes: after "Đã tính xong" is answered, the next
// Enter belongs to the monitor and never reaches the editor's text.
TEST(DetailPointCommands, EnterAfterTheClosingMessageClosesTheMonitor) {
    const struct {
        const char* action;
        const char* caseName;
    } rows[] = {{"TXYMia", "detail_plan"}, {"TB_Tinhxyz1", "detail_heights_dh"}, {"TB_TinhXYZ2", "detail_zenith_faces"}};
    test::ScriptedWindow s;
    s.window.SetInteraction(nullptr);  // the real message boxes
    s.window.CreateDialogs();
    s.window.show();
    s.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.window));
    s.Action("TBRE")->trigger();
    const QString report = QStringLiteral("Báo cáo\n\tdòng 2\n");
    s.window.Editor()->setPlainText(report);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.action);
        const std::string data = std::string(QEF_TEST_DATA "/heights/") + row.caseName + "/";
        test::WriteFileBytes(s.dir.File("goc.DTA"), test::ReadFileBytes(data + "known.txt"));
        test::WriteFileBytes(s.dir.File("ct.DTA"), test::ReadFileBytes(data + "obs.txt"));
        s.files.names = {s.dir.File("goc.DTA"), s.dir.File("ct.DTA"), s.dir.File("kq.dat")};
        test::OnNextModal([](QWidget& dialog) { qobject_cast<QDialog*>(&dialog)->accept(); });
        EnterOnMessages messages;
        s.Action(row.action)->trigger();
        messages.timer.stop();
        QApplication::processEvents();  // what the window system says before the next key
        EXPECT_EQ(messages.texts, QStringList{QStringLiteral("Đã tính xong")});
        ASSERT_TRUE(s.window.MonitorWindow()->isVisible());

        QWidget* target = KeyTarget();
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(target->window(), s.window.MonitorWindow());
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_FALSE(s.window.MonitorWindow()->isVisible());
        EXPECT_EQ(s.window.Editor()->toPlainText(), report);
        // The window has the keyboard again.
        s.window.activateWindow();
    }
}

// F5 as a user without a mouse does it: the dialog opens on its first step; Space takes each step,
// Tab walks from a step to the next, past the tables, to "Bình sai". Closed and opened again, it
// is back on its first step, and Enter does not close it.
TEST(Keyboard, F5FromItsFirstStepToTheAdjustmentByKeysAlone) {
    test::CommandWindow s;
    s.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.window));
    const std::string known = s.Input("../../examples/TOADO_GOC.DTA", "goc.DTA");
    const std::string observations = s.Input("../../examples/SOLIEU_DO.DTA", "do.DTA");
    s.files.names = {known, observations};
    bool walked = false;
    test::OnNextModal([&](QWidget& dialog) {
        const CloseWhenDone closer{dialog};
        auto button = [&dialog](const char* name) { return test::Find<QPushButton>(dialog, name); };
        GiveKeyboard(dialog);
        ASSERT_EQ(FocusName(), "Button3");
        Press(Qt::Key_Space);
        EXPECT_EQ(test::Find<QTableWidget>(dialog, "SG_Td")->rowCount(), 8);
        // The table of known points lets Tab through to the next step.
        EXPECT_GE(TabTo(button("Button4"), 3), 0) << FocusName();
        Press(Qt::Key_Space);
        EXPECT_EQ(test::Find<QTableWidget>(dialog, "SG_Sl")->rowCount(), 23);
        EXPECT_GE(TabTo(button("Khoidong"), 3), 0) << FocusName();
        Press(Qt::Key_Space);
        ASSERT_TRUE(button("Nhom")->isEnabled());
        // The analysis leaves the keyboard in the dialog, on the start sides; the first is chosen.
        ASSERT_NE(KeyTarget(), nullptr);
        EXPECT_EQ(KeyTarget()->window(), &dialog);
        EXPECT_GE(TabTo(button("Nhom"), 10), 0) << FocusName();
        Press(Qt::Key_Space);
        ASSERT_TRUE(button("OK")->isEnabled());
        EXPECT_GE(TabTo(button("OK"), 3), 0) << FocusName();
        Press(Qt::Key_Space);
        EXPECT_FALSE(button("OK")->isEnabled());  // the group is adjusted
        walked = true;
        Press(Qt::Key_Escape);
    });
    QTest::keyClick(&s.window, Qt::Key_F5);
    EXPECT_TRUE(walked);
    const auto messages = s.ask.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), Vn("Kết thúc")), 1);

    // Opened again: the first step has the keyboard, and Enter takes it rather than closing.
    bool reopened = false;
    s.files.names.clear();
    GiveKeyboard(s.window);
    test::OnNextModal([&](QWidget& dialog) {
        const CloseWhenDone closer{dialog};
        GiveKeyboard(dialog);
        EXPECT_EQ(FocusName(), "Button3");
        Press(Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        reopened = true;
    });
    QTest::keyClick(&s.window, Qt::Key_F5);
    EXPECT_TRUE(reopened);
    EXPECT_EQ(s.files.asked.size(), 3u);  // Enter asked for the known points again
}

// A step of F5 with the window's own boxes: its monitor and its closing box "Kết thúc" stand in
// front of the F5 dialog (the monitor belongs to it, the box to the monitor), and the box is wide
// enough for its title.
TEST(F5Steps, MonitorAndClosingBoxStandInFrontOfTheDialog) {
    test::CommandWindow s;
    s.window.SetInteraction(nullptr);
    const std::string known = s.Input("../../examples/TOADO_GOC.DTA", "goc.DTA");
    const std::string observations = s.Input("../../examples/SOLIEU_DO.DTA", "do.DTA");
    s.files.names = {known, observations};
    TForm2* monitor = s.window.MonitorWindow();
    QWidget* monitorOwner = nullptr;
    QWidget* boxOwner = nullptr;
    int boxWidth = 0;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        if (box->text() == QStringLiteral("Kết thúc")) {
            monitorOwner = monitor->parentWidget();
            boxOwner = box->parentWidget();
            boxWidth = box->width();
        }
        QTest::keyClick(box, Qt::Key_Return);
    });
    test::OnNextModal([&](QWidget& dialog) {
        const CloseWhenDone closer{dialog};
        test::Find<QPushButton>(dialog, "Button3")->click();
        test::Find<QPushButton>(dialog, "Button4")->click();
        watch.start();
        test::Find<QPushButton>(dialog, "Khoidong")->click();
        test::Find<QPushButton>(dialog, "Nhom")->click();
        test::Find<QPushButton>(dialog, "OK")->click();
        watch.stop();
        EXPECT_EQ(monitorOwner, &dialog);
        // The box belongs to the monitor, which has the keyboard: a window manager raising the
        // box's owner with it then keeps the monitor over the dialog, not under it.
        EXPECT_EQ(boxOwner, monitor);
        // "QEF 2010" twice over and the title bar's buttons.
        EXPECT_GE(boxWidth, 2 * dialog.fontMetrics().horizontalAdvance(QStringLiteral("QEF 2010")) + 140);
    });
    s.RunCommand("KTtungnhom");
    // Afterwards the monitor belongs to the main window again.
    EXPECT_EQ(monitor->parentWidget(), &s.window);
}

// The parameters dialog scrolls on a low screen: Tab goes down its controls as they stand, to
// "Bình sai chặt chẽ" (scrolled into sight) and on to OK; shown again, it starts at its top.
TEST(Keyboard, AScrollingDialogWalksDownItsControlsAndOpensAgainAtItsTop) {
    test::CommandWindow s;
    QDialog* dialog = s.window.ParametersDialog();
    dialog->show();
    dialog->resize(dialog->width(), 300);  // as on a low screen
    GiveKeyboard(*dialog);
    QApplication::processEvents();
    auto* area = test::Find<QScrollArea>(*dialog, "Body");
    auto* rigorous = test::Find<QCheckBox>(*dialog, "CB_BSCC");
    const QWidget* first = QApplication::focusWidget();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(FocusName(), "RGdvmetItem0");  // "(m)", at the top
    // The three unit choices come first, then (disabled here) the limits and reductions.
    ASSERT_EQ(TabTo(rigorous, 40), 3) << FocusName();
    EXPECT_GT(area->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(area->viewport()->rect().contains(
        QRect(rigorous->mapTo(area->viewport(), QPoint(0, 0)), rigorous->size())));
    Press(Qt::Key_Space);
    EXPECT_TRUE(rigorous->isChecked());
    EXPECT_GE(TabTo(test::Find<QPushButton>(*dialog, "Button1"), 4), 0) << FocusName();
    dialog->hide();
    dialog->show();
    GiveKeyboard(*dialog);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
    dialog->hide();
}

// Every dialog of the window walked with Tab from where it opens: each of its enabled buttons is
// reached, none of its tables or lists keeps the focus.
TEST(Keyboard, TabWalksEveryDialogToEachOfItsButtons) {
    test::CommandWindow s;
    const QList<QDialog*> dialogs = s.window.findChildren<QDialog*>();
    int walked = 0;
    for (QDialog* dialog : dialogs) {
        if (!dialog->isWindow() || dialog->parentWidget() != &s.window) continue;
        SCOPED_TRACE(dialog->objectName().toStdString());
        dialog->show();
        GiveKeyboard(*dialog);
        QApplication::processEvents();
        QSet<QWidget*> reached;
        for (int i = 0; i < 80 && QApplication::focusWidget(); ++i) {
            reached.insert(QApplication::focusWidget());
            Press(Qt::Key_Tab);
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->isVisible() && button->isEnabled() && button->focusPolicy() != Qt::NoFocus) {
                EXPECT_TRUE(reached.contains(button)) << button->text().toStdString();
            }
        }
        dialog->hide();
        ++walked;
    }
    EXPECT_GE(walked, 10);
}

}  // namespace
}  // namespace qef
