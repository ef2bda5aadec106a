#include "gui/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QSaveFile>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <filesystem>

#include "adjustment/AdjustByOrder.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "gui/GridModel.h"
#include "gui/GuiInteraction.h"
#include "gui/GuiText.h"
#include "gui/HelpWindow.h"
#include "gui/SplashWindow.h"
#include "gui/TFTsbs.h"
#include "gui/TFVoiAutoCAD.h"
#include "gui/TForm2.h"

namespace qef {

namespace {

const QString kProgramTitle = QStringLiteral("QEF 2010");

// Grid data files, both cases of each pattern.
const QString kDataFileFilter = QStringLiteral(
    "File du lieu (*.DTA *.dta);;File du lieu (*.DAT *.dat);;Tat ca cac loai file (*)");
const QString kTextFileFilter = QStringLiteral(
    "File dạng *.TXT, *.DAT, *.RTF, *.IN* (*.TXT *.txt *.DAT *.dat *.RTF *.rtf *.IN* *.in*);;"
    "All File (*)");

// A toolbar picture of the program's own: a short label on a coloured tile.
QIcon Tile(const QString& label, const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colour.darker(140));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    int size = 17;
    for (; size > 8; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(label) <= 27) break;
    }
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, label);
    return QIcon(pixmap);
}

const QColor kFileColour(70, 103, 133);
const QColor kEditColour(96, 125, 139);
const QColor kViewColour(0, 121, 107);
const QColor kAdjustColour(21, 101, 192);
const QColor kDetailColour(123, 31, 162);
const QColor kToolColour(191, 97, 0);
const QColor kGridColour(85, 110, 60);

}  // namespace

QString ViewCaption(const QString& fileName, const QString& programTitle) {
    if (fileName.isEmpty()) return programTitle;
    return programTitle + QStringLiteral(" [") + fileName + QStringLiteral("]");
}

QString SavedAsCaption(const QString& path) {
    return QFileInfo(path).fileName() + QStringLiteral(" - ") + kProgramTitle;
}

QString GridStatusText(int row, int column, int dataRowCount) {
    return QStringLiteral(" Row: %1   Col: %2  Max: %3").arg(row).arg(column + 1).arg(dataRowCount);
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), guiInteraction_(std::make_unique<GuiInteraction>(this)) {
    interaction_ = guiInteraction_.get();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kProgramTitle);

    BuildViews();
    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildStatusBar();

    OpenDialog1_ = new QFileDialog(this);
    OpenDialog1_->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1_->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1_->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1_->setNameFilter(kDataFileFilter);
    SaveDialog1_ = new QFileDialog(this);
    SaveDialog1_->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1_->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1_->setFileMode(QFileDialog::AnyFile);
    SaveDialog1_->setNameFilter(kDataFileFilter);

    // The grid starts empty on row 1, column 1.
    grid_->SetDataRowCount(0);
    StGrid_->setCurrentIndex(grid_->index(0, 0));
    WriteGridStatus();
    Editor_->document()->setModified(false);

    splash_ = new SplashWindow(this);
    help_ = new HelpWindow(this);
    resize(1260, 780);
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateDialogs() {
    if (!parametersDialog_) parametersDialog_ = new TFTsbs(settings_, this);
    if (!monitorWindow_) monitorWindow_ = new TForm2(this);
    if (!drawingOptionsDialog_) drawingOptionsDialog_ = new TFVoiAutoCAD(settings_, this);
    parametersDialog_->SetDrawingOptionsDialog(drawingOptionsDialog_);
}

void MainWindow::SetInteraction(Interaction* interaction) {
    interaction_ = interaction ? interaction : guiInteraction_.get();
}

// ---------------------------------------------------------------- building

QAction* MainWindow::MakeAction(const QString& name, const QString& text, const QKeySequence& key,
                                const QString& hint) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!key.isEmpty()) action->setShortcut(key);
    if (!hint.isEmpty()) action->setToolTip(hint);
    return action;
}

QAction* MainWindow::Pending(QAction* action) {
    pending_.insert(action);
    action->setEnabled(false);
    return action;
}

void MainWindow::SetCommandEnabled(QAction* action, bool enabled) {
    action->setEnabled(enabled && !pending_.contains(action));
}

void MainWindow::BuildViews() {
    grid_ = new GridModel(GridModel::kDefaultColumns, GridModel::kDefaultDataRows, this);
    StGrid_ = new QTableView(this);
    StGrid_->setObjectName(QStringLiteral("StGrid"));
    StGrid_->setModel(grid_);
    StGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StGrid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StGrid_->setWordWrap(false);
    StGrid_->horizontalHeader()->setDefaultSectionSize(95);
    StGrid_->horizontalHeader()->setHighlightSections(false);
    StGrid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StGrid_->verticalHeader()->setDefaultSectionSize(20);
    StGrid_->verticalHeader()->hide();
    connect(StGrid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { if (GridVisible()) WriteGridStatus(); });

    Editor_ = new QTextEdit(this);
    Editor_->setObjectName(QStringLiteral("Editor"));
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(10);
    Editor_->setFont(mono);
    Editor_->document()->setDefaultFont(mono);
    Editor_->setLineWrapMode(QTextEdit::NoWrap);
    Editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(Editor_->document(), &QTextDocument::modificationChanged, this,
            &MainWindow::OnEditorModified);

    views_ = new QStackedWidget(this);
    views_->setObjectName(QStringLiteral("Views"));
    views_->addWidget(StGrid_);
    views_->addWidget(Editor_);
    views_->setCurrentWidget(StGrid_);
    setCentralWidget(views_);
}

