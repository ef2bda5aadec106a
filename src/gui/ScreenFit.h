#pragma once
// Windows that fit the screen they are shown on: a laptop screen is smaller than the main window's
// own size.
#include <QObject>
#include <QSize>

class QWidget;

namespace qef {

// Gives a top-level window the size it wants where the screen's available area holds it with its
// frame; otherwise it takes that whole area.
void FitToScreen(QWidget& window, QSize wanted);

// Shrinks a window whose frame runs past its screen's available area and, for the main window,
// moves it back inside; a dialog is centred by its own show.
void KeepOnScreen(QWidget& window);

// Watches every dialog of the application as it is shown and shrinks it to the screen's available
// area when it is larger; the main window too. QDialog itself centres a dialog on its parent window.
class DialogFit : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qef
