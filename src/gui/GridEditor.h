#pragma once
// Typing into the grid: the cell editor `MEdit` floats over the current cell and holds the text
// that the cell receives when the cursor leaves it. Keys, row and column commands, blocks and
// find act on the grid document through the model; every rule of them lives in the document.
#include <QObject>
#include <QString>
#include <optional>

#include "core/grid/GridDocument.h"
#include "core/grid/GridEntry.h"

class QComboBox;
class QFrame;
class QKeyEvent;
class QLineEdit;
class QTableView;

namespace qef {

class GridModel;
class MainWindow;

class GridEditor : public QObject {
    Q_OBJECT
public:
    GridEditor(MainWindow& window, GridModel& model, QTableView& grid);

    QLineEdit* CellEditor() const { return MEdit_; }
    GridEntryState& Entry() { return entry_; }
    void SetMode(EntryMode mode) { entry_.SetMode(mode); }
    void SetPrefixBox(QComboBox* box) { prefixBox_ = box; }
    // The prefix toggle: on focuses the prefix text.
    void SetPrefixing(bool on);
    // Enter in the prefix text: it joins the list, typing goes on in the cell editor.
    void PrefixEntered();
    void FocusCellEditor();

    GridCell Current() const;
    // The selected rectangle; the current cell when nothing is selected.
    GridBlock SelectedBlock() const;
    // Moves the cursor; the cell left receives the cell editor's text.
    void MoveTo(GridCell cell);
    // The cell editor's text goes into the current cell, which the editor then shows again.
    void CommitPending();
    // Empties the grid and goes to row 1, column 0.
    void StGridClear();
    // The layout dialog's grid size; the cursor comes back into the grid.
    void ApplyLayout(int columns, int rows, int columnWidth, bool vniFont);

    // Row and column commands of the grid's toolbar.
    void FirstRow();
    void LastDataRow();
    void RowUp();
    void RowDown();
    void RowAfterData();
    void InsertRow();  // InsertData with one row
    void DeleteRow();
    void InsertColumn();
    void DeleteColumn();

    // Block commands.
    void CopyBlock();
    void CutBlock();
    void PasteBlock();
    void DeleteBlock();
    bool CanPaste() const;

    // Find: each showing of the find dialog starts at row 1, column 0. False when nothing more
    // was found (and the user was told).
    void RestartFind() { findFrom_ = {1, 0}; }
    bool FindNext(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool GridKey(QKeyEvent& key);
    bool EditorKey(QKeyEvent& key);
    void OnCurrentChanged(GridCell current, std::optional<GridCell> previous);
    void Commit(GridCell cell);
    void Load(GridCell cell);
    void PlaceEditor();
    void Edited();
    void Typed();
    void ShowStatus();
    void ShowPasteState();
    int VisibleRows() const;

    MainWindow& window_;
    GridModel& model_;
    QTableView& grid_;
    QFrame* Panel_ = nullptr;
    QLineEdit* MEdit_ = nullptr;
    QComboBox* prefixBox_ = nullptr;
    GridEntryState entry_;
    GridCell findFrom_;
    bool loading_ = false;  // the cursor moves after the document changed: nothing to commit
    bool pending_ = false;  // the cell editor's text was typed since it was loaded
};

}  // namespace qef
