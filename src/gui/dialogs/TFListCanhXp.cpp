#include "gui/dialogs/TFListCanhXp.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/GuiText.h"
#include "gui/StepEndGate.h"
#include "gui/dialogs/TFTsbs.h"
#include "gui/dialogs/TFVoiAutoCAD.h"
#include "gui/dialogs/DialogSupport.h"

namespace qef {

namespace {

QTableWidget* Grid(QWidget* parent, const char* name, const QStringList& headings) {
    auto* grid = Named(new QTableWidget(0, static_cast<int>(headings.size()), parent), name);
    grid->setHorizontalHeaderLabels(headings);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

QListWidget* List(QWidget* parent, const char* name) {
    auto* list = Named(new QListWidget(parent), name);
    list->setFont(QFont(QStringLiteral("Monospace")));
    return list;
}

// A list with its label above it.
QVBoxLayout* Labelled(const QString& label, QWidget* widget) {
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(label));
    column->addWidget(widget);
    return column;
}

void Fill(QListWidget* list, const std::vector<std::string>& lines) {
    list->clear();
    for (const std::string& line : lines) list->addItem(FromTcvn3(line));
}

// The question of a file to open: the data-file patterns in both cases.
FileQuestion OpenQuestion(const char* title) {
    return {QString::fromUtf8(title), QStringLiteral("File du lieu (*.DTA *.dta);;Tat ca cac file (*)"),
            QStringLiteral("DTA")};
}

}  // namespace

TFListCanhXp::TFListCanhXp(ComputationSettings& settings, FileDialogs& files, QWidget* parent)
    : QDialog(parent), settings_(settings), files_(files) {
    setObjectName(QStringLiteral("FListCanhXp"));
    setWindowTitle(QStringLiteral("Tính toán bình sai từng bước"));

    Button3_ = Named(new QPushButton(QStringLiteral("1:Mở file tọa độ gốc"), this), "Button3");
    Button4_ = Named(new QPushButton(QStringLiteral("2:Mở file số liệu đo"), this), "Button4");
    SG_Td_ = Grid(this, "SG_Td", {QStringLiteral("Tên điểm"), QStringLiteral("X"), QStringLiteral("Y")});
    SG_Sl_ = Grid(this, "SG_Sl",
                  {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                   QStringLiteral("5"), QStringLiteral("6")});
    Khoidong_ = Named(new QPushButton(QStringLiteral("3:Khởi động"), this), "Khoidong");
    LB_GPV_ = List(this, "LB_GPV");
    LB_NutC_ = List(this, "LB_NutC");
    LB_Nut_ = List(this, "LB_Nut");
    LB_Canhxp_ = List(this, "LB_Canhxp");
    LB_lapnhanh_ = List(this, "LB_lapnhanh");
    LB_lapnhanh_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Enhanh_ = Named(new QLineEdit(this), "Enhanh");
    Enhanh_->setReadOnly(true);
    Nhom_ = Named(new QPushButton(QStringLiteral("5:Lập nhóm"), this), "Nhom");
    OK_ = Named(new QPushButton(QStringLiteral("Bình sai"), this), "OK");
    Button5_ = Named(new QPushButton(QStringLiteral("Tính tọa độ"), this), "Button5");
    CB_TailenAcad_ = Named(new QCheckBox(QStringLiteral("Tải lên Acad từ R14.01 trở lên"), this), "CB_TailenAcad");
    CB_ghikq_ = Named(new QCheckBox(QStringLiteral("Ghi lại kết quả bình sai"), this), "CB_ghikq");
    Cancel_ = Named(new QPushButton(QStringLiteral("Close"), this), "Cancel");

    RG_lapnhom_ = new RadioGroupBox(QStringLiteral("RG_lapnhom"), QStringLiteral(" 4:Cơ sở lập nhóm "),
                                    {QStringLiteral("Theo cạnh xuất phát"), QStringLiteral("Theo các nhánh được chọn")},
                                    this);
    RG_lapnhom_->SetItemIndex(0);

    auto* layout = new QGridLayout(this);
    layout->addLayout(BuildInputColumn(), 0, 0);
    layout->addLayout(BuildAnalysisColumn(), 0, 1);
    layout->addLayout(BuildGroupColumn(), 0, 2);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    layout->setColumnStretch(2, 4);
    // Enter on a step takes the step; it never closes the dialog.
    Cancel_->setAutoDefault(false);
    resize(1180, 640);
    OrderTabs();
    ConnectControls();
    UpdateSteps();
}

// The input files.
QVBoxLayout* TFListCanhXp::BuildInputColumn() {
    auto* inputs = new QVBoxLayout;
    inputs->addWidget(Button3_);
    inputs->addLayout(Labelled(QStringLiteral("Tọa độ gốc"), SG_Td_), 1);
    inputs->addWidget(Button4_);
    inputs->addLayout(Labelled(QStringLiteral("Số liệu đo"), SG_Sl_), 2);
    return inputs;
}

// What the analysis found.
QVBoxLayout* TFListCanhXp::BuildAnalysisColumn() {
    auto* analysis = new QVBoxLayout;
    analysis->addWidget(Khoidong_);
    analysis->addLayout(Labelled(QStringLiteral("Các phương vị khởi đầu"), LB_GPV_), 2);
    auto* nodes = new QHBoxLayout;
    nodes->addLayout(Labelled(QStringLiteral("Nút cứng"), LB_NutC_));
    nodes->addLayout(Labelled(QStringLiteral("Nút mềm"), LB_Nut_));
    analysis->addLayout(nodes, 2);
    analysis->addLayout(Labelled(QStringLiteral("4A:Chọn cạnh xuất phát"), LB_Canhxp_), 2);
    return analysis;
}

// The group: how it is made, its steps and the close button.
QVBoxLayout* TFListCanhXp::BuildGroupColumn() {
    auto* group = new QVBoxLayout;
    group->addWidget(RG_lapnhom_);
    group->addLayout(Labelled(QStringLiteral("4B:Chọn các nhánh cần lập nhóm"), LB_lapnhanh_), 1);
    group->addWidget(Enhanh_);
    auto* note = new QLabel(QStringLiteral("(Các nhánh được lập chỉ xét bậc thứ nhất, các bậc sau và đường treo "
                                           "không xét.)"),
                            this);
    note->setWordWrap(true);
    group->addWidget(note);
    auto* steps = new QHBoxLayout;
    steps->addWidget(Nhom_);
    steps->addWidget(OK_);
    steps->addWidget(Button5_);
    group->addLayout(steps);
    group->addWidget(CB_TailenAcad_);
    group->addWidget(CB_ghikq_);
    auto* close = new QHBoxLayout;
    close->addStretch();
    close->addWidget(Cancel_);
    group->addLayout(close);
    return group;
}

void TFListCanhXp::ConnectControls() {
    connect(Button3_, &QPushButton::clicked, this, &TFListCanhXp::OpenKnownFile);
    connect(Button4_, &QPushButton::clicked, this, &TFListCanhXp::OpenObservationFile);
    connect(Khoidong_, &QPushButton::clicked, this, &TFListCanhXp::StartNetwork);
    connect(Nhom_, &QPushButton::clicked, this, &TFListCanhXp::BuildGroup);
    connect(OK_, &QPushButton::clicked, this, [this] { RunGroup(GroupStep::Adjust); });
    connect(Button5_, &QPushButton::clicked, this, [this] { RunGroup(GroupStep::Coordinates); });
    connect(CB_TailenAcad_, &QCheckBox::toggled, this, &TFListCanhXp::OnExport);
    connect(LB_lapnhanh_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Enhanh_->setText(item->text()); });
    connect(Cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TFListCanhXp::OrderTabs() {
    QList<QWidget*> chain{Button3_, SG_Td_, Button4_, SG_Sl_, Khoidong_, LB_GPV_, LB_NutC_, LB_Nut_, LB_Canhxp_};
    for (int i = 0; i < 2; ++i) chain.append(static_cast<QWidget*>(RG_lapnhom_->Item(i)));
    chain << QList<QWidget*>{LB_lapnhanh_, Enhanh_, Nhom_, OK_, Button5_, CB_TailenAcad_, CB_ghikq_, Cancel_};
    TabChain(chain);
}

void TFListCanhXp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Each showing starts at the first step, not where the last one was closed.
    Button3_->setFocus();
}

void TFListCanhXp::FocusAfterStep(QWidget* next) {
    raise();
    activateWindow();
    if (next && next->isEnabled()) next->setFocus();
}

void TFListCanhXp::UpdateSteps() {
    Khoidong_->setEnabled(session_.HasFiles());
    Nhom_->setEnabled(session_.Started());
    OK_->setEnabled(session_.HasGroup());
    Button5_->setEnabled(session_.HasGroup());
}

void TFListCanhXp::OpenKnownFile() {
    const std::optional<QString> name = files_.AskOpenName(OpenQuestion("Tên file tọa độ"));
    if (!name || name->isEmpty()) return;
    session_.SetKnownFile(NativeName(*name));
    std::vector<std::vector<std::string>> rows;
    ReadGridRows(NativeName(*name), 3, settings_, rows);
    SG_Td_->setRowCount(0);
    SG_Td_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 3; ++c) SG_Td_->setItem(r, c, new QTableWidgetItem(FromTcvn3(rows[r][c])));
    SG_Td_->resizeColumnsToContents();
    FillLists();
    UpdateSteps();
    FocusAfterStep(SG_Td_);
}

