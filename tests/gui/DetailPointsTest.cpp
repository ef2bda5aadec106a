#include <QDialog>
#include <QMenuBar>
#include <QProgressBar>

#include "GuiTestSupport.h"
#include "core/text/TextFile.h"
#include "gui/dialogs/TForm2.h"

namespace qef {
namespace {

// The answers of the test, noting where the monitor's bar stands when a message comes up.
struct BarWatch : test::ScriptedInteraction {
    QProgressBar* bar = nullptr;
    QString atMessage;
    void Message(const std::string& text) override {
        if (bar) atMessage = bar->text();
        test::ScriptedInteraction::Message(text);
    }
};

// F7, F8 and F9 from the main window on the data of the detail-point cases: the parameters dialog
// with the command's caption, the three file questions, and the result of the case.
TEST(DetailPointCommands, F7F8F9ComputeTheCasesFromTheMainWindow) {
    struct Row {
        const char* action;
        const char* caseName;
        const char* caption;
        const char* knownPrompt;
        const char* observationPrompt;
    };
    const Row rows[] = {
        {"TXYMia", "detail_plan", "Thông số tính toán tọa độ điểm", "Nhập tên file tọa độ gốc",
         "Nhập tên file số liệu đo chi tiết"},
        {"TB_Tinhxyz1", "detail_heights_dh", "Thông số tính toán tọa độ, cao độ điểm theo chênh cao",
         "Nhập tên file tọa độ, cao độ gốc", "Nhập tên file số liệu đo cao chi tiết theo chênh cao"},
        {"TB_TinhXYZ2", "detail_zenith_faces", "Thông số tính toán tọa độ, cao độ điểm theo góc thiên đỉnh",
         "Nhập tên file tọa độ, cao độ gốc", "Nhập tên file số liệu đo cao chi tiết theo góc thiên đỉnh"},
    };
    test::ScriptedWindow s;
    s.window.CreateDialogs();
    s.window.show();
    BarWatch watch;
    watch.bar = test::Find<QProgressBar>(*s.window.MonitorWindow(), "PB1");
    s.window.SetInteraction(&watch);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action);
        const std::string data = std::string(QEF_TEST_DATA "/heights/") + row.caseName + "/";
        test::WriteFileBytes(s.dir.File("goc.DTA"), test::ReadFileBytes(data + "known.txt"));
        test::WriteFileBytes(s.dir.File("ct.DTA"), test::ReadFileBytes(data + "obs.txt"));
        s.files.asked.clear();
        watch.calls.clear();
        // A bare result name gets ".dat".
        s.files.names = {s.dir.File("goc.DTA"), s.dir.File("ct.DTA"), s.dir.File(row.caseName)};
        QString caption;
        test::OnNextModal([&caption](QWidget& dialog) {
            caption = dialog.windowTitle();
            qobject_cast<QDialog*>(&dialog)->accept();
        });
        s.Action(row.action)->trigger();

        EXPECT_EQ(caption, QString::fromUtf8(row.caption));
        ASSERT_EQ(s.files.asked.size(), 3u);
        EXPECT_EQ(s.files.asked[0].second.title, QString::fromUtf8(row.knownPrompt));
        EXPECT_EQ(s.files.asked[1].second.title, QString::fromUtf8(row.observationPrompt));
        EXPECT_EQ(s.files.asked[2].second.title, QStringLiteral("Nhập tên file kết quả"));
        std::string expected;
        for (char c : test::ReadFileBytes(data + "expected/kq.dat")) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
        EXPECT_EQ(test::ReadFileBytes(s.dir.File(std::string(row.caseName) + ".dat")), expected);
        EXPECT_EQ(watch.Messages(), std::vector<std::string>{Vn("Đã tính xong")});
        // The view stays on the grid and the window is usable again.
        EXPECT_TRUE(s.window.GridVisible() && !s.window.Computing() && s.window.menuBar()->isEnabled());
        // The monitor ends full, also while the closing message is up.
        EXPECT_EQ(test::Find<QProgressBar>(*s.window.MonitorWindow(), "PB1")->text(), QStringLiteral("100%"));
        EXPECT_EQ(watch.atMessage, QStringLiteral("100%"));
    }
}

}  // namespace
}  // namespace qef
