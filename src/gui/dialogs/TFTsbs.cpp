#include "gui/dialogs/TFTsbs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <array>
#include <charconv>

#include "core/numeric/Numbers.h"
#include "gui/GuiText.h"
#include "gui/dialogs/TFVoiAutoCAD.h"
#include "gui/dialogs/DialogSupport.h"

namespace qef {

namespace {

const QString kNotANumber = QStringLiteral("Ban chi nhap chu so");
const QString kNotALimit = QStringLiteral("Ban chi nhap so nguyen lon hon 0");

bool ParseNumber(const QString& text, double& value) {
    return TryParseReal(text.toStdString(), value);
}

bool IsBlank(const QString& text) { return text.trimmed().isEmpty(); }

// A closure limit: a whole number of at least 1 (a zero limit would refuse every closure).
bool ParseLimit(const QString& text, std::int32_t& value) {
    const std::string digits = text.trimmed().toStdString();
    std::int32_t parsed = 0;
    const char* end = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), end, parsed);
    if (digits.empty() || ec != std::errc() || ptr != end || parsed < 1) return false;
    value = parsed;
    return true;
}

QString ShortText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

QLineEdit* NumberEdit(QWidget* parent, const char* name, const QString& text, int width) {
    auto* edit = Named(new QLineEdit(text, parent), name);
    edit->setFixedWidth(width);
    return edit;
}

// RG_shcC1's items in the order of their buttons.
constexpr std::array kReductionItems{ReductionMode::AreaMean, ReductionMode::SideMean,
                                     ReductionMode::AboveProjectionPlane};

bool IsReductionItem(int item) { return item >= 0 && item < static_cast<int>(kReductionItems.size()); }

// Whether the chosen item takes heights from the points; false when none is chosen.
bool ItemUsesPointHeights(int item) {
    return IsReductionItem(item) && UsesPointHeights(kReductionItems[static_cast<std::size_t>(item)]);
}

}  // namespace

RadioGroupBox::RadioGroupBox(const QString& name, const QString& title, const QStringList& items,
                             QWidget* parent)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this)), grid_(new QGridLayout(this)) {
    setObjectName(name);
    buttons_->setExclusive(true);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(name + QStringLiteral("Item") + QString::number(i));
        buttons_->addButton(button, i);
        grid_->addWidget(button, i, 0);
    }
    connect(buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit ItemChosen(id);
    });
}

int RadioGroupBox::ItemIndex() const { return buttons_->checkedId(); }

void RadioGroupBox::SetItemIndex(int index) {
    if (QAbstractButton* button = buttons_->button(index)) button->setChecked(true);
}

QRadioButton* RadioGroupBox::Item(int index) const {
    return static_cast<QRadioButton*>(buttons_->button(index));
}

TFTsbs::TFTsbs(ComputationSettings& settings, QWidget* parent) : CheckedDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("FTsbs"));
    setWindowTitle(FromTcvn3(settings_.ParamDialogTitle));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    CB_BSCC_ = Named(new QCheckBox(QStringLiteral("Bình sai chặt chẽ"), this), "CB_BSCC");
    CB_0XulyDCtreo_ = Named(new QCheckBox(QStringLiteral("Không xử lý Đ/C treo"), this), "CB_0XulyDCtreo");
    CB_ChotailenAcad_ = Named(new QCheckBox(QStringLiteral("Tải lên Acad > R14"), this), "CB_ChotailenAcad");
    CB_0XulyDCtreo_->setChecked(settings_.SkipHangingTraverses);

    QHBoxLayout* buttons = OkCancelRow();
    auto* options = new QHBoxLayout;
    options->addWidget(CB_BSCC_);
    options->addWidget(CB_0XulyDCtreo_);
    options->addWidget(CB_ChotailenAcad_);
    options->addStretch();

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildUnits());
    layout->addWidget(BuildAdjustment());
    layout->addWidget(BuildWeights());
    layout->addLayout(options);
    layout->addStretch();
    ScrollingBody(*this, body, buttons);

    // Start state: reductions off, weights follow the unchecked "Bình sai chặt chẽ".
    RG_shcC2_->setEnabled(false);
    RG_shcC1_->setEnabled(false);
    E_dctb_shc1_->setEnabled(false);
    E_dcmc_shc1_->setEnabled(false);
    E_dcmc_shc1_->setVisible(false);
    CB_filedocao_->setEnabled(false);
    GB_trongso_->setEnabled(false);
    SetWeightEditsEnabled(false);

    Connect();
}

