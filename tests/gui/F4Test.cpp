#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>
#include <QTextEdit>
#include <algorithm>
#include <functional>
#include <memory>

#include "GuiTestSupport.h"
#include "core/text/TextFile.h"
#include "gui/GuiText.h"
#include "gui/dialogs/TForm2.h"
#include "support/Lists.h"

namespace qef {
namespace {

// Every point of the result once, within `tolerance` of its true place, and no other point.
void ExpectTrueCoordinates(const std::string& result, const std::string& truth, double tolerance) {
    int repeats = 0;
    test::ExpectResult(result, test::ReadResult(truth, repeats), tolerance);
}

// The main window with its dialogs; file names and answers come from the test. The inputs are
// a connecting traverse whose observations were computed from its true coordinates.
struct F4Fixture : ::testing::Test, test::ScriptedWindow {
    F4Fixture() {
        window.CreateDialogs();
        window.show();
        test::WriteFileBytes(known, test::ReadFileBytes(kTraverse + "known.DTA"));
        test::WriteFileBytes(observations, test::ReadFileBytes(kTraverse + "observations.DTA"));
    }
    QString Title(std::size_t question) const { return files.asked.at(question).second.title; }
    // Presses F4 and answers the parameters dialog with OK (after ticking the rigorous box when
    // asked) or Cancel.
    void PressF4(bool ok = true, bool rigorous = false, const char* button = "Binhsaimoi") {
        QTimer::singleShot(0, [ok, rigorous] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QCheckBox*>(QStringLiteral("CB_BSCC"))->setChecked(rigorous);
            if (ok) dialog->accept();
            else dialog->reject();
        });
        Action(button)->trigger();
    }
    void ExpectReports(const std::string& base, std::initializer_list<const char*> exts, bool made) {
        for (const char* ext : exts) EXPECT_EQ(FileExists(dir.File(base + "." + ext)), made) << ext;
    }
    // The example network of examples/ as the run's inputs.
    void UseExampleNetwork() {
        const std::string examples = QEF_TEST_DATA "/../../examples/";
        test::WriteFileBytes(known, test::ReadFileBytes(examples + "TOADO_GOC.DTA"));
        test::WriteFileBytes(observations, test::ReadFileBytes(examples + "SOLIEU_DO.DTA"));
        files.names = {known, observations, dir.File("KQ.DTA")};
    }
    // The run's log is in the editor, unchanged, under the program's caption; returns it as written.
    std::string ExpectLogOpened(const std::string& log, const char* caption) {
        const QString name = QString::fromStdString(dir.File(log));
        EXPECT_EQ(window.TextFileName(), name);
        EXPECT_EQ(window.windowTitle(), QString::fromUtf8(caption) + QStringLiteral(" [") + name + QStringLiteral("]"));
        EXPECT_FALSE(window.GridVisible() || window.Editor()->document()->isModified());
        std::string file = test::ReadFileBytes(dir.File(log));
        file.erase(std::remove(file.begin(), file.end(), '\r'), file.end());
        EXPECT_EQ(ToTcvn3(window.Editor()->toPlainText()), file);
        return file;
    }

