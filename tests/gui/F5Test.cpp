#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "adjustment/AdjustByOrder.h"
#include "core/text/TextFile.h"
#include "gui/dialogs/TFListCanhXp.h"
#include "gui/dialogs/TForm2.h"
#include "support/Lists.h"

namespace qef {
namespace {

// The main window with the example network of examples/ in a folder of the test.
struct F5Fixture : ::testing::Test, test::ScriptedWindow {
    F5Fixture() {
        window.CreateDialogs();
        window.show();
        const std::string examples = QEF_TEST_DATA "/../../examples/";
        test::WriteFileBytes(known, test::ReadFileBytes(examples + "TOADO_GOC.DTA"));
        test::WriteFileBytes(observations, test::ReadFileBytes(examples + "SOLIEU_DO.DTA"));
    }
    // Presses F5 and runs `steps` on the dialog once it is up; the dialog is closed afterwards.
    void PressF5(const std::function<void(QDialog&)>& steps) {
        test::OnNextModal([&](QWidget& modal) {
            auto* dialog = qobject_cast<QDialog*>(&modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName(), QStringLiteral("FListCanhXp"));
            steps(*dialog);
            dialog->reject();
        });
        Action("KTtungnhom")->trigger();
    }
    static QPushButton* Button(QDialog& d, const char* name) { return test::Find<QPushButton>(d, name); }
    static QListWidget* List(QDialog& d, const char* name) { return test::Find<QListWidget>(d, name); }
    static QStringList Lines(QDialog& d, const char* name) {
        QStringList lines;
        QListWidget* list = List(d, name);
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
    // Chooses the start side of the station and builds its group.
    static void GroupFrom(QDialog& d, const QString& station) {
        QListWidget* sides = List(d, "LB_Canhxp");
        const auto found = sides->findItems(QStringLiteral("[") + station + QStringLiteral("],"), Qt::MatchStartsWith);
        ASSERT_EQ(found.size(), 1) << station.toStdString();
        sides->setCurrentItem(found.front());
        Button(d, "Nhom")->click();
    }

    // Opens both files and analyses the network.
    static void OpenAndStart(QDialog& d) {
        Button(d, "Button3")->click();
        Button(d, "Button4")->click();
        Button(d, "Khoidong")->click();
    }
    // Turns the rigorous stage on as a user does: F4's parameters dialog with "Bình sai chặt chẽ"
    // ticked, then Cancel at its first file question.
    void ChooseRigorousInF4() {
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QCheckBox*>(QStringLiteral("CB_BSCC"))->setChecked(true);
            dialog->accept();
        });
        Action("Binhsaimoi")->trigger();
        files.asked.clear();
    }
    // The whole network adjusted at once as F4 adjusts it, the traverse mode on: its result's points.
    void AdjustAtOnce(ComputationSettings settings, test::PointMap& whole) {
        settings.Modes.ModeTraverse = true;
        const test::TempDir f4;
        test::ScriptedInteraction quiet;
        NullProgress progress;
        RunRecord run;
        const AdjustmentInput input{known, observations, "", f4.File("KQ.DTA")};
        ASSERT_EQ(AdjustNetworkByOrder(input, settings, quiet, progress, run).Outcome, RunOutcome::Completed);
        int repeats = 0;
        whole = test::ReadResult(f4.File("KQ.DTA"), repeats);
    }

