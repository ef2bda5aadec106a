#pragma once
// Options of the drawing export: what is sent, text heights and layer numbers. Every control
// writes its setting at once; OK and Cancel only close the dialog.
#include <vector>

#include "core/model/ComputationSettings.h"
#include "gui/dialogs/DialogSupport.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

namespace qef {

class TFVoiAutoCAD : public CheckedDialog {
    Q_OBJECT
public:
    explicit TFVoiAutoCAD(ComputationSettings& settings, QWidget* parent = nullptr);

    // Enables and unchecks the boxes as the mode flags of the running command ask. Runs on
    // every show.
    void ApplyModes();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct HeightEdit {
        QLineEdit* edit;
        double ComputationSettings::*member;
    };

    // The bits of AcadUploadFlags.
    enum class UploadBit : unsigned { DetailPoints = 0, HeightTexts = 1, Z = 2 };

    void BuildDrawingGroup();
    void ConnectControls();
    void OnKnownPoints(bool checked);
    void OnAdjustedPoints(bool checked);
    void OnDetailPoints(bool checked);
    void SetFlagBit(UploadBit bit, bool on);
    void OnHeightTextChanged(const HeightEdit& h);
    void OnHeightExit(const HeightEdit& h);
    bool HeightTextGood(const QLineEdit* edit, double& value) const;

    ComputationSettings& settings_;

    QGroupBox* group_ = nullptr;
    QCheckBox* CB_VeSDluoi0_ = nullptr;
    QCheckBox* CB_VeSDluoi1_ = nullptr;
    QCheckBox* CB_VeChitiet_ = nullptr;
    QCheckBox* CB_Vedocao_ = nullptr;
    QCheckBox* CB_ZtoCSDL_ = nullptr;
    QSpinBox* UD_Layer1_ = nullptr;
    QSpinBox* UD_Layer2_ = nullptr;
    std::vector<HeightEdit> heights_;
};

}  // namespace qef
