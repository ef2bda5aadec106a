#pragma once
// The replace dialog of the editor: a text to find, its replacement, and find next, replace and
// replace all. It stays open beside the window while the user works.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qef {

class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReplaceDialog(QWidget* parent = nullptr);
    QString FindText() const;
    QString ReplaceText() const;
    void SetTexts(const QString& find, const QString& replacement);

signals:
    void FindNext(const QString& text);
    void Replace(const QString& text, const QString& replacement);
    void ReplaceAll(const QString& text, const QString& replacement);

private:
    QLineEdit* FindEdit_ = nullptr;
    QLineEdit* ReplaceEdit_ = nullptr;
};

}  // namespace qef
