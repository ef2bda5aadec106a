#include "gui/dialogs/TForm2.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/GuiText.h"

namespace qef {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// A count that arrives as a bare number is shown after the name of what it counts.
QString LabelledCount(MonitorLabel label, const QString& text) {
    bool number = false;
    text.trimmed().toLongLong(&number);
    if (!number) return text;
    switch (label) {
        case MonitorLabel::Nodes: return QStringLiteral("Tổng số nút trong nhóm : ") + text.trimmed();
        case MonitorLabel::Branches: return QStringLiteral("Tổng số nhánh trong nhóm : ") + text.trimmed();
        case MonitorLabel::Angles: return QStringLiteral("Số góc : ") + text.trimmed();
        case MonitorLabel::Sides: return QStringLiteral("Số cạnh : ") + text.trimmed();
        default: return text;
    }
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Theo dõi quá trình bình sai"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    Ltientrinh_ = MakeLabel(this, "Ltientrinh", QStringLiteral("Đang bình sai"));
    QFont bold = Ltientrinh_->font();
    bold.setBold(true);
    Ltientrinh_->setFont(bold);
    Lsonut_ = MakeLabel(this, "Lsonut", QStringLiteral("Tổng số nút trong nhóm :"));
    Lsonhanh_ = MakeLabel(this, "Lsonhanh", QStringLiteral("Tổng số cạnh trong nhóm :"));
    Lsogoc_ = MakeLabel(this, "Lsogoc", QStringLiteral("Số góc :"));
    Lsocanh_ = MakeLabel(this, "Lsocanh", QStringLiteral("Số cạnh :"));
    Label4_ = MakeLabel(this, "Label4", QStringLiteral("Đánh giá đcx :"));
    Batdau_ = MakeLabel(this, "Batdau", QString());
    Ketthuc_ = MakeLabel(this, "Ketthuc", QString());
    for (QLabel* label : {Ltientrinh_, Lsonut_, Lsonhanh_, Lsogoc_, Lsocanh_, Label4_, Batdau_, Ketthuc_})
        label->setMinimumHeight(label->fontMetrics().height());

    PB1_ = new QProgressBar(this);
    PB1_->setObjectName(QStringLiteral("PB1"));
    PB1_->setRange(0, kBarSteps);
    PB1_->setValue(0);

    Button1_ = new QPushButton(QStringLiteral("Đồng ý"), this);
    Button1_->setObjectName(QStringLiteral("Button1"));
    Button1_->setDefault(true);
    connect(Button1_, &QPushButton::clicked, this, &QDialog::accept);

    auto* counts = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(Lsonut_);
    left->addWidget(Lsonhanh_);
    auto* right = new QVBoxLayout;
    right->addWidget(Lsogoc_);
    right->addWidget(Lsocanh_);
    counts->addLayout(left, 3);
    counts->addLayout(right, 2);

    auto* times = new QHBoxLayout;
    times->addWidget(Batdau_);
    times->addWidget(Ketthuc_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Ltientrinh_);
    layout->addSpacing(6);
    layout->addLayout(counts);
    layout->addWidget(Label4_);
    layout->addStretch();
    layout->addLayout(times);
    layout->addWidget(PB1_);
    layout->addLayout(buttons);

    resize(480, 274);
}

QLabel* TForm2::Label(MonitorLabel label) const {
    switch (label) {
        case MonitorLabel::Stage: return Ltientrinh_;
        case MonitorLabel::Nodes: return Lsonut_;
        case MonitorLabel::Branches: return Lsonhanh_;
        case MonitorLabel::Angles: return Lsogoc_;
        case MonitorLabel::Sides: return Lsocanh_;
        case MonitorLabel::Accuracy: return Label4_;
        case MonitorLabel::Start: return Batdau_;
        case MonitorLabel::End: return Ketthuc_;
    }
    return Ltientrinh_;
}

void TForm2::ResetTexts() {
    Ltientrinh_->setText(QStringLiteral("Chuẩn bị bình sai, Xin chờ !"));
    for (QLabel* label : {Lsonut_, Lsonhanh_, Lsocanh_, Lsogoc_, Label4_, Ketthuc_}) label->clear();
}

void TForm2::showEvent(QShowEvent* event) {
    // A window manager restoring the window is not a new run.
    if (!event->spontaneous()) ResetTexts();
    QDialog::showEvent(event);
}

void TForm2::Show() {
    // Already open from the last run: show() sends no show event, so reset here as well.
    ResetTexts();
    running_ = true;
    minimum_ = 0;
    maximum_ = kBarSteps;
    PB1_->setValue(0);
    show();
    raise();
    RepaintNow();
}

void TForm2::SetText(MonitorLabel label, const std::string& text) {
    // The computation stamps the time as it goes; the end time is only known in EndRun.
    if (label == MonitorLabel::End && running_) return;
    Label(label)->setText(LabelledCount(label, FromTcvn3(text)));
    RepaintNow();
}

void TForm2::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    RepaintNow();
}

void TForm2::SetPosition(int position) {
    // As a progress bar does, a position outside the range is not shown.
    if (position < minimum_ || position > maximum_) return;
    int steps = maximum_ > minimum_
                    ? static_cast<int>(static_cast<long long>(position - minimum_) * kBarSteps / (maximum_ - minimum_))
                    : 0;
    // The computation reaches the end of its range before the files are written: hold the bar
    // at 99 % (the bar rounds its percentage, so one step short would already read 100 %).
    if (running_) steps = std::min(steps, kBarSteps - kBarSteps / 100);
    PB1_->setValue(steps);
    RepaintNow();
}

void TForm2::EndRun(bool completed) {
    if (!running_) return;
    running_ = false;
    Ketthuc_->setText(QStringLiteral("đến ") + QString::fromStdString(TimeOfDay()));
    if (completed) PB1_->setValue(kBarSteps);
    RepaintNow();
}

void TForm2::TakeKeyboard() {
    if (!isVisible()) return;
    raise();
    activateWindow();
    Button1_->setFocus();
}

void TForm2::done(int result) {
    if (CloseDuringRun) {
        CloseDuringRun();
        return;
    }
    QDialog::done(result);
}

void TForm2::RepaintNow() {
    // The computation holds the GUI thread. Every event is let through, a close of the window
    // among them; the runner keeps the user's input from all but the monitor and the questions.
    if (isVisible()) update();
    QCoreApplication::processEvents();
}

}  // namespace qef
