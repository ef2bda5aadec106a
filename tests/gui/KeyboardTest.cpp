#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTextEdit>

#include "GuiTestSupport.h"

namespace qef {
namespace {

// Where a key the user types goes: the focused widget of the active window.
QWidget* KeyTarget() {
    if (QWidget* focus = QApplication::focusWidget()) return focus;
    return QApplication::activeWindow();
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

}  // namespace
}  // namespace qef
