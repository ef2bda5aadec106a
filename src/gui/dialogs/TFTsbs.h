#pragma once
// Parameters dialog: units, closure limits, reduction of sides, weights of the rigorous
// adjustment and the drawing-export switch. Every control writes its setting at once; OK and
// Cancel only close the dialog.
#include <QGroupBox>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "gui/dialogs/DialogSupport.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace qef {

class TFVoiAutoCAD;

// A titled group of radio buttons; choosing an item, by click or in code, emits ItemChosen once.
class RadioGroupBox : public QGroupBox {
    Q_OBJECT
public:
    RadioGroupBox(const QString& name, const QString& title, const QStringList& items,
                  QWidget* parent = nullptr);
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    QGridLayout* Grid() const { return grid_; }

signals:
    void ItemChosen(int index);

private:
    QButtonGroup* buttons_;
    QGridLayout* grid_;
};

class TFTsbs : public CheckedDialog {
    Q_OBJECT
public:
    explicit TFTsbs(ComputationSettings& settings, QWidget* parent = nullptr);

    // The options dialog that "Tải lên Acad > R14" opens.
    void SetDrawingOptionsDialog(TFVoiAutoCAD* dialog) { drawingOptions_ = dialog; }

    // Refreshes the controls from the settings, as on every show.
    void PrepareForShow();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct RealEdit {
        QLineEdit* edit;
        double ComputationSettings::*member;
    };
    struct IntCombo {
        QComboBox* combo;
        std::int32_t ComputationSettings::*member;
    };

    QWidget* BuildUnits();
    QWidget* BuildAdjustment();
    QWidget* BuildWeights();
    void Connect();

    void OnRigorous(bool checked);
    void SetWeightEditsEnabled(bool enabled);
    void OnHeightReduction(bool checked);
    void OnHeightReductionMode(int item);
    void OnProjectionReduction(bool checked);
    void OnProjection(int item);
    void OnWeightTextChanged(const RealEdit& e);
    void OnWeightExit(const RealEdit& e);
    void OnClosureTextChanged(const IntCombo& c);
    void OnClosureExit(const IntCombo& c);
    void OnAcadUpload(bool checked);
    bool CheckBeforeOk();

    ComputationSettings& settings_;
    TFVoiAutoCAD* drawingOptions_ = nullptr;

    RadioGroupBox* RGdvmet_ = nullptr;
    RadioGroupBox* RGdeg_ = nullptr;
    RadioGroupBox* RGdvgoc_ = nullptr;
    QGroupBox* GBtsbs_ = nullptr;
    QComboBox* CBFs_ = nullptr;
    QComboBox* CBFb_ = nullptr;
    QComboBox* CBFh_ = nullptr;
    QCheckBox* CBTinhshcC1_ = nullptr;
    RadioGroupBox* RG_shcC1_ = nullptr;
    QLineEdit* E_dctb_shc1_ = nullptr;
    QLineEdit* E_dcmc_shc1_ = nullptr;
    QCheckBox* CB_filedocao_ = nullptr;
    QCheckBox* CBTinhshcC2_ = nullptr;
    RadioGroupBox* RG_shcC2_ = nullptr;
    QGroupBox* GB_trongso_ = nullptr;
    QRadioButton* RBtrongsoQP1_ = nullptr;
    QRadioButton* RBtrongsonhap_ = nullptr;
    std::vector<QWidget*> weightEntry_;  // the Mb/Ms edits and their labels
    std::vector<RealEdit> weightEdits_;
    std::vector<IntCombo> closureCombos_;
    QCheckBox* CB_0XulyDCtreo_ = nullptr;
    QCheckBox* CB_BSCC_ = nullptr;
    QCheckBox* CB_ChotailenAcad_ = nullptr;
};

}  // namespace qef
