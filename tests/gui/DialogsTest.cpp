#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QRadioButton>

#include "GuiTestSupport.h"
#include "gui/dialogs/TForm2.h"
#include "gui/dialogs/TFTsbs.h"
#include "gui/dialogs/TFVoiAutoCAD.h"

namespace qef {
namespace {

using test::Find;

// One of the two settings dialogs, its messages collected.
template <typename Dialog>
struct DialogFixture : ::testing::Test {
    DialogFixture() : dialog((test::EnsureApp(), settings)) {
        dialog.MessageHook = [this](const QString& text) { messages.push_back(text); };
    }
    QCheckBox* Box(const char* name) { return Find<QCheckBox>(dialog, name); }
    RadioGroupBox* Group(const char* name) { return Find<RadioGroupBox>(dialog, name); }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(dialog, name); }
    void ClickOk() { Find<QPushButton>(dialog, "Button1")->click(); }
    // "1" or "0" for each point box of the options dialog, in the order of the dialog.
    std::string PointBoxesEnabled() {
        std::string on;
        for (const char* name : {"CB_VeSDluoi0", "CB_VeSDluoi1", "CB_VeChitiet", "CB_Vedocao", "CB_ZtoCSDL"})
            on += Box(name)->isEnabled() ? '1' : '0';
        return on;
    }
    void Reshow() {
        dialog.hide();
        dialog.show();
    }

