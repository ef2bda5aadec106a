#include <QAbstractScrollArea>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

#include "GuiTestSupport.h"

namespace qef {
namespace {

bool OnSmallScreen() { return qgetenv("QEF_TEST_SCREEN") == "1024x600"; }

// Runs the tests named by `filter` again in a child whose screen is 1024×600.
void RunOnSmallScreen(const char* filter) {
    test::EnsureApp();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QEF_TEST_SCREEN"), QStringLiteral("1024x600"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + QLatin1String(filter)});
    ASSERT_TRUE(child.waitForFinished(120000)) << child.errorString().toStdString();
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

// Off the small screen, runs the current test again in a child on one; true then, and the test
// has nothing more to do here.
bool RanOnSmallScreen() {
    if (OnSmallScreen()) return false;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    RunOnSmallScreen((std::string(info->test_suite_name()) + "." + info->name()).c_str());
    return true;
}

// The buttons a dialog is closed with: those outside any scrolled part.
QList<QPushButton*> ClosingButtons(const QDialog& dialog) {
    QList<QPushButton*> buttons;
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        bool scrolled = false;
        for (QWidget* w = button->parentWidget(); w && w != &dialog; w = w->parentWidget())
            if (qobject_cast<QAbstractScrollArea*>(w)) scrolled = true;
        if (!scrolled && button->isVisibleTo(&dialog)) buttons << button;
    }
    return buttons;
}

TEST(SmallScreen, EveryDialogFitsA1024By600Screen) {
    if (RanOnSmallScreen()) return;
    test::ScriptedWindow s;
    s.window.CreateDialogs();
    s.window.show();
    const QRect screen = s.window.screen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1024, 600));
    EXPECT_TRUE(screen.contains(s.window.frameGeometry())) << s.window.frameGeometry().width() << "x"
                                                           << s.window.frameGeometry().height();
    const QList<QDialog*> dialogs = s.window.findChildren<QDialog*>();
    ASSERT_GE(dialogs.size(), 10);
    QStringList names;
    for (QDialog* dialog : dialogs) {
        if (!dialog->isWindow() || dialog->parentWidget() != &s.window) continue;
        SCOPED_TRACE(dialog->objectName().toStdString() + " " + dialog->windowTitle().toStdString());
        dialog->show();
        QApplication::processEvents();
        const QRect frame = dialog->frameGeometry();
        EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                            << frame.height();
        const QList<QPushButton*> buttons = ClosingButtons(*dialog);
        // The splash window closes by a click or a key of its own.
        if (dialog->objectName() != QStringLiteral("FSplash")) {
            EXPECT_FALSE(buttons.isEmpty());
        }
        names << dialog->objectName();
        for (QPushButton* button : buttons) {
            const QRect shown(button->mapTo(dialog, QPoint(0, 0)), button->size());
            EXPECT_TRUE(dialog->rect().contains(shown)) << button->text().toStdString();
        }
        dialog->hide();
    }
    // Among them those that ran off the screen: the parameters, the field book's and F5's.
    for (const char* name : {"FTsbs", "FTaosodo", "FListCanhXp"}) EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
}

TEST(SmallScreen, StatusPanelsShareTheBarWithoutOverprinting) {
    if (RanOnSmallScreen()) return;
    test::ScriptedWindow s;
    s.window.show();
    QApplication::processEvents();
    QStatusBar* bar = s.window.statusBar();
    ASSERT_LE(bar->width(), 1024);
    int right = 0;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        auto* panel = test::Find<QLabel>(s.window, QStringLiteral("StatusPanel%1").arg(i).toUtf8().constData());
        const QRect box = panel->geometry();
        EXPECT_GE(box.left(), right);  // no panel over the one before it
        EXPECT_LE(box.right(), bar->width());
        EXPECT_GT(box.width(), 20);
        right = box.right();
    }
}

}  // namespace
}  // namespace qef
