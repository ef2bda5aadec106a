#pragma once
// The picture shown on top while the program starts; later the About window, with the version.
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
    // "Phiên bản" and the version of the build.
    static QString VersionText();

protected:
    void paintEvent(QPaintEvent* event) override;
    // A key or a click closes it, at start-up and as the About window.
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void CentreOnScreen();
    bool aboutWindow_ = false;
};

}  // namespace qef
