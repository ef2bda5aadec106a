#pragma once
// Qt's own texts that the program shows (file and print dialogs, message-box and dialog buttons, edit menus)
// in Vietnamese: Debian ships no Vietnamese translation of Qt.
#include <QTranslator>

namespace qef {

class VietnameseQtTexts : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
};

// Installs the texts in the application (once) and makes Vietnamese the default locale, which
// names the file kinds in the file dialog. Before the first window is made.
void SpeakVietnamese();
// The installed translator; a test takes it out to see what Qt says without it.
VietnameseQtTexts& QtTextsVi();

}  // namespace qef
