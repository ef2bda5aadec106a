#include "gui/dialogs/HelpWindow.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The help document is built into the library; a static library has to register it itself.
static void InitHelpResource() { Q_INIT_RESOURCE(help); }

namespace qef {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    InitHelpResource();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Hướng dẫn sử dụng QEF 2010"));
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    resize(820, 680);
}

void HelpWindow::ShowContents() {
    browser_->setSource(QUrl(QStringLiteral("qrc:/help/qef.html")));
    show();
    raise();
    activateWindow();
}

}  // namespace qef