void MainWindow::BuildActions() {
    const QStyle* st = style();

    TBNew_ = Pending(MakeAction("TBNew", "&New", QKeySequence(Qt::CTRL | Qt::Key_N), "New"));
    TBNew_->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    TBOpen_ = Pending(MakeAction("TBOpen", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), "Open"));
    TBOpen_->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    TBSave_ = Pending(MakeAction("TBSave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), "Save"));
    TBSave_->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    TBSaveas_ = Pending(MakeAction("TBSaveas", "Save &As", {}, "Save As"));
    TBSaveas_->setIcon(Tile("S+", kFileColour));
    TBPrint_ = Pending(MakeAction("TBPrint", "Print", {}, "Print"));
    TBPrint_->setIcon(Tile("In", kFileColour));
    fileExit_ = MakeAction("FileExit", "E&xit", QKeySequence(Qt::ALT | Qt::Key_X));
    connect(fileExit_, &QAction::triggered, this, &QWidget::close);

    cut_ = Pending(MakeAction("EditCut", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), "Cut"));
    cut_->setIcon(Tile(QStringLiteral("✂"), kEditColour));
    copy_ = Pending(MakeAction("EditCopy", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), "Copy"));
    copy_->setIcon(Tile(QStringLiteral("❐"), kEditColour));
    paste_ = Pending(MakeAction("EditPaste", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), "Paste"));
    paste_->setIcon(Tile(QStringLiteral("↧"), kEditColour));
    delete_ = Pending(MakeAction("EditDelete", "&Delete", QKeySequence(Qt::CTRL | Qt::Key_Delete)));
    Chenfilevao1_ = Pending(MakeAction("Chenfilevao1", "Đọc vào một file"));
    writeBlock_ = Pending(MakeAction("Ghikhoirafile", "Ghi khối ra file"));
    appendBlock_ = Pending(MakeAction("Noikhoivaofile", "Nối khối vào file"));

    const char* conversionTexts[] = {
        "Chuyển đơn vị đo dài từ mét -> milimét",  "Chuyển đơn vị đo dài từ milimét -> mét",
        "Chuyển góc kiểu 180.0000 -> 1800000",     "Chuyển góc kiểu 1800000 -> 180.0000",
        "Chuyển góc kiểu 180.0101 -> 180 01 01",   "Chuyển góc kiểu 180 01 01 -> 180.0101",
        "Chuyển góc từ Độ (kiểu 180.0000) -> Grad", "Chuyển góc từ Grad (kiểu 200.0000) -> Độ",
    };
    int n = 0;
    for (const char* text : conversionTexts) {
        conversions_.push_back(
            Pending(MakeAction(QStringLiteral("Conversion%1").arg(++n), QString::fromUtf8(text))));
    }
    const char* blockTexts[] = {
        "Đặt nội dung cho một khối",    "Đặt giá trị tăng dần cho một khối",
        "Cộng 1 giá trị vào một khối",  "Thêm chuỗi vào trước một khối",
        "Thêm chuỗi vào sau một khối",  "Đặt lại số hiệu điểm chi tiết cho một khối",
    };
    n = 0;
    for (const char* text : blockTexts) {
        blockOperations_.push_back(
            Pending(MakeAction(QStringLiteral("BlockOperation%1").arg(++n), QString::fromUtf8(text))));
    }
    taotridomoi_ = Pending(MakeAction("taotridomoi", "Cộng số ngẫu nhiên vào trị đo góc cạnh",
                                      QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F10)));

    Binhsaimoi_ = Pending(MakeAction("Binhsaimoi", "Bình sai tọa độ", QKeySequence(Qt::Key_F4),
                                     "Bình sai tọa độ "));
    Binhsaimoi_->setIcon(Tile("F4", kAdjustColour));
    ToolButton9_ = Pending(MakeAction("ToolButton9", "Tìm sai số thô", {}, "Tìm sai số thô"));
    ToolButton9_->setIcon(Tile(QStringLiteral("⚑"), kAdjustColour));
    KTtungnhom_ = Pending(MakeAction("KTtungnhom", "Tính tọa độ và bình sai từng nhóm",
                                     QKeySequence(Qt::Key_F5), "Tính tọa độ và bình sai từng nhóm"));
    KTtungnhom_->setIcon(Tile("F5", kAdjustColour));
    BSDC_ = Pending(MakeAction("BSDC", "Bình sai cao độ", QKeySequence(Qt::Key_F6), "Bình sai cao độ"));
    BSDC_->setIcon(Tile("F6", kAdjustColour));
    TXYMia_ = Pending(MakeAction("TXYMia", "Tính tọa độ (x, y) điểm chi tiết", QKeySequence(Qt::Key_F7),
                                 "Tính tọa độ điểm chi tiết"));
    TXYMia_->setIcon(Tile("F7", kDetailColour));
    TB_Tinhxyz1_ = Pending(MakeAction("TB_Tinhxyz1", "Tính (x, y, z) điểm chi tiết theo chênh cao",
                                      QKeySequence(Qt::Key_F8), "Tính tọa độ, cao độ theo chênh cao"));
    TB_Tinhxyz1_->setIcon(Tile("F8", kDetailColour));
    TB_TinhXYZ2_ = Pending(MakeAction("TB_TinhXYZ2", "Tính (x, y, z) điểm chi tiết theo góc thiên đỉnh",
                                      QKeySequence(Qt::Key_F9),
                                      "Tính tọa độ, cao độ theo góc thiên đỉnh"));
    TB_TinhXYZ2_->setIcon(Tile("F9", kDetailColour));
    Bnhsaic1_ = Pending(MakeAction("Bnhsaic1", "Bình sai tọa độ theo phiên bản QEF2003"));
    rawData_ = Pending(MakeAction("Xulysolieutho", "Xử lý số liệu đo trên máy toàn đạc điện tử", {},
                                  "Xử lý số liệu thô"));
    rawData_->setIcon(Tile(QStringLiteral("Thô"), kToolColour));
    trigToGeometric_ = Pending(MakeAction("Chenhcaolg", "Chuyển chênh cao L.giác -> chênh cao H.học"));
    levellingMeans_ = Pending(MakeAction("Trungbinhdocao", "Tính trung bình trị đo cao, khoảng cách giữa 2 trạm"));
    calculator_ = Pending(MakeAction("Phantoado", "Tính toán phương vị, tọa độ đơn giản"));

    TBXulysodo_ = Pending(MakeAction("TBXulysodo", "Tính toán và lập sổ đo góc cạnh", {},
                                     "Tính toán và lập sổ đo góc cạnh"));
    TBXulysodo_->setIcon(Tile(QStringLiteral("Sổ"), kToolColour));
    Taosodogoccanh_ = Pending(MakeAction("Taosodogoccanh", "Từ file sl đo thô tạo file sl góc, cạnh và sl Bình sai"));
    sltosodo_ = Pending(MakeAction("sltosodo", "Xử lý file thô ra file sổ đo góc cạnh",
                                   QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F12)));
    const std::pair<const char*, const char*> toolTexts[] = {
        {"TailenAutoCAD", "Tải file dữ liệu lên AutoCAD"},
        {"Capnhatdocao", "Cập nhật độ cao vào tọa độ"},
        {"Sosanhtoado", "So sánh tọa độ các điểm cùng tên (số hiệu)"},
        {"Sapxeptoado", "Sắp xếp và khử tọa độ trùng"},
        {"Sapxeptoadodocao", "Sắp xếp và khử tọa độ, cao độ trùng"},
        {"Sosanhgoccanh", "So sánh số liệu góc, cạnh trong 2 file"},
        {"Khugoccanhcung", "Khử góc cạnh cứng"},
        {"ChuyentoadoSDR", "Chuyển tọa độ -> (*.DAT), dùng trong SDR"},
        {"Thongketram", "Thống kê trạm máy trong file chi tiết"},
        {"Gocdinhhuong0", "Chuyển góc định hướng đo chi tiết về \"0\""},
        {"Thaythenhieuchuoi", "Tìm và thay thế nhiều chuỗi"},
        {"Congcot", "Cộng cột"},
        {"Vesodogoc", "Từ file sl đo góc, cạnh tạo file trình bày đơn giản"},
        {"sodochitiet", "Tạo sổ đo chi tiết"},
    };
    for (const auto& [name, text] : toolTexts) {
        tools_.push_back(Pending(MakeAction(QString::fromUtf8(name), QString::fromUtf8(text))));
    }

    filekqcodau_ = MakeAction("filekqcodau", "File kết quả có dấu");
    filekqcodau_->setCheckable(true);
    filekqcodau_->setChecked(settings_.KeepAccents);
    connect(filekqcodau_, &QAction::toggled, this, [this](bool on) { settings_.KeepAccents = on; });
    Filedulieudohinh_ = MakeAction("Filedulieudohinh", "Xuất file số liệu đo theo đồ hình");
    Filedulieudohinh_->setCheckable(true);
    Filedulieudohinh_->setChecked(settings_.WriteDhFile);
    connect(Filedulieudohinh_, &QAction::toggled, this, [this](bool on) {
        settings_.WriteDhFile = on;
        if (on) Ask().Message(Vn("Lựa chọn này sẽ tạo file số liệu đo theo thứ tự đồ hình (*.dh)"));
    });
    gridLayout_ = Pending(MakeAction("Thaydoibangnhap", "Thay đổi bảng nhập số liệu"));

    about_ = MakeAction("About", "About");
    connect(about_, &QAction::triggered, this, &MainWindow::ShowAbout);
    help1_ = MakeAction("Huongdan", "Hướng dẫn", QKeySequence(Qt::Key_F1), "Hướng dẫn");
    help1_->setIcon(st->standardIcon(QStyle::SP_DialogHelpButton));
    connect(help1_, &QAction::triggered, this, &MainWindow::ShowHelp);
    // The menu bar's "Thoát" and the toolbar's exit button: the same command.
    exit_ = MakeAction("Thoat", "Thoát");
    connect(exit_, &QAction::triggered, this, &QWidget::close);
    TBExit_ = MakeAction("TBThoat", "Thoát", {}, "Thoát");
    TBExit_->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));
    connect(TBExit_, &QAction::triggered, this, &QWidget::close);

    TBDBG_ = MakeAction("TBDBG", "Soạn thảo dữ liệu đo", {}, "Soạn thảo dữ liệu đo");
    TBDBG_->setIcon(Tile(QStringLiteral("▦"), kViewColour));
    TBRE_ = MakeAction("TBRE", "Xem văn bản dạng text", {}, "Xem văn bản dạng text");
    TBRE_->setIcon(Tile(QStringLiteral("¶"), kViewColour));
    auto* viewPair = new QActionGroup(this);
    viewPair->setExclusive(true);
    for (QAction* a : {TBDBG_, TBRE_}) {
        a->setCheckable(true);
        viewPair->addAction(a);
    }
    TBDBG_->setChecked(true);
    // Each button acts only when it is down after the click.
    connect(TBDBG_, &QAction::triggered, this, [this](bool down) { if (down) ShowGridView(); });
    connect(TBRE_, &QAction::triggered, this, [this](bool down) { if (down) ShowEditorView(); });

    find_ = Pending(MakeAction("Timkiem", "Tìm kiếm", {}, "Tìm kiếm"));
    find_->setIcon(Tile(QStringLiteral("Tìm"), kEditColour));
    replace_ = Pending(MakeAction("Thaythe", "Thay thế", {}, "Thay thế"));
    replace_->setIcon(Tile(QStringLiteral("Thay"), kEditColour));

    // Hidden in the menus: reachable by their shortcuts only.
    addAction(taotridomoi_);
    addAction(sltosodo_);

    // The computation commands; "Tìm sai số thô" is the F4 command.
    const std::pair<QAction*, const char*> computations[] = {
        {Binhsaimoi_, "Binhsaimoi"}, {ToolButton9_, "Binhsaimoi"}, {Bnhsaic1_, "Bnhsaic1"},
        {KTtungnhom_, "KTtungnhom"}, {BSDC_, "BSDC"},               {TXYMia_, "TXYMia"},
        {TB_Tinhxyz1_, "TB_Tinhxyz1"}, {TB_TinhXYZ2_, "TB_TinhXYZ2"},
    };
    for (const auto& [action, name] : computations) {
        const ComputationCommand* command = FindComputationCommand(name);
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(*command); });
    }
    for (QAction* tool : tools_) {
        if (const ComputationCommand* command = FindComputationCommand(tool->objectName().toStdString()))
            connect(tool, &QAction::triggered, this, [this, command] { RunCommand(*command); });
    }
    for (QAction* a : {Binhsaimoi_, ToolButton9_}) {
        pending_.remove(a);
        a->setEnabled(true);
    }
}

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [&](const char* name, const char* title) {
        QMenu* m = bar->addMenu(QString::fromUtf8(title));
        m->setObjectName(QString::fromUtf8(name));
        return m;
    };
    QMenu* file = menu("MenuFile", "File");
    file->addActions({TBNew_, TBOpen_, TBSave_, TBSaveas_});
    file->addSeparator();
    file->addAction(fileExit_);

    QMenu* edit = menu("MenuSoanthao", "Soạn thảo");
    edit->addActions({cut_, copy_, paste_, delete_});
    edit->addSeparator();
    edit->addActions({Chenfilevao1_, writeBlock_, appendBlock_});

    QMenu* dataMenu = menu("MenuDulieu", "Dữ liệu");
    for (std::size_t i = 0; i < conversions_.size(); ++i) {
        if (i == 4 || i == 6) dataMenu->addSeparator();
        dataMenu->addAction(conversions_[i]);
    }
    dataMenu->addSeparator();
    for (QAction* a : blockOperations_) dataMenu->addAction(a);

    QMenu* compute = menu("MenuTinhtoan", "Tính toán");
    compute->addActions({Binhsaimoi_, KTtungnhom_, BSDC_, TXYMia_, TB_Tinhxyz1_, TB_TinhXYZ2_});
    compute->addSeparator();
    compute->addAction(Bnhsaic1_);
    compute->addSeparator();
    compute->addActions({rawData_, trigToGeometric_, levellingMeans_, calculator_});

    QMenu* tools = menu("MenuHotro", "Hỗ trợ");
    // Drawing; coordinate files; observation files; detail data; text and grid; field books.
    const std::size_t groupEnds[] = {1, 5, 7, 10, 12};
    std::size_t group = 0;
    for (std::size_t i = 0; i < tools_.size(); ++i) {
        if (group < std::size(groupEnds) && i == groupEnds[group]) {
            tools->addSeparator();
            ++group;
        }
        if (i == 12) tools->addAction(Taosodogoccanh_);
        tools->addAction(tools_[i]);
    }

    QMenu* options = menu("MenuLuachon", "Lựa chọn");
    options->addActions({filekqcodau_, Filedulieudohinh_});
    options->addSeparator();
    options->addAction(gridLayout_);

    QMenu* help = menu("MenuHuongdan", " Hướng dẫn ");
    help->addActions({about_, help1_});

    bar->addAction(exit_);
}

