#pragma once
// Step-by-step computation of a traverse network, one group at a time: open the two input files,
// analyse the network, build a group from a start side or from chosen branches, then adjust the
// group or only compute its coordinates. A step is enabled once the steps it needs have run.
#include <QDialog>
#include <string>

#include "adjustment/StepByStep.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "gui/InputStep.h"
#include "gui/StepRunner.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace qef {

class RadioGroupBox;
class TFVoiAutoCAD;

class TFListCanhXp : public QDialog {
    Q_OBJECT
public:
    TFListCanhXp(ComputationSettings& settings, FileDialogs& files, QWidget* parent = nullptr);

    // The options dialog that the export box opens.
    void SetDrawingOptionsDialog(TFVoiAutoCAD* dialog) { drawingOptions_ = dialog; }
    // What runs the steps, and where their questions and messages go; set before every showing.
    void SetRunner(StepRunner* runner) { runner_ = runner; }
    const StepByStepSession& Session() const { return session_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class GroupStep { Adjust, Coordinates };

    void OpenKnownFile();
    void OpenObservationFile();
    void StartNetwork();
    void BuildGroup();
    void RunGroup(GroupStep step);
    void OnExport(bool checked);
    // Enables each step whose earlier steps have run.
    void UpdateSteps();
    // The dialog's three columns, left to right.
    QVBoxLayout* BuildInputColumn();
    QVBoxLayout* BuildAnalysisColumn();
    QVBoxLayout* BuildGroupColumn();
    void ConnectControls();
    // Tab walks the steps in their numbered order.
    void OrderTabs();
    // After a step the keyboard is back in the dialog, on what comes next.
    void FocusAfterStep(QWidget* next);
    // The result name when results are to be written; "" otherwise (after saying so when the
    // question went unanswered).
    std::string AskResultFile();
    void FillLists();

    ComputationSettings& settings_;
    FileDialogs& files_;
    StepRunner* runner_ = nullptr;
    TFVoiAutoCAD* drawingOptions_ = nullptr;
    StepByStepSession session_;

    QPushButton* Button3_ = nullptr;
    QPushButton* Button4_ = nullptr;
    QTableWidget* SG_Td_ = nullptr;
    QTableWidget* SG_Sl_ = nullptr;
    QPushButton* Khoidong_ = nullptr;
    QListWidget* LB_GPV_ = nullptr;
    QListWidget* LB_NutC_ = nullptr;
    QListWidget* LB_Nut_ = nullptr;
    QListWidget* LB_Canhxp_ = nullptr;
    RadioGroupBox* RG_lapnhom_ = nullptr;
    QListWidget* LB_lapnhanh_ = nullptr;
    QLineEdit* Enhanh_ = nullptr;
    QPushButton* Nhom_ = nullptr;
    QPushButton* OK_ = nullptr;
    QPushButton* Button5_ = nullptr;
    QCheckBox* CB_TailenAcad_ = nullptr;
    QCheckBox* CB_ghikq_ = nullptr;
    QPushButton* Cancel_ = nullptr;
};

}  // namespace qef
