#pragma once
// The picture shown on top while the program starts; later the About window.
#include <QDialog>

namespace qef {

class SplashWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 695;
    static constexpr int kHeight = 352;

    explicit SplashWindow(QWidget* parent = nullptr);

    // Borderless, on top of every window, centred; painted at once.
    void ShowAtStartUp();
    // Hides the splash and gives it a dialog frame for its later showings as the About window.
    void BecomeAboutWindow();
    bool IsAboutWindow() const { return aboutWindow_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CentreOnScreen();
    bool aboutWindow_ = false;
};

}  // namespace qef