    std::string known = dir.File("goc.DTA");
    std::string observations = dir.File("do.DTA");
};

// The network of examples/ adjusted group by group: the connecting traverse with its node, then,
// analysed again, the traverse of the second order that closes on the adjusted I6. Every point
// takes the coordinates that F4 gives it; F4 alone computes the hanging traverse.
TEST_F(F5Fixture, ExampleNetworkGroupByGroupEqualsF4) {
    files.names = {known, observations, dir.File("KQ.DTA"), dir.File("KQ.DTA")};
    PressF5([&](QDialog& d) {
        // Nothing runs before the files are open.
        for (const char* step : {"Khoidong", "Nhom", "OK", "Button5"}) EXPECT_FALSE(Button(d, step)->isEnabled());
        Button(d, "Button3")->click();
        EXPECT_FALSE(Button(d, "Khoidong")->isEnabled());
        Button(d, "Button4")->click();
        EXPECT_EQ(test::Find<QTableWidget>(d, "SG_Td")->rowCount(), 8);
        // The observation lines without the comment lines.
        EXPECT_EQ(test::Find<QTableWidget>(d, "SG_Sl")->rowCount(), 23);
        EXPECT_EQ(test::Find<QTableWidget>(d, "SG_Sl")->item(0, 2)->text(), QStringLiteral("I1"));

        Button(d, "Khoidong")->click();
        EXPECT_TRUE(Button(d, "Nhom")->isEnabled());
        EXPECT_FALSE(Button(d, "OK")->isEnabled());
        EXPECT_TRUE(Lines(d, "LB_GPV").contains(QStringLiteral("[GPS01] [GPS02]")));
        EXPECT_TRUE(Lines(d, "LB_Nut").contains(QStringLiteral("I4")));
        EXPECT_EQ(List(d, "LB_Canhxp")->currentItem()->text(), QStringLiteral("[GPS02],I1"));

        GroupFrom(d, QStringLiteral("GPS02"));
        // The connecting traverse split at its node, and the branch to GPS05.
        EXPECT_EQ(List(d, "LB_lapnhanh")->count(), 3);
        ASSERT_TRUE(Button(d, "OK")->isEnabled());
        test::Find<QCheckBox>(d, "CB_ghikq")->setChecked(true);
        Button(d, "OK")->click();
        // The group is used up.
        EXPECT_FALSE(Button(d, "OK")->isEnabled());

        // Analysed again, the adjusted points are known: the second order has a group.
        Button(d, "Khoidong")->click();
        GroupFrom(d, QStringLiteral("GPS07"));
        EXPECT_EQ(List(d, "LB_lapnhanh")->count(), 1);
        Button(d, "OK")->click();
    });
    EXPECT_EQ(files.asked.size(), 4u);
    EXPECT_EQ(files.asked[2].second.title, QStringLiteral("Nhập tên file kết quả"));
    const auto messages = ask.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), Vn("Kết thúc")), 2);
    EXPECT_TRUE(FileExists(dir.File("KQ.in")));

    test::PointMap whole;
    ASSERT_NO_FATAL_FAILURE(AdjustAtOnce({}, whole));

    int repeats = 0;
    const auto stepwise = test::ReadResult(dir.File("KQ.DTA"), repeats);
    EXPECT_EQ(repeats, 0);
    ASSERT_EQ(whole.size(), 26u);
    // 8 known points, I1..I8, J1..J3 and Q1..Q4.
    EXPECT_EQ(stepwise.size(), 23u);
    for (const auto& [name, xy] : whole) {
        if (name.front() == 'H') {
            EXPECT_FALSE(stepwise.count(name)) << name;
            continue;
        }
        ASSERT_TRUE(stepwise.count(name)) << name;
        EXPECT_DOUBLE_EQ(stepwise.at(name).first, xy.first) << name;
        EXPECT_DOUBLE_EQ(stepwise.at(name).second, xy.second) << name;
    }
}