void MainWindow::BuildToolBars() {
    ToolBar1_ = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1_->setIconSize(QSize(24, 24));
    ToolBar1_->addActions({TBNew_, TBOpen_, TBSave_, TBSaveas_, TBPrint_});
    ToolBar1_->addSeparator();
    ToolBar1_->addActions({cut_, copy_, paste_});
    ToolBar1_->addSeparator();
    ToolBar1_->addActions({TBDBG_, TBRE_});
    ToolBar1_->addSeparator();
    ToolBar1_->addActions({Binhsaimoi_, KTtungnhom_, ToolButton9_, BSDC_, TXYMia_, TB_Tinhxyz1_,
                           TB_TinhXYZ2_});
    ToolBar1_->addSeparator();
    ToolBar1_->addActions({TBXulysodo_, rawData_});
    ToolBar1_->addSeparator();
    ToolBar1_->addActions({find_, replace_});
    ToolBar1_->addSeparator();
    ToolBar1_->addActions({help1_, TBExit_});

    addToolBarBreak();
    BuildGridToolBar();
    BuildEditorToolBar();
}

void MainWindow::BuildGridToolBar() {
    TB_StGrid_ = addToolBar(QStringLiteral("TB_StGrid"));
    TB_StGrid_->setObjectName(QStringLiteral("TB_StGrid"));
    TB_StGrid_->setIconSize(QSize(24, 24));

    struct Mode {
        const char* name;
        const char* label;
        const char* hint;
    };
    const Mode modes[] = {
        {"TBNhaptd", "XY", "Hỗ trợ nhập tọa độ"},   {"TBNhapcanh", "S", "Hỗ trợ nhập cạnh"},
        {"TBNhapgoc", "β", "Hỗ trợ nhập góc"},      {"TBNhapgc", "βS", "Hỗ trợ nhập góc cạnh"},
        {"TBNhapmia", "Mia", "Hỗ trợ nhập mia"},     {"TBNhaptudo", "Tự", "Nhập tự do"},
    };
    auto* modeGroup = new QActionGroup(this);
    for (const Mode& m : modes) {
        QAction* a = Pending(MakeAction(QString::fromUtf8(m.name), QString::fromUtf8(m.hint), {},
                                        QString::fromUtf8(m.hint)));
        a->setCheckable(true);
        a->setIcon(Tile(QString::fromUtf8(m.label), kGridColour));
        modeGroup->addAction(a);
        TB_StGrid_->addAction(a);
        if (std::string_view(m.name) == "TBNhaptudo") a->setChecked(true);
    }
    TB_StGrid_->addSeparator();

    QAction* prefix = Pending(MakeAction("TBCopyphandau", "Bật/tắt cộng chuỗi vào số hiệu điểm", {},
                                         "Bật/tắt cộng chuỗi vào số hiệu điểm"));
    prefix->setCheckable(true);
    prefix->setIcon(Tile(QStringLiteral("+T"), kGridColour));
    TB_StGrid_->addAction(prefix);
    Ephandau_ = new QComboBox(TB_StGrid_);
    Ephandau_->setObjectName(QStringLiteral("Ephandau"));
    Ephandau_->setEditable(true);
    Ephandau_->setToolTip(QStringLiteral("Nội dung chuỗi cộng thêm"));
    Ephandau_->setMinimumWidth(70);
    Ephandau_->setEnabled(false);
    TB_StGrid_->addWidget(Ephandau_);
    TB_StGrid_->addSeparator();

    CBkitungancach_ = new QComboBox(TB_StGrid_);
    CBkitungancach_->setObjectName(QStringLiteral("CBkitungancach"));
    CBkitungancach_->addItems({QStringLiteral("1 khoảng trắng \" \""), QStringLiteral("1 ký tự \"Tab\""),
                               QStringLiteral("1 dấu phẩy \",\""), QStringLiteral("1 dấu chấm phẩy \";\""),
                               QStringLiteral("Canh cột 10 ký tự"),
                               QStringLiteral("Ký tự gạch đứng \"|\"")});
    CBkitungancach_->setCurrentIndex(settings_.OutputSeparatorMode);
    connect(CBkitungancach_, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item >= 0) settings_.OutputSeparatorMode = static_cast<std::uint8_t>(item);
    });
    TB_StGrid_->addWidget(CBkitungancach_);
    QAction* forced = Pending(MakeAction("TBtudongnhandang", "Bắt buộc đọc file theo ký tự ngăn cách",
                                         {}, "Bắt buộc đọc file theo ký tự ngăn cách"));
    forced->setCheckable(true);
    forced->setChecked(true);
    forced->setIcon(Tile(QStringLiteral("│"), kGridColour));
    TB_StGrid_->addAction(forced);
    TB_StGrid_->addSeparator();

    const std::pair<const char*, const char*> rowCommands[] = {
        {"Lendongdau", "Lên dòng đầu"},       {"Xuongdongcuoi", "Xuống dòng cuối"},
        {"Len1dong", "Lên 1 dòng"},           {"Xuong1dong", "Xuống 1 dòng"},
        {"Them1dong", "Thêm 1 dòng vào cuối"}, {"Chen1dong", "Chèn 1 dòng"},
        {"Xoa1dong", "Xóa 1 dòng"},           {"Chen1cot", "Chèn 1 cột"},
        {"Xoa1cot", "Xóa 1 cột"},
    };
    const char* rowLabels[] = {"⇈", "⇊", "↑", "↓", "+↓", "⊕", "⊖", "⊕|", "⊖|"};
    for (std::size_t i = 0; i < std::size(rowCommands); ++i) {
        const QString text = QString::fromUtf8(rowCommands[i].second);
        QAction* a = Pending(MakeAction(QString::fromUtf8(rowCommands[i].first), text, {}, text));
        a->setIcon(Tile(QString::fromUtf8(rowLabels[i]), kGridColour));
        TB_StGrid_->addAction(a);
    }
}