QWidget* TFTsbs::BuildUnits() {
    auto* box = Named(new QGroupBox(QStringLiteral(" Kiểu dữ liệu "), this), "GBkieudulieu");
    RGdvmet_ = new RadioGroupBox(QStringLiteral("RGdvmet"), QStringLiteral(" Đơn vị độ dài "),
                                 {QStringLiteral("(m)"), QStringLiteral("(mm)")}, box);
    RGdeg_ = new RadioGroupBox(QStringLiteral("RGdeg"), QStringLiteral(" Đơn vị góc "),
                               {QStringLiteral("Độ"), QStringLiteral("Grad")}, box);
    RGdvgoc_ = new RadioGroupBox(QStringLiteral("RGdvgoc"), QStringLiteral(" Hiển thị góc "),
                                 {QStringLiteral("180.0000"), QStringLiteral("1800000")}, box);
    RGdvmet_->SetItemIndex(settings_.MetresFlag ? 0 : 1);
    RGdeg_->SetItemIndex(settings_.AnglesInDegrees ? 0 : 1);
    RGdvgoc_->SetItemIndex(settings_.AngleTextWithPoint ? 0 : 1);
    auto* row = new QHBoxLayout(box);
    row->addWidget(RGdvmet_);
    row->addWidget(RGdeg_);
    row->addWidget(RGdvgoc_);
    return box;
}

QWidget* TFTsbs::BuildAdjustment() {
    GBtsbs_ = Named(new QGroupBox(QStringLiteral(" Các thông số bình sai "), this), "GBtsbs");

    // Closure limits.
    auto* limits = new QGridLayout;
    limits->addWidget(new QLabel(QStringLiteral("Các sai số khép giới hạn "), GBtsbs_), 0, 0, 1, 3);
    auto addLimit = [&](int row, const char* name, const QString& before, const QString& after,
                        const QStringList& items) {
        auto* combo = Named(new QComboBox(GBtsbs_), name);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(items);
        combo->setMinimumContentsLength(7);
        combo->lineEdit()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Edit"));
        limits->addWidget(new QLabel(before, GBtsbs_), row, 0, Qt::AlignRight);
        limits->addWidget(combo, row, 1);
        limits->addWidget(new QLabel(after, GBtsbs_), row, 2);
        return combo;
    };
    CBFs_ = addLimit(1, "CBFs", QStringLiteral("Fs / [S]  ≤  1 /"), QString(),
                     {"100000", "50000", "25000", "15000", "10000", "5000", "4000", "2500", "2000", "1000"});
    CBFb_ = addLimit(2, "CBFb", QStringLiteral("Fb  ≤"), QStringLiteral("√N"),
                     {"3", "5", "10", "15", "20", "30", "60"});
    CBFh_ = addLimit(3, "CBFh", QStringLiteral("Fh  ≤"), QStringLiteral("√L"),
                     {"4", "10", "20", "50", "100"});
    CBFs_->setEditText(QString::number(settings_.LinearClosureDenominator));
    CBFb_->setEditText(QString::number(settings_.AngularClosureFactor));
    CBFh_->setEditText(QString::number(settings_.HeightClosureFactor));
    limits->setRowStretch(4, 1);
    closureCombos_ = {{CBFs_, &ComputationSettings::LinearClosureDenominator},
                      {CBFb_, &ComputationSettings::AngularClosureFactor},
                      {CBFh_, &ComputationSettings::HeightClosureFactor}};

    // Reduction of sides by heights; each height edit stands beside the item that uses it.
    CBTinhshcC1_ = Named(new QCheckBox(QStringLiteral("Hiệu chỉnh cạnh theo độ cao"), GBtsbs_), "CBTinhshcC1");
    RG_shcC1_ = new RadioGroupBox(QStringLiteral("RG_shcC1"), QString(),
                                  {QStringLiteral("Độ cao trung bình khu đo"),
                                   QStringLiteral("Độ cao trung bình từng cạnh"),
                                   QStringLiteral("Đcao từng cạnh so với đcao mặt chiếu")},
                                  GBtsbs_);
    RG_shcC1_->SetItemIndex(0);
    E_dctb_shc1_ = NumberEdit(RG_shcC1_, "E_dctb_shc1", QStringLiteral("0"), 70);
    E_dcmc_shc1_ = NumberEdit(RG_shcC1_, "E_dcmc_shc1", QStringLiteral("0"), 70);
    RG_shcC1_->Grid()->addWidget(E_dctb_shc1_, 0, 1);
    RG_shcC1_->Grid()->addWidget(E_dcmc_shc1_, 2, 1);
    RG_shcC1_->Grid()->setColumnMinimumWidth(1, 70);
    CB_filedocao_ = Named(new QCheckBox(QStringLiteral("Lấy dl độ cao từ file"), GBtsbs_), "CB_filedocao");
    CB_filedocao_->setChecked(true);

    // Reduction of sides to the projection.
    CBTinhshcC2_ = Named(new QCheckBox(QStringLiteral("Hc cạnh theo KT trục"), GBtsbs_), "CBTinhshcC2");
    RG_shcC2_ = new RadioGroupBox(QStringLiteral("RG_shcC2"), QString(),
                                  {QStringLiteral("Gauss (HN1972)"), QStringLiteral("UTM (VN2000-3độ)"),
                                   QStringLiteral("UTM (VN2000-6độ)")},
                                  GBtsbs_);
    RG_shcC2_->SetItemIndex(1);

    auto* reductions = new QVBoxLayout;
    reductions->addWidget(CBTinhshcC1_);
    reductions->addWidget(RG_shcC1_);
    reductions->addWidget(CB_filedocao_);
    reductions->addSpacing(4);
    reductions->addWidget(CBTinhshcC2_);
    reductions->addWidget(RG_shcC2_);

    auto* row = new QHBoxLayout(GBtsbs_);
    row->addLayout(limits);
    row->addSpacing(12);
    row->addLayout(reductions, 1);
    return GBtsbs_;
}