// "Tính tọa độ" draws what it computed when the export is ticked, and the export is off again
// afterwards. Without a result name it says so, computes, and writes nothing.
TEST_F(F5Fixture, ComputedCoordinatesAreDrawnAndWrittenOnlyWithAName) {
    files.names = {known, observations, dir.File("tinh.DTA")};
    ComputationSettings& settings = window.Settings();
    PressF5([&](QDialog& d) {
        Button(d, "Button3")->click();
        Button(d, "Button4")->click();
        Button(d, "Khoidong")->click();
        GroupFrom(d, QStringLiteral("GPS02"));
        test::Find<QCheckBox>(d, "CB_ghikq")->setChecked(true);
        auto* drawing = test::Find<QCheckBox>(d, "CB_TailenAcad");
        // Ticking it shows the export options.
        test::OnNextModal([](QWidget& options) {
            EXPECT_EQ(options.objectName(), QStringLiteral("FVoiAutoCAD"));
            static_cast<QDialog&>(options).reject();
        });
        drawing->setChecked(true);
        EXPECT_TRUE(settings.AcadUploadEnabled);
        Button(d, "Button5")->click();
        EXPECT_FALSE(drawing->isChecked() || settings.AcadUploadEnabled);

        // No name for the next group: said, computed, nothing written.
        Button(d, "Khoidong")->click();
        GroupFrom(d, QStringLiteral("GPS07"));
        ask.calls.clear();
        Button(d, "Button5")->click();
        const auto messages = ask.Messages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.front(), Vn("Không có tên file kết quả"));
        EXPECT_EQ(messages.back(), Vn("Kết thúc"));
    });
    // The branches of the group, near their true places (the observations carry field noise);
    // the second group was not written.
    int repeats = 0;
    const auto computed = test::ReadResult(dir.File("tinh.DTA"), repeats);
    const auto truth = test::ReadResult(QEF_TEST_DATA "/f4/example/true-coordinates.txt", repeats);
    EXPECT_EQ(computed.size(), 19u);
    test::ExpectPointsNear(truth, computed, 0.1);
    const std::string dxf = test::ReadFileBytes(dir.File("tinh.dxf"));
    for (const char* name : {"GPS02", "I4", "J3"}) EXPECT_NE(dxf.find(name), std::string::npos) << name;
    EXPECT_EQ(dxf.find("Q1"), std::string::npos);
}

// With sides reduced by heights from a file of their own, the analysis asks for that file first;
// without it nothing is analysed.
TEST_F(F5Fixture, HeightsFileIsAskedWhenTheReductionNeedsOne) {
    ComputationSettings& settings = window.Settings();
    settings.HeightReduction = true;
    settings.HeightsFromFile = true;
    settings.HeightReductionMode = ReductionMode::SideMean;
    files.names = {known, observations};
    PressF5([&](QDialog& d) {
        Button(d, "Button3")->click();
        Button(d, "Button4")->click();
        Button(d, "Khoidong")->click();
        ASSERT_EQ(files.asked.size(), 3u);
        EXPECT_EQ(files.asked[2].second.title, QStringLiteral("Nhập tên file độ cao điểm"));
        EXPECT_FALSE(Button(d, "Nhom")->isEnabled());
        EXPECT_EQ(List(d, "LB_GPV")->count(), 0);
    });
}

// With the rigorous stage chosen, "Bình sai" adjusts each group as F4 does: every point of both
// groups equals F4's rigorous result to the millimetre, and each step writes the four rigorous
// tables beside its result file.
TEST_F(F5Fixture, RigorousModeAdjustsEachGroupAsF4DoesRigorously) {
    ChooseRigorousInF4();
    ASSERT_TRUE(window.Settings().Modes.RigorousWanted);
    files.names = {known, observations, dir.File("KQ1.DTA"), dir.File("KQ2.DTA")};
    PressF5([&](QDialog& d) {
        OpenAndStart(d);
        GroupFrom(d, QStringLiteral("GPS02"));
        test::Find<QCheckBox>(d, "CB_ghikq")->setChecked(true);
        Button(d, "OK")->click();
        Button(d, "Khoidong")->click();
        GroupFrom(d, QStringLiteral("GPS07"));
        Button(d, "OK")->click();
    });
    // Each step's tables: the coordinates, angles, distances and sides of its own group.
    const std::pair<const char*, const char*> steps[] = {{"KQ1", "I4"}, {"KQ2", "Q3"}};
    for (const auto& [base, point] : steps)
        for (const char* ext : {".in", ".in1", ".in3", ".in4", ".in5"}) {
            const std::string table = test::ReadFileBytes(dir.File(std::string(base) + ext));
            EXPECT_NE(table.find(point), std::string::npos) << base << ext;
        }
    EXPECT_EQ(test::ReadFileBytes(dir.File("KQ1.in1")).find("Q3"), std::string::npos);

    ComputationSettings rigorous;
    rigorous.Modes.RigorousWanted = true;
    test::PointMap whole;
    ASSERT_NO_FATAL_FAILURE(AdjustAtOnce(rigorous, whole));
    int repeats = 0;
    // The second step's result holds the known points, the first group's points and its own.
    const auto stepwise = test::ReadResult(dir.File("KQ2.DTA"), repeats);
    EXPECT_EQ(repeats, 0);
    ASSERT_EQ(stepwise.size(), 23u);
    for (const auto& [name, xy] : stepwise) {
        ASSERT_TRUE(whole.count(name)) << name;
        EXPECT_NEAR(xy.first, whole.at(name).first, 0.0011) << name;
        EXPECT_NEAR(xy.second, whole.at(name).second, 0.0011) << name;
    }
}

