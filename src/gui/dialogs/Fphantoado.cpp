#include "gui/dialogs/Fphantoado.h"

#include <QButtonGroup>
#include <algorithm>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/GuiText.h"
#include "gui/InputStep.h"
#include "gui/dialogs/DialogSupport.h"

namespace qef {

namespace {

// Fixed-width lines of the point table are cut at the default field width: the calculator keeps
// clear of the settings.
constexpr int kTableFieldWidth = 10;

std::string Bytes(const QLineEdit* edit) { return ToTcvn3(edit->text()); }

}  // namespace

QLineEdit* Fphantoado::Edit(const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

Fphantoado::Fphantoado(FileDialogs& files, std::function<Interaction&()> ask, QWidget* parent)
    : QDialog(parent), files_(files), ask_(std::move(ask)) {
    setObjectName(QStringLiteral("Fphantoado"));
    setWindowTitle(QStringLiteral("Tính toán đơn giản"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildMethods());
    layout->addLayout(BuildPoints());
    layout->addWidget(Label(QStringLiteral("Tọa độ có thể nhập trực tiếp hoặc lấy từ file"), nullptr));
    layout->addWidget(BuildPointTable());
    layout->addLayout(BuildButtons());
    TabInStandingOrder(*this);
    ConnectControls();

    methods_[0]->setChecked(true);
    OnMethod(0);
}

QLabel* Fphantoado::Label(const QString& text, const char* name) {
    auto* label = new QLabel(text, this);
    if (name) label->setObjectName(QString::fromLatin1(name));
    return label;
}

QGroupBox* Fphantoado::BuildMethods() {
    auto* group = new QGroupBox(QStringLiteral(" Chọn cách tính toán "), this);
    group->setObjectName(QStringLiteral("RGcachtinh"));
    auto* groupLayout = new QVBoxLayout(group);
    methodGroup_ = new QButtonGroup(this);
    const char* const items[] = {"Phương vị qua 2 điểm", "Tọa độ điểm qua 2 gốc, góc, cạnh",
                                 "Tọa độ điểm qua 1 gốc, phương vị, cạnh"};
    for (int i = 0; i < kMethodCount; ++i) {
        methods_[i] = new QRadioButton(QString::fromUtf8(items[i]), group);
        methodGroup_->addButton(methods_[i], i);
        groupLayout->addWidget(methods_[i]);
    }
    return group;
}

// The two points, the angle and side, and the result, in rows.
QGridLayout* Fphantoado::BuildPoints() {
    Ed1_ = Edit("Ed1");
    EXd1_ = Edit("EXd1");
    EYd1_ = Edit("EYd1");
    Ed2_ = Edit("Ed2");
    EXd2_ = Edit("EXd2");
    EYd2_ = Edit("EYd2");
    Egoc_ = Edit("Egoc");
    Ecanh_ = Edit("Ecanh");
    kq1_ = Edit("kq1");
    kq2_ = Edit("kq2");
    kq1_->setReadOnly(true);
    kq2_->setReadOnly(true);
    CBd1_ = new QCheckBox(QStringLiteral("Điểm gốc"), this);
    CBd1_->setObjectName(QStringLiteral("CBd1"));
    CBd2_ = new QCheckBox(QStringLiteral("Điểm hướng"), this);
    CBd2_->setObjectName(QStringLiteral("CBd2"));
    for (QCheckBox* box : {CBd1_, CBd2_}) box->setToolTip(QStringLiteral("Bật/tắt lấy tọa độ từ bảng"));
    CBd1_->setChecked(true);
    Lgoc_ = Label(QStringLiteral("Góc :"), "Lgoc");
    Lcanh_ = Label(QStringLiteral("Cạnh :"), "Lcanh");
    Lkq2_ = Label(QStringLiteral("Y"), "Lkq2");
    LX2_ = Label(QStringLiteral("X2 :"), nullptr);
    LY2_ = Label(QStringLiteral("Y2 :"), nullptr);
    Btinh_ = new QPushButton(this);
    Btinh_->setObjectName(QStringLiteral("Btinh"));

    auto* grid = new QGridLayout;
    grid->addWidget(CBd1_, 0, 0);
    grid->addWidget(Ed1_, 0, 1);
    grid->addWidget(Label(QStringLiteral("X1 :"), nullptr), 0, 2);
    grid->addWidget(EXd1_, 0, 3);
    grid->addWidget(Label(QStringLiteral("Y1 :"), nullptr), 0, 4);
    grid->addWidget(EYd1_, 0, 5);
    grid->addWidget(CBd2_, 1, 0);
    grid->addWidget(Ed2_, 1, 1);
    grid->addWidget(LX2_, 1, 2);
    grid->addWidget(EXd2_, 1, 3);
    grid->addWidget(LY2_, 1, 4);
    grid->addWidget(EYd2_, 1, 5);
    grid->addWidget(Lgoc_, 2, 2);
    grid->addWidget(Egoc_, 2, 3);
    grid->addWidget(Lcanh_, 2, 4);
    grid->addWidget(Ecanh_, 2, 5);
    grid->addWidget(Btinh_, 3, 0, 1, 2);
    grid->addWidget(kq1_, 3, 3);
    grid->addWidget(Lkq2_, 3, 4);
    grid->addWidget(kq2_, 3, 5);
    return grid;
}

QTableWidget* Fphantoado::BuildPointTable() {
    SG1_ = new QTableWidget(kTableRows, 3, this);
    SG1_->setObjectName(QStringLiteral("SG1"));
    SG1_->setHorizontalHeaderLabels({QStringLiteral("Điểm"), QStringLiteral("X"), QStringLiteral("Y")});
    SG1_->horizontalHeader()->setStretchLastSection(true);
    SG1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    return SG1_;
}

QHBoxLayout* Fphantoado::BuildButtons() {
    Bfile_ = new QPushButton(QStringLiteral("File ..."), this);
    Bfile_->setObjectName(QStringLiteral("Bfile"));
    Button2_ = new QPushButton(QStringLiteral("Close"), this);
    Button2_->setObjectName(QStringLiteral("Button2"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Bfile_);
    bottom->addStretch();
    bottom->addWidget(Button2_);
    return bottom;
}

void Fphantoado::ConnectControls() {
    connect(methodGroup_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) OnMethod(id);
    });
    // Either box may be off; turning one on turns the other off.
    connect(CBd1_, &QCheckBox::toggled, this, [this](bool on) { if (on) CBd2_->setChecked(false); });
    connect(CBd2_, &QCheckBox::toggled, this, [this](bool on) { if (on) CBd1_->setChecked(false); });
    for (QLineEdit* edit : {EXd1_, EYd1_, EXd2_, EYd2_, Egoc_, Ecanh_})
        connect(edit, &QLineEdit::returnPressed, this, &Fphantoado::Compute);
    connect(Btinh_, &QPushButton::clicked, this, &Fphantoado::Compute);
    connect(SG1_, &QTableWidget::cellClicked, this, [this](int row, int) { SG1Click(row); });
    connect(Bfile_, &QPushButton::clicked, this, &Fphantoado::BfileClick);
    connect(Button2_, &QPushButton::clicked, this, &QDialog::accept);
    for (QPushButton* button : {Btinh_, Bfile_, Button2_}) button->setAutoDefault(false);
}

void Fphantoado::SetMethod(CalculatorMethod method) { methods_[static_cast<int>(method)]->setChecked(true); }

void Fphantoado::OnMethod(int item) {
    method_ = static_cast<CalculatorMethod>(item);
    const bool azimuth = method_ == CalculatorMethod::Azimuth;
    const bool point2 = method_ != CalculatorMethod::FromAzimuth;
    for (QWidget* w : std::initializer_list<QWidget*>{Ed2_, EXd2_, EYd2_, LX2_, LY2_, CBd2_}) w->setEnabled(point2);
    if (!point2) CBd2_->setChecked(false);
    kq2_->setVisible(!azimuth);
    Lkq2_->setVisible(!azimuth);
    Btinh_->setText(azimuth ? QStringLiteral("Tính Ph. vị") : QStringLiteral("Tính X,Y"));
    for (QWidget* w : std::initializer_list<QWidget*>{Lgoc_, Egoc_, Lcanh_, Ecanh_}) w->setEnabled(!azimuth);
    Lgoc_->setText(method_ == CalculatorMethod::FromAzimuth ? QStringLiteral("Phương vị") : QStringLiteral("Góc :"));
}

void Fphantoado::Compute() {
    const CalculatorInput in{Bytes(EXd1_), Bytes(EYd1_), Bytes(EXd2_), Bytes(EYd2_), Bytes(Egoc_), Bytes(Ecanh_)};
    const CalculatorResult result = Calculate(method_, in, angles_);
    switch (result.Outcome) {
        case CalculatorOutcome::Incomplete:
            return;
        case CalculatorOutcome::CoincidentPoints:
        case CalculatorOutcome::OutOfRange:
            // A result left on screen would read as the answer to the values now typed.
            kq1_->clear();
            kq2_->clear();
            ask_().Message(result.Outcome == CalculatorOutcome::OutOfRange
                               ? result.Message
                               : Vn("Điểm 1 và điểm 2 trùng nhau, không có phương vị"));
            return;
        case CalculatorOutcome::Computed:
            kq1_->setText(FromTcvn3(result.First));
            kq2_->setText(FromTcvn3(result.Second));
            return;
    }
}

void Fphantoado::SG1Click(int row) {
    QLineEdit* const* target = nullptr;
    QLineEdit* const point1[] = {Ed1_, EXd1_, EYd1_};
    QLineEdit* const point2[] = {Ed2_, EXd2_, EYd2_};
    if (CBd1_->isChecked())
        target = point1;
    else if (CBd2_->isChecked() && CBd2_->isEnabled())
        target = point2;
    if (target) {
        for (int c = 0; c < 3; ++c) {
            const QTableWidgetItem* item = SG1_->item(row, c);
            target[c]->setText(item ? item->text() : QString());
        }
    }
    Compute();
}

bool Fphantoado::LoadTable(const QString& path) {
    CalculatorTable table;
    if (!ReadCalculatorTable(NativeName(path), kTableFieldWidth, table)) {
        ask_().Message(Vn("Không mở được file ") + ToTcvn3(path));
        return false;
    }
    SG1_->clearContents();
    SG1_->setRowCount(static_cast<int>(std::max<long long>(table.Lines, 1)));
    for (int r = 0; r < static_cast<int>(table.Rows.size()); ++r)
        for (int c = 0; c < 3; ++c)
            SG1_->setItem(r, c, new QTableWidgetItem(FromTcvn3(table.Rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])));
    return true;
}

void Fphantoado::BfileClick() {
    const std::optional<QString> name = files_.AskOpenName(
        {QStringLiteral("Tên file só liệu chi tiết dạng khác"),
         QStringLiteral("File dạng *.DTA* (*.DTA* *.dta*);;All File (*)"), QStringLiteral("DTA")});
    if (!name || name->isEmpty()) return;
    LoadTable(*name);
}

}  // namespace qef
