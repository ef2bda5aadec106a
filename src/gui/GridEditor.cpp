#include "gui/GridEditor.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

#include "core/text/VnCodec.h"
#include "gui/GridModel.h"
#include "gui/GuiText.h"
#include "gui/MainWindow.h"

namespace qef {

namespace {

GridCell CellOf(const QModelIndex& index) { return {GridModel::GridRow(index.row()), index.column()}; }

bool TypedCharacter(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = key.text();
    return !text.isEmpty() && text.front().isPrint();
}

}  // namespace

GridEditor::GridEditor(MainWindow& window, GridModel& model, QTableView& grid)
    : QObject(&window), window_(window), model_(model), grid_(grid) {
    Panel_ = new QFrame(grid_.viewport());
    Panel_->setObjectName(QStringLiteral("Panel"));
    Panel_->setFrameShape(QFrame::Box);
    Panel_->setStyleSheet(QStringLiteral("#Panel { border: 2px solid palette(highlight); background: palette(base); }"));
    MEdit_ = new QLineEdit(Panel_);
    MEdit_->setObjectName(QStringLiteral("MEdit"));
    MEdit_->setFrame(false);
    MEdit_->setReadOnly(true);
    auto* layout = new QHBoxLayout(Panel_);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->addWidget(MEdit_);

    grid_.installEventFilter(this);
    MEdit_->installEventFilter(this);
    connect(MEdit_, &QLineEdit::textEdited, this, [this] { Typed(); });
    connect(&grid_, &QTableView::doubleClicked, this, [this] { MEdit_->setFocus(); });
    connect(grid_.verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceEditor(); });
    connect(grid_.horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceEditor(); });
    connect(grid_.horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceEditor(); });
    connect(grid_.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (!current.isValid()) return;
                OnCurrentChanged(CellOf(current),
                                 previous.isValid() ? std::optional<GridCell>(CellOf(previous)) : std::nullopt);
            });
    // A command that rewrites the current cell shows its new text, unless the user is typing.
    connect(&model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                const QModelIndex current = grid_.currentIndex();
                if (pending_ || !current.isValid() || current.row() < topLeft.row() ||
                    current.row() > bottomRight.row() || current.column() < topLeft.column() ||
                    current.column() > bottomRight.column())
                    return;
                const GridCell at = CellOf(current);
                const QString shown = model_.Shown(model_.Cell(at.Row, at.Column));
                if (MEdit_->text() != shown) MEdit_->setText(shown);
            });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        // A reset drops the selection model's current cell; the grid starts again on row 1.
        loading_ = true;
        grid_.setCurrentIndex(model_.index(0, 0));
        loading_ = false;
        Load(Current());
    });
}

// ---------------------------------------------------------------- the cell editor

GridCell GridEditor::Current() const {
    const QModelIndex current = grid_.currentIndex();
    return current.isValid() ? CellOf(current) : GridCell{1, 0};
}

void GridEditor::OnCurrentChanged(GridCell current, std::optional<GridCell> previous) {
    if (previous && !loading_) Commit(*previous);
    Load(current);
}

// Only typed text is committed: a cell changed by a command keeps what the command wrote.
void GridEditor::Commit(GridCell cell) {
    if (!pending_) return;
    pending_ = false;
    if (prefixBox_) entry_.Prefix = model_.Stored(prefixBox_->currentText());
    const std::string& old = model_.Cell(cell.Row, cell.Column);
    std::string text = CommittedText(entry_, cell.Column, model_.Stored(MEdit_->text()), old);
    if (model_.Edit([&](GridDocument& doc) { return doc.EnterText(cell.Row, cell.Column, std::move(text)); }))
        Edited();
}

void GridEditor::Load(GridCell cell) {
    MEdit_->setText(model_.Shown(model_.Cell(cell.Row, cell.Column)));
    pending_ = false;
    MEdit_->setReadOnly(true);
    PlaceEditor();
    ShowStatus();
}

void GridEditor::PlaceEditor() {
    const QModelIndex current = grid_.currentIndex();
    if (!current.isValid()) {
        Panel_->hide();
        return;
    }
    Panel_->setGeometry(grid_.visualRect(current));
    Panel_->show();
}

void GridEditor::CommitPending() {
    Commit(Current());
    Load(Current());
}

void GridEditor::MoveTo(GridCell cell) {
    cell.Row = std::clamp(cell.Row, 1, model_.DataRows());
    cell.Column = std::clamp(cell.Column, 0, model_.Columns() - 1);
    grid_.setFocus();
    grid_.setCurrentIndex(model_.index(GridModel::ModelRow(cell.Row), cell.Column));
    ShowStatus();
}

void GridEditor::FocusCellEditor() { MEdit_->setFocus(); }

void GridEditor::Edited() { window_.SetDataSaved(false); }

void GridEditor::Typed() {
    pending_ = true;
    Edited();
}

