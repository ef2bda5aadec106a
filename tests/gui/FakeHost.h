#pragma once
// A command host without a window: questions and file names from the test's script, a grid
// document of its own, and a record of what a command asked of the window.
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "gui/GuiTestBasics.h"
#include "gui/CommandHost.h"
#include "gui/CommandRunner.h"
#include "gui/GridModel.h"

namespace qef::test {

class FakeHost : public CommandHost {
public:
    FakeHost() = default;
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    Interaction& Ask() override { return ask; }
    ComputationSettings& Settings() override { return settings; }
    CommandRunner& Runner() override { return runner; }
    std::optional<QString> AskOpenName(const FileQuestion& q) override { return files.AskOpenName(q); }
    std::optional<QString> AskSaveName(const FileQuestion& q) override { return files.AskSaveName(q); }

    GridModel& Grid() override { return grid; }
    void CommitGridEntry() override { ++commits; }
    bool GridVisible() const override { return gridVisible; }
    GridBlock SelectedBlock() const override { return selected; }
    void MoveGridCursor(GridCell cell) override { cursorMoves.push_back(cell); }
    void SetDataSaved(bool saved) override { dataSaved = saved; }

    bool OfferEditorSave() override {
        ++editorSaveOffers;
        return editorMayChange;
    }
    void ForgetEditorText() override { ++editorForgotten; }
    void ShowReport(const QString& path, const QString& programTitle) override {
        reports.emplace_back(path, programTitle);
    }
    void TellWritten(const std::vector<std::string>& writtenFiles) override {
        written.insert(written.end(), writtenFiles.begin(), writtenFiles.end());
    }
    void SetBusy(bool on) override { busy.push_back(on); }

    void CreateDialogs() override { ++dialogsMade; }
    bool AskParameters() override {
        ++parametersAsked;
        return parametersOk;
    }
    TForm2* MonitorWindow() const override { return nullptr; }
    TFVoiAutoCAD* DrawingOptionsDialog() const override { return nullptr; }
    TFListCanhXp* StepDialog() const override { return nullptr; }
    TFTaosodo* FieldBookOptionsDialog() const override { return nullptr; }
    Tflapsdgc* TextBooksDialog() const override { return nullptr; }
    Txlslt3* RawConversionDialog() const override { return nullptr; }
    QWidget* Widget() override { return &parent; }

    bool appReady = (EnsureApp(), true);  // before any widget
    ScriptedInteraction ask;
    ScriptedFileDialogs files;
    ComputationSettings settings;
    GridModel grid;
    QWidget parent;
    CommandRunner runner{*this};
    TempDir dir;

    bool gridVisible = true;
    GridBlock selected{};
    bool editorMayChange = true;
    bool parametersOk = true;

    int commits = 0;
    std::vector<GridCell> cursorMoves;
    bool dataSaved = true;
    int editorSaveOffers = 0;
    int editorForgotten = 0;
    std::vector<std::pair<QString, QString>> reports;
    std::vector<std::string> written;
    std::vector<bool> busy;
    int dialogsMade = 0;
    int parametersAsked = 0;
};

}  // namespace qef::test
