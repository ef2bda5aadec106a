#include "gui/ActionTable.h"

#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolBar>

#include "core/text/VnCodec.h"
#include "gui/GridEditor.h"
#include "gui/MainWindow.h"
#include "gui/BlockCommands.h"
#include "gui/FieldBookWorkers.h"
#include "gui/ObservationBookCommands.h"
#include "gui/TextToolCommands.h"
#include "gui/ToolCommands.h"
#include "gui/Workers.h"

namespace qef {

namespace {

void Close(MainWindow& window, bool) { window.close(); }
void About(MainWindow& window, bool) { window.ShowAbout(); }
void Help(MainWindow& window, bool) { window.ShowHelp(); }
// Each button of the view pair acts only when it is down after the click.
void GridView(MainWindow& window, bool down) { if (down) window.ShowGridView(); }
void EditorView(MainWindow& window, bool down) { if (down) window.ShowEditorView(); }
void ExplainDhFile(MainWindow& window, bool on) {
    if (on) window.Ask().Message(Vn("Lựa chọn này sẽ tạo file số liệu đo theo thứ tự đồ hình (*.dh)"));
}

// Grid entry.
void Cut(MainWindow& window, bool) { window.CutCommand(); }
void Copy(MainWindow& window, bool) { window.CopyCommand(); }
void Paste(MainWindow& window, bool) { window.PasteCommand(); }
void DeleteBlock(MainWindow& window, bool) { window.DeleteCommand(); }
void Find(MainWindow& window, bool) { window.ShowFind(); }
void Replace(MainWindow& window, bool) { window.ShowReplace(); }
void GridLayout(MainWindow& window, bool) { window.ShowGridLayout(); }
template <EntryMode mode>
void SetEntryMode(MainWindow& window, bool down) {
    if (down) window.GridEntry().SetMode(mode);
}
void Prefixing(MainWindow& window, bool on) { window.GridEntry().SetPrefixing(on); }
void FirstRow(MainWindow& window, bool) { window.GridEntry().FirstRow(); }
void LastRow(MainWindow& window, bool) { window.GridEntry().LastDataRow(); }
void RowUp(MainWindow& window, bool) { window.GridEntry().RowUp(); }
void RowDown(MainWindow& window, bool) { window.GridEntry().RowDown(); }
void RowAfterData(MainWindow& window, bool) { window.GridEntry().RowAfterData(); }
void InsertRow(MainWindow& window, bool) { window.GridEntry().InsertRow(); }
void DeleteRow(MainWindow& window, bool) { window.GridEntry().DeleteRow(); }
void InsertColumn(MainWindow& window, bool) { window.GridEntry().InsertColumn(); }
void DeleteColumn(MainWindow& window, bool) { window.GridEntry().DeleteColumn(); }

// Files of the visible view.
void New(MainWindow& window, bool) { window.NewDocument(); }
void Open(MainWindow& window, bool) { window.OpenDocument(); }
void Save(MainWindow& window, bool) { window.SaveDocument(); }
void SaveAs(MainWindow& window, bool) { window.SaveDocumentAs(); }
void Print(MainWindow& window, bool) { window.PrintEditor(); }
// Open reads the toggle's state when it reads a file; switching it does nothing else.
void SeparatorRule(MainWindow&, bool) {}
void ReadIntoGrid(MainWindow& window, bool) { window.ReadFileIntoGrid(); }
void WriteBlock(MainWindow& window, bool) { window.WriteBlockToFile(MainWindow::BlockWrite::Create); }
void AppendBlock(MainWindow& window, bool) { window.WriteBlockToFile(MainWindow::BlockWrite::Append); }

// Editor formatting acts on the selection, or on the text typed next when nothing is selected;
// a style button adds or removes its style alone.
void MergeFormat(MainWindow& window, const QTextCharFormat& format) { window.Editor()->mergeCurrentCharFormat(format); }
void BoldButtonClick(MainWindow& window, bool down) {
    QTextCharFormat format;
    format.setFontWeight(down ? QFont::Bold : QFont::Normal);
    MergeFormat(window, format);
}
void ItalicButtonClick(MainWindow& window, bool down) {
    QTextCharFormat format;
    format.setFontItalic(down);
    MergeFormat(window, format);
}
void UnderlineButtonClick(MainWindow& window, bool down) {
    QTextCharFormat format;
    format.setFontUnderline(down);
    MergeFormat(window, format);
}
// The three alignment buttons (LeftAlignClick with each button's alignment).
void AlignLeft(MainWindow& window, bool) { window.Editor()->setAlignment(Qt::AlignLeft); }
void AlignCentre(MainWindow& window, bool) { window.Editor()->setAlignment(Qt::AlignHCenter); }
void AlignRight(MainWindow& window, bool) { window.Editor()->setAlignment(Qt::AlignRight); }

QWidget* PrefixText(MainWindow& window, QToolBar* bar) {
    auto* box = new QComboBox(bar);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setToolTip(QStringLiteral("Nội dung chuỗi cộng thêm"));
    box->setMinimumWidth(70);
    QObject::connect(box->lineEdit(), &QLineEdit::returnPressed, &window,
                     [&window] { window.GridEntry().PrefixEntered(); });
    QObject::connect(box, &QComboBox::activated, &window, [&window] { window.GridEntry().FocusCellEditor(); });
    return box;
}

QWidget* SeparatorChoice(MainWindow& window, QToolBar* bar) {
    auto* box = new QComboBox(bar);
    box->addItems({QStringLiteral("1 khoảng trắng \" \""), QStringLiteral("1 ký tự \"Tab\""),
                   QStringLiteral("1 dấu phẩy \",\""), QStringLiteral("1 dấu chấm phẩy \";\""),
                   QStringLiteral("Canh cột 10 ký tự"), QStringLiteral("Ký tự gạch đứng \"|\"")});
    box->setCurrentIndex(static_cast<int>(window.Settings().OutputSeparatorMode));
    QObject::connect(box, &QComboBox::currentIndexChanged, &window, [&window](int item) {
        if (item >= 0) window.Settings().OutputSeparatorMode = static_cast<SeparatorMode>(item);
    });
    return box;
}

// The font list holds the screen's fonts, sorted; choosing one is FontNameChange.
QWidget* FontNameBox(MainWindow& window, QToolBar* bar) {
    auto* box = new QFontComboBox(bar);
    box->setMaxVisibleItems(10);
    QObject::connect(box, &QFontComboBox::currentFontChanged, &window, [&window](const QFont& font) {
        QTextCharFormat format;
        format.setFontFamilies(QStringList{font.family()});
        MergeFormat(window, format);
    });
    return box;
}

// A size counts once typed in full (Enter or leaving the box) or stepped; then the editor has
// the focus again (FontSizeChange).
QWidget* FontSizeBox(MainWindow& window, QToolBar* bar) {
    auto* box = new QSpinBox(bar);
    box->setRange(1, 200);
    box->setKeyboardTracking(false);
    QObject::connect(box, &QSpinBox::valueChanged, &window, [&window](int size) {
        QTextCharFormat format;
        format.setFontPointSize(size);
        MergeFormat(window, format);
        window.Editor()->setFocus();
    });
    return box;
}

const MenuRow kMenus[] = {
    {MenuId::File, "MenuFile", "File"},           {MenuId::Edit, "MenuSoanthao", "Soạn thảo"},
    {MenuId::Data, "MenuDulieu", "Dữ liệu"},      {MenuId::Compute, "MenuTinhtoan", "Tính toán"},
    {MenuId::Tools, "MenuHotro", "Hỗ trợ"},       {MenuId::Options, "MenuLuachon", "Lựa chọn"},
    {MenuId::Help, "MenuHuongdan", " Hướng dẫn "},
};

const BarRow kBars[] = {
    {BarId::Main, "ToolBar1", false}, {BarId::Grid, "TB_StGrid", true}, {BarId::Editor, "TB_Editor", false}};

using M = MenuId;
using B = BarId;

const ActionRow kActions[] = {
    // Files.
    {.Name = "TBNew", .Text = "&New", .Key = Qt::CTRL | Qt::Key_N, .Icon = StandardIcon(QStyle::SP_FileIcon),
     .Menu = M::File, .Bar = B::Main, .Handler = New},
    {.Name = "TBOpen", .Text = "&Open", .Key = Qt::CTRL | Qt::Key_O,
     .Icon = StandardIcon(QStyle::SP_DialogOpenButton), .Menu = M::File, .Bar = B::Main, .Handler = Open},
    {.Name = "TBSave", .Text = "&Save", .Key = Qt::CTRL | Qt::Key_S,
     .Icon = StandardIcon(QStyle::SP_DialogSaveButton), .Menu = M::File, .Bar = B::Main, .Handler = Save},
    {.Name = "TBSaveas", .Text = "Save &As", .Icon = TileIcon("S+", Tone::File), .Menu = M::File, .Bar = B::Main,
     .Handler = SaveAs},
    // Ctrl+P: printing without the mouse.
    {.Name = "TBPrint", .Text = "Print", .Key = Qt::CTRL | Qt::Key_P, .Icon = TileIcon("In", Tone::File),
     .Bar = B::Main, .Handler = Print},
    {.Name = "FileExit", .Text = "E&xit", .Key = Qt::ALT | Qt::Key_X, .Menu = M::File, .MenuGap = true,
     .Handler = Close},

    // Editing.
    {.Name = "EditCut", .Text = "Cu&t", .Key = Qt::CTRL | Qt::Key_X, .Icon = TileIcon("✂", Tone::Edit),
     .Menu = M::Edit, .Bar = B::Main, .BarGap = true, .Handler = Cut},
    {.Name = "EditCopy", .Text = "&Copy", .Key = Qt::CTRL | Qt::Key_C, .Icon = TileIcon("❐", Tone::Edit),
     .Menu = M::Edit, .Bar = B::Main, .Handler = Copy},
    {.Name = "EditPaste", .Text = "&Paste", .Key = Qt::CTRL | Qt::Key_V, .Icon = TileIcon("↧", Tone::Edit),
     .Menu = M::Edit, .Bar = B::Main, .Handler = Paste},
    {.Name = "EditDelete", .Text = "&Delete", .Key = Qt::CTRL | Qt::Key_Delete, .Menu = M::Edit,
     .Handler = DeleteBlock},
    {.Name = "Chenfilevao1", .Text = "Đọc vào một file", .Menu = M::Edit, .MenuGap = true, .Handler = ReadIntoGrid},
    {.Name = "Ghikhoirafile", .Text = "Ghi khối ra file", .Menu = M::Edit, .Handler = WriteBlock},
    {.Name = "Noikhoivaofile", .Text = "Nối khối vào file", .Menu = M::Edit, .Handler = AppendBlock},

    // The view pair.
    {.Name = "TBDBG", .Text = "Soạn thảo dữ liệu đo", .Icon = TileIcon("▦", Tone::View), .Bar = B::Main,
     .BarGap = true, .Checked = Check::On, .Group = GroupId::Views, .Handler = GridView},
    {.Name = "TBRE", .Text = "Xem văn bản dạng text", .Icon = TileIcon("¶", Tone::View), .Bar = B::Main,
     .Checked = Check::Off, .Group = GroupId::Views, .Handler = EditorView},

    // Data: conversions, then block operations.
    {.Name = "Conversion1", .Text = "Chuyển đơn vị đo dài từ mét -> milimét", .Menu = M::Data,
     .HostCommand = MetresToMillimetresCommand},
    {.Name = "Conversion2", .Text = "Chuyển đơn vị đo dài từ milimét -> mét", .Menu = M::Data,
     .HostCommand = MillimetresToMetresCommand},
    {.Name = "Conversion3", .Text = "Chuyển góc kiểu 180.0000 -> 1800000", .Menu = M::Data,
     .HostCommand = AnglesToPackedCommand},
    {.Name = "Conversion4", .Text = "Chuyển góc kiểu 1800000 -> 180.0000", .Menu = M::Data,
     .HostCommand = AnglesFromPackedCommand},
    {.Name = "Conversion5", .Text = "Chuyển góc kiểu 180.0101 -> 180 01 01", .Menu = M::Data, .MenuGap = true,
     .HostCommand = AnglesToSpacedCommand},
    {.Name = "Conversion6", .Text = "Chuyển góc kiểu 180 01 01 -> 180.0101", .Menu = M::Data,
     .HostCommand = AnglesFromSpacedCommand},
    {.Name = "Conversion7", .Text = "Chuyển góc từ Độ (kiểu 180.0000) -> Grad", .Menu = M::Data, .MenuGap = true,
     .HostCommand = DegreesToGradsCommand},
    {.Name = "Conversion8", .Text = "Chuyển góc từ Grad (kiểu 200.0000) -> Độ", .Menu = M::Data,
     .HostCommand = GradsToDegreesCommand},
    {.Name = "BlockOperation1", .Text = "Đặt nội dung cho một khối", .Menu = M::Data, .MenuGap = true,
     .HostCommand = FillBlockCommand},
    {.Name = "BlockOperation2", .Text = "Đặt giá trị tăng dần cho một khối", .Menu = M::Data,
     .HostCommand = FillIncreasingCommand},
    {.Name = "BlockOperation3", .Text = "Cộng 1 giá trị vào một khối", .Menu = M::Data,
     .HostCommand = AddToBlockCommand},
    {.Name = "BlockOperation4", .Text = "Thêm chuỗi vào trước một khối", .Menu = M::Data,
     .HostCommand = PrefixBlockCommand},
    {.Name = "BlockOperation5", .Text = "Thêm chuỗi vào sau một khối", .Menu = M::Data,
     .HostCommand = SuffixBlockCommand},
    {.Name = "BlockOperation6", .Text = "Đặt lại số hiệu điểm chi tiết cho một khối", .Menu = M::Data,
     .HostCommand = RenumberBlockCommand},
    {.Name = "taotridomoi", .Text = "Cộng số ngẫu nhiên vào trị đo góc cạnh",
     .Key = Qt::SHIFT | Qt::CTRL | Qt::Key_F10, .Menu = M::Hidden, .HostCommand = RandomErrorsCommand},

    // Computations; "Tìm sai số thô" is the F4 command.
    {.Name = "Binhsaimoi", .Text = "Bình sai tọa độ", .Key = Qt::Key_F4, .Hint = "Bình sai tọa độ ",
     .Icon = TileIcon("F4", Tone::Adjust), .Menu = M::Compute, .Bar = B::Main, .BarGap = true,
     .Command = {.Run = AdjustByOrderWorker,
                 .DialogTitle = "Thông số tính toán Bình sai",
                 .Parameters = ParametersDialog::Shown,
                 .Modes = kTraverseModes,
                 .KnownPrompt = "Nhập tên file tọa độ gốc - Bình sai",
                 .ObservationPrompt = "Nhập tên file số liệu đo - Bình sai",
                 .After = AfterRun::ProgressLog}},
    {.Name = "KTtungnhom", .Text = "Tính tọa độ và bình sai từng nhóm", .Key = Qt::Key_F5,
     .Icon = TileIcon("F5", Tone::Adjust), .Menu = M::Compute, .Bar = B::Main,
     // The step-by-step dialog sets its own flags and asks its own files.
     .Command = {.Run = ShowStepAdjustmentDialog}},
    {.Name = "ToolButton9", .Text = "Tìm sai số thô", .Icon = TileIcon("⚑", Tone::Adjust), .Bar = B::Main,
     .SameCommandAs = "Binhsaimoi"},
    {.Name = "BSDC", .Text = "Bình sai cao độ", .Key = Qt::Key_F6, .Icon = TileIcon("F6", Tone::Adjust),
     .Menu = M::Compute, .Bar = B::Main,
     .Command = {.Run = LevellingWorker,
                 .DialogTitle = "Thông số tính toán Bình sai độ cao",
                 .Parameters = ParametersDialog::Shown,
                 .Modes = kLevellingModes,
                 .KnownPrompt = "Nhập tên file cao độ gốc",
                 .ObservationPrompt = "Nhập tên file số liệu đo cao",
                 .After = AfterRun::FirstReport}},
    {.Name = "TXYMia", .Text = "Tính tọa độ (x, y) điểm chi tiết", .Key = Qt::Key_F7,
     .Hint = "Tính tọa độ điểm chi tiết", .Icon = TileIcon("F7", Tone::Detail), .Menu = M::Compute,
     .Bar = B::Main,
     .Command = {.Run = DetailPointsWorker,
                 .DialogTitle = "Thông số tính toán tọa độ điểm",
                 .Parameters = ParametersDialog::Shown,
                 .Modes = kDetailModes,
                 .KnownPrompt = "Nhập tên file tọa độ gốc",
                 .ObservationPrompt = "Nhập tên file số liệu đo chi tiết"}},
    {.Name = "TB_Tinhxyz1", .Text = "Tính (x, y, z) điểm chi tiết theo chênh cao", .Key = Qt::Key_F8,
     .Hint = "Tính tọa độ, cao độ theo chênh cao", .Icon = TileIcon("F8", Tone::Detail), .Menu = M::Compute,
     .Bar = B::Main,
     .Command = {.Run = DetailPointsWorker,
                 .DialogTitle = "Thông số tính toán tọa độ, cao độ điểm theo chênh cao",
                 .Parameters = ParametersDialog::Shown,
                 .Modes = kDetailWithHeightsModes,
                 .KnownPrompt = "Nhập tên file tọa độ, cao độ gốc",
                 .ObservationPrompt = "Nhập tên file số liệu đo cao chi tiết theo chênh cao",
                 .DetailMode = DetailMode::HeightsFromDifferences}},
    {.Name = "TB_TinhXYZ2", .Text = "Tính (x, y, z) điểm chi tiết theo góc thiên đỉnh", .Key = Qt::Key_F9,
     .Hint = "Tính tọa độ, cao độ theo góc thiên đỉnh", .Icon = TileIcon("F9", Tone::Detail),
     .Menu = M::Compute, .Bar = B::Main,
     .Command = {.Run = DetailPointsWorker,
                 .DialogTitle = "Thông số tính toán tọa độ, cao độ điểm theo góc thiên đỉnh",
                 .Parameters = ParametersDialog::Shown,
                 .Modes = kDetailWithHeightsModes,
                 .KnownPrompt = "Nhập tên file tọa độ, cao độ gốc",
                 .ObservationPrompt = "Nhập tên file số liệu đo cao chi tiết theo góc thiên đỉnh",
                 .DetailMode = DetailMode::HeightsFromZenithAngles}},
    {.Name = "Bnhsaic1", .Text = "Bình sai tọa độ theo phiên bản QEF2003", .Menu = M::Compute, .MenuGap = true,
     .Command = {.Run = AdjustClassicWorker,
                 .DialogTitle = "Thông số tính toán Bình sai đơn giản",
                 .Parameters = ParametersDialog::Shown,
                 .Modes = kTraverseModes,
                 .KnownPrompt = "Nhập tên file tọa độ gốc - Bình sai",
                 .ObservationPrompt = "Nhập tên file số liệu đo - Bình sai",
                 .After = AfterRun::ProgressLogClassic}},
    {.Name = "TBXulysodo", .Text = "Tính toán và lập sổ đo góc cạnh", .Icon = TileIcon("Sổ", Tone::Tool),
     .Bar = B::Main, .BarGap = true, .SameCommandAs = "Taosodogoccanh"},
    {.Name = "Xulysolieutho", .Text = "Xử lý số liệu đo trên máy toàn đạc điện tử", .Hint = "Xử lý số liệu thô",
     .Icon = TileIcon("Thô", Tone::Tool), .Menu = M::Compute, .MenuGap = true, .Bar = B::Main,
     // The conversion form keeps its own options and asks its own files.
     .Command = {.Run = RawConversionWorker}},
    {.Name = "Chenhcaolg", .Text = "Chuyển chênh cao L.giác -> chênh cao H.học", .Menu = M::Compute,
     .HostCommand = TrigToGeometricCommand},
    {.Name = "Trungbinhdocao", .Text = "Tính trung bình trị đo cao, khoảng cách giữa 2 trạm", .Menu = M::Compute,
     .HostCommand = AverageLevellingCommand},
    {.Name = "Phantoado", .Text = "Tính toán phương vị, tọa độ đơn giản", .Menu = M::Compute,
     .HostCommand = CalculatorCommand},

    // Tools: drawing; coordinate files; observation files; detail data; text and grid; field books.
    {.Name = "TailenAutoCAD", .Text = "Tải file dữ liệu lên AutoCAD", .Menu = M::Tools,
     .HostCommand = UploadCoordinatesCommand},
    {.Name = "Capnhatdocao", .Text = "Cập nhật độ cao vào tọa độ", .Menu = M::Tools, .MenuGap = true,
     .HostCommand = MergeHeightsCommand},
    {.Name = "Sosanhtoado", .Text = "So sánh tọa độ các điểm cùng tên (số hiệu)", .Menu = M::Tools,
     .HostCommand = CompareSameNamedCommand},
    {.Name = "Sapxeptoado", .Text = "Sắp xếp và khử tọa độ trùng", .Menu = M::Tools, .HostCommand = SortXYCommand},
    {.Name = "Sapxeptoadodocao", .Text = "Sắp xếp và khử tọa độ, cao độ trùng", .Menu = M::Tools,
     .HostCommand = SortXYHCommand},
    {.Name = "Sosanhgoccanh", .Text = "So sánh số liệu góc, cạnh trong 2 file", .Menu = M::Tools, .MenuGap = true,
     .HostCommand = CompareObservationsCommand},
    {.Name = "Khugoccanhcung", .Text = "Khử góc cạnh cứng", .Menu = M::Tools,
     // No dialog; the flags are still set so that the result question is that of an adjustment
     // whatever ran before.
     .Command = {.Run = RemoveFixedObservationsWorker,
                 .DialogTitle = "Thông số tính toán Bình sai đơn giản",
                 .Modes = kTraverseModes,
                 .KnownPrompt = "Nhập tên file tọa độ gốc - Bình sai đơn giản",
                 .ObservationPrompt = "Nhập tên file số liệu đo - Bình sai đơn giản"}},
    {.Name = "ChuyentoadoSDR", .Text = "Chuyển tọa độ -> (*.DAT), dùng trong SDR", .Menu = M::Tools,
     .MenuGap = true, .HostCommand = CommaFormCommand},
    {.Name = "Thongketram", .Text = "Thống kê trạm máy trong file chi tiết", .Menu = M::Tools,
     .HostCommand = StationListCommand},
    {.Name = "Gocdinhhuong0", .Text = "Chuyển góc định hướng đo chi tiết về \"0\"", .Menu = M::Tools,
     .HostCommand = ZeroOrientationCommand},
    {.Name = "Thaythenhieuchuoi", .Text = "Tìm và thay thế nhiều chuỗi", .Menu = M::Tools, .MenuGap = true,
     .HostCommand = ReplaceWordsCommand},
    {.Name = "Congcot", .Text = "Cộng cột", .Menu = M::Tools, .HostCommand = SumColumnsCommand},
    {.Name = "Taosodogoccanh", .Text = "Từ file sl đo thô tạo file sl góc, cạnh và sl Bình sai",
     .Menu = M::Tools, .MenuGap = true,
     // The field books ask their options and files themselves.
     .Command = {.Run = FieldBooksWorker}},
    {.Name = "Vesodogoc", .Text = "Từ file sl đo góc, cạnh tạo file trình bày đơn giản", .Menu = M::Tools,
     .Command = {.Run = TextBooksWorker}},
    {.Name = "sodochitiet", .Text = "Tạo sổ đo chi tiết", .Menu = M::Tools, .HostCommand = DetailBookCommand},
    // Its books are simulated and say so; it is listed like the others.
    {.Name = "sltosodo", .Text = "Xử lý file thô ra file sổ đo góc cạnh", .Key = Qt::SHIFT | Qt::CTRL | Qt::Key_F12,
     .Menu = M::Tools, .HostCommand = ObservationBooksCommand},

    // Options.
    {.Name = "filekqcodau", .Text = "File kết quả có dấu", .Menu = M::Options,
     .Setting = &ComputationSettings::KeepAccents},
    {.Name = "Filedulieudohinh", .Text = "Xuất file số liệu đo theo đồ hình", .Menu = M::Options,
     .Setting = &ComputationSettings::WriteDhFile, .Handler = ExplainDhFile},
    {.Name = "Thaydoibangnhap", .Text = "Thay đổi bảng nhập số liệu", .Menu = M::Options, .MenuGap = true,
     .Handler = GridLayout},

    // Searching, help and leaving.
    {.Name = "Timkiem", .Text = "Tìm kiếm", .Icon = TileIcon("Tìm", Tone::Edit), .Bar = B::Main, .BarGap = true,
     .Handler = Find},
    {.Name = "Thaythe", .Text = "Thay thế", .Icon = TileIcon("Thay", Tone::Edit), .Bar = B::Main, .Handler = Replace},
    {.Name = "About", .Text = "About", .Menu = M::Help, .Handler = About},
    {.Name = "Huongdan", .Text = "Hướng dẫn", .Key = Qt::Key_F1,
     .Icon = StandardIcon(QStyle::SP_DialogHelpButton), .Menu = M::Help, .Bar = B::Main, .BarGap = true,
     .Handler = Help},
    // The menu bar's "Thoát" and the toolbar's exit button: the same command.
    {.Name = "Thoat", .Text = "Thoát", .Menu = M::MenuBar, .Handler = Close},
    {.Name = "TBThoat", .Text = "Thoát", .Icon = StandardIcon(QStyle::SP_DialogCloseButton), .Bar = B::Main,
     .Handler = Close},

    // The grid's toolbar: entry modes, the point-name prefix, the separator of written files,
    // moving about and changing rows and columns.
    {.Name = "TBNhaptd", .Text = "Hỗ trợ nhập tọa độ", .Icon = TileIcon("XY", Tone::Grid), .Bar = B::Grid,
     .Checked = Check::Off, .Group = GroupId::EntryModes, .Handler = SetEntryMode<EntryMode::Coordinates>},
    {.Name = "TBNhapcanh", .Text = "Hỗ trợ nhập cạnh", .Icon = TileIcon("S", Tone::Grid), .Bar = B::Grid,
     .Checked = Check::Off, .Group = GroupId::EntryModes, .Handler = SetEntryMode<EntryMode::Sides>},
    {.Name = "TBNhapgoc", .Text = "Hỗ trợ nhập góc", .Icon = TileIcon("β", Tone::Grid), .Bar = B::Grid,
     .Checked = Check::Off, .Group = GroupId::EntryModes, .Handler = SetEntryMode<EntryMode::Angles>},
    {.Name = "TBNhapgc", .Text = "Hỗ trợ nhập góc cạnh", .Icon = TileIcon("βS", Tone::Grid), .Bar = B::Grid,
     .Checked = Check::Off, .Group = GroupId::EntryModes, .Handler = SetEntryMode<EntryMode::AnglesSides>},
    {.Name = "TBNhapmia", .Text = "Hỗ trợ nhập mia", .Icon = TileIcon("Mia", Tone::Grid), .Bar = B::Grid,
     .Checked = Check::Off, .Group = GroupId::EntryModes, .Handler = SetEntryMode<EntryMode::Staff>},
    {.Name = "TBNhaptudo", .Text = "Nhập tự do", .Icon = TileIcon("Tự", Tone::Grid), .Bar = B::Grid,
     .Checked = Check::On, .Group = GroupId::EntryModes, .Handler = SetEntryMode<EntryMode::Free>},
    {.Name = "TBCopyphandau", .Text = "Bật/tắt cộng chuỗi vào số hiệu điểm", .Icon = TileIcon("+T", Tone::Grid),
     .Bar = B::Grid, .BarGap = true, .Checked = Check::Off, .Handler = Prefixing},
    {.Name = "Ephandau", .Bar = B::Grid, .Widget = PrefixText},
    {.Name = "CBkitungancach", .Bar = B::Grid, .BarGap = true, .Widget = SeparatorChoice},
    {.Name = "TBtudongnhandang", .Text = "Bắt buộc đọc file theo ký tự ngăn cách",
     .Icon = TileIcon("│", Tone::Grid), .Bar = B::Grid, .Checked = Check::On, .Handler = SeparatorRule},
    {.Name = "Lendongdau", .Text = "Lên dòng đầu", .Icon = TileIcon("⇈", Tone::Grid), .Bar = B::Grid,
     .BarGap = true, .Handler = FirstRow},
    {.Name = "Xuongdongcuoi", .Text = "Xuống dòng cuối", .Icon = TileIcon("⇊", Tone::Grid), .Bar = B::Grid,
     .Handler = LastRow},
    {.Name = "Len1dong", .Text = "Lên 1 dòng", .Icon = TileIcon("↑", Tone::Grid), .Bar = B::Grid,
     .Handler = RowUp},
    {.Name = "Xuong1dong", .Text = "Xuống 1 dòng", .Icon = TileIcon("↓", Tone::Grid), .Bar = B::Grid,
     .Handler = RowDown},
    {.Name = "Them1dong", .Text = "Thêm 1 dòng vào cuối", .Icon = TileIcon("+↓", Tone::Grid), .Bar = B::Grid,
     .Handler = RowAfterData},
    {.Name = "Chen1dong", .Text = "Chèn 1 dòng", .Icon = TileIcon("⊕", Tone::Grid), .Bar = B::Grid,
     .Handler = InsertRow},
    {.Name = "Xoa1dong", .Text = "Xóa 1 dòng", .Icon = TileIcon("⊖", Tone::Grid), .Bar = B::Grid,
     .Handler = DeleteRow},
    {.Name = "Chen1cot", .Text = "Chèn 1 cột", .Icon = TileIcon("⊕|", Tone::Grid), .Bar = B::Grid,
     .Handler = InsertColumn},
    {.Name = "Xoa1cot", .Text = "Xóa 1 cột", .Icon = TileIcon("⊖|", Tone::Grid), .Bar = B::Grid,
     .Handler = DeleteColumn},

    // The editor's toolbar: font, style, alignment; the tiles show the letter, the tips say it.
    {.Name = "FontName", .Bar = B::Editor, .Widget = FontNameBox},
    {.Name = "FontSize", .Bar = B::Editor, .Widget = FontSizeBox},
    {.Name = "BoldButton", .Text = "Chữ đậm", .Icon = TileIcon("B", Tone::Edit), .Bar = B::Editor, .BarGap = true,
     .Checked = Check::Off, .Handler = BoldButtonClick},
    {.Name = "ItalicButton", .Text = "Chữ nghiêng", .Icon = TileIcon("I", Tone::Edit), .Bar = B::Editor,
     .Checked = Check::Off, .Handler = ItalicButtonClick},
    {.Name = "UnderlineButton", .Text = "Gạch chân", .Icon = TileIcon("U", Tone::Edit), .Bar = B::Editor,
     .Checked = Check::Off, .Handler = UnderlineButtonClick},
    {.Name = "LeftAlign", .Text = "Canh trái", .Icon = TileIcon("⇤", Tone::Edit), .Bar = B::Editor,
     .BarGap = true, .Checked = Check::Off, .Group = GroupId::Alignment, .Handler = AlignLeft},
    {.Name = "CenterAlign", .Text = "Canh giữa", .Icon = TileIcon("↔", Tone::Edit), .Bar = B::Editor,
     .Checked = Check::Off, .Group = GroupId::Alignment, .Handler = AlignCentre},
    {.Name = "RightAlign", .Text = "Canh phải", .Icon = TileIcon("⇥", Tone::Edit), .Bar = B::Editor,
     .Checked = Check::Off, .Group = GroupId::Alignment, .Handler = AlignRight},
};

}  // namespace

std::span<const MenuRow> MainWindowMenus() { return kMenus; }
std::span<const BarRow> MainWindowBars() { return kBars; }
std::span<const ActionRow> MainWindowActions() { return kActions; }

const ComputationCommand* CommandOf(const ActionRow& row) {
    if (row.Command.Run) return &row.Command;
    return row.SameCommandAs ? FindComputationCommand(row.SameCommandAs) : nullptr;
}

const ComputationCommand* FindComputationCommand(std::string_view actionName) {
    for (const ActionRow& row : MainWindowActions()) {
        if (actionName == row.Name) return CommandOf(row);
    }
    return nullptr;
}

}  // namespace qef
