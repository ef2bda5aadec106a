#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "core/VnCodec.h"
#include "gui/TForm2.h"
#include "gui/TFTsbs.h"
#include "gui/TFVoiAutoCAD.h"

namespace qef {
namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "dialogs_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

template <typename W>
W* Find(QWidget& parent, const char* name) {
    W* w = parent.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

struct ParametersFixture : ::testing::Test {
    ParametersFixture() : dialog((EnsureApp(), settings)) {
        dialog.MessageHook = [this](const QString& text) { messages.push_back(text); };
    }
    QCheckBox* Box(const char* name) { return Find<QCheckBox>(dialog, name); }
    RadioGroupBox* Group(const char* name) { return Find<RadioGroupBox>(dialog, name); }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(dialog, name); }

    ComputationSettings settings;
    TFTsbs dialog;
    std::vector<QString> messages;
};

TEST_F(ParametersFixture, ProjectionAndUnitRadiosWriteTheirSettings) {
    settings.Modes.ModeTraverse = true;
    dialog.show();
    RadioGroupBox* projection = Group("RG_shcC2");
    EXPECT_FALSE(projection->isEnabled());
    Box("CBTinhshcC2")->setChecked(true);
    EXPECT_TRUE(projection->isEnabled());
    EXPECT_TRUE(settings.ProjectionReduction);

    projection->SetItemIndex(2);
    EXPECT_TRUE(settings.ProjectionIsUtm);
    EXPECT_FALSE(settings.UtmZone3Deg);
    EXPECT_DOUBLE_EQ(settings.ProjectionScale, 0.9996);
    projection->SetItemIndex(0);
    EXPECT_FALSE(settings.ProjectionIsUtm);
    EXPECT_FALSE(settings.UtmZone3Deg);  // Gauss keeps the zone width of the last UTM choice
    EXPECT_DOUBLE_EQ(settings.ProjectionScale, 1.0);
    projection->SetItemIndex(1);
    EXPECT_TRUE(settings.ProjectionIsUtm && settings.UtmZone3Deg);
    EXPECT_DOUBLE_EQ(settings.ProjectionScale, 0.9999);

    // A 6-degree UTM set elsewhere comes back as item 2 on the next show.
    dialog.hide();
    settings.UtmZone3Deg = false;
    dialog.show();
    EXPECT_EQ(projection->ItemIndex(), 2);
    EXPECT_DOUBLE_EQ(settings.ProjectionScale, 0.9996);

    Group("RGdvmet")->SetItemIndex(1);
    Group("RGdeg")->SetItemIndex(1);
    Group("RGdvgoc")->SetItemIndex(1);
    EXPECT_FALSE(settings.MetresFlag || settings.AnglesInDegrees || settings.AngleTextWithPoint);
    Group("RGdvmet")->SetItemIndex(0);
    EXPECT_TRUE(settings.MetresFlag);
}

TEST_F(ParametersFixture, WeightRadiosFollowRigorousBox) {
    auto* first = Find<QRadioButton>(dialog, "RBtrongsoQP1");
    auto* entered = Find<QRadioButton>(dialog, "RBtrongsonhap");
    QLineEdit* mb = Edit("EMb");
    EXPECT_TRUE(first->isChecked());
    EXPECT_FALSE(Find<QGroupBox>(dialog, "GB_trongso")->isEnabled());

    Box("CB_BSCC")->setChecked(true);
    EXPECT_TRUE(settings.Modes.RigorousWanted);
    EXPECT_TRUE(entered->isEnabled());
    EXPECT_FALSE(mb->isEnabled());  // estimated weights: nothing to enter

    entered->setChecked(true);
    EXPECT_EQ(settings.WeightMode, 2);
    EXPECT_TRUE(settings.WeightsEntered);
    EXPECT_TRUE(mb->isEnabled() && Edit("EMsa")->isEnabled() && Edit("EMsb")->isEnabled());

    Box("CB_BSCC")->setChecked(false);
    EXPECT_FALSE(settings.Modes.RigorousWanted);
    EXPECT_FALSE(mb->isEnabled() || entered->isEnabled());
    Box("CB_BSCC")->setChecked(true);
    EXPECT_TRUE(mb->isEnabled());  // mode 2 was kept

    first->setChecked(true);
    EXPECT_EQ(settings.WeightMode, 0);
    EXPECT_FALSE(settings.WeightsEntered);
    EXPECT_FALSE(mb->isEnabled());
}

TEST_F(ParametersFixture, HeightReductionShowsTheEditOfItsItem) {
    RadioGroupBox* mode = Group("RG_shcC1");
    QLineEdit* areaHeight = Edit("E_dctb_shc1");
    QLineEdit* planeHeight = Edit("E_dcmc_shc1");
    QCheckBox* fromFile = Box("CB_filedocao");
    EXPECT_TRUE(areaHeight->isVisibleTo(&dialog));
    EXPECT_FALSE(planeHeight->isVisibleTo(&dialog));

    Box("CBTinhshcC1")->setChecked(true);
    EXPECT_TRUE(settings.HeightReduction);
    EXPECT_TRUE(mode->isEnabled() && areaHeight->isEnabled());
    EXPECT_FALSE(fromFile->isEnabled());  // item 0 uses one area height, no file

    mode->SetItemIndex(2);
    EXPECT_EQ(settings.HeightReductionMode, 2);
    EXPECT_FALSE(areaHeight->isVisibleTo(&dialog));
    EXPECT_TRUE(planeHeight->isVisibleTo(&dialog));
    EXPECT_TRUE(fromFile->isEnabled());
    fromFile->setChecked(false);
    EXPECT_FALSE(settings.HeightsFromFile);

    mode->SetItemIndex(1);
    EXPECT_EQ(settings.HeightReductionMode, 1);
    EXPECT_FALSE(areaHeight->isVisibleTo(&dialog) || planeHeight->isVisibleTo(&dialog));

    Box("CBTinhshcC1")->setChecked(false);
    EXPECT_FALSE(settings.HeightReduction);
    EXPECT_FALSE(mode->isEnabled() || fromFile->isEnabled());
}

TEST_F(ParametersFixture, ShowRefreshesFromSettingsAndModes) {
    settings.ParamDialogTitle = Vn("Bình sai lưới");
    settings.LinearClosureDenominator = 2500;
    settings.MetresFlag = false;
    settings.AcadUploadEnabled = true;  // left on by another window
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Bình sai lưới"));
    EXPECT_EQ(Find<QComboBox>(dialog, "CBFs")->currentText(), QStringLiteral("2500"));
    EXPECT_EQ(Group("RGdvmet")->ItemIndex(), 1);
    EXPECT_FALSE(settings.AcadUploadEnabled);
    EXPECT_FALSE(settings.Modes.RigorousWanted);  // follows the unchecked box
    // No traverse, levelling or rigorous run: closure limits and reductions do not apply.
    EXPECT_FALSE(Find<QGroupBox>(dialog, "GBtsbs")->isEnabled());
    dialog.hide();

    settings.Modes.ModeLevelling = true;
    dialog.show();
    EXPECT_TRUE(Find<QGroupBox>(dialog, "GBtsbs")->isEnabled());
    dialog.hide();

    settings.Modes.ModeLevelling = false;
    Box("CB_BSCC")->setChecked(true);
    settings.Modes.RigorousWanted = false;
    dialog.show();
    EXPECT_TRUE(settings.Modes.RigorousWanted);
    EXPECT_TRUE(Find<QGroupBox>(dialog, "GBtsbs")->isEnabled());
}

TEST_F(ParametersFixture, NumberEditsRefuseBadTextOnLeaving) {
    settings.Modes.ModeTraverse = true;
    dialog.show();
    Box("CB_BSCC")->setChecked(true);
    Find<QRadioButton>(dialog, "RBtrongsonhap")->setChecked(true);

    QLineEdit* mb = Edit("EMb");
    mb->setText(QStringLiteral("7.5"));
    EXPECT_DOUBLE_EQ(settings.MbEntered, 7.5);
    mb->setText(QStringLiteral("7,5"));
    EXPECT_TRUE(messages.empty());  // not at every keystroke
    EXPECT_DOUBLE_EQ(settings.MbEntered, 7.5);
    emit mb->editingFinished();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Ban chi nhap chu so"));
    // OK: a bad Mb keeps the dialog open (its message was already given on leaving).
    Find<QPushButton>(dialog, "Button1")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.size(), 1u);
    mb->setText(QStringLiteral("6"));

