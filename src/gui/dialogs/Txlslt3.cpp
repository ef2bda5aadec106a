#include "gui/dialogs/Txlslt3.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "core/model/Interaction.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawConversion.h"
#include "gui/InputStep.h"
#include "gui/StepEndGate.h"
#include "gui/dialogs/DialogSupport.h"

namespace qef {

namespace {

// Instrument items are "maker TAB model", shown in two columns.
class TabbedItems : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // The model column starts past the widest maker.
    qreal TabStop = 70;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        (widget ? widget->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
        layout.setTabStopDistance(TabStop);
        layout.setWrapMode(QTextOption::NoWrap);
        painter->save();
        const bool selected = (opt.state & QStyle::State_Selected) != 0;
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRectF(opt.rect.adjusted(4, 0, -2, 0)), text, layout);
        painter->restore();
    }
};

const QString kRawFilter = QStringLiteral(
    "File so lieu tho (*.txt *.TXT *.dat *.DAT *.dn *.DN *.tc8 *.TC8 *.t16 *.T16 *.gts *.GTS *.geo *.GEO "
    "*.idx *.IDX)");
const QString kObservationFilter = QStringLiteral("File so lieu (*.DTA *.dta);;All files (*)");
const QString kDataFilter = QStringLiteral("File dữ liệu (*.DTA *.dta);;All files (*)");

}  // namespace

QString ConversionSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/') +
           QString::fromLatin1(kConversionSettingsFile);
}