void MainWindow::BuildEditorToolBar() {
    TB_Editor_ = addToolBar(QStringLiteral("TB_Editor"));
    TB_Editor_->setObjectName(QStringLiteral("TB_Editor"));
    TB_Editor_->setIconSize(QSize(24, 24));
    // The font list holds the screen's fonts, sorted.
    FontName_ = new QFontComboBox(TB_Editor_);
    FontName_->setObjectName(QStringLiteral("FontName"));
    FontName_->setMaxVisibleItems(10);
    FontName_->setEnabled(false);
    TB_Editor_->addWidget(FontName_);
    FontSize_ = new QSpinBox(TB_Editor_);
    FontSize_->setObjectName(QStringLiteral("FontSize"));
    FontSize_->setRange(1, 200);
    FontSize_->setEnabled(false);
    TB_Editor_->addWidget(FontSize_);
    TB_Editor_->addSeparator();
    const std::pair<const char*, const char*> styles[] = {
        {"BoldButton", "B"}, {"ItalicButton", "I"}, {"UnderlineButton", "U"}};
    for (const auto& [name, label] : styles) {
        QAction* a = Pending(MakeAction(QString::fromUtf8(name), QString::fromUtf8(label)));
        a->setCheckable(true);
        a->setIcon(Tile(QString::fromUtf8(label), kEditColour));
        TB_Editor_->addAction(a);
    }
    TB_Editor_->addSeparator();
    auto* alignGroup = new QActionGroup(this);
    const std::pair<const char*, const char*> aligns[] = {
        {"LeftAlign", "⇤"}, {"CenterAlign", "↔"}, {"RightAlign", "⇥"}};
    for (const auto& [name, label] : aligns) {
        QAction* a = Pending(MakeAction(QString::fromUtf8(name), QString::fromUtf8(name)));
        a->setCheckable(true);
        a->setIcon(Tile(QString::fromUtf8(label), kEditColour));
        alignGroup->addAction(a);
        TB_Editor_->addAction(a);
    }
}

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    const char* texts[] = {"",
                           "F1 : Hướng dẫn",
                           "F4 : BS Đơn giản",
                           "F5 : BS Chặt chẽ",
                           "F6 : BS Độ cao",
                           "F7 : Tính X, Y mia",
                           "F8 : Tính X,Y,Z theo chênh cao",
                           "F9 : Tính X,Y,Z theo góc TĐỉnh"};
    for (int i = 0; i < 8; ++i) {
        auto* panel = new QLabel(QString::fromUtf8(texts[i]), bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i == 0) panel->setFixedWidth(170);
        else panel->setContentsMargins(2, 0, 2, 0);
        bar->addWidget(panel);
        statusPanels_.push_back(panel);
    }
}