QWidget* TFTsbs::BuildWeights() {
    GB_trongso_ = Named(new QGroupBox(QStringLiteral(" Trọng số trong bình sai chặt chẽ "), this), "GB_trongso");
    // The exponents, drawn above the line in the old layout, are written as superscripts.
    RBtrongsoQP1_ = Named(new QRadioButton(QStringLiteral("Mb, Ms ước tính sau BSGĐ. C=Mb², Pg=C/Mb²=1, "
                                                          "Pc=C/Ms²  (Theo QP Địa chính)"),
                                           GB_trongso_),
                          "RBtrongsoQP1");
    RBtrongsonhap_ = Named(new QRadioButton(QStringLiteral("Mb, Ms theo máy đo hoặc theo công thức khác do "
                                                           "người dùng chọn"),
                                            GB_trongso_),
                           "RBtrongsonhap");
    auto* group = new QButtonGroup(GB_trongso_);
    group->addButton(RBtrongsoQP1_, static_cast<int>(WeightMode::Estimated));
    group->addButton(RBtrongsonhap_, static_cast<int>(WeightMode::Entered));
    (settings_.WeightMode == WeightMode::Entered ? RBtrongsonhap_ : RBtrongsoQP1_)->setChecked(true);

    auto* EMb = NumberEdit(GB_trongso_, "EMb", ShortText(settings_.MbEnteredSeconds), 50);
    auto* EMsa = NumberEdit(GB_trongso_, "EMsa", ShortText(settings_.MsConstant), 50);
    auto* EMsb = NumberEdit(GB_trongso_, "EMsb", ShortText(settings_.MsPpm), 50);
    auto* lMb = Named(new QLabel(QStringLiteral("Mb ="), GB_trongso_), "LMb");
    auto* lMs = Named(new QLabel(QStringLiteral("',   Ms ="), GB_trongso_), "LMs");
    auto* lPlus = Named(new QLabel(QStringLiteral("+"), GB_trongso_), "LCong");
    auto* lPpm = Named(new QLabel(QStringLiteral("x 10⁻⁶ x S (mm)"), GB_trongso_), "LPpm");
    weightEntry_ = {lMb, EMb, lMs, EMsa, lPlus, EMsb, lPpm};
    weightEdits_ = {{EMb, &ComputationSettings::MbEnteredSeconds},
                    {EMsa, &ComputationSettings::MsConstant},
                    {EMsb, &ComputationSettings::MsPpm}};

    auto* entry = new QHBoxLayout;
    entry->addSpacing(24);
    for (QWidget* w : weightEntry_) entry->addWidget(w);
    entry->addStretch();

    auto* layout = new QVBoxLayout(GB_trongso_);
    layout->addWidget(RBtrongsoQP1_);
    layout->addWidget(RBtrongsonhap_);
    layout->addLayout(entry);
    return GB_trongso_;
}