Txlslt3::Txlslt3(FileDialogs& files, std::function<Interaction&()> ask, QString settingsPath, QWidget* parent)
    : QDialog(parent), files_(files), ask_(std::move(ask)), settingsPath_(std::move(settingsPath)) {
    setObjectName(QStringLiteral("xlslt3"));
    setWindowTitle(QStringLiteral("Xử lý số liệu thô"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* right = new QVBoxLayout;
    right->addWidget(BuildHeights());
    right->addWidget(BuildControlPoints());
    right->addWidget(BuildSeparators());
    right->addWidget(BuildOutputForms());
    right->addWidget(BuildOutputStyle());
    auto* columns = new QHBoxLayout;
    columns->addWidget(BuildInstruments());
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(columns);
    layout->addLayout(BuildButtons());
    TabInStandingOrder(*this);

    ReadConversionSettings(NativeName(settingsPath_), settings_);
    ShowSettings();
    // Connected after the settings are shown: showing them is no user's change.
    ConnectControls();
}

QGroupBox* Txlslt3::BuildInstruments() {
    auto* machines = Named(new QGroupBox(QStringLiteral(" Loại máy "), this), "GBloaimay");
    LBloaimay_ = Named(new QListWidget(machines), "LBloaimay");
    auto* items = new TabbedItems(LBloaimay_);
    LBloaimay_->setItemDelegate(items);
    for (const RawInstrument& instrument : RawInstruments()) {
        const QString text = QString::fromUtf8(instrument.Item);
        LBloaimay_->addItem(text);
        items->TabStop = std::max(items->TabStop, LBloaimay_->fontMetrics().horizontalAdvance(text.section(QLatin1Char('\t'), 0, 0)) + 16.0);
    }
    LBloaimay_->setFixedWidth(static_cast<int>(items->TabStop) + 110);
    (new QVBoxLayout(machines))->addWidget(LBloaimay_);
    return machines;
}

QLineEdit* Txlslt3::IntegerEdit(QWidget* owner, const char* name, std::int32_t ConversionSettings::*member, int low,
                                const char* fallback) {
    auto* edit = Named(new QLineEdit(owner), name);
    edit->setValidator(new QIntValidator(low, std::numeric_limits<std::int32_t>::max(), edit));
    edit->setFixedWidth(70);
    edits_.push_back({edit, member, fallback});
    return edit;
}

QGroupBox* Txlslt3::BuildHeights() {
    auto* heights = Named(new QGroupBox(QStringLiteral(" Độ cao "), this), "GBdocao");
    CBcodocao_ = Named(new QCheckBox(QStringLiteral("Có độ cao"), heights), "CBcodocao");
    RBgoctdinh_ = Named(new QRadioButton(QStringLiteral("Góc thiên đỉnh"), heights), "RBgoctdinh");
    RBgocdung_ = Named(new QRadioButton(QStringLiteral("Góc đứng"), heights), "RBgocdung");
    MEshccg_ = IntegerEdit(heights, "MEshccg", &ConversionSettings::ConvTargetHeightCorrection, 0, "0");
    auto* heightGrid = new QGridLayout(heights);
    heightGrid->addWidget(CBcodocao_, 0, 0, 1, 2);
    heightGrid->addWidget(RBgoctdinh_, 1, 0);
    heightGrid->addWidget(RBgocdung_, 1, 1);
    heightGrid->addWidget(new QLabel(QStringLiteral("Shc chiều cao gương (mm)"), heights), 2, 0);
    heightGrid->addWidget(MEshccg_, 2, 1);
    return heights;
}

QGroupBox* Txlslt3::BuildControlPoints() {
    auto* control = Named(new QGroupBox(QStringLiteral(" Điểm khống chế và hiệu chỉnh "), this), "GBkhongche");
    CBshtramlakt_ = Named(new QCheckBox(QStringLiteral("Điểm khống chế kiểu ký tự"), control), "CBshtramlakt");
    CBshtram_ = Named(new QCheckBox(QStringLiteral("Điểm khống chế từ số"), control), "CBshtram");
    MEshtram_ = IntegerEdit(control, "MEshtram", &ConversionSettings::ConvControlFromNumber, 0, "5000");
    MEshcckc_ = IntegerEdit(control, "MEshcckc", &ConversionSettings::ConvControlDistanceCorrection, 0, "0");
    MEshccct_ = IntegerEdit(control, "MEshccct", &ConversionSettings::ConvDetailDistanceCorrection, 0, "0");
    auto* controlGrid = new QGridLayout(control);
    controlGrid->addWidget(CBshtramlakt_, 0, 0, 1, 2);
    controlGrid->addWidget(CBshtram_, 1, 0);
    controlGrid->addWidget(MEshtram_, 1, 1);
    controlGrid->addWidget(new QLabel(QStringLiteral("Shc chiều dài cạnh khống chế (mm)"), control), 2, 0);
    controlGrid->addWidget(MEshcckc_, 2, 1);
    controlGrid->addWidget(new QLabel(QStringLiteral("Shc chiều dài cạnh chi tiết (mm)"), control), 3, 0);
    controlGrid->addWidget(MEshccct_, 3, 1);
    return control;
}

QGroupBox* Txlslt3::BuildSeparators() {
    auto* separators = Named(new QGroupBox(QStringLiteral(" Ký tự ngăn cách "), this), "GBkitu");
    const char* separatorNames[] = {"RBkitu1", "RBkitu2", "RBkitu3", "RBkitu4", "RBkitu5"};
    const char* separatorTexts[] = {"Khoảng trắng", "Tab", "Dấu \",\"", "Dấu \";\"", "Canh cột"};
    auto* separatorGrid = new QGridLayout(separators);
    separatorGroup_ = new QButtonGroup(separators);
    for (int i = 0; i < kSeparatorCount; ++i) {
        RBkitu_[i] = Named(new QRadioButton(QString::fromUtf8(separatorTexts[i]), separators), separatorNames[i]);
        separatorGroup_->addButton(RBkitu_[i], i);
        separatorGrid->addWidget(RBkitu_[i], i / kSeparatorsPerRow, i % kSeparatorsPerRow);
    }
    MEcanhcot_ = IntegerEdit(separators, "MEcanhcot", &ConversionSettings::FixedFieldWidth, 1, "10");
    separatorGrid->addWidget(MEcanhcot_, 1, 2);
    return separators;
}

QGroupBox* Txlslt3::BuildOutputForms() {
    auto* forms = Named(new QGroupBox(QStringLiteral(" Dạng số liệu ra "), this), "GBdang");
    RBdanggoc1_ = Named(new QRadioButton(QStringLiteral("180.0101"), forms), "RBdanggoc1");
    RBdanggoc2_ = Named(new QRadioButton(QStringLiteral("1800101"), forms), "RBdanggoc2");
    RBdangcanh1_ = Named(new QRadioButton(QStringLiteral("100.010 (m)"), forms), "RBdangcanh1");
    RBdangcanh2_ = Named(new QRadioButton(QStringLiteral("100010 (mm)"), forms), "RBdangcanh2");
    auto* angleGroup = new QButtonGroup(forms);
    angleGroup->addButton(RBdanggoc1_);
    angleGroup->addButton(RBdanggoc2_);
    auto* distanceGroup = new QButtonGroup(forms);
    distanceGroup->addButton(RBdangcanh1_);
    distanceGroup->addButton(RBdangcanh2_);
    auto* formGrid = new QGridLayout(forms);
    formGrid->addWidget(RBdanggoc1_, 0, 0);
    formGrid->addWidget(RBdanggoc2_, 0, 1);
    formGrid->addWidget(RBdangcanh1_, 1, 0);
    formGrid->addWidget(RBdangcanh2_, 1, 1);
    return forms;
}

QGroupBox* Txlslt3::BuildOutputStyle() {
    auto* style = Named(new QGroupBox(QStringLiteral(" Lựa chọn kiểu dữ liệu ra "), this), "RGluachon");
    RGluachon_[0] = Named(new QRadioButton(QStringLiteral("Theo kiểu cũ"), style), "RGluachon0");
    RGluachon_[1] = Named(new QRadioButton(QStringLiteral("Theo kiểu mới"), style), "RGluachon1");
    auto* styleRow = new QHBoxLayout(style);
    styleRow->addWidget(RGluachon_[0]);
    styleRow->addWidget(RGluachon_[1]);
    return style;
}

QHBoxLayout* Txlslt3::BuildButtons() {
    XlslXuly_ = Named(new QPushButton(QStringLiteral("Xử lý"), this), "XlslXuly");
    XlslExit_ = Named(new QPushButton(QStringLiteral("Thoát"), this), "XlslExit");
    XlslXuly_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(XlslXuly_);
    buttons->addWidget(XlslExit_);
    return buttons;
}

// The form's control handlers, each a connection here: the instrument list (LBloaimayClick), the
// height switch (CBcodocaoClick), the vertical-angle kind (RBgocdungClick, RBgoctdinhClick), the
// station-number switches (CBshtramClick, CBshtramlaktClick), the separators (RBkitu1Click to
// RBkitu5Click, RBkitu5MouseUp), the angle and side forms (RBdanggoc1Click, RBdanggoc2Click,
// RBdangcanh1Click, RBdangcanh2Click) and the exit button (XlslExitClick).
void Txlslt3::ConnectControls() {
    connect(LBloaimay_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) settings_.ConvInstrument = row;
    });
    connect(CBcodocao_, &QCheckBox::toggled, this, &Txlslt3::OnWithHeights);
    connect(RBgocdung_, &QRadioButton::toggled, this, [this](bool on) { settings_.ConvZenithAngles = !on; });
    connect(CBshtramlakt_, &QCheckBox::toggled, this, [this](bool on) { settings_.ConvControlByLetter = on; });
    connect(CBshtram_, &QCheckBox::toggled, this, [this](bool on) {
        settings_.ConvControlFromNumberOn = on;
        MEshtram_->setEnabled(on);
    });
    connect(separatorGroup_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) settings_.ConvSeparatorMode = static_cast<SeparatorMode>(id);
    });
    connect(RBdanggoc2_, &QRadioButton::toggled, this,
            [this](bool on) { settings_.ConvAngleForm = on ? AngleForm::Packed : AngleForm::WithPoint; });
    connect(RBdangcanh2_, &QRadioButton::toggled, this, [this](bool on) {
        settings_.ConvDistanceForm = on ? DistanceForm::Millimetres : DistanceForm::Metres;
    });
    connect(RGluachon_[0], &QRadioButton::clicked, this, [this] { RGluachonClick(OutputStyle::Old); });
    connect(RGluachon_[1], &QRadioButton::clicked, this, [this] { RGluachonClick(OutputStyle::New); });
    for (const IntEdit& e : edits_) {
        connect(e.edit, &QLineEdit::textChanged, this, [this, e](const QString& text) {
            bool ok = false;
            const int value = text.trimmed().toInt(&ok);
            if (ok && e.edit->hasAcceptableInput()) settings_.*e.member = value;
        });
        connect(e.edit, &QLineEdit::editingFinished, this, [this, e] { OnEditExit(e); });
    }
    connect(XlslXuly_, &QPushButton::clicked, this, &Txlslt3::XlslXulyClick);
    connect(XlslExit_, &QPushButton::clicked, this, &Txlslt3::reject);
}