    const std::string kTraverse = QEF_TEST_DATA "/f4/traverse/";
    std::string known = dir.File("goc.DTA");
    std::string observations = dir.File("do.DTA");
};

TEST_F(F4Fixture, AdjustsTheTraverseAndOpensItsLog) {
    // An older text in the editor, changed: offered for saving, and kept with No.
    window.Editor()->setPlainText(QStringLiteral("ghi chú"));
    window.Editor()->document()->setModified(true);
    ask.answers = {Answer::No};
    files.names = {known, observations, dir.File("kq")};
    PressF4();

    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(Title(0), QStringLiteral("Nhập tên file tọa độ gốc - Bình sai"));
    EXPECT_EQ(Title(1), QStringLiteral("Nhập tên file số liệu đo - Bình sai"));
    EXPECT_EQ(Title(2), QStringLiteral("Nhập tên file kết quả"));
    EXPECT_TRUE(window.Settings().Modes.ModeTraverse && !window.Settings().Modes.RigorousWanted);
    ASSERT_FALSE(ask.calls.empty());
    EXPECT_EQ(ask.calls[0].text, Vn("Văn bản chưa có tên đã bị sửa. Bạn có ghi văn bản không ?"));

    // Error-free observations: every point at its true place, to the millimetre.
    ExpectTrueCoordinates(dir.File("kq.dta"), kTraverse + "true-coordinates.txt", 1e-6);
    // The report set of a simple adjustment; no rigorous tables.
    ExpectReports("kq", {"in", "in6", "in7"}, true);
    ExpectReports("kq", {"in1", "in3", "in4", "in5"}, false);

    // The log of the run is in the editor, in the editor view.
    EXPECT_NE(ExpectLogOpened("kq.in6", "QEF 2010").find("P3"), std::string::npos);
    // The window is usable again and the monitor stays up until its OK, full, with its end time.
    EXPECT_TRUE(!window.Computing() && window.menuBar()->isEnabled() && window.MonitorWindow()->isVisible());
    EXPECT_EQ(test::Find<QProgressBar>(*window.MonitorWindow(), "PB1")->text(), QStringLiteral("100%"));
    EXPECT_FALSE(window.MonitorWindow()->Label(MonitorLabel::End)->text().isEmpty());
}

TEST_F(F4Fixture, CancelsAndFailuresLeaveTheEditorAlone) {
    window.Editor()->setPlainText(QStringLiteral("ghi chú"));
    window.Editor()->document()->setModified(true);

    // Cancel in the parameters dialog: no file question.
    PressF4(false);
    EXPECT_TRUE(files.asked.empty());

    // Cancel in the question about the changed editor text: nothing is computed. The toolbar's
    // "Tìm sai số thô" is the F4 command.
    ask.answers = {Answer::Cancel};
    files.names = {known, observations, dir.File("kq.dta")};
    PressF4(true, false, "ToolButton9");
    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(Title(0), QStringLiteral("Nhập tên file tọa độ gốc - Bình sai"));
    EXPECT_FALSE(FileExists(dir.File("kq.dta")));
    EXPECT_EQ(window.Editor()->toPlainText(), QStringLiteral("ghi chú"));
    EXPECT_TRUE(window.GridVisible());

    // A bad number on line 3 of the observations: the file and the line are named, no report is
    // opened, and a stale log of an earlier run is not shown as this run's.
    window.Editor()->document()->setModified(false);
    test::WriteFileBytes(dir.File("kq.in6"), "old log\r\n");
    std::string bad = test::ReadFileBytes(observations);
    bad.replace(bad.find("163.58503851"), 1, "x");
    test::WriteFileBytes(observations, bad);
    ask.calls.clear();
    ask.answers.clear();
    files.names = {known, observations, dir.File("kq.dta")};
    PressF4();
    const auto messages = ask.Messages();
    ASSERT_GE(messages.size(), 2u);
    const std::string& named = messages[messages.size() - 2];
    EXPECT_NE(named.find(observations), std::string::npos) << named;
    EXPECT_NE(named.find(Vn("dòng 3")), std::string::npos) << named;
    EXPECT_NE(messages.back().find("kq.in6"), std::string::npos) << messages.back();
    EXPECT_NE(window.TextFileName(), QString::fromStdString(dir.File("kq.in6")));
    EXPECT_TRUE(window.GridVisible() && !window.Computing());
}

// The example network of examples/: two orders and a hanging traverse, adjusted rigorously. Every
// point gets coordinates within a few centimetres of its true place (the observations carry
// field noise).
TEST_F(F4Fixture, ExampleNetworkInTwoOrdersAndAHangingTraverse) {
    UseExampleNetwork();
    PressF4(true, true);

    ExpectTrueCoordinates(dir.File("KQ.DTA"), QEF_TEST_DATA "/f4/example/true-coordinates.txt", 0.05);
    int repeats = 0;
    EXPECT_EQ(test::ReadResult(dir.File("KQ.DTA"), repeats).size(), 26u);
    EXPECT_NE(test::ReadFileBytes(dir.File("KQ.in6")).find(Vn("cấp thứ : 2")), std::string::npos);
    ExpectReports("KQ", {"in", "in1", "in3", "in4", "in5", "in6", "in7"}, true);
    ExpectLogOpened("KQ.in6", "QEF 2010");
}

// The older single-pass command from its menu row, on the same example network: the same
// questions, its own list of observations instead of the closure table, and report 6 under the
// older program's caption.
TEST_F(F4Fixture, ClassicCommandOnTheExampleNetwork) {
    UseExampleNetwork();
    PressF4(true, false, "Bnhsaic1");

    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(Title(0), QStringLiteral("Nhập tên file tọa độ gốc - Bình sai"));
    EXPECT_EQ(Title(2), QStringLiteral("Nhập tên file kết quả"));
    // Branches are walked from every stop point, nodes included, so every point is reached: the
    // three branches at I4 adjusted together, the traverses from GPS07 and from I2 computed as
    // hanging (the side Q4-I6 has no angle at I6, so the single pass cannot close on I6).
    ExpectTrueCoordinates(dir.File("KQ.DTA"), QEF_TEST_DATA "/f4/example/true-coordinates.txt", 0.05);
    ExpectReports("KQ", {"in", "in6", "tb"}, true);
    ExpectReports("KQ", {"in7", "in1"}, false);
    EXPECT_EQ(ExpectLogOpened("KQ.in6", "QEF 2003").find(Vn("cấp thứ")), std::string::npos);
}

}  // namespace
}  // namespace qef

namespace qef {
namespace {

// A second F4 while the first one's log is in the editor: the editor is emptied for the run, and
// status panel 0 says nothing about changes while the run goes.
TEST_F(F4Fixture, StatusPanelStaysEmptyWhileARunGoesAfterTheEditorWasEmptied) {
    files.names = {known, observations, dir.File("KQ.DTA")};
    PressF4();
    ASSERT_FALSE(window.GridVisible());
    ASSERT_EQ(window.StatusText(0), QString());

    // Looks at the panel once the run is under way (the monitor lets paint events through).
    struct Probe {
        bool seen = false;
        QString panel;
        int tries = 2000;
    };
    auto probe = std::make_shared<Probe>();
    std::function<void()> look = [this, probe, &look] {
        if (window.Computing()) {
            probe->seen = true;
            probe->panel = window.StatusText(0);
        } else if (--probe->tries > 0) {
            QTimer::singleShot(0, look);
        }
    };
    files.names = {known, observations, dir.File("KQ.DTA")};
    ask.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    QTimer::singleShot(0, look);
    PressF4();
    while (!probe->seen && probe->tries > 0) QTest::qWait(1);
    ASSERT_TRUE(probe->seen);
    EXPECT_EQ(probe->panel, QString());
}

}  // namespace
}  // namespace qef
