#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTextEdit>
#include <algorithm>

#include "GuiTestSupport.h"
#include "core/text/TextFile.h"
#include "gui/GuiText.h"
#include "gui/dialogs/TForm2.h"

namespace qef {
namespace {

// F6 from the main window: the parameters dialog, the three file questions, the run, and the
// levelling report in the editor. The editor's file name and the caption follow the report, so
// that saving the editor never writes the report over the file shown before.
struct F6Fixture : ::testing::Test, test::ScriptedWindow {
    F6Fixture() {
        window.CreateDialogs();
        window.show();
        test::WriteFileBytes(known, test::ReadFileBytes(kCase + "known.txt"));
        test::WriteFileBytes(lines, test::ReadFileBytes(kCase + "lines.txt"));
    }
    void PressF6() {
        test::OnNextModal([](QWidget& dialog) { qobject_cast<QDialog*>(&dialog)->accept(); });
        Action("BSDC")->trigger();
    }
    const std::string kCase = QEF_TEST_DATA "/heights/single_line/";
    std::string known = dir.File("docao.DTA");
    std::string lines = dir.File("thuychuan.DTA");
};

TEST_F(F6Fixture, AdjustsTheLineAndOpensTheLevellingReport) {
    files.names = {known, lines, dir.File("kq.dta")};
    PressF6();

    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(files.asked[0].second.title, QStringLiteral("Nhập tên file cao độ gốc"));
    EXPECT_EQ(files.asked[1].second.title, QStringLiteral("Nhập tên file số liệu đo cao"));
    EXPECT_EQ(files.asked[2].second.title, QStringLiteral("Nhập tên file kết quả"));
    EXPECT_TRUE(window.Settings().Modes.ModeLevelling && !window.Settings().Modes.ModeTraverse);

    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.dta")), "A\t10.000\r\nB\t12.000\r\n1\t10.503\r\n2\t11.309\r\n");
    std::string report = test::ReadFileBytes(dir.File("kq.in"));
    report.erase(std::remove(report.begin(), report.end(), '\r'), report.end());
    EXPECT_FALSE(window.GridVisible());
    EXPECT_EQ(ToTcvn3(window.Editor()->toPlainText()), report);
    EXPECT_NE(report.find("Fh = -12.0(mm)"), std::string::npos);
    const QString shown = QString::fromStdString(dir.File("kq.in"));
    EXPECT_EQ(window.TextFileName(), shown);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QEF 2010 [") + shown + QStringLiteral("]"));
    EXPECT_TRUE(ask.calls.empty());
}

// A network with nodes: the monitor ends full, each figure after the name of what it counts.
TEST_F(F6Fixture, MonitorEndsFullWithNamedFigures) {
    const std::string network = QEF_TEST_DATA "/heights/network/";
    test::WriteFileBytes(known, test::ReadFileBytes(network + "known.txt"));
    test::WriteFileBytes(lines, test::ReadFileBytes(network + "lines.txt"));
    files.names = {known, lines, dir.File("kq.dta")};
    PressF6();
    TForm2& monitor = *window.MonitorWindow();
    EXPECT_EQ(test::Find<QProgressBar>(monitor, "PB1")->text(), QStringLiteral("100%"));
    const QRegularExpression nodes(QStringLiteral("^Tổng số nút trong nhóm : \\d+$"));
    const QRegularExpression branches(QStringLiteral("^Tổng số nhánh trong nhóm : \\d+$"));
    EXPECT_TRUE(nodes.match(monitor.Label(MonitorLabel::Nodes)->text()).hasMatch())
        << monitor.Label(MonitorLabel::Nodes)->text().toStdString();
    EXPECT_TRUE(branches.match(monitor.Label(MonitorLabel::Branches)->text()).hasMatch())
        << monitor.Label(MonitorLabel::Branches)->text().toStdString();
}

}  // namespace
}  // namespace qef