// ---------------------------------------------------------------- views

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    FormShow();
}

void MainWindow::FormShow() {
    splash_->BecomeAboutWindow();
    const QFont editorFont = Editor_->document()->defaultFont();
    FontSize_->setValue(editorFont.pointSize());
    FontName_->setCurrentFont(editorFont);
    TB_Editor_->hide();
    CBkitungancach_->setCurrentIndex(settings_.OutputSeparatorMode);
    ShowGridView();
}

bool MainWindow::GridVisible() const { return views_->currentWidget() == StGrid_; }

void MainWindow::ShowGridView() {
    TBDBG_->setChecked(true);
    TB_Editor_->hide();
    TB_StGrid_->show();
    SetCommandEnabled(TBPrint_, false);
    views_->setCurrentWidget(StGrid_);
    WriteGridStatus();
    setWindowTitle(ViewCaption(dataFileName_));
    StGrid_->setFocus();
}

void MainWindow::ShowEditorView() {
    TBRE_->setChecked(true);
    TB_Editor_->show();
    SetCommandEnabled(TBPrint_, true);
    TB_StGrid_->hide();
    views_->setCurrentWidget(Editor_);
    setWindowTitle(ViewCaption(textFileName_));
    WriteStatus(QString());
    Editor_->setFocus();
}