    auto* limit = Find<QComboBox>(dialog, "CBFb");
    limit->setEditText(QStringLiteral("20"));
    EXPECT_EQ(settings.AngularClosureFactor, 20);
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
    Find<QPushButton>(dialog, "Button1")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.size(), 3u);
    area->setText(QStringLiteral("125.5"));
    Edit("E_dcmc_shc1")->setText(QString());
    settings.ProjectionPlaneHeight = 9.0;
    Find<QPushButton>(dialog, "Button1")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(settings.MeanAreaHeight, 125.5);
    EXPECT_DOUBLE_EQ(settings.ProjectionPlaneHeight, 0.0);  // an empty height is 0
    EXPECT_DOUBLE_EQ(settings.MbEntered, 6.0);
    EXPECT_EQ(settings.AngularClosureFactor, 15);
}

TEST_F(ParametersFixture, ExportBoxOpensTheOptionsDialog) {
    TFVoiAutoCAD options(settings);
    dialog.SetDrawingOptionsDialog(&options);
    dialog.show();
    bool opened = false;
    QTimer::singleShot(0, &options, [&] {
        opened = options.isVisible();
        options.reject();
    });
    Box("CB_ChotailenAcad")->setChecked(true);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(settings.AcadUploadEnabled);
    Box("CB_ChotailenAcad")->setChecked(false);
    EXPECT_FALSE(settings.AcadUploadEnabled);
}