void TFListCanhXp::OpenObservationFile() {
    const std::optional<QString> name = files_.AskOpenName(OpenQuestion("Tên file Số liệu đo"));
    if (!name || name->isEmpty()) return;
    session_.SetObservationFile(NativeName(*name));
    std::vector<std::vector<std::string>> rows;
    ReadGridRows(NativeName(*name), 6, settings_, rows);
    SG_Sl_->setRowCount(0);
    SG_Sl_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 6; ++c) SG_Sl_->setItem(r, c, new QTableWidgetItem(FromTcvn3(rows[r][c])));
    SG_Sl_->resizeColumnsToContents();
    FillLists();
    UpdateSteps();
    FocusAfterStep(SG_Sl_);
}

void TFListCanhXp::FillLists() {
    const StepLists& lists = session_.Lists();
    Fill(LB_GPV_, lists.Directions);
    Fill(LB_NutC_, lists.HardNodes);
    Fill(LB_Nut_, lists.SoftNodes);
    Fill(LB_lapnhanh_, lists.Branches);
    Fill(LB_Canhxp_, lists.StartSides);
    if (LB_Canhxp_->count() > 0) LB_Canhxp_->setCurrentRow(0);
    Enhanh_->clear();
}

namespace {

// What a step of the session tells the runner.
WorkerResult StepResult(StepStatus status) {
    WorkerResult result;
    result.Cancelled = status == StepStatus::Cancelled;
    result.StoppedOnError = status == StepStatus::Failed;
    return result;
}

}  // namespace