void MainWindow::WriteStatus(const QString& text) { statusPanels_[0]->setText(text); }

QString MainWindow::StatusText(int panel) const {
    if (panel < 0 || static_cast<std::size_t>(panel) >= statusPanels_.size()) return {};
    return statusPanels_[panel]->text();
}

void MainWindow::WriteGridStatus() {
    const QModelIndex current = StGrid_->currentIndex();
    const int row = current.isValid() ? GridModel::GridRow(current.row()) : 1;
    const int column = current.isValid() ? current.column() : 0;
    WriteStatus(GridStatusText(row, column, grid_->DataRowCount()));
}

void MainWindow::OnEditorModified(bool modified) {
    if (!GridVisible()) WriteStatus(modified ? QStringLiteral("Modified") : QString());
}

void MainWindow::ShowHelp() { help_->ShowContents(); }

void MainWindow::ShowAbout() {
    splash_->BecomeAboutWindow();
    splash_->exec();
}

// ---------------------------------------------------------------- computations

namespace {

// What a report file was before a run, to tell whether the run wrote it.
struct FileStamp {
    bool exists = false;
    std::filesystem::file_time_type time{};
    std::uintmax_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    std::error_code ec;
    const std::filesystem::path p(path);
    stamp.exists = std::filesystem::is_regular_file(p, ec);
    if (!stamp.exists) return stamp;
    stamp.time = std::filesystem::last_write_time(p, ec);
    stamp.size = std::filesystem::file_size(p, ec);
    return stamp;
}

QString Utf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

}  // namespace

