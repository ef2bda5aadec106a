#include "gui/dialogs/TFTaosodo.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/GuiText.h"
#include "gui/dialogs/TFTsbs.h"
#include "gui/dialogs/DialogSupport.h"

namespace qef {

TFTaosodo::TFTaosodo(QWidget* parent) : CheckedDialog(parent) {
    setObjectName(QStringLiteral("FTaosodo"));
    setWindowTitle(QStringLiteral("Tạo sổ đo góc cạnh"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QGroupBox* tolerances = BuildTolerances();
    QGroupBox* header = BuildBookHeader();
    cb_xlsl_ = Named(new QCheckBox(QStringLiteral("Tính 2C và trung bình trị đo góc cạnh"), this), "cb_xlsl");
    cb_sdcanh_ = Named(new QCheckBox(QStringLiteral("Lập sổ đo cạnh dạng file RTF"), this), "cb_sdcanh");
    cb_sdgoc_ = Named(new QCheckBox(QStringLiteral("Lập sổ đo góc dạng file RTF"), this), "cb_sdgoc");
    cb_sdgoc_->setEnabled(false);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tolerances);
    layout->addWidget(header);
    layout->addWidget(cb_xlsl_);
    layout->addWidget(cb_sdcanh_);
    layout->addWidget(cb_sdgoc_);
    layout->addStretch();
    ScrollingBody(*this, body, OkCancelRow());

    connect(RGcaphang_, &RadioGroupBox::ItemChosen, this, &TFTaosodo::OnClassChanged);
    connect(RGssmay_, &RadioGroupBox::ItemChosen, this, &TFTaosodo::OnClassChanged);
    connect(RG_Cachlaycanh_, &RadioGroupBox::ItemChosen, this, &TFTaosodo::OnDistanceModeChanged);
}

// The classes and the tolerances they give.
QGroupBox* TFTaosodo::BuildTolerances() {
    auto* tolerances = Named(new QGroupBox(QStringLiteral(" Các thông số xử lý số liệu "), this), "GroupBox1");
    RGcaphang_ = new RadioGroupBox(QStringLiteral("RGcaphang"), QStringLiteral(" Cấp hạng "),
                                   {QStringLiteral("ĐC I"), QStringLiteral("ĐC II"), QStringLiteral("KV")}, tolerances);
    RGssmay_ = new RadioGroupBox(QStringLiteral("RGssmay"), QStringLiteral(" Sai số góc của máy đo "),
                                 {QStringLiteral("1\"-2\""), QStringLiteral("3\"-5\""), QStringLiteral(">5\"")},
                                 tolerances);
    RG_Cachlaycanh_ = new RadioGroupBox(QStringLiteral("RG_Cachlaycanh"), QStringLiteral(" Đo cạnh "),
                                        {QStringLiteral("thuận ngịch"), QStringLiteral("tự do")}, tolerances);
    RGcaphang_->SetItemIndex(static_cast<int>(NetworkClass::Region));
    RGssmay_->SetItemIndex(static_cast<int>(InstrumentClass::ThreeToFive));
    RG_Cachlaycanh_->SetItemIndex(static_cast<int>(DistanceMode::ForwardBack));
    auto* radios = new QVBoxLayout;
    for (RadioGroupBox* group : {RGcaphang_, RGssmay_, RG_Cachlaycanh_}) radios->addWidget(group);

    auto spin = [&](const char* name, int low, int high, int value) {
        auto* box = Named(new QSpinBox(tolerances), name);
        box->setRange(low, high);
        box->setValue(value);
        return box;
    };
    Ess2C_ = spin("Ess2C", 1, 60, 18);
    Ess2L_ = spin("Ess2L", 1, 60, 8);
    Ebiendong2C_ = spin("Ebiendong2C", 1, 60, 20);
    Esolandogoc_ = spin("Esolandogoc", 1, 10, 1);
    Esolephangiay_ = spin("Esolephangiay", 0, 3, 0);
    Esolandocanh_ = spin("Esolandocanh", 0, 10, 2);
    Esolandocanh_->setSingleStep(2);
    Essacanh_ = spin("Essacanh", 1, 1000, 5);
    auto* values = new QFormLayout;
    values->addRow(QStringLiteral("Biến động 2C :"), Ess2C_);
    values->addRow(QStringLiteral("SS 2 nữa lần đo :"), Ess2L_);
    values->addRow(QStringLiteral("2C cho phép :"), Ebiendong2C_);
    values->addRow(QStringLiteral("Số lần đo góc :"), Esolandogoc_);
    values->addRow(QStringLiteral("Số lẽ phần giây :"), Esolephangiay_);
    values->addRow(QStringLiteral("Tổng số lần đo cạnh :"), Esolandocanh_);
    values->addRow(QStringLiteral("Sai số giữa 2 lần đo (mm) :"), Essacanh_);
    auto* tolerancesLayout = new QHBoxLayout(tolerances);
    tolerancesLayout->addLayout(radios);
    tolerancesLayout->addLayout(values);
    return tolerances;
}

// Who measured with what, and the pages of the book.
QGroupBox* TFTaosodo::BuildBookHeader() {
    auto* header = Named(new QGroupBox(QStringLiteral(" Các thông tin lập sổ đo góc cạnh "), this), "GroupBox2");
    auto edit = [&](const char* name, const QString& text) { return Named(new QLineEdit(text, header), name); };
    Engdo_ = edit("Engdo", {});
    Engghi_ = edit("Engghi", {});
    Eloaimay_ = edit("Eloaimay", {});
    Esomay_ = edit("Esomay", {});
    Esodau_ = edit("Esodau", QStringLiteral("6"));
    Esocuoi_ = edit("Esocuoi", QStringLiteral("200"));
    auto* headerLayout = new QGridLayout(header);
    headerLayout->addWidget(new QLabel(QStringLiteral("Người đo :"), header), 0, 0);
    headerLayout->addWidget(Engdo_, 0, 1);
    headerLayout->addWidget(new QLabel(QStringLiteral("Ng ghi :"), header), 0, 2);
    headerLayout->addWidget(Engghi_, 0, 3);
    headerLayout->addWidget(new QLabel(QStringLiteral("Loại máy :"), header), 1, 0);
    headerLayout->addWidget(Eloaimay_, 1, 1);
    headerLayout->addWidget(new QLabel(QStringLiteral("Số máy :"), header), 1, 2);
    headerLayout->addWidget(Esomay_, 1, 3);
    headerLayout->addWidget(new QLabel(QStringLiteral("Trang đầu :"), header), 2, 0);
    headerLayout->addWidget(Esodau_, 2, 1);
    headerLayout->addWidget(new QLabel(QStringLiteral("cuối :"), header), 2, 2);
    headerLayout->addWidget(Esocuoi_, 2, 3);
    return header;
}

void TFTaosodo::OnClassChanged() {
    const auto instrument = static_cast<InstrumentClass>(RGssmay_->ItemIndex());
    const ToleranceFill fill = ToleranceFor(static_cast<NetworkClass>(RGcaphang_->ItemIndex()), instrument);
    // Switching the class runs this handler again, which then fills the same values.
    if (RGcaphang_->ItemIndex() != static_cast<int>(fill.Class)) {
        RGcaphang_->SetItemIndex(static_cast<int>(fill.Class));
        return;
    }
    Esolandogoc_->setValue(fill.AngleSets);
    Ess2L_->setValue(fill.HalfSetTolerance);
    Ess2C_->setValue(fill.TwoCVariation);
}

void TFTaosodo::OnDistanceModeChanged() {
    Esolandocanh_->setSingleStep(RG_Cachlaycanh_->ItemIndex() == static_cast<int>(DistanceMode::ForwardBack) ? 2 : 1);
}

void TFTaosodo::accept() {
    const auto mode = static_cast<DistanceMode>(RG_Cachlaycanh_->ItemIndex());
    // Forward and back come in pairs.
    if (mode == DistanceMode::ForwardBack && Esolandocanh_->value() % 2 != 0) {
        ShowMessage(QStringLiteral("Số lần đo cạnh phải chẵn"));
        Esolandocanh_->setFocus();
        return;
    }
    FieldBookOptions o;
    o.TwoCVariation = Ess2C_->value();
    o.HalfSetTolerance = Ess2L_->value();
    o.TwoCAllowed = Ebiendong2C_->value();
    o.SecondsDecimals = Esolephangiay_->value();
    o.DistanceCount = Esolandocanh_->value();
    o.AngleSets = Esolandogoc_->value();
    o.DistanceTolerance = Essacanh_->value();
    o.Distances = mode;
    o.Compute = cb_xlsl_->isChecked();
    o.RtfDistanceBook = cb_sdcanh_->isChecked();
    o.Observer = ToTcvn3(Engdo_->text());
    o.Recorder = ToTcvn3(Engghi_->text());
    o.InstrumentType = ToTcvn3(Eloaimay_->text());
    o.InstrumentNumber = ToTcvn3(Esomay_->text());
    o.FirstPage = ToTcvn3(Esodau_->text());
    o.LastPage = ToTcvn3(Esocuoi_->text());
    options_ = std::move(o);
    AcceptNow();
}

}  // namespace qef
