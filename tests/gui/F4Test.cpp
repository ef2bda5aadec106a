#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "core/TextFile.h"
#include "core/VnCodec.h"
#include "gui/GuiText.h"
#include "gui/MainWindow.h"
#include "gui/TForm2.h"
#include "support/Fakes.h"

namespace qef {
namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// A connecting traverse K1-K2 ... P1..P4 ... K3-K4 without observation errors: the true
// coordinates are known, the observations are computed here from them.
struct Point {
    const char* name;
    double x;
    double y;
};
const Point kTraverse[] = {
    {"K1", 2335120.000, 585040.000}, {"K2", 2335000.000, 585000.000}, {"P1", 2334842.513, 585121.307},
    {"P2", 2334703.118, 585310.552}, {"P3", 2334655.904, 585534.019}, {"P4", 2334512.377, 585702.840},
    {"K3", 2334380.000, 585890.000}, {"K4", 2334210.000, 586010.000},
};

double Azimuth(const Point& from, const Point& to) { return std::atan2(to.y - from.y, to.x - from.x) * 180.0 / M_PI; }

// "DDD.MMSSssss": seconds with four decimals.
std::string Dms(double degrees) {
    const long long tenThousandths = std::llround(degrees * 3600.0 * 10000.0);
    const long long d = tenThousandths / 36000000;
    const long long m = tenThousandths / 600000 % 60;
    const long long s = tenThousandths % 600000;
    char text[48];
    std::snprintf(text, sizeof text, "%lld.%02lld%06lld", d, m, s);
    return text;
}

std::string ObservationFile() {
    std::ostringstream out;
    out << "// Duong chuyen phu hop K2 - K3\r\n";
    const int n = static_cast<int>(std::size(kTraverse));
    for (int i = 1; i + 1 < n; ++i) {
        const Point &back = kTraverse[i - 1], &at = kTraverse[i], &fore = kTraverse[i + 1];
        const double angle = std::fmod(Azimuth(at, fore) - Azimuth(at, back) + 360.0, 360.0);
        out << back.name << ' ' << at.name << ' ' << fore.name << ' ' << Dms(angle);
        if (i + 2 < n) {
            char side[32];
            std::snprintf(side, sizeof side, " %.5f", std::hypot(fore.x - at.x, fore.y - at.y));
            out << side;
        }
        out << "\r\n";
    }
    return out.str();
}

std::string KnownFile() {
    std::string text;
    for (const std::size_t i : {0, 1, 6, 7}) {
        char line[80];
        std::snprintf(line, sizeof line, "%s\t%.3f\t%.3f\r\n", kTraverse[i].name, kTraverse[i].x, kTraverse[i].y);
        text += line;
    }
    return text;
}

std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The main window with its dialogs; file names and answers come from the test.
struct F4Fixture : ::testing::Test {
    F4Fixture() {
        window.CreateDialogs();
        window.SetInteraction(&ask);
        window.OpenNameAsker = [this](const FileQuestion& q) { return Answer(q); };
        window.SaveNameAsker = [this](const FileQuestion& q) { return Answer(q); };
        window.show();
        test::WriteFileBytes(known, KnownFile());
        test::WriteFileBytes(observations, ObservationFile());
    }
    std::optional<QString> Answer(const FileQuestion& q) {
        questions.push_back(q);
        if (names.empty()) return std::nullopt;
        QString name = QString::fromStdString(names.front());
        names.erase(names.begin());
        return name;
    }
    // Presses F4 and answers the parameters dialog with OK (after ticking the rigorous box when
    // asked) or Cancel.
    void PressF4(bool ok = true, bool rigorous = false, const QString& shot = {}, const char* button = "Binhsaimoi") {
        QTimer::singleShot(0, [ok, rigorous, shot] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QCheckBox*>(QStringLiteral("CB_BSCC"))->setChecked(rigorous);
            if (!shot.isEmpty()) dialog->grab().save(shot);
            if (ok) dialog->accept();
            else dialog->reject();
        });
        window.findChild<QAction*>(QString::fromLatin1(button))->trigger();
    }

    bool appReady = (EnsureApp(), true);
    test::ScriptedInteraction ask;
    test::TempDir dir;
    std::string known = dir.File("goc.DTA");
    std::string observations = dir.File("do.DTA");
    std::vector<std::string> names;
    std::vector<FileQuestion> questions;
    MainWindow window;
};