struct OptionsFixture : ::testing::Test {
    OptionsFixture() : dialog((EnsureApp(), settings)) {
        dialog.MessageHook = [this](const QString& text) { messages.push_back(text); };
    }
    QCheckBox* Box(const char* name) { return Find<QCheckBox>(dialog, name); }
    void Reshow() {
        dialog.hide();
        dialog.show();
    }

    ComputationSettings settings;
    TFVoiAutoCAD dialog;
    std::vector<QString> messages;
};

TEST_F(OptionsFixture, ModesEnableBoxesAndFlagsTrackThem) {
    auto* group = Find<QGroupBox>(dialog, "GroupBox1");
    settings.Modes = {true, true, true, true, true};
    dialog.show();
    Box("CB_VeChitiet")->setChecked(true);
    Box("CB_Vedocao")->setChecked(true);
    Box("CB_ZtoCSDL")->setChecked(true);
    Box("CB_VeSDluoi0")->setChecked(true);
    EXPECT_EQ(settings.AcadUploadFlags, 7);
    EXPECT_TRUE(settings.AcadUploadDetailPoints && settings.AcadUploadKnownPoints);
    Box("CB_Vedocao")->setChecked(false);
    EXPECT_EQ(settings.AcadUploadFlags, 5);

    // Detail points without heights: only the detail box stays, so the flags are 0 or 1.
    settings.Modes = {};
    settings.Modes.ModeDetailPoints = true;
    Reshow();
    EXPECT_EQ(settings.AcadUploadFlags, 1);
    EXPECT_FALSE(settings.AcadUploadKnownPoints);
    EXPECT_FALSE(Box("CB_VeSDluoi0")->isEnabled() || Box("CB_VeSDluoi1")->isEnabled());
    EXPECT_FALSE(Box("CB_Vedocao")->isEnabled() || Box("CB_ZtoCSDL")->isEnabled());
    EXPECT_TRUE(Box("CB_VeChitiet")->isEnabled());

    // Traverse: the detail boxes go off.
    settings.Modes = {};
    settings.Modes.ModeTraverse = true;
    Reshow();
    EXPECT_EQ(settings.AcadUploadFlags, 0);
    EXPECT_FALSE(settings.AcadUploadDetailPoints);
    EXPECT_TRUE(Box("CB_VeSDluoi0")->isEnabled() && Box("CB_VeSDluoi1")->isEnabled());
    Box("CB_VeSDluoi1")->setChecked(true);

    // Levelling: nothing is exported.
    settings.Modes.ModeLevelling = true;
    Reshow();
    EXPECT_FALSE(group->isEnabled());
    EXPECT_FALSE(settings.AcadUploadAdjustedPoints || settings.AcadUploadKnownPoints);
    EXPECT_EQ(settings.AcadUploadFlags, 0);
}

TEST_F(OptionsFixture, FileUploadPointBoxesExcludeEachOther) {
    settings.Modes.ModeLevelling = true;  // whatever the last command left
    settings.AcadFileUploadMode = true;
    dialog.show();
    EXPECT_TRUE(Find<QGroupBox>(dialog, "GroupBox1")->isEnabled());
    for (const char* name : {"CB_VeSDluoi0", "CB_VeSDluoi1", "CB_VeChitiet", "CB_Vedocao", "CB_ZtoCSDL"})
        EXPECT_TRUE(Box(name)->isEnabled()) << name;

    Box("CB_VeSDluoi0")->setChecked(true);
    EXPECT_EQ(settings.AcadCurrentLayer, "kc1");
    Box("CB_VeSDluoi1")->setChecked(true);
    EXPECT_FALSE(Box("CB_VeSDluoi0")->isChecked());
    EXPECT_FALSE(settings.AcadUploadKnownPoints);
    EXPECT_EQ(settings.AcadCurrentLayer, "kc2");
    Box("CB_VeChitiet")->setChecked(true);
    EXPECT_FALSE(settings.AcadUploadAdjustedPoints);
    EXPECT_EQ(settings.AcadCurrentLayer, "diem");
    EXPECT_EQ(settings.AcadUploadFlags, 1);

    // Outside file upload the point boxes may be combined.
    settings.AcadFileUploadMode = false;
    settings.Modes = {true, true, true, true, true};
    Reshow();
    Box("CB_VeSDluoi0")->setChecked(true);
    EXPECT_TRUE(Box("CB_VeChitiet")->isChecked());

    // Back in file upload, the first checked point box is the one kept.
    settings.AcadFileUploadMode = true;
    Reshow();
    EXPECT_TRUE(Box("CB_VeSDluoi0")->isChecked());
    EXPECT_FALSE(Box("CB_VeChitiet")->isChecked());
    EXPECT_EQ(settings.AcadCurrentLayer, "kc1");
}