void GridEditor::ShowStatus() {
    if (window_.GridVisible()) window_.WriteGridStatus();
}

void GridEditor::ShowPasteState() { window_.SetPasteEnabled(CanPaste()); }

bool GridEditor::CanPaste() const { return model_.Document().KeptBlock().has_value(); }

int GridEditor::VisibleRows() const {
    const int height = grid_.verticalHeader()->defaultSectionSize();
    return std::max(1, grid_.viewport()->height() / std::max(height, 1));
}

void GridEditor::StGridClear() {
    model_.Clear();  // the reset brings the cursor to row 1 and shows the empty cell
    ShowStatus();
}

void GridEditor::ApplyLayout(int columns, int rows, int columnWidth, bool vniFont) {
    CommitPending();
    model_.SetFontCode(vniFont ? GridFontCode::Vni : GridFontCode::Tcvn3);
    model_.Resize(columns, rows);
    grid_.horizontalHeader()->setDefaultSectionSize(columnWidth);
    for (int column = 0; column < columns; ++column) grid_.setColumnWidth(column, columnWidth);
    entry_.GridEntryColumns = columns;
    ShowPasteState();
    PlaceEditor();
    ShowStatus();
}

// ---------------------------------------------------------------- the prefix of point numbers

void GridEditor::SetPrefixing(bool on) {
    entry_.PrefixPointNumbers = on;
    if (on && prefixBox_) prefixBox_->setFocus();
}

void GridEditor::PrefixEntered() {
    if (!prefixBox_) return;
    const QString text = prefixBox_->currentText();
    if (prefixBox_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) prefixBox_->addItem(text);
    FocusCellEditor();
}

// ---------------------------------------------------------------- keys

bool GridEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto& key = static_cast<QKeyEvent&>(*event);
    bool handled = false;
    if (watched == &grid_) handled = GridKey(key);
    else if (watched == MEdit_) handled = EditorKey(key);
    ShowStatus();
    return handled;
}

bool GridEditor::GridKey(QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    const GridCell at = Current();
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            MoveTo(EnterMove(at, entry_.GridEntryColumns, model_.Columns(), model_.DataRows()));
            return true;
        case Qt::Key_Delete:
            if (!MEdit_->text().isEmpty()) {
                MEdit_->clear();
                Typed();
            }
            return true;
        case Qt::Key_Backspace: return false;
        default: break;
    }
    if (!TypedCharacter(key)) return false;
    // The typed character replaces the cell's text as one change, so that Esc brings it back.
    MEdit_->setReadOnly(false);
    MEdit_->setFocus();
    MEdit_->selectAll();
    MEdit_->insert(key.text());
    Typed();
    return true;
}

bool GridEditor::EditorKey(QKeyEvent& key) {
    const GridCell at = Current();
    const int lastColumn = model_.Columns() - 1;
    const bool plain = !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            MEdit_->setReadOnly(true);
            MoveTo(EnterMove(at, entry_.GridEntryColumns, model_.Columns(), model_.DataRows()));
            return true;
        case Qt::Key_Escape:
            MEdit_->undo();
            MEdit_->end(false);
            return true;
        case Qt::Key_PageUp: MoveTo({PageUpRow(at.Row, VisibleRows()), at.Column}); return true;
        case Qt::Key_PageDown: MoveTo({PageDownRow(at.Row, VisibleRows(), model_.DataRows()), at.Column}); return true;
        case Qt::Key_Home:
            if (!plain) break;
            MoveTo({at.Row, 0});
            return true;
        case Qt::Key_End:
            if (!plain) break;
            MoveTo({at.Row, lastColumn});
            return true;
        case Qt::Key_Left:
            if (!plain || MEdit_->cursorPosition() > 0 || MEdit_->hasSelectedText()) break;
            if (at.Column > 0) MoveTo({at.Row, at.Column - 1});
            return true;
        case Qt::Key_Right:
            if (!plain || MEdit_->cursorPosition() < MEdit_->text().size() || MEdit_->hasSelectedText()) break;
            if (at.Column < lastColumn) MoveTo({at.Row, at.Column + 1});
            return true;
        case Qt::Key_Up:
            if (at.Row > 1) MoveTo({at.Row - 1, at.Column});
            return true;
        case Qt::Key_Down:
            if (at.Row < model_.DataRows()) MoveTo({at.Row + 1, at.Column});
            return true;
        default: break;
    }
    if (!key.text().isEmpty()) MEdit_->setReadOnly(false);
    return false;
}

// ---------------------------------------------------------------- rows and columns

// The moves below read DataRowCount, which the text still being typed may raise.
void GridEditor::FirstRow() {
    CommitPending();
    MoveTo({1, 0});
}

void GridEditor::LastDataRow() {
    CommitPending();
    MoveTo({std::max(model_.DataRowCount(), 1), 0});
}