void TFTsbs::Connect() {
    connect(RGdvmet_, &RadioGroupBox::ItemChosen, this, [this](int item) { settings_.MetresFlag = item == 0; });
    connect(RGdeg_, &RadioGroupBox::ItemChosen, this, [this](int item) { settings_.AnglesInDegrees = item == 0; });
    connect(RGdvgoc_, &RadioGroupBox::ItemChosen, this,
            [this](int item) { settings_.AngleTextWithPoint = item == 0; });

    for (const IntCombo& c : closureCombos_) {
        connect(c.combo, &QComboBox::editTextChanged, this, [this, c] { OnClosureTextChanged(c); });
        connect(c.combo->lineEdit(), &QLineEdit::editingFinished, this, [this, c] { OnClosureExit(c); });
    }

    connect(CBTinhshcC1_, &QCheckBox::toggled, this, &TFTsbs::OnHeightReduction);
    connect(RG_shcC1_, &RadioGroupBox::ItemChosen, this, &TFTsbs::OnHeightReductionMode);
    connect(CB_filedocao_, &QCheckBox::toggled, this, [this](bool on) { settings_.HeightsFromFile = on; });
    connect(CBTinhshcC2_, &QCheckBox::toggled, this, &TFTsbs::OnProjectionReduction);
    connect(RG_shcC2_, &RadioGroupBox::ItemChosen, this, &TFTsbs::OnProjection);
    for (QLineEdit* edit : {E_dctb_shc1_, E_dcmc_shc1_}) {
        connect(edit, &QLineEdit::textChanged, this, [this, edit] {
            ForgetRefusal(edit);
        });
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
            double value = 0;
            if (!CheckingExits() || IsBlank(edit->text()) || ParseNumber(edit->text(), value)) return;
            Refuse(edit, edit, kNotANumber);
        });
    }

    connect(CB_BSCC_, &QCheckBox::toggled, this, &TFTsbs::OnRigorous);
    connect(RBtrongsoQP1_, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        settings_.WeightMode = WeightMode::Estimated;
        settings_.WeightsEntered = false;
        SetWeightEditsEnabled(false);
    });
    connect(RBtrongsonhap_, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        settings_.WeightMode = WeightMode::Entered;
        settings_.WeightsEntered = true;
        SetWeightEditsEnabled(true);
    });
    for (const RealEdit& e : weightEdits_) {
        connect(e.edit, &QLineEdit::textChanged, this, [this, e] { OnWeightTextChanged(e); });
        connect(e.edit, &QLineEdit::editingFinished, this, [this, e] { OnWeightExit(e); });
    }

    connect(CB_0XulyDCtreo_, &QCheckBox::toggled, this, [this](bool on) { settings_.SkipHangingTraverses = on; });
    connect(CB_ChotailenAcad_, &QCheckBox::toggled, this, &TFTsbs::OnAcadUpload);
}

void TFTsbs::PrepareForShow() {
    ResetChecks();
    setWindowTitle(FromTcvn3(settings_.ParamDialogTitle));
    settings_.Modes.RigorousWanted = CB_BSCC_->isChecked();
    RGdvgoc_->SetItemIndex(settings_.AngleTextWithPoint ? 0 : 1);
    RGdvmet_->SetItemIndex(settings_.MetresFlag ? 0 : 1);
    RGdeg_->SetItemIndex(settings_.AnglesInDegrees ? 0 : 1);
    RG_shcC2_->SetItemIndex(!settings_.ProjectionIsUtm ? 0 : settings_.UtmZone3Deg ? 1 : 2);
    CBFs_->setEditText(QString::number(settings_.LinearClosureDenominator));
    CBFb_->setEditText(QString::number(settings_.AngularClosureFactor));
    CBFh_->setEditText(QString::number(settings_.HeightClosureFactor));
    CBTinhshcC2_->setChecked(settings_.ProjectionReduction);
    const ComputationModeFlags& m = settings_.Modes;
    GBtsbs_->setEnabled(m.ModeTraverse || m.RigorousWanted || m.ModeLevelling);
    // Every showing starts with drawing export off, whatever set it meanwhile.
    CB_ChotailenAcad_->setChecked(false);
    settings_.AcadUploadEnabled = false;
}

void TFTsbs::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) PrepareForShow();
    CheckedDialog::showEvent(event);
}

void TFTsbs::OnRigorous(bool checked) {
    settings_.Modes.RigorousWanted = checked;
    GB_trongso_->setEnabled(checked);
    SetWeightEditsEnabled(checked && settings_.WeightMode == WeightMode::Entered);
}

