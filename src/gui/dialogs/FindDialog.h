#pragma once
// The find dialog: a text and "Tìm tiếp", searching down from where the last match was. It stays
// open beside the window while the user works.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qef {

class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr);
    QString FindText() const;
    void SetFindText(const QString& text);

signals:
    void FindNext(const QString& text);

private:
    QLineEdit* FindEdit_ = nullptr;
    QPushButton* FindNextButton_ = nullptr;
};

}  // namespace qef