// Once both groups are computed only the hanging traverse is left: "3:Khởi động" says that every
// group has been computed, and nothing about the known points.
TEST_F(F5Fixture, StartAfterTheLastGroupSaysEveryGroupIsComputed) {
    files.names = {known, observations};
    PressF5([&](QDialog& d) {
        OpenAndStart(d);
        GroupFrom(d, QStringLiteral("GPS02"));
        Button(d, "OK")->click();
        Button(d, "Khoidong")->click();
        GroupFrom(d, QStringLiteral("GPS07"));
        Button(d, "OK")->click();
        ask.calls.clear();
        Button(d, "Khoidong")->click();
        EXPECT_FALSE(Button(d, "Nhom")->isEnabled() || Button(d, "OK")->isEnabled());
        EXPECT_EQ(List(d, "LB_Canhxp")->count(), 0);
    });
    EXPECT_EQ(ask.Messages(), std::vector<std::string>{Vn("Đã tính hết các nhóm của lưới")});
}

// Each step of F5 runs as every computation does: the main window busy and the monitor up while it
// runs, an input that cannot be read named with its line, and a result file that cannot be written
// said while the step runs, the monitor short of its end. The monitor comes down with the step, off
// the dialog, having reached its end.
TEST_F(F5Fixture, StepsRunThroughTheCommandRunner) {
    test::WatchedInteraction watch;
    watch.window = &window;
    window.SetInteraction(&watch);
    std::string bad = test::ReadFileBytes(observations);
    bad.replace(bad.find("163.51313"), 9, "1x3.51313");
    const std::string badFile = dir.File("do_sai.DTA");
    test::WriteFileBytes(badFile, bad);
    TForm2* monitor = window.MonitorWindow();
    auto* bar = test::Find<QProgressBar>(*monitor, "PB1");
    files.names = {known, badFile, observations, dir.File("khong_co/KQ.DTA"), dir.File("KQ.DTA")};
    PressF5([&](QDialog& d) {
        OpenAndStart(d);
        const auto read = watch.Messages();
        ASSERT_FALSE(read.empty());
        EXPECT_EQ(read.back(), Vn("Không đọc được file ") + badFile + Vn(", lỗi ở dòng 5"));
        EXPECT_FALSE(Button(d, "Nhom")->isEnabled());
        EXPECT_FALSE(window.Computing());

        Button(d, "Button4")->click();
        Button(d, "Khoidong")->click();
        EXPECT_FALSE(monitor->isVisible());
        GroupFrom(d, QStringLiteral("GPS02"));
        test::Find<QCheckBox>(d, "CB_ghikq")->setChecked(true);
        watch.calls.clear();
        watch.busy.clear();
        Button(d, "OK")->click();
        EXPECT_EQ(watch.Messages(), std::vector<std::string>{Vn("Lỗi ghi file ") + dir.File("khong_co/KQ.DTA") +
                                                             Vn(" : không có thư mục")});
        EXPECT_EQ(watch.busy, std::vector<bool>{true});
        EXPECT_NE(bar->text(), QStringLiteral("100%"));
        EXPECT_FALSE(window.Computing());

        Button(d, "Khoidong")->click();
        GroupFrom(d, QStringLiteral("GPS02"));
        watch.calls.clear();
        watch.busy.clear();
        watch.bars.clear();
        Button(d, "OK")->click();
        EXPECT_EQ(watch.Messages(), std::vector<std::string>{Vn("Kết thúc")});
        EXPECT_EQ(watch.busy, std::vector<bool>{true});
        EXPECT_EQ(watch.bars, std::vector<QString>{QStringLiteral("100%")});  // full under "Kết thúc"
    });
    EXPECT_EQ(bar->text(), QStringLiteral("100%"));
    EXPECT_EQ(monitor->Label(MonitorLabel::Stage)->text(), QStringLiteral("Kết thúc"));
    EXPECT_TRUE(!window.Computing() && window.menuBar()->isEnabled());
    EXPECT_TRUE(FileExists(dir.File("KQ.in")));
}

