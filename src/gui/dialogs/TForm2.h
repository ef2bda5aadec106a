#pragma once
// Monitor window: stage, counts and a progress bar while an adjustment runs. It stays on the
// screen after the run until the user presses OK.
#include <QDialog>

#include "core/model/Progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace qef {

class TForm2 : public QDialog, public Progress {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Progress
    void Show() override;
    void SetText(MonitorLabel label, const std::string& text) override;
    void SetRange(int minimum, int maximum) override;
    void SetPosition(int position) override;

    QLabel* Label(MonitorLabel label) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ResetTexts();
    void RepaintNow();

    QLabel* Ltientrinh_ = nullptr;
    QLabel* Lsonut_ = nullptr;
    QLabel* Lsonhanh_ = nullptr;
    QLabel* Lsogoc_ = nullptr;
    QLabel* Lsocanh_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLabel* Batdau_ = nullptr;
    QLabel* Ketthuc_ = nullptr;
    QProgressBar* PB1_ = nullptr;
    QPushButton* Button1_ = nullptr;
};

}  // namespace qef