void MainWindow::RunCommand(const ComputationCommand& command) {
    if (computing_) return;
    CreateDialogs();
    PrepareSettings(command, settings_);
    if (command.ShowDialog) {
        if (!parametersDialog_) return;
        if (parametersDialog_->exec() != QDialog::Accepted) return;
        if (command.RigorousFromDialog) {
            if (const auto* rigorous = parametersDialog_->findChild<QCheckBox*>(QStringLiteral("CB_BSCC")))
                settings_.Modes.RigorousWanted = rigorous->isChecked();
        }
    }
    WorkerResult result;
    if (!command.InputStep) {
        const BusyScope busy(*this);
        RunWorker(command, result);
        return;
    }

    prompts_ = {Utf8(command.KnownPrompt), Utf8(command.ObservationPrompt), Utf8(command.ResultPrompt),
                Utf8(command.HeightPrompt)};
    input_ = InputFiles{};
    if (!NhapSL(prompts_, settings_, *this, Ask(), input_, readError_, errorFlag_)) return;

    const bool opensReport = command.After != AfterRun::Nothing;
    if (opensReport && !OfferEditorSave()) return;
    std::string reportName = command.After == AfterRun::FirstReport ? input_.FirstReportName
                                                                    : ReportSetFor(input_.ResultFileName).Log;
    const FileStamp before = StampOf(reportName);
    if (command.After == AfterRun::ProgressLog || command.After == AfterRun::ProgressLogClassic) {
        // The editor no longer shows its file: a later save must not write the empty text there.
        Editor_->clear();
        Editor_->document()->setModified(false);
        textFileName_.clear();
    }

    bool ran = false;
    {
        const BusyScope busy(*this);
        ran = RunWorker(command, result);
    }
    if (!ran || !opensReport) return;
    bool written = !(StampOf(reportName) == before);
    if (result.Report) {
        written = !result.Report->empty();
        if (written) reportName = *result.Report;
    }
    ShowRunReport(command, reportName, written, result);
}

bool MainWindow::OfferEditorSave() {
    if (!Editor_->document()->isModified()) return true;
    const QString textName = textFileName_.isEmpty() ? QStringLiteral("Untitled") : textFileName_;
    const Answer answer = Ask().AskYesNoCancel("Save changes to " + ToTcvn3(textName) + "?");
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    return SaveEditorText() == SaveResult::Saved;
}

void MainWindow::SetBusy(bool busy) {
    computing_ = busy;
    // Menus, toolbars and views only: the monitor and the questions of the run stay usable.
    menuBar()->setEnabled(!busy);
    for (QToolBar* bar : {ToolBar1_, TB_StGrid_, TB_Editor_}) bar->setEnabled(!busy);
    views_->setEnabled(!busy);
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

bool MainWindow::RunWorker(const ComputationCommand& command, WorkerResult& result) {
    switch (command.Worker) {
        case CommandWorker::AdjustByOrder: {
            const AdjustmentInput files{input_.KnownFileName, input_.ObservationFileName, input_.HeightFileName,
                                        input_.ResultFileName};
            RunRecord run;
            NullProgress noMonitor;
            Progress& progress = monitorWindow_ ? static_cast<Progress&>(*monitorWindow_) : noMonitor;
            const RunStatus status = AdjustNetworkByOrder(files, settings_, Ask(), progress, run);
            result.Report = status.Report6;
            result.Cancelled = status.Outcome == RunOutcome::Cancelled;
            result.StoppedOnError = status.Outcome != RunOutcome::Completed && !result.Cancelled;
            if (status.Outcome == RunOutcome::ReadFailed) {
                readError_ = status.ReadError;
                ReportReadError(readError_);
            }
            return true;
        }
        default:
            // The other workers are not part of the program yet; their commands stay disabled.
            return false;
    }
}

void MainWindow::ReportReadError(const ReadErrorRecord& error) {
    std::string text = Vn("Không đọc được file ") + ToTcvn3(NameOfNative(error.FailedFileName));
    if (error.ReadErrorField != 1) text += Vn(", lỗi ở dòng ") + std::to_string(error.ReadErrorLine);
    Ask().Message(text);
}

void MainWindow::ShowRunReport(const ComputationCommand& command, const std::string& reportName,
                               bool writtenByRun, const WorkerResult& result) {
    const QString report = NameOfNative(reportName);
    if (!writtenByRun) {
        if (result.Cancelled) return;
        Ask().Message((result.StoppedOnError ? Vn("Tính toán dừng lại do có lỗi. ") : std::string()) +
                      Vn("Lần tính này không ghi file báo cáo ") + ToTcvn3(report));
        return;
    }
    if (result.StoppedOnError) {
        Ask().Message(Vn("Tính toán dừng lại do có lỗi; báo cáo ") + ToTcvn3(report) +
                      Vn(" chỉ ghi đến chỗ dừng."));
    }
    Editor_->setAcceptRichText(false);
    if (!LoadEditorFile(report)) return;
    textFileName_ = report;
    TBRE_->setChecked(true);
    TB_StGrid_->hide();
    TB_Editor_->show();
    SetCommandEnabled(TBPrint_, true);
    views_->setCurrentWidget(Editor_);
    const QString title = command.After == AfterRun::ProgressLogClassic ? QStringLiteral("QEF 2003") : kProgramTitle;
    setWindowTitle(ViewCaption(textFileName_, title));
    WriteStatus(QString());
    Editor_->setFocus();
}

bool MainWindow::LoadEditorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Ask().Message(Vn("Không đọc được file ") + ToTcvn3(path) + " : " + ToTcvn3(file.errorString()));
        return false;
    }
    std::string bytes = file.readAll().toStdString();
    if (!bytes.empty() && bytes.back() == '\x1A') bytes.pop_back();
    editorUtf8_ = LooksLikeUtf8(bytes);
    QString text = editorUtf8_ ? QString::fromStdString(bytes) : FromTcvn3(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Editor_->setPlainText(text);
    Editor_->document()->setModified(false);
    return true;
}