void TFTsbs::SetWeightEditsEnabled(bool enabled) {
    for (QWidget* w : weightEntry_) w->setEnabled(enabled);
}

void TFTsbs::OnHeightReduction(bool checked) {
    settings_.HeightReduction = checked;
    RG_shcC1_->setEnabled(checked);
    E_dctb_shc1_->setEnabled(checked);
    E_dcmc_shc1_->setEnabled(checked);
    CB_filedocao_->setEnabled(checked && ItemUsesPointHeights(RG_shcC1_->ItemIndex()));
}

void TFTsbs::OnHeightReductionMode(int item) {
    if (!IsReductionItem(item)) return;
    const ReductionMode mode = kReductionItems[static_cast<std::size_t>(item)];
    settings_.HeightReductionMode = mode;
    CB_filedocao_->setEnabled(CBTinhshcC1_->isChecked() && UsesPointHeights(mode));
    E_dctb_shc1_->setVisible(mode == ReductionMode::AreaMean);
    E_dcmc_shc1_->setVisible(mode == ReductionMode::AboveProjectionPlane);
}

void TFTsbs::OnProjectionReduction(bool checked) {
    settings_.ProjectionReduction = checked;
    RG_shcC2_->setEnabled(checked);
}

void TFTsbs::OnProjection(int item) {
    switch (item) {
        case 0:  // the zone width is kept so that a later UTM choice comes back as it was
            settings_.ProjectionIsUtm = false;
            settings_.ProjectionScale = 1.0;
            break;
        case 1:
            settings_.ProjectionIsUtm = true;
            settings_.UtmZone3Deg = true;
            settings_.ProjectionScale = 0.9999;
            break;
        case 2:
            settings_.ProjectionIsUtm = true;
            settings_.UtmZone3Deg = false;
            settings_.ProjectionScale = 0.9996;
            break;
        default: break;
    }
}

void TFTsbs::OnWeightTextChanged(const RealEdit& e) {
    ForgetRefusal(e.edit);
    double value = 0;
    if (ParseNumber(e.edit->text(), value)) settings_.*e.member = value;
}

void TFTsbs::OnWeightExit(const RealEdit& e) {
    double value = 0;
    if (!CheckingExits() || ParseNumber(e.edit->text(), value)) return;
    Refuse(e.edit, e.edit, kNotANumber);
}

void TFTsbs::OnClosureTextChanged(const IntCombo& c) {
    ForgetRefusal(c.combo->lineEdit());
    std::int32_t value = 0;
    if (ParseLimit(c.combo->currentText(), value)) settings_.*c.member = value;
}

void TFTsbs::OnClosureExit(const IntCombo& c) {
    std::int32_t value = 0;
    if (!CheckingExits() || ParseLimit(c.combo->currentText(), value)) return;
    Refuse(c.combo, c.combo->lineEdit(), kNotALimit);
}

void TFTsbs::OnAcadUpload(bool checked) {
    settings_.AcadUploadEnabled = checked;
    if (checked && drawingOptions_) drawingOptions_->exec();
}

bool TFTsbs::CheckBeforeOk() {
    for (const IntCombo& c : closureCombos_) {
        std::int32_t value = 0;
        if (c.combo->isEnabled() && !ParseLimit(c.combo->currentText(), value))
            return RefuseAtOk(c.combo, c.combo->lineEdit(), kNotALimit);
    }
    for (QLineEdit* edit : {E_dctb_shc1_, E_dcmc_shc1_}) {
        double value = 0;
        if (edit->isVisibleTo(this) && edit->isEnabled() && !IsBlank(edit->text()) &&
            !ParseNumber(edit->text(), value))
            return RefuseAtOk(edit, edit, kNotANumber);
    }
    for (const RealEdit& e : weightEdits_) {
        double value = 0;
        if (e.edit->isEnabled() && !ParseNumber(e.edit->text(), value)) return RefuseAtOk(e.edit, e.edit, kNotANumber);
    }
    return true;
}

void TFTsbs::accept() {
    if (!CheckBeforeOk()) return;
    // Heights are taken at OK, visible or not; an empty edit means 0, a bad hidden text
    // leaves the height as it was.
    auto take = [](const QLineEdit* edit, double& member) {
        double value = 0;
        if (IsBlank(edit->text()))
            member = 0.0;
        else if (ParseNumber(edit->text(), value))
            member = value;
    };
    take(E_dctb_shc1_, settings_.MeanAreaHeight);
    take(E_dcmc_shc1_, settings_.ProjectionPlaneHeight);
    AcceptNow();
}

}  // namespace qef