void GridEditor::RowUp() {
    CommitPending();
    const GridCell at = Current();
    if (at.Row > 1) MoveTo({at.Row - 1, at.Column});
}

void GridEditor::RowDown() {
    CommitPending();
    const GridCell at = Current();
    if (at.Row < model_.DataRowCount()) MoveTo({at.Row + 1, at.Column});
}

void GridEditor::RowAfterData() {
    CommitPending();
    MoveTo({model_.DataRowCount() + 1, Current().Column});
}

void GridEditor::InsertRow() {
    CommitPending();
    const GridCell at = Current();
    const RowInsertResult result =
        model_.Edit([&](GridDocument& doc) { return doc.InsertDataRows(at.Row, 1); });
    if (result == RowInsertResult::BeyondData) return;
    if (result == RowInsertResult::GridFull) {
        window_.Ask().Message(Vn("Bảng nhập số liệu đã đầy, không chèn thêm dòng được."));
        return;
    }
    Load(at);
    Edited();
}

void GridEditor::DeleteRow() {
    CommitPending();
    if (window_.Ask().AskYesNo("Ban muon xoa 1 dong?") != Answer::Yes) return;
    const GridCell at = Current();
    if (!model_.Edit([&](GridDocument& doc) { return doc.DeleteDataRow(at.Row); })) return;
    Load(at);
    Edited();
}

void GridEditor::InsertColumn() {
    CommitPending();
    if (model_.DataRowCount() == 0) return;
    if (model_.Document().LastColumnHoldsData() &&
        window_.Ask().AskYesNo(Vn("Số liệu ở cột cuối sẽ bị mất. Bạn có muốn chèn 1 cột không ?")) != Answer::Yes)
        return;
    const GridCell at = Current();
    model_.Edit([&](GridDocument& doc) { doc.InsertColumn(at.Column); });
    Load(at);
    Edited();
}

void GridEditor::DeleteColumn() {
    CommitPending();
    if (window_.Ask().AskYesNo("Ban muon xoa 1 cot?") != Answer::Yes) return;
    const GridCell at = Current();
    model_.Edit([&](GridDocument& doc) { doc.DeleteColumn(at.Column); });
    Load(at);
    Edited();
}

// ---------------------------------------------------------------- blocks

GridBlock GridEditor::SelectedBlock() const {
    // Ranges, not indexes: a whole grid selected is hundreds of thousands of cells.
    const QItemSelection selection = grid_.selectionModel()->selection();
    const GridCell at = Current();
    if (selection.isEmpty()) return {at.Row, at.Row, at.Column, at.Column};
    GridBlock block{INT_MAX, 0, INT_MAX, -1};
    for (const QItemSelectionRange& range : selection) {
        block.FirstRow = std::min(block.FirstRow, GridModel::GridRow(range.top()));
        block.LastRow = std::max(block.LastRow, GridModel::GridRow(range.bottom()));
        block.FirstColumn = std::min(block.FirstColumn, range.left());
        block.LastColumn = std::max(block.LastColumn, range.right());
    }
    return block;
}

void GridEditor::CopyBlock() {
    CommitPending();
    model_.Edit([&](GridDocument& doc) { doc.CopyBlock(SelectedBlock()); });
    ShowPasteState();
}

void GridEditor::CutBlock() {
    CommitPending();
    model_.Edit([&](GridDocument& doc) { doc.CutBlock(SelectedBlock()); });
    ShowPasteState();
}

void GridEditor::PasteBlock() {
    CommitPending();
    const GridCell at = Current();
    const PasteResult result = model_.Edit([&](GridDocument& doc) { return doc.PasteBlock(at.Row, at.Column); });
    if (result == PasteResult::PastGridEdge)
        window_.Ask().Message(Vn("Khối dán vượt ra ngoài bảng nhập số liệu, không dán được."));
    if (result != PasteResult::Pasted) return;
    Load(at);
    Edited();
    ShowPasteState();
}

void GridEditor::DeleteBlock() {
    CommitPending();
    model_.Edit([&](GridDocument& doc) { doc.EmptyBlock(SelectedBlock()); });
    Load(Current());
    Edited();
}

// ---------------------------------------------------------------- find

bool GridEditor::FindNext(const QString& text) {
    CommitPending();
    const auto found = model_.Document().FindCell(model_.Stored(text), findFrom_);
    if (!found) {
        window_.Ask().Message("Khong tim thay chuoi \"" + ToTcvn3(text) + "\" nua");
        return false;
    }
    MoveTo(*found);
    findFrom_ = model_.Document().CellAfter(*found);
    MEdit_->setFocus();
    const qsizetype at = MEdit_->text().indexOf(text, 0, Qt::CaseInsensitive);
    if (at >= 0) MEdit_->setSelection(static_cast<int>(at), static_cast<int>(text.size()));
    return true;
}

}  // namespace qef
