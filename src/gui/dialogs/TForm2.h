#pragma once
// Monitor window: stage, counts and a progress bar while an adjustment runs. It stays on the
// screen after the run until the user presses OK. The run's end is the runner's to say: until
// then the bar stays short of its end and no end time is shown.
#include <QDialog>
#include <functional>

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

    // The run has written its files (it has returned, or it says "Đã tính xong"): the end time
    // is set and, when the run completed, the bar is full. Nothing when no run is under way.
    void EndRun(bool completed);

    QLabel* Label(MonitorLabel label) const;

    // Called instead of closing when OK, Escape or the close box is used while a run is under
    // way (all three end in done(), the close box by way of reject); unset, the monitor only hides.
    std::function<void()> CloseDuringRun;
    void done(int result) override;

    // After the run's last message: the window in front with the keyboard on its OK, so that the
    // next Enter closes it rather than reaching the window behind.
    void TakeKeyboard();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ResetTexts();
    void RepaintNow();

    // The bar counts in its own steps; the computation's range and position are mapped onto them.
    static constexpr int kBarSteps = 1000;
    bool running_ = false;
    int minimum_ = 0;
    int maximum_ = kBarSteps;

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
