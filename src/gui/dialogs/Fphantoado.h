#pragma once
// The calculator window: the azimuth between two points, or a new point from two points, an
// angle and a side, or from one point, an azimuth and a side. Points are typed in or picked from
// a table read from a coordinate file. It reads angles in its own notation and leaves the
// computation settings alone.
#include <QDialog>
#include <functional>

#include "core/model/Interaction.h"
#include "tools/Calculator.h"

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace qef {

class FileDialogs;

class Fphantoado : public QDialog {
    Q_OBJECT
public:
    Fphantoado(FileDialogs& files, std::function<Interaction&()> ask, QWidget* parent = nullptr);

    CalculatorMethod Method() const { return method_; }
    void SetMethod(CalculatorMethod method);
    // Computes by the method; nothing happens while an edit it needs holds no number.
    void Compute();
    // Loads the point table from a file; false when none was chosen or it could not be read.
    bool LoadTable(const QString& path);

private:
    QLineEdit* Edit(const char* name);
    QLabel* Label(const QString& text, const char* name);
    QGroupBox* BuildMethods();
    QGridLayout* BuildPoints();
    QTableWidget* BuildPointTable();
    QHBoxLayout* BuildButtons();
    void ConnectControls();
    void OnMethod(int item);
    void SG1Click(int row);
    void BfileClick();

    FileDialogs& files_;
    std::function<Interaction&()> ask_;
    CalculatorMethod method_ = CalculatorMethod::Azimuth;
    CalculatorAngles angles_;

    static constexpr int kMethodCount = 3;
    // Rows of the point table before a file is read.
    static constexpr int kTableRows = 20;
    QRadioButton* methods_[kMethodCount] = {};
    QButtonGroup* methodGroup_ = nullptr;
    QLineEdit *Ed1_, *EXd1_, *EYd1_, *Ed2_, *EXd2_, *EYd2_, *Egoc_, *Ecanh_, *kq1_, *kq2_;
    QLabel *Lgoc_, *Lcanh_, *Lkq2_, *LX2_, *LY2_;
    QCheckBox *CBd1_, *CBd2_;
    QPushButton* Btinh_;
    QPushButton* Bfile_ = nullptr;
    QPushButton* Button2_ = nullptr;
    QTableWidget* SG1_;
};

}  // namespace qef