TEST_F(F4Fixture, AdjustsTheTraverseAndOpensItsLog) {
    // An older text in the editor, changed: offered for saving, and kept with No.
    window.Editor()->setPlainText(QStringLiteral("ghi chú"));
    window.Editor()->document()->setModified(true);
    ask.answers = {Answer::No};
    names = {known, observations, dir.File("kq")};
    PressF4();

    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[0].title, QStringLiteral("Nhập tên file tọa độ gốc - Bình sai"));
    EXPECT_EQ(questions[1].title, QStringLiteral("Nhập tên file số liệu đo - Bình sai"));
    EXPECT_EQ(questions[2].title, QStringLiteral("Nhập tên file kết quả"));
    EXPECT_EQ(window.Settings().ParamDialogTitle, Vn("Thông số tính toán Bình sai"));
    EXPECT_TRUE(window.Settings().Modes.ModeTraverse);
    EXPECT_FALSE(window.Settings().Modes.RigorousWanted);
    ASSERT_FALSE(ask.calls.empty());
    EXPECT_EQ(ask.calls[0].text, "Save changes to Untitled?");

    // Every point at its true place.
    std::vector<std::string> expected;
    for (const Point& p : kTraverse) {
        char line[80];
        std::snprintf(line, sizeof line, "%s\t%.3f\t%.3f", p.name, p.x, p.y);
        expected.push_back(line);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedLines(test::ReadFileBytes(dir.File("kq.dta"))), expected);

    // The report set of a simple adjustment; no rigorous tables.
    for (const char* ext : {"in", "in6", "in7"}) EXPECT_TRUE(FileExists(dir.File(std::string("kq.") + ext))) << ext;
    for (const char* ext : {"in1", "in3", "in4", "in5"}) EXPECT_FALSE(FileExists(dir.File(std::string("kq.") + ext))) << ext;

    // The log of the run is in the editor, in the editor view.
    const QString log = QString::fromStdString(dir.File("kq.in6"));
    EXPECT_EQ(window.TextFileName(), log);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QEF 2010 [") + log + QStringLiteral("]"));
    EXPECT_FALSE(window.GridVisible());
    EXPECT_TRUE(window.findChild<QAction*>(QStringLiteral("TBRE"))->isChecked());
    EXPECT_TRUE(window.findChild<QToolBar*>(QStringLiteral("TB_Editor"))->isVisible());
    EXPECT_FALSE(window.findChild<QToolBar*>(QStringLiteral("TB_StGrid"))->isVisible());
    EXPECT_EQ(window.StatusText(0), QString());
    EXPECT_FALSE(window.Editor()->document()->isModified());
    std::string shown = ToTcvn3(window.Editor()->toPlainText());
    std::string file = test::ReadFileBytes(dir.File("kq.in6"));
    file.erase(std::remove(file.begin(), file.end(), '\r'), file.end());
    EXPECT_EQ(shown, file);
    EXPECT_NE(shown.find("P3"), std::string::npos);
    // The window is usable again and the monitor stays up until its OK.
    EXPECT_FALSE(window.Computing());
    EXPECT_TRUE(window.menuBar()->isEnabled());
    EXPECT_TRUE(window.MonitorWindow()->isVisible());
}