    ComputationSettings settings;
    Dialog dialog;
    std::vector<QString> messages;
};
using ParametersFixture = DialogFixture<TFTsbs>;
using OptionsFixture = DialogFixture<TFVoiAutoCAD>;

TEST_F(ParametersFixture, ProjectionChoiceSetsZoneAndScale) {
    settings.Modes.ModeTraverse = true;
    dialog.show();
    RadioGroupBox* projection = Group("RG_shcC2");
    EXPECT_FALSE(projection->isEnabled());
    Box("CBTinhshcC2")->setChecked(true);
    EXPECT_TRUE(projection->isEnabled() && settings.ProjectionReduction);

    // Gauss keeps the zone width of the UTM choice before it.
    struct Case { int item; bool utm; bool zone3; double scale; };
    for (const Case c : {Case{2, true, false, 0.9996}, Case{0, false, false, 1.0}, Case{1, true, true, 0.9999}}) {
        projection->SetItemIndex(c.item);
        EXPECT_EQ(settings.ProjectionIsUtm, c.utm) << c.item;
        EXPECT_EQ(settings.UtmZone3Deg, c.zone3) << c.item;
        EXPECT_DOUBLE_EQ(settings.ProjectionScale, c.scale) << c.item;
    }
    // A 6-degree UTM set elsewhere comes back as item 2 on the next show.
    settings.UtmZone3Deg = false;
    Reshow();
    EXPECT_EQ(projection->ItemIndex(), 2);
    EXPECT_DOUBLE_EQ(settings.ProjectionScale, 0.9996);
}

TEST_F(ParametersFixture, WeightRadiosFollowRigorousBox) {
    auto* first = Find<QRadioButton>(dialog, "RBtrongsoQP1");
    auto* entered = Find<QRadioButton>(dialog, "RBtrongsonhap");
    QLineEdit* mb = Edit("EMb");
    EXPECT_TRUE(first->isChecked() && !Find<QGroupBox>(dialog, "GB_trongso")->isEnabled());

    Box("CB_BSCC")->setChecked(true);
    EXPECT_TRUE(settings.Modes.RigorousWanted && entered->isEnabled());
    EXPECT_FALSE(mb->isEnabled());  // estimated weights: nothing to enter

    entered->setChecked(true);
    EXPECT_TRUE(settings.WeightMode == WeightMode::Entered && settings.WeightsEntered);
    EXPECT_TRUE(mb->isEnabled() && Edit("EMsa")->isEnabled() && Edit("EMsb")->isEnabled());

    Box("CB_BSCC")->setChecked(false);
    EXPECT_FALSE(settings.Modes.RigorousWanted);
    EXPECT_FALSE(mb->isEnabled() || entered->isEnabled());
    Box("CB_BSCC")->setChecked(true);
    EXPECT_TRUE(mb->isEnabled());  // entered weights were kept

    first->setChecked(true);
    EXPECT_FALSE(settings.WeightMode != WeightMode::Estimated || settings.WeightsEntered || mb->isEnabled());
}

TEST_F(ParametersFixture, HeightReductionShowsTheEditOfItsItem) {
    RadioGroupBox* mode = Group("RG_shcC1");
    QCheckBox* fromFile = Box("CB_filedocao");
    Box("CBTinhshcC1")->setChecked(true);
    EXPECT_TRUE(settings.HeightReduction && mode->isEnabled());
    // Item 0 takes one mean area height, item 2 a projection plane height; 1 and 2 may read a height file.
    struct Case { int item; ReductionMode mode; bool area, plane, file; };
    for (const Case c : {Case{2, ReductionMode::AboveProjectionPlane, false, true, true},
                         Case{1, ReductionMode::SideMean, false, false, true},
                         Case{0, ReductionMode::AreaMean, true, false, false}}) {
        mode->SetItemIndex(c.item);
        EXPECT_EQ(settings.HeightReductionMode, c.mode);
        EXPECT_EQ(Edit("E_dctb_shc1")->isVisibleTo(&dialog), c.area) << c.item;
        EXPECT_EQ(Edit("E_dcmc_shc1")->isVisibleTo(&dialog), c.plane) << c.item;
        EXPECT_EQ(fromFile->isEnabled(), c.file) << c.item;
    }
    Box("CBTinhshcC1")->setChecked(false);
    EXPECT_FALSE(settings.HeightReduction || mode->isEnabled() || fromFile->isEnabled());
}

TEST_F(ParametersFixture, ShowRefreshesFromSettingsAndModes) {
    settings.ParamDialogTitle = Vn("Bình sai lưới");
    settings.LinearClosureDenominator = 2500;
    settings.AcadUploadEnabled = true;  // left on by another window
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Bình sai lưới"));
    EXPECT_EQ(Find<QComboBox>(dialog, "CBFs")->currentText(), QStringLiteral("2500"));
    EXPECT_FALSE(settings.AcadUploadEnabled);
    EXPECT_FALSE(settings.Modes.RigorousWanted);  // follows the unchecked box
    // No traverse, levelling or rigorous run: closure limits and reductions do not apply.
    EXPECT_FALSE(Find<QGroupBox>(dialog, "GBtsbs")->isEnabled());

    Box("CB_BSCC")->setChecked(true);
    settings.Modes.RigorousWanted = false;
    Reshow();
    EXPECT_TRUE(settings.Modes.RigorousWanted && Find<QGroupBox>(dialog, "GBtsbs")->isEnabled());
}

TEST_F(ParametersFixture, NumberEditsRefuseBadTextOnLeaving) {
    settings.Modes.ModeTraverse = true;
    dialog.show();
    Box("CB_BSCC")->setChecked(true);
    Find<QRadioButton>(dialog, "RBtrongsonhap")->setChecked(true);

    QLineEdit* mb = Edit("EMb");
    mb->setText(QStringLiteral("7.5"));
    mb->setText(QStringLiteral("7,5"));
    EXPECT_TRUE(messages.empty());  // not at every keystroke
    EXPECT_DOUBLE_EQ(settings.MbEnteredSeconds, 7.5);
    emit mb->editingFinished();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Ban chi nhap chu so"));
    // OK: a bad Mb keeps the dialog open (its message was already given on leaving).
    ClickOk();
    EXPECT_TRUE(dialog.isVisible() && messages.size() == 1u);
    mb->setText(QStringLiteral("6"));

    auto* limit = Find<QComboBox>(dialog, "CBFb");
    limit->setCurrentIndex(0);  // "3" from the list
    EXPECT_EQ(settings.AngularClosureFactor, 3);
    for (const char* bad : {"0", "-5", "12.5", "x"}) {
        limit->setEditText(QString::fromLatin1(bad));
        EXPECT_EQ(settings.AngularClosureFactor, 3) << bad;
    }
    emit limit->lineEdit()->editingFinished();
    EXPECT_EQ(messages.size(), 2u);
    limit->setEditText(QStringLiteral("15"));

    // A bad height keeps the dialog open; good heights are taken at OK.
    Box("CBTinhshcC1")->setChecked(true);
    QLineEdit* area = Edit("E_dctb_shc1");
    area->setText(QStringLiteral("12a"));
    ClickOk();
    EXPECT_TRUE(dialog.isVisible() && messages.size() == 3u);
    area->setText(QStringLiteral("125.5"));
    Edit("E_dcmc_shc1")->setText(QString());
    settings.ProjectionPlaneHeight = 9.0;
    ClickOk();
    EXPECT_TRUE(!dialog.isVisible() && dialog.result() == QDialog::Accepted);
    EXPECT_DOUBLE_EQ(settings.MeanAreaHeight, 125.5);
    EXPECT_DOUBLE_EQ(settings.ProjectionPlaneHeight, 0.0);  // an empty height is 0
    EXPECT_DOUBLE_EQ(settings.MbEnteredSeconds, 6.0);
    EXPECT_EQ(settings.AngularClosureFactor, 15);
}

TEST_F(OptionsFixture, ModesEnableBoxesAndFlagsTrackThem) {
    settings.Modes = {true, true, true, true, true};
    dialog.show();
    for (const char* name : {"CB_VeChitiet", "CB_Vedocao", "CB_ZtoCSDL", "CB_VeSDluoi0"}) Box(name)->setChecked(true);
    EXPECT_EQ(settings.AcadUploadFlags, 7);
    EXPECT_TRUE(settings.AcadUploadDetailPoints && settings.AcadUploadKnownPoints);
    Box("CB_Vedocao")->setChecked(false);
    EXPECT_EQ(settings.AcadUploadFlags, 5);

    // Detail points without heights: only the detail box stays, so the flags are 0 or 1.
    settings.Modes = {};
    settings.Modes.ModeDetailPoints = true;
    Reshow();
    EXPECT_TRUE(settings.AcadUploadFlags == 1 && !settings.AcadUploadKnownPoints);
    EXPECT_EQ(PointBoxesEnabled(), "00100");

    // Traverse: the detail boxes go off.
    settings.Modes = {};
    settings.Modes.ModeTraverse = true;
    Reshow();
    EXPECT_TRUE(settings.AcadUploadFlags == 0 && !settings.AcadUploadDetailPoints);
    EXPECT_EQ(PointBoxesEnabled(), "11000");
    Box("CB_VeSDluoi1")->setChecked(true);

    // Levelling: nothing is exported.
    settings.Modes.ModeLevelling = true;
    Reshow();
    EXPECT_FALSE(Find<QGroupBox>(dialog, "GroupBox1")->isEnabled());
    EXPECT_FALSE(settings.AcadUploadAdjustedPoints || settings.AcadUploadKnownPoints || settings.AcadUploadFlags);
}

TEST_F(OptionsFixture, FileUploadPointBoxesExcludeEachOther) {
    settings.Modes.ModeLevelling = true;  // whatever the last command left
    settings.AcadFileUploadMode = true;
    dialog.show();
    EXPECT_TRUE(Find<QGroupBox>(dialog, "GroupBox1")->isEnabled());
    EXPECT_EQ(PointBoxesEnabled(), "11111");

    Box("CB_VeSDluoi0")->setChecked(true);
    EXPECT_EQ(settings.AcadCurrentLayer, "kc1");
    Box("CB_VeSDluoi1")->setChecked(true);
    EXPECT_FALSE(Box("CB_VeSDluoi0")->isChecked() || settings.AcadUploadKnownPoints);
    EXPECT_EQ(settings.AcadCurrentLayer, "kc2");
    Box("CB_VeChitiet")->setChecked(true);
    EXPECT_TRUE(!settings.AcadUploadAdjustedPoints && settings.AcadUploadFlags == 1);
    EXPECT_EQ(settings.AcadCurrentLayer, "diem");

    // Outside file upload the point boxes may be combined.
    settings.AcadFileUploadMode = false;
    settings.Modes = {true, true, true, true, true};
    Reshow();
    Box("CB_VeSDluoi0")->setChecked(true);
    EXPECT_TRUE(Box("CB_VeChitiet")->isChecked());

    // Back in file upload, the first checked point box is the one kept.
    settings.AcadFileUploadMode = true;
    Reshow();
    EXPECT_TRUE(Box("CB_VeSDluoi0")->isChecked() && !Box("CB_VeChitiet")->isChecked());
    EXPECT_EQ(settings.AcadCurrentLayer, "kc1");
}

TEST_F(OptionsFixture, TextHeightsAreNumbersAboveZero) {
    dialog.show();
    QLineEdit* height = Edit("ECaotextL3");
    height->setText(QStringLiteral("2.5"));
    height->setText(QString());
    EXPECT_DOUBLE_EQ(settings.AcadTextHeight3, 2.5);
    EXPECT_TRUE(messages.empty());
    emit height->editingFinished();
    height->setText(QStringLiteral("-1"));
    ClickOk();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages, (std::vector<QString>{QStringLiteral("Bạn chỉ nhập chữ số"),
                                              QStringLiteral("Độ cao text phải lớn hơn 0")}));
    height->setText(QStringLiteral("1.8"));
    ClickOk();
    EXPECT_TRUE(!dialog.isVisible() && settings.AcadTextHeight3 == 1.8);
}

