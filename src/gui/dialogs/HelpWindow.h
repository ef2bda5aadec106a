#pragma once
// The help document of the program in a browser window.
#include <QDialog>

class QTextBrowser;

namespace qef {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the contents page and brings the window to the front.
    void ShowContents();
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace qef