TEST_F(F4Fixture, CancelsAndFailuresLeaveTheEditorAlone) {
    window.Editor()->setPlainText(QStringLiteral("ghi chú"));
    window.Editor()->document()->setModified(true);

    // Cancel in the parameters dialog: no file question.
    PressF4(false);
    EXPECT_TRUE(questions.empty());

    // Cancel in the question about the changed editor text: nothing is computed. The toolbar's
    // "Tìm sai số thô" is the F4 command; the commands without their work stay disabled.
    ask.answers = {Answer::Cancel};
    names = {known, observations, dir.File("kq.dta")};
    PressF4(true, false, {}, "ToolButton9");
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[0].title, QStringLiteral("Nhập tên file tọa độ gốc - Bình sai"));
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("BSDC"))->isEnabled());
    EXPECT_FALSE(FileExists(dir.File("kq.dta")));
    EXPECT_EQ(window.Editor()->toPlainText(), QStringLiteral("ghi chú"));
    EXPECT_TRUE(window.GridVisible());

    // A bad number on line 3 of the observations: the file and the line are named, no report is
    // opened, and a stale log of an earlier run is not shown as this run's.
    window.Editor()->document()->setModified(false);
    test::WriteFileBytes(dir.File("kq.in6"), "old log\r\n");
    std::string bad = ObservationFile();
    const std::size_t third = bad.find("\r\n", bad.find("\r\n") + 2) + 2;
    bad.replace(bad.find(' ', bad.find(' ', bad.find(' ', third) + 1) + 1) + 1, 1, "x");
    test::WriteFileBytes(observations, bad);
    ask.calls.clear();
    ask.answers.clear();
    names = {known, observations, dir.File("kq.dta")};
    PressF4();
    const auto messages = ask.Messages();
    ASSERT_GE(messages.size(), 2u);
    const std::string& named = messages[messages.size() - 2];
    EXPECT_NE(named.find(observations), std::string::npos) << named;
    EXPECT_NE(named.find(Vn("dòng 3")), std::string::npos) << named;
    EXPECT_NE(messages.back().find("kq.in6"), std::string::npos) << messages.back();
    EXPECT_TRUE(window.GridVisible());
    EXPECT_NE(window.TextFileName(), QString::fromStdString(dir.File("kq.in6")));
    EXPECT_FALSE(window.Computing());
}

// The example network of examples/: two orders and a hanging traverse. Every point gets
// coordinates within a few centimetres of its true place (the observations carry field noise).
TEST_F(F4Fixture, ExampleNetworkInTwoOrdersAndAHangingTraverse) {
    const std::string examples = QEF_TEST_DATA "/../../examples/";
    test::WriteFileBytes(known, test::ReadFileBytes(examples + "TOADO_GOC.DTA"));
    test::WriteFileBytes(observations, test::ReadFileBytes(examples + "SOLIEU_DO.DTA"));
    names = {known, observations, dir.File("KQ.DTA")};
    const char* shots = std::getenv("QEF_SHOT_DIR");  // screenshots of the run, when asked
    PressF4(true, true, shots ? QString::fromUtf8(shots) + QStringLiteral("/f4-parameters.png") : QString());

    std::map<std::string, std::pair<double, double>> result;
    std::istringstream in(test::ReadFileBytes(dir.File("KQ.DTA")));
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name;
        double x = 0, y = 0;
        if (fields >> name >> x >> y) result[name] = {x, y};
    }
    std::istringstream truth(test::ReadFileBytes(QEF_TEST_DATA "/f4/example/true-coordinates.txt"));
    int points = 0;
    for (std::string line; std::getline(truth, line);) {
        std::istringstream fields(line);
        std::string name;
        double x = 0, y = 0;
        if (!(fields >> name >> x >> y)) continue;
        ++points;
        ASSERT_TRUE(result.count(name)) << name;
        EXPECT_NEAR(result[name].first, x, 0.05) << name;
        EXPECT_NEAR(result[name].second, y, 0.05) << name;
    }
    EXPECT_EQ(points, 26);
    EXPECT_EQ(result.size(), 26u);

    const std::string log = test::ReadFileBytes(dir.File("KQ.in6"));
    EXPECT_NE(log.find(Vn("cấp thứ : 2")), std::string::npos);
    for (const char* ext : {"in", "in1", "in3", "in4", "in5", "in6", "in7"})
        EXPECT_TRUE(FileExists(dir.File(std::string("KQ.") + ext))) << ext;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QEF 2010 [") + QString::fromStdString(dir.File("KQ.in6")) +
                                        QStringLiteral("]"));

    if (shots) {
        window.resize(1260, 780);
        QApplication::processEvents();
        window.grab().save(QString::fromUtf8(shots) + QStringLiteral("/f4-example-report6.png"));
        window.MonitorWindow()->grab().save(QString::fromUtf8(shots) + QStringLiteral("/f4-example-monitor.png"));
        // The whole screen as the user sees it, monitor over the main window.
        window.MonitorWindow()->raise();
        QApplication::processEvents();
        const std::string screen = "import -window root '" + std::string(shots) + "/f4-example-screen.png'";
        if (std::system(screen.c_str()) != 0) std::fprintf(stderr, "no screen shot\n");
    }
}

}  // namespace
}  // namespace qef
