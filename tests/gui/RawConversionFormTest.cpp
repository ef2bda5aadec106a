#include <QCheckBox>
#include <tuple>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "GuiTestSupport.h"
#include "core/text/TextFile.h"
#include "fielddata/raw/RawConversion.h"
#include "gui/dialogs/TForm2.h"
#include "gui/dialogs/Txlslt3.h"

namespace qef {
namespace {

const std::string kCase = QEF_TEST_DATA "/fielddata/raw/gsi_tc800/";

template <typename W>
void Click(QWidget& form, const char* name) {
    if (W* w = test::Find<W>(form, name)) w->click();
}

// The toolbar button opens the form; the options chosen there convert a TC800 download into the
// files of its case; closing keeps the options in the settings file and the computation settings
// stay as they were.
TEST(RawConversionForm, ConvertsWithTheChosenOptionsAndKeepsThem) {
    test::ScriptedWindow s;
    s.window.CreateDialogs();
    Txlslt3* form = s.window.RawConversionDialog();
    ASSERT_NE(form, nullptr);
    const std::string settingsPath = NativeName(form->SettingsPath());
    QFile::remove(form->SettingsPath());
    EXPECT_TRUE(form->SettingsPath().endsWith(QStringLiteral("/qef.tso")));
    const ComputationSettings before = s.window.Settings();
    std::vector<QString> confirmations;
    form->ConfirmHook = [&](const QString& text) {
        confirmations.push_back(text);
        return true;
    };
    test::WriteFileBytes(s.dir.File("raw.tc8"), test::ReadFileBytes(kCase + "raw.tc8"));
    s.files.names = {s.dir.File("raw.tc8"), s.dir.File("obs.DTA"), s.dir.File("mia.DTA"), s.dir.File("chenhcao.DTA"),
                     s.dir.File("micao.DTA")};

    test::OnNextModal([](QWidget& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Xử lý số liệu thô"));
        auto* list = test::Find<QListWidget>(f, "LBloaimay");
        // The registry's instruments in its order; the settings file keeps T1610 as the fourth.
        const auto instruments = RawInstruments();
        ASSERT_EQ(list->count(), static_cast<int>(instruments.size()));
        for (int i = 0; i < list->count(); ++i)
            EXPECT_EQ(list->item(i)->text(), QString::fromUtf8(instruments[static_cast<std::size_t>(i)].Item)) << i;
        EXPECT_EQ(list->item(3)->text(), QStringLiteral("Leica\tT1610"));
        list->setCurrentRow(2);
        Click<QCheckBox>(f, "CBcodocao");
        Click<QCheckBox>(f, "CBshtram");
        test::Find<QLineEdit>(f, "MEshtram")->setText(QStringLiteral("5000"));
        Click<QPushButton>(f, "XlslXuly");
        if (const char* shot = std::getenv("QEF_FORM_SHOT")) f.grab().save(QString::fromLocal8Bit(shot));
        Click<QPushButton>(f, "XlslExit");
    });
    s.Action("Xulysolieutho")->trigger();

    EXPECT_EQ(confirmations, std::vector<QString>{QStringLiteral("Bạn chắc chắn các thông số đã chọn đúng")});
    ASSERT_EQ(s.files.asked.size(), 5u);
    EXPECT_EQ(s.files.asked[0].second.title, QStringLiteral("Nhập tên file số liệu thô"));
    EXPECT_EQ(s.files.asked[1].second.title, QStringLiteral("Nhập tên file chứa số liệu góc cạnh"));
    EXPECT_EQ(s.files.asked[2].second.title, QStringLiteral("Nhập file chứa số liệu mia"));
    EXPECT_EQ(s.files.asked[3].second.title, QStringLiteral("Nhập file chứa số liệu chênh cao trạm máy"));
    EXPECT_EQ(s.files.asked[4].second.title, QStringLiteral("Nhập file chứa số liệu chi tiết có độ cao"));
    for (const char* name : {"obs.DTA", "mia.DTA", "chenhcao.DTA", "chenhcao.DT", "micao.DTA"})
        EXPECT_EQ(test::ReadFileBytes(s.dir.File(name)), test::WithCrLf(test::ReadFileBytes(kCase + "expected/" + name)))
            << name;
    ASSERT_EQ(s.ask.Messages().size(), 1u);
    EXPECT_TRUE(s.ask.Messages()[0].starts_with(Vn("Đã chuyển xong file ")));
    EXPECT_EQ(test::ReadFileBytes(settingsPath), "2\r\n1\r\n1\r\n0\r\n0\r\n1\r\n5000\r\n0\r\n0\r\n1\r\n10\r\n0\r\n0\r\n");
    EXPECT_EQ(s.window.Settings().MetresFlag, before.MetresFlag);
    EXPECT_EQ(s.window.Settings().AngleTextWithPoint, before.AngleTextWithPoint);
    EXPECT_EQ(s.window.Settings().FixedFieldWidth, before.FixedFieldWidth);
    EXPECT_FALSE(s.window.Computing());

    // "Theo kiểu cũ", a blank edit and the item without a reader: "Chua viet xong", no file asked;
    // the closing writes fixed width, packed angles and millimetres, and the blank edit's default.
    s.files.asked.clear();
    s.ask.calls.clear();
    test::OnNextModal([](QWidget& f) {
        test::Find<QListWidget>(f, "LBloaimay")->setCurrentRow(1);
        Click<QRadioButton>(f, "RGluachon0");
        auto* shtram = test::Find<QLineEdit>(f, "MEshtram");
        shtram->setText(QString());
        QMetaObject::invokeMethod(shtram, "editingFinished");
        EXPECT_EQ(shtram->text(), QStringLiteral("5000"));
        Click<QPushButton>(f, "XlslXuly");
        Click<QPushButton>(f, "XlslExit");
    });
    s.Action("Xulysolieutho")->trigger();
    EXPECT_EQ(s.ask.Messages(), std::vector<std::string>{"Chua viet xong"});
    EXPECT_TRUE(s.files.asked.empty());
    EXPECT_EQ(test::ReadFileBytes(settingsPath), "1\r\n1\r\n1\r\n0\r\n0\r\n1\r\n5000\r\n0\r\n0\r\n4\r\n10\r\n1\r\n1\r\n");
}

// The download is read before any output is named: a TC800 download with Nikon chosen is refused
// as holding no data, and a line of it that cannot be read stops at that line; in both cases the
// raw file is the only name asked and nothing is written.
TEST(RawConversionForm, ReadsTheDownloadBeforeAskingForOutputs) {
    test::ScriptedWindow s;
    s.window.CreateDialogs();
    Txlslt3* form = s.window.RawConversionDialog();
    ASSERT_NE(form, nullptr);
    QFile::remove(form->SettingsPath());
    form->ConfirmHook = [](const QString&) { return true; };
    const std::string tc800 = test::ReadFileBytes(kCase + "raw.tc8");
    for (const auto& [row, download, message] :
         {std::tuple{0, tc800, std::string("Không tìm thấy số liệu nào trong file ")},
          std::tuple{2, std::string("110001+00000007 21.324+05500000\n"), std::string("Dòng 1: ")}}) {
        test::WriteFileBytes(s.dir.File("raw.tc8"), download);
        s.files.names = {s.dir.File("raw.tc8"), s.dir.File("obs.DTA"), s.dir.File("mia.DTA")};
        s.files.asked.clear();
        s.ask.calls.clear();
        test::OnNextModal([row](QWidget& f) {
            test::Find<QListWidget>(f, "LBloaimay")->setCurrentRow(row);
            Click<QPushButton>(f, "XlslXuly");
            Click<QPushButton>(f, "XlslExit");
        });
        s.Action("Xulysolieutho")->trigger();
        ASSERT_EQ(s.files.asked.size(), 1u);
        EXPECT_EQ(s.files.asked[0].second.title, QStringLiteral("Nhập tên file số liệu thô"));
        ASSERT_EQ(s.ask.Messages().size(), 1u);
        EXPECT_TRUE(s.ask.Messages()[0].starts_with(Vn(message))) << Tcvn3ToUtf8(s.ask.Messages()[0]);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(s.dir.File("obs.DTA"))));
        EXPECT_FALSE(QFile::exists(QString::fromStdString(s.dir.File("mia.DTA"))));
    }
}