TEST(Monitor, ShowResetsItAndOnlyTheRunnerEndsTheRun) {
    test::EnsureApp();
    TForm2 monitor;
    auto* bar = Find<QProgressBar>(monitor, "PB1");
    QLabel* end = Find<QLabel>(monitor, "Ketthuc");
    const QString preparing = QStringLiteral("Chuẩn bị bình sai, Xin chờ !");
    monitor.Show();
    EXPECT_TRUE(monitor.isVisible() && !monitor.isModal());

    monitor.SetText(MonitorLabel::Stage, Vn("Nhóm 2"));
    monitor.SetText(MonitorLabel::Angles, "31");
    monitor.SetText(MonitorLabel::Start, "08:15:00");
    // The computation at the end of its range, stamping its time: the run is not over yet.
    monitor.SetRange(0, 11);
    monitor.SetPosition(5);
    EXPECT_EQ(bar->text(), QStringLiteral("45%"));  // 5 of 11
    monitor.SetPosition(11);
    monitor.SetText(MonitorLabel::End, Vn("đến 08:15:09"));
    EXPECT_EQ(bar->text(), QStringLiteral("99%"));
    EXPECT_TRUE(end->text().isEmpty());
    monitor.EndRun(true);
    EXPECT_EQ(bar->text(), QStringLiteral("100%"));
    EXPECT_TRUE(end->text().startsWith(QStringLiteral("đến ")));

    // A second run while the window is still open starts from the preparing text again; one that
    // stops short keeps its bar where it stopped.
    monitor.Show();
    EXPECT_EQ(monitor.Label(MonitorLabel::Stage)->text(), preparing);
    for (const char* name : {"Lsonut", "Lsonhanh", "Lsogoc", "Lsocanh", "Label4", "Ketthuc"})
        EXPECT_TRUE(Find<QLabel>(monitor, name)->text().isEmpty()) << name;
    EXPECT_EQ(Find<QLabel>(monitor, "Batdau")->text(), QStringLiteral("08:15:00"));
    monitor.SetRange(0, 11);
    monitor.SetPosition(3);
    monitor.EndRun(false);
    EXPECT_EQ(bar->text(), QStringLiteral("27%"));  // 3 of 11
    EXPECT_FALSE(end->text().isEmpty());

    Find<QPushButton>(monitor, "Button1")->click();
    EXPECT_FALSE(monitor.isVisible());
}

}  // namespace
}  // namespace qef

