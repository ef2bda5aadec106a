#include <QCheckBox>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "GuiTestSupport.h"
#include "adjustment/AdjustByOrder.h"
#include "core/text/TextFile.h"
#include "gui/dialogs/TFListCanhXp.h"
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

    test::TempDir f4;
    ComputationSettings settings;
    settings.Modes.ModeTraverse = true;
    test::ScriptedInteraction quiet;
    NullProgress progress;
    RunRecord run;
    const AdjustmentInput input{known, observations, "", f4.File("KQ.DTA")};
    ASSERT_EQ(AdjustNetworkByOrder(input, settings, quiet, progress, run).Outcome, RunOutcome::Completed);

    int repeats = 0;
    const auto stepwise = test::ReadResult(dir.File("KQ.DTA"), repeats);
    EXPECT_EQ(repeats, 0);
    const auto whole = test::ReadResult(f4.File("KQ.DTA"), repeats);
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

}  // namespace
}  // namespace qef