// A conversion runs as every computation does: the main window busy and the monitor up while it
// converts, the monitor full at its end and then off the form; an output that cannot be written is
// said while it runs, and the monitor stops short of its end.
TEST(RawConversionForm, ConvertsThroughTheCommandRunner) {
    test::ScriptedWindow s;
    test::WatchedInteraction watch;
    watch.window = &s.window;
    s.window.SetInteraction(&watch);
    s.window.CreateDialogs();
    Txlslt3* form = s.window.RawConversionDialog();
    ASSERT_NE(form, nullptr);
    form->ConfirmHook = [](const QString&) { return true; };
    test::WriteFileBytes(s.dir.File("raw.tc8"), test::ReadFileBytes(kCase + "raw.tc8"));
    TForm2* monitor = s.window.MonitorWindow();
    auto* bar = test::Find<QProgressBar>(*monitor, "PB1");
    s.files.names = {s.dir.File("raw.tc8"), s.dir.File("obs.DTA"), s.dir.File("mia.DTA"),
                     s.dir.File("raw.tc8"), s.dir.File("khong_co/obs.DTA"), s.dir.File("mia2.DTA")};
    test::OnNextModal([&](QWidget& f) {
        test::Find<QListWidget>(f, "LBloaimay")->setCurrentRow(2);
        if (auto* heights = test::Find<QCheckBox>(f, "CBcodocao"); heights->isChecked()) heights->click();
        Click<QPushButton>(f, "XlslXuly");
        ASSERT_EQ(watch.Messages().size(), 1u);
        EXPECT_TRUE(watch.Messages()[0].starts_with(Vn("Đã chuyển xong file ")));
        EXPECT_EQ(watch.busy, std::vector<bool>{true});
        EXPECT_EQ(watch.bars, std::vector<QString>{QStringLiteral("100%")});  // full as the message stands
        EXPECT_FALSE(monitor->isVisible());
        EXPECT_EQ(bar->text(), QStringLiteral("100%"));
        EXPECT_EQ(monitor->Label(MonitorLabel::Stage)->text(), QStringLiteral("Kết thúc"));
        EXPECT_FALSE(s.window.Computing());

        watch.calls.clear();
        watch.busy.clear();
        watch.bars.clear();
        Click<QPushButton>(f, "XlslXuly");
        ASSERT_EQ(watch.Messages().size(), 1u);
        EXPECT_TRUE(watch.Messages()[0].starts_with(Vn("Không ghi được file ") + s.dir.File("khong_co")))
            << watch.Messages()[0];
        EXPECT_EQ(watch.busy, std::vector<bool>{true});
        EXPECT_NE(bar->text(), QStringLiteral("100%"));
        Click<QPushButton>(f, "XlslExit");
    });
    s.Action("Xulysolieutho")->trigger();
    EXPECT_TRUE(FileExists(s.dir.File("obs.DTA")));
    EXPECT_FALSE(FileExists(s.dir.File("mia2.DTA")));
    EXPECT_TRUE(!s.window.Computing() && s.window.menuBar()->isEnabled());
}

}  // namespace
}  // namespace qef