// ---------------------------------------------------------------- saving and closing

std::optional<QString> MainWindow::AskOpenName(const FileQuestion& question) {
    if (OpenNameAsker) return OpenNameAsker(question);
    // Set up completely at each use: nothing is inherited from the command before.
    OpenDialog1_->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1_->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1_->setWindowTitle(question.title);
    OpenDialog1_->setNameFilter(question.filter);
    OpenDialog1_->setDefaultSuffix(question.defaultSuffix);
    if (OpenDialog1_->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = OpenDialog1_->selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    return files.front();
}

std::optional<QString> MainWindow::AskSaveName(const FileQuestion& question) {
    if (SaveNameAsker) return SaveNameAsker(question);
    SaveDialog1_->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1_->setFileMode(QFileDialog::AnyFile);
    SaveDialog1_->setOption(QFileDialog::DontConfirmOverwrite, false);
    SaveDialog1_->setWindowTitle(question.title);
    SaveDialog1_->setNameFilter(question.filter);
    SaveDialog1_->setDefaultSuffix(question.defaultSuffix);
    if (SaveDialog1_->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = SaveDialog1_->selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    return files.front();
}

bool MainWindow::WriteAtomically(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) ok = file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                 static_cast<qint64>(bytes.size());
    if (ok) ok = file.commit();
    if (!ok) {
        Ask().Message(Vn("Không ghi được file ") + ToTcvn3(path) + " : " + ToTcvn3(file.errorString()));
    }
    return ok;
}

SaveResult MainWindow::SaveDataFile() {
    QString name = dataFileName_;
    if (name.isEmpty()) {
        const auto chosen =
            AskSaveName({QStringLiteral("Ghi file dữ liệu"), kDataFileFilter, QStringLiteral("DTA")});
        if (!chosen) return SaveResult::Cancelled;
        name = *chosen;
    }
    std::string bytes;
    for (int row = 1; row <= grid_->DataRowCount(); ++row) {
        bytes += grid_->DataLine(row, 0, grid_->Columns() - 1, settings_.OutputSeparatorMode,
                                 settings_.FixedFieldWidth);
        bytes += "\r\n";
    }
    if (!WriteAtomically(name, bytes)) return SaveResult::Failed;
    dataFileName_ = name;
    dataSaved_ = true;
    if (GridVisible()) setWindowTitle(ViewCaption(dataFileName_));
    return SaveResult::Saved;
}

std::string MainWindow::EditorBytes() const {
    QStringList lines = Editor_->toPlainText().split(QLatin1Char('\n'));
    // A text that ends with a line end has no further line.
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    std::string bytes;
    for (const QString& line : lines) {
        bytes += editorUtf8_ ? line.toStdString() : ToTcvn3(line);
        bytes += "\r\n";
    }
    return bytes;
}

SaveResult MainWindow::SaveEditorText() {
    QString name = textFileName_;
    const bool newName = name.isEmpty();
    if (newName) {
        const auto chosen =
            AskSaveName({QStringLiteral("Ghi file văn bản"), kTextFileFilter, QStringLiteral("txt")});
        if (!chosen) return SaveResult::Cancelled;
        name = *chosen;
    }
    if (!WriteAtomically(name, EditorBytes())) return SaveResult::Failed;
    textFileName_ = name;
    Editor_->document()->setModified(false);
    if (!GridVisible()) {
        WriteStatus(QString());
        if (newName) setWindowTitle(SavedAsCaption(name));
    }
    return SaveResult::Saved;
}

bool MainWindow::ConfirmClose() {
    struct Document {
        bool modified;
        std::string question;
        SaveResult (MainWindow::*save)();
    };
    const QString textName = textFileName_.isEmpty() ? QStringLiteral("Untitled") : textFileName_;
    const Document editor{Editor_->document()->isModified(),
                          "Save changes to " + ToTcvn3(textName) + "?", &MainWindow::SaveEditorText};
    const Document grid{!dataSaved_, Vn("Bạn có Save dữ liệu không ?"), &MainWindow::SaveDataFile};
    // The visible view's document is asked about first.
    const Document order[] = {GridVisible() ? grid : editor, GridVisible() ? editor : grid};
    for (const Document& doc : order) {
        if (!doc.modified) continue;
        const Answer answer = Ask().AskYesNoCancel(doc.question);
        if (answer == Answer::Cancel) return false;
        if (answer == Answer::No) continue;
        const SaveResult result = (this->*doc.save)();
        if (result == SaveResult::Cancelled) {
            Ask().Message(Vn("Chưa ghi file, chương trình chưa đóng."));
            return false;
        }
        if (result == SaveResult::Failed) return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ConfirmClose()) {
        help_->close();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace qef
