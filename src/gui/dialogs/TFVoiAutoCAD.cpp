#include "gui/dialogs/TFVoiAutoCAD.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <charconv>

#include "core/numeric/Numbers.h"
#include "gui/dialogs/DialogSupport.h"

namespace qef {

namespace {

const QString kNotANumber = QStringLiteral("Bạn chỉ nhập chữ số");
const QString kNotPositive = QStringLiteral("Độ cao text phải lớn hơn 0");

// A number that is not above 0 gets its own reason.
QString HeightRefusal(const QLineEdit* edit) {
    double value = 0;
    return TryParseReal(edit->text().toStdString(), value) ? kNotPositive : kNotANumber;
}

QString ShortText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

// Control-point layers are "kc1" to "kc10".
constexpr int kLayerCount = 10;

// The number of a layer suffix "kc<n>", or the fallback when the suffix is not of that form.
int LayerNumber(const std::string& suffix, int fallback) {
    if (suffix.size() < 3 || suffix.compare(0, 2, "kc") != 0) return fallback;
    int n = 0;
    const char* end = suffix.data() + suffix.size();
    auto [ptr, ec] = std::from_chars(suffix.data() + 2, end, n);
    return (ec == std::errc() && ptr == end && n >= 1 && n <= kLayerCount) ? n : fallback;
}

std::string LayerSuffix(int n) { return "kc" + std::to_string(n); }

}  // namespace

TFVoiAutoCAD::TFVoiAutoCAD(ComputationSettings& settings, QWidget* parent)
    : CheckedDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("FVoiAutoCAD"));
    setWindowTitle(QStringLiteral("Tải dữ liệu lên AutoCAD"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    // No drawing program is driven: the drawing is a DXF file written beside the result.
    auto* note = Named(new QLabel(QStringLiteral("Bản vẽ được ghi thành file DXF cạnh file kết quả"), this), "Label1");
    group_ = Named(new QGroupBox(QStringLiteral(" Ghi vào bản vẽ DXF (AutoCAD và các chương trình vẽ đều mở được) "),
                                 this),
                   "GroupBox1");

    BuildDrawingGroup();

    QHBoxLayout* buttons = OkCancelRow();
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(note);
    layout->addWidget(group_);
    layout->addLayout(buttons);
    TabInStandingOrder(*this);
    ConnectControls();
}

// What is drawn, the heights of its texts and its layers.
void TFVoiAutoCAD::BuildDrawingGroup() {
    CB_VeSDluoi0_ = Named(new QCheckBox(QStringLiteral("Tải điểm gốc.         Độ cao text ="), group_), "CB_VeSDluoi0");
    CB_VeSDluoi1_ = Named(new QCheckBox(QStringLiteral("Tải điểm bình sai. Độ cao text ="), group_), "CB_VeSDluoi1");
    CB_VeChitiet_ =
        Named(new QCheckBox(QStringLiteral("Tải điểm .                Độ cao text ="), group_), "CB_VeChitiet");
    CB_Vedocao_ = Named(new QCheckBox(QStringLiteral("Tải cao độ.             Độ cao text ="), group_), "CB_Vedocao");
    CB_ZtoCSDL_ = Named(new QCheckBox(QStringLiteral("Đưa độ cao vào dữ liệu tọa độ x, y, z"), group_), "CB_ZtoCSDL");

    auto heightEdit = [this](const char* name, double ComputationSettings::*member) {
        auto* edit = Named(new QLineEdit(ShortText(settings_.*member), group_), name);
        edit->setFixedWidth(50);
        heights_.push_back({edit, member});
        return edit;
    };
    QLineEdit* EcaotextL1 = heightEdit("EcaotextL1", &ComputationSettings::AcadTextHeight1);
    QLineEdit* EcaotextL2 = heightEdit("EcaotextL2", &ComputationSettings::AcadTextHeight2);
    QLineEdit* ECaotextL3 = heightEdit("ECaotextL3", &ComputationSettings::AcadTextHeight3);
    QLineEdit* ECaotextC = heightEdit("ECaotextC", &ComputationSettings::AcadHeightTextHeight);

    // The up-down and its number edit are one spin box; its edit keeps the old edit's name.
    auto layerSpin = [this](const char* name, const char* editName, int start) {
        auto* spin = Named(new QSpinBox(group_), name);
        spin->setRange(1, kLayerCount);
        spin->setWrapping(false);
        spin->setValue(start);
        if (auto* edit = spin->findChild<QLineEdit*>()) edit->setObjectName(QString::fromLatin1(editName));
        return spin;
    };
    UD_Layer1_ = layerSpin("UD_Layer1", "Elayer1", LayerNumber(settings_.AcadLayer1, 1));
    UD_Layer2_ = layerSpin("UD_Layer2", "ELayer2", LayerNumber(settings_.AcadLayer2, 2));

    auto* grid = new QGridLayout(group_);
    grid->addWidget(CB_VeSDluoi0_, 0, 0);
    grid->addWidget(EcaotextL1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Layer : "), group_), 0, 2, Qt::AlignRight);
    grid->addWidget(UD_Layer1_, 0, 3);
    grid->addWidget(CB_VeSDluoi1_, 1, 0);
    grid->addWidget(EcaotextL2, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Layer :"), group_), 1, 2, Qt::AlignRight);
    grid->addWidget(UD_Layer2_, 1, 3);
    grid->addWidget(CB_VeChitiet_, 2, 0);
    grid->addWidget(ECaotextL3, 2, 1);
    grid->addWidget(CB_Vedocao_, 3, 0);
    grid->addWidget(ECaotextC, 3, 1);
    grid->addWidget(CB_ZtoCSDL_, 4, 0, 1, 4);
    grid->setColumnMinimumWidth(2, 12);
}

void TFVoiAutoCAD::ConnectControls() {
    connect(CB_VeSDluoi0_, &QCheckBox::toggled, this, &TFVoiAutoCAD::OnKnownPoints);
    connect(CB_VeSDluoi1_, &QCheckBox::toggled, this, &TFVoiAutoCAD::OnAdjustedPoints);
    connect(CB_VeChitiet_, &QCheckBox::toggled, this, &TFVoiAutoCAD::OnDetailPoints);
    connect(CB_Vedocao_, &QCheckBox::toggled, this, [this](bool on) { SetFlagBit(UploadBit::HeightTexts, on); });
    connect(CB_ZtoCSDL_, &QCheckBox::toggled, this, [this](bool on) { SetFlagBit(UploadBit::Z, on); });
    connect(UD_Layer1_, &QSpinBox::valueChanged, this, [this](int n) { settings_.AcadLayer1 = LayerSuffix(n); });
    connect(UD_Layer2_, &QSpinBox::valueChanged, this, [this](int n) { settings_.AcadLayer2 = LayerSuffix(n); });
    for (const HeightEdit& h : heights_) {
        connect(h.edit, &QLineEdit::textChanged, this, [this, h] { OnHeightTextChanged(h); });
        connect(h.edit, &QLineEdit::editingFinished, this, [this, h] { OnHeightExit(h); });
    }
}

void TFVoiAutoCAD::ApplyModes() {
    const ComputationModeFlags& m = settings_.Modes;
    QCheckBox* all[] = {CB_VeSDluoi0_, CB_VeSDluoi1_, CB_VeChitiet_, CB_Vedocao_, CB_ZtoCSDL_};
    auto enable = [](QCheckBox* box, bool on) {
        if (!on) box->setChecked(false);
        box->setEnabled(on);
    };

    // Uploading a file, the point boxes fix the layers kc1 and kc2: the numbers only show them.
    const bool upload = settings_.AcadFileUploadMode;
    {
        const QSignalBlocker keep1(UD_Layer1_);
        const QSignalBlocker keep2(UD_Layer2_);
        UD_Layer1_->setValue(upload ? 1 : LayerNumber(settings_.AcadLayer1, 1));
        UD_Layer2_->setValue(upload ? 2 : LayerNumber(settings_.AcadLayer2, 2));
    }
    UD_Layer1_->setEnabled(!upload);
    UD_Layer2_->setEnabled(!upload);

    if (upload) {
        // Uploading a file: any of the boxes may apply, but only one point box, which fixes the layer.
        group_->setEnabled(true);
        for (QCheckBox* box : all) box->setEnabled(true);
        QCheckBox* points[] = {CB_VeSDluoi0_, CB_VeSDluoi1_, CB_VeChitiet_};
        const char* layers[] = {"kc1", "kc2", "diem"};
        for (int i = 0; i < 3; ++i) {
            if (!points[i]->isChecked()) continue;
            for (int j = i + 1; j < 3; ++j) points[j]->setChecked(false);
            settings_.AcadCurrentLayer = layers[i];
            break;
        }
        return;
    }
    if (m.ModeTraverse && m.RigorousWanted && m.ModeDetailPoints && m.ModeWithHeights) {
        group_->setEnabled(true);
        for (QCheckBox* box : all) box->setEnabled(true);
        return;
    }
    if (m.ModeLevelling) {
        for (QCheckBox* box : all) box->setChecked(false);
        group_->setEnabled(false);
        return;
    }
    group_->setEnabled(true);
    enable(CB_VeSDluoi0_, !m.ModeDetailPoints);
    enable(CB_VeSDluoi1_, !m.ModeDetailPoints);
    enable(CB_VeChitiet_, m.ModeDetailPoints);
    enable(CB_Vedocao_, m.ModeDetailPoints && m.ModeWithHeights);
    enable(CB_ZtoCSDL_, m.ModeDetailPoints && m.ModeWithHeights);
}

void TFVoiAutoCAD::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        ResetChecks();
        ApplyModes();
    }
    CheckedDialog::showEvent(event);
}

void TFVoiAutoCAD::OnKnownPoints(bool checked) {
    settings_.AcadUploadKnownPoints = checked;
    if (settings_.AcadFileUploadMode && checked) {
        CB_VeSDluoi1_->setChecked(false);
        CB_VeChitiet_->setChecked(false);
        settings_.AcadCurrentLayer = "kc1";
    }
}

void TFVoiAutoCAD::OnAdjustedPoints(bool checked) {
    settings_.AcadUploadAdjustedPoints = checked;
    if (settings_.AcadFileUploadMode && checked) {
        CB_VeSDluoi0_->setChecked(false);
        CB_VeChitiet_->setChecked(false);
        settings_.AcadCurrentLayer = "kc2";
    }
}

void TFVoiAutoCAD::OnDetailPoints(bool checked) {
    settings_.AcadUploadDetailPoints = checked;
    SetFlagBit(UploadBit::DetailPoints, checked);
    if (settings_.AcadFileUploadMode && checked) {
        CB_VeSDluoi0_->setChecked(false);
        CB_VeSDluoi1_->setChecked(false);
        settings_.AcadCurrentLayer = "diem";
    }
}

void TFVoiAutoCAD::SetFlagBit(UploadBit bit, bool on) {
    const auto mask = static_cast<std::uint8_t>(1u << static_cast<unsigned>(bit));
    if (on)
        settings_.AcadUploadFlags = static_cast<std::uint8_t>(settings_.AcadUploadFlags | mask);
    else
        settings_.AcadUploadFlags = static_cast<std::uint8_t>(settings_.AcadUploadFlags & ~mask);
}

bool TFVoiAutoCAD::HeightTextGood(const QLineEdit* edit, double& value) const {
    return TryParseReal(edit->text().toStdString(), value) && value > 0.0;
}

void TFVoiAutoCAD::OnHeightTextChanged(const HeightEdit& h) {
    ForgetRefusal(h.edit);
    double value = 0;
    if (HeightTextGood(h.edit, value)) settings_.*h.member = value;
}

void TFVoiAutoCAD::OnHeightExit(const HeightEdit& h) {
    double value = 0;
    if (!CheckingExits() || HeightTextGood(h.edit, value)) return;
    Refuse(h.edit, h.edit, HeightRefusal(h.edit));
}

void TFVoiAutoCAD::accept() {
    for (const HeightEdit& h : heights_) {
        double value = 0;
        if (!h.edit->isEnabled() || HeightTextGood(h.edit, value)) continue;
        RefuseAtOk(h.edit, h.edit, HeightRefusal(h.edit));
        return;
    }
    AcceptNow();
}

}  // namespace qef