namespace qef {
namespace {

// The options promise no drawing program: they say the drawing is a DXF file beside the result.
TEST_F(OptionsFixture, SaysTheDrawingIsADxfFileBesideTheResult) {
    const QString note = test::Find<QLabel>(dialog, "Label1")->text();
    EXPECT_FALSE(note.contains(QStringLiteral("khởi động")));
    EXPECT_TRUE(note.contains(QStringLiteral("DXF")) && note.contains(QStringLiteral("file kết quả")));
    EXPECT_FALSE(test::Find<QGroupBox>(dialog, "GroupBox1")->title().contains(QStringLiteral("R14")));
}

}  // namespace
}  // namespace qef

namespace qef {
namespace {

// Uploading a file, the point boxes fix the layers kc1 and kc2: the layer numbers beside them show
// 1 and 2 and cannot be changed; the layers chosen for a computation's drawing stay as they were.
TEST_F(OptionsFixture, UploadShowsTheFixedLayersOfThePointBoxes) {
    settings.AcadLayer1 = "kc4";
    settings.AcadLayer2 = "kc7";
    auto* layer1 = Find<QSpinBox>(dialog, "UD_Layer1");
    auto* layer2 = Find<QSpinBox>(dialog, "UD_Layer2");
    settings.AcadFileUploadMode = true;
    dialog.show();
    EXPECT_FALSE(layer1->isEnabled() || layer2->isEnabled());
    EXPECT_EQ(layer1->value(), 1);
    EXPECT_EQ(layer2->value(), 2);
    EXPECT_EQ(settings.AcadLayer1, "kc4");
    EXPECT_EQ(settings.AcadLayer2, "kc7");

    settings.AcadFileUploadMode = false;
    settings.Modes = {true, false, false, false, false};
    Reshow();
    EXPECT_TRUE(layer1->isEnabled() && layer2->isEnabled());
    EXPECT_EQ(layer1->value(), 4);
    EXPECT_EQ(layer2->value(), 7);
}

}  // namespace
}  // namespace qef