TEST_F(OptionsFixture, LayersAndTextHeights) {
    dialog.show();
    auto* layer1 = Find<QSpinBox>(dialog, "UD_Layer1");
    auto* layer2 = Find<QSpinBox>(dialog, "UD_Layer2");
    EXPECT_EQ(layer1->value(), 1);
    EXPECT_EQ(layer2->value(), 2);
    layer1->setValue(7);
    EXPECT_EQ(settings.AcadLayer1, "kc7");
    layer2->setValue(10);
    layer2->stepUp();  // no wrap past 10
    EXPECT_EQ(settings.AcadLayer2, "kc10");
    Find<QLineEdit>(dialog, "Elayer1")->setText(QStringLiteral("3"));  // typed
    EXPECT_EQ(settings.AcadLayer1, "kc3");

    auto* height = Find<QLineEdit>(dialog, "ECaotextL3");
    height->setText(QStringLiteral("2.5"));
    EXPECT_DOUBLE_EQ(settings.AcadTextHeight3, 2.5);
    height->setText(QStringLiteral("0"));
    height->setText(QString());
    EXPECT_DOUBLE_EQ(settings.AcadTextHeight3, 2.5);
    EXPECT_TRUE(messages.empty());
    emit height->editingFinished();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Bạn chỉ nhập chữ số"));
    height->setText(QStringLiteral("-1"));
    Find<QPushButton>(dialog, "Button1")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.size(), 2u);
    height->setText(QStringLiteral("1.8"));
    Find<QPushButton>(dialog, "Button1")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_DOUBLE_EQ(settings.AcadTextHeight3, 1.8);
}

TEST(Monitor, ShowResetsStageAndCounts) {
    EnsureApp();
    TForm2 monitor;
    const QString preparing = QStringLiteral("Chuẩn bị bình sai, Xin chờ !");
    monitor.Show();
    EXPECT_TRUE(monitor.isVisible());
    EXPECT_FALSE(monitor.isModal());
    EXPECT_EQ(monitor.Label(MonitorLabel::Stage)->text(), preparing);
    EXPECT_EQ(monitor.Label(MonitorLabel::Stage)->objectName(), QStringLiteral("Ltientrinh"));

    monitor.SetText(MonitorLabel::Stage, Vn("Nhóm 2"));
    EXPECT_EQ(monitor.Label(MonitorLabel::Stage)->text(), QStringLiteral("Nhóm 2"));
    monitor.SetText(MonitorLabel::Nodes, "4");
    monitor.SetText(MonitorLabel::Angles, "31");
    monitor.SetText(MonitorLabel::Accuracy, "x");
    monitor.SetText(MonitorLabel::Start, "08:15:00");
    monitor.SetRange(0, 11);
    monitor.SetPosition(5);
    auto* bar = Find<QProgressBar>(monitor, "PB1");
    EXPECT_EQ(bar->maximum(), 11);
    EXPECT_EQ(bar->value(), 5);
    EXPECT_EQ(Find<QLabel>(monitor, "Lsogoc")->text(), QStringLiteral("31"));

    // A second run while the window is still open starts from the preparing text again.
    monitor.Show();
    EXPECT_EQ(monitor.Label(MonitorLabel::Stage)->text(), preparing);
    for (const char* name : {"Lsonut", "Lsonhanh", "Lsogoc", "Lsocanh", "Label4"})
        EXPECT_TRUE(Find<QLabel>(monitor, name)->text().isEmpty()) << name;
    EXPECT_EQ(Find<QLabel>(monitor, "Batdau")->text(), QStringLiteral("08:15:00"));

    Find<QPushButton>(monitor, "Button1")->click();
    EXPECT_FALSE(monitor.isVisible());
}

}  // namespace
}  // namespace qef