void TFListCanhXp::StartNetwork() {
    if (!runner_) return;
    std::string heights;
    if (StepByStepSession::NeedsHeightsFile(settings_)) {
        const std::optional<QString> name = files_.AskOpenName(OpenQuestion("Nhập tên file độ cao điểm"));
        if (!name || name->isEmpty()) return;
        heights = NativeName(*name);
    }
    runner_->RunStep([&](Interaction& ui, Progress& monitor) {
        const StepStatus status = session_.Start(settings_, heights, ui, monitor);
        WorkerResult result = StepResult(status);
        if (status == StepStatus::Failed && !session_.ReadError().FailedFileName.empty())
            result.ReadError = session_.ReadError();
        return result;
    });
    FillLists();
    UpdateSteps();
    FocusAfterStep(session_.Started() ? static_cast<QWidget*>(LB_Canhxp_) : Khoidong_);
}

void TFListCanhXp::BuildGroup() {
    if (!runner_ || !session_.Started()) return;
    const GroupBasis basis = RG_lapnhom_->ItemIndex() == 1 ? GroupBasis::ChosenBranches : GroupBasis::StartSide;
    std::string side;
    if (const QListWidgetItem* item = LB_Canhxp_->currentItem()) side = StartSideText(ToTcvn3(item->text()));
    std::vector<std::string> selected;
    for (int i = 0; i < LB_lapnhanh_->count(); ++i)
        if (LB_lapnhanh_->item(i)->isSelected()) selected.push_back(ToTcvn3(LB_lapnhanh_->item(i)->text()));
    runner_->RunStep([&](Interaction& ui, Progress&) {
        return StepResult(session_.BuildGroup(basis, side, selected, settings_, ui));
    });
    Fill(LB_lapnhanh_, session_.Lists().Branches);
    Enhanh_->clear();
    UpdateSteps();
    FocusAfterStep(session_.HasGroup() ? OK_ : Nhom_);
}

std::string TFListCanhXp::AskResultFile() {
    if (!CB_ghikq_->isChecked()) return {};
    // Remembered apart from the other commands' result questions of the same title.
    FileQuestion question{QStringLiteral("Nhập tên file kết quả"), ResultFileFilter(false), QStringLiteral("dta")};
    question.rememberAs = QStringLiteral("F5 Nhập tên file kết quả");
    const std::optional<QString> name = files_.AskSaveName(question);
    if (!name || name->isEmpty()) {
        runner_->Ask().Message(Vn("Không có tên file kết quả"));
        return {};
    }
    return NativeName(*name);
}

void TFListCanhXp::RunGroup(GroupStep step) {
    if (!runner_ || !session_.HasGroup()) return;
    settings_.AcadUploadEnabled = CB_TailenAcad_->isChecked();
    settings_.ParamDialogTitle = Vn("Thông số tính toán Bình sai đơn giản");
    settings_.Modes.ModeTraverse = true;
    settings_.Modes.ModeLevelling = false;
    settings_.Modes.ModeDetailPoints = false;
    settings_.Modes.ModeWithHeights = false;
    const std::string result = AskResultFile();
    runner_->RunStep([&](Interaction& ui, Progress& monitor) {
        StepEndGate gate(ui, Vn("Kết thúc"), [this] { runner_->StepEnded(); });
        return StepResult(step == GroupStep::Adjust
                              ? session_.AdjustGroup(settings_, result, gate, monitor)
                              : session_.ComputeCoordinates(settings_, result, gate, monitor));
    });
    // As after every command, the next one starts with the export off.
    CB_TailenAcad_->setChecked(false);
    settings_.AcadUploadEnabled = false;
    UpdateSteps();
    // The next group starts with a new analysis.
    FocusAfterStep(Khoidong_);
}

void TFListCanhXp::OnExport(bool checked) {
    settings_.AcadUploadEnabled = checked;
    if (checked && drawingOptions_) drawingOptions_->exec();
}

}  // namespace qef