void Txlslt3::ShowSettings() {
    const ConversionSettings s = settings_;  // the controls' handlers write back as they are set
    LBloaimay_->setCurrentRow(s.ConvInstrument);
    CBcodocao_->setChecked(s.ConvWithHeights);
    OnWithHeights(s.ConvWithHeights);
    (s.ConvZenithAngles ? RBgoctdinh_ : RBgocdung_)->setChecked(true);
    CBshtramlakt_->setChecked(s.ConvControlByLetter);
    CBshtram_->setChecked(s.ConvControlFromNumberOn);
    MEshtram_->setEnabled(s.ConvControlFromNumberOn);
    for (const IntEdit& e : edits_) e.edit->setText(QString::number(s.*e.member));
    RBkitu_[static_cast<int>(s.ConvSeparatorMode)]->setChecked(true);
    (s.ConvAngleForm == AngleForm::Packed ? RBdanggoc2_ : RBdanggoc1_)->setChecked(true);
    (s.ConvDistanceForm == DistanceForm::Millimetres ? RBdangcanh2_ : RBdangcanh1_)->setChecked(true);
    settings_ = s;
}

void Txlslt3::OnWithHeights(bool on) {
    settings_.ConvWithHeights = on;
    RBgocdung_->setEnabled(on);
    RBgoctdinh_->setEnabled(on);
    MEshccg_->setEnabled(on);
}