// F5's result question starts from F5's own last result, never from the result of another command
// that asks with the same title (F6 asks "Nhập tên file kết quả" too).
TEST(F5ResultQuestion, OffersItsOwnLastResultOnly) {
    test::EnsureApp();
    const test::TempDir settingsHome;
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(settingsHome.Path()));
    {
        test::ScriptedWindow s;
        s.window.CreateDialogs();
        s.window.SaveNameAsker = nullptr;  // the window's own save dialog
        const std::string examples = QEF_TEST_DATA "/../../examples/";
        test::WriteFileBytes(s.dir.File("goc.DTA"), test::ReadFileBytes(examples + "TOADO_GOC.DTA"));
        test::WriteFileBytes(s.dir.File("do.DTA"), test::ReadFileBytes(examples + "SOLIEU_DO.DTA"));
        const QString folder = QString::fromStdString(s.dir.Path());

        // Types `typed` into the next save dialog and keeps the name it offered.
        QString offered;
        auto typeNext = [&offered, folder](const QString& typed) {
            test::OnNextModal([&offered, folder, typed](QWidget& modal) {
                auto* dialog = qobject_cast<QFileDialog*>(&modal);
                auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
                if (edit) {
                    offered = edit->text();
                    dialog->setDirectory(folder);
                    QApplication::setActiveWindow(dialog);
                    edit->setFocus();
                    edit->selectAll();
                    QTest::keyClicks(edit, typed);
                    QTest::keyClick(edit, Qt::Key_Return);
                }
                if (modal.isVisible()) {
                    ADD_FAILURE() << "no save dialog took " << typed.toStdString();
                    modal.close();
                }
            });
        };
        // The result question of F6, as its input step asks it.
        const FileQuestion levelling{QStringLiteral("Nhập tên file kết quả"), ResultFileFilter(false),
                                     QStringLiteral("dta")};
        typeNext(QStringLiteral("DOCAO.DTA"));
        ASSERT_TRUE(s.window.AskSaveName(levelling).has_value());

        s.files.names = {s.dir.File("goc.DTA"), s.dir.File("do.DTA")};
        QStringList offeredByF5;
        test::OnNextModal([&](QWidget& modal) {
            auto& d = static_cast<QDialog&>(modal);
            F5Fixture::OpenAndStart(d);
            F5Fixture::GroupFrom(d, QStringLiteral("GPS02"));
            test::Find<QCheckBox>(d, "CB_ghikq")->setChecked(true);
            typeNext(QStringLiteral("BUOC1"));
            F5Fixture::Button(d, "OK")->click();
            offeredByF5 << offered;
            F5Fixture::Button(d, "Khoidong")->click();
            F5Fixture::GroupFrom(d, QStringLiteral("GPS07"));
            typeNext(QStringLiteral("BUOC2"));
            F5Fixture::Button(d, "OK")->click();
            offeredByF5 << offered;
            d.reject();
        });
        s.Action("KTtungnhom")->trigger();
        EXPECT_EQ(offeredByF5, (QStringList{QString(), QStringLiteral("BUOC1.dta")}));
        EXPECT_TRUE(FileExists(s.dir.File("BUOC2.dta")));

        typeNext(QString());
        EXPECT_EQ(s.window.AskSaveName(levelling), folder + QStringLiteral("/DOCAO.DTA"));
        EXPECT_EQ(offered, QStringLiteral("DOCAO.DTA"));
    }
    qputenv("XDG_CONFIG_HOME", oldHome);
}

}  // namespace
}  // namespace qef