// An edit left blank gets its default back.
void Txlslt3::OnEditExit(const IntEdit& e) {
    if (e.edit->text().trimmed().isEmpty()) e.edit->setText(QString::fromLatin1(e.fallback));
}

void Txlslt3::ReadBackEdits() {
    for (const IntEdit& e : edits_) {
        if (e.edit->text().trimmed().isEmpty()) continue;
        bool ok = false;
        const int value = e.edit->text().trimmed().toInt(&ok);
        if (ok && e.edit->hasAcceptableInput()) settings_.*e.member = value;
    }
    if (LBloaimay_->currentRow() >= 0) settings_.ConvInstrument = LBloaimay_->currentRow();
}

// "Theo kiểu cũ": fixed width, packed angles, millimetres; "Theo kiểu mới": TAB, angles with their
// point, metres.
void Txlslt3::RGluachonClick(OutputStyle style) {
    const bool old = style == OutputStyle::Old;
    RBkitu_[static_cast<int>(old ? SeparatorMode::FixedWidth : SeparatorMode::Tab)]->setChecked(true);
    (old ? RBdanggoc2_ : RBdanggoc1_)->setChecked(true);
    (old ? RBdangcanh2_ : RBdangcanh1_)->setChecked(true);
}

bool Txlslt3::Confirm(const QString& text) {
    if (ConfirmHook) return ConfirmHook(text);
    return QMessageBox::question(this, QStringLiteral("QEF 2010"), text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

void Txlslt3::XlslXulyClick() {
    if (!Confirm(QStringLiteral("Bạn chắc chắn các thông số đã chọn đúng"))) return;
    ReadBackEdits();
    const auto instruments = RawInstruments();
    const int index = settings_.ConvInstrument;
    if (index < 0 || index >= static_cast<int>(instruments.size())) {
        ask_().Message(Vn("Bạn chưa chọn loại máy"));
        return;
    }
    const std::optional<RawFormat> format = instruments[static_cast<std::size_t>(index)].Format;
    if (!format) {
        ask_().Message("Chua viet xong");
        return;
    }

    RawConversionPaths paths;
    const auto input = files_.AskOpenName({QStringLiteral("Nhập tên file số liệu thô"), kRawFilter, QString()});
    if (!input) return;
    paths.Input = NativeName(*input);
    const RawConversionOptions options = RunOptions(settings_);
    // A download the chosen instrument cannot read is refused before any output is named.
    if (CheckRawFile(*format, options, paths.Input, ask_()).Outcome != RawConversionOutcome::Converted) return;
    const auto observations =
        files_.AskSaveName({QStringLiteral("Nhập tên file chứa số liệu góc cạnh"), kObservationFilter, QStringLiteral("dta")});
    if (!observations) return;
    paths.Observations = NativeName(*observations);
    const auto detail = files_.AskSaveName({QStringLiteral("Nhập file chứa số liệu mia"), kDataFilter, QString()});
    if (!detail) return;
    paths.Detail = NativeName(*detail);
    if (settings_.ConvWithHeights) {
        const auto stationHeights = files_.AskSaveName(
            {QStringLiteral("Nhập file chứa số liệu chênh cao trạm máy"), kDataFilter, QStringLiteral("dta")});
        if (!stationHeights) return;
        paths.StationHeights = NativeName(*stationHeights);
        const auto detailHeights = files_.AskSaveName(
            {QStringLiteral("Nhập file chứa số liệu chi tiết có độ cao"), kDataFilter, QStringLiteral("dta")});
        if (!detailHeights) return;
        paths.DetailHeights = NativeName(*detailHeights);
    }
    const ComputationStep convert = [&](Interaction& ui, Progress& monitor) {
        monitor.Show();
        monitor.SetText(MonitorLabel::Start, Vn("Bắt đầu từ ") + TimeOfDay());
        monitor.SetText(MonitorLabel::Stage, Vn("Đang chuyển file số liệu thô"));
        monitor.SetRange(0, 1);
        monitor.SetPosition(0);
        StepEndGate gate(ui, Vn("Đã chuyển xong"), [this, &monitor] {
            monitor.SetText(MonitorLabel::Stage, Vn("Kết thúc"));
            monitor.SetPosition(1);
            if (runner_) runner_->StepEnded();
        });
        const RawConversionOutcome outcome = ConvertRawFile(*format, options, paths, gate).Outcome;
        WorkerResult result;
        // Nothing found is said, and is no failure of the run.
        result.StoppedOnError =
            outcome != RawConversionOutcome::Converted && outcome != RawConversionOutcome::NothingConverted;
        monitor.SetText(MonitorLabel::Stage, Vn("Kết thúc"));
        if (!result.StoppedOnError) monitor.SetPosition(1);
        return result;
    };
    if (runner_) {
        runner_->RunStep(convert);
    } else {
        NullProgress quiet;
        convert(ask_(), quiet);
    }
}

void Txlslt3::done(int result) {
    ReadBackEdits();
    QDir().mkpath(QFileInfo(settingsPath_).absolutePath());
    WriteConversionSettings(NativeName(settingsPath_), settings_);
    QDialog::done(result);
}

}  // namespace qef
