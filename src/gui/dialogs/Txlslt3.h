#pragma once
// "Xử lý số liệu thô": the raw-data conversion form. It keeps the conversion's own options (the
// settings file "qef.tso" in the user's configuration folder, read at creation and rewritten at
// every close), asks the download and the output names, and calls the conversion. It never touches
// the computation settings.
#include <QDialog>
#include <functional>

#include "fielddata/raw/ConversionSettings.h"
#include "gui/Workers.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace qef {

class FileDialogs;
class Interaction;

class Txlslt3 : public QDialog {
    Q_OBJECT
public:
    Txlslt3(FileDialogs& files, std::function<Interaction&()> ask, QString settingsPath, QWidget* parent = nullptr);

    const ConversionSettings& Settings() const { return settings_; }
    const QString& SettingsPath() const { return settingsPath_; }
    // The confirmation before a run; by default a message box with OK and Cancel. Tests answer.
    std::function<bool(const QString&)> ConfirmHook;

    // What runs the conversion; without one it runs here, with no monitor.
    void SetRunner(StepRunner* runner) { runner_ = runner; }

    // "Xử lý": confirm, ask the files, convert.
    void XlslXulyClick();
    void done(int result) override;

private:
    struct IntEdit {
        QLineEdit* edit;
        std::int32_t ConversionSettings::*member;
        const char* fallback;
    };

    void ShowSettings();
    void OnWithHeights(bool on);
    void OnEditExit(const IntEdit& e);
    void ReadBackEdits();
    void ChooseOutputStyle(int item);
    bool Confirm(const QString& text);

    FileDialogs& files_;
    std::function<Interaction&()> ask_;
    StepRunner* runner_ = nullptr;
    QString settingsPath_;
    ConversionSettings settings_;

    QListWidget* LBloaimay_ = nullptr;
    QCheckBox* CBcodocao_ = nullptr;
    QRadioButton* RBgoctdinh_ = nullptr;
    QRadioButton* RBgocdung_ = nullptr;
    QLineEdit* MEshccg_ = nullptr;
    QCheckBox* CBshtramlakt_ = nullptr;
    QCheckBox* CBshtram_ = nullptr;
    QLineEdit* MEshtram_ = nullptr;
    QLineEdit* MEshcckc_ = nullptr;
    QLineEdit* MEshccct_ = nullptr;
    QRadioButton* RBkitu_[5] = {};
    QLineEdit* MEcanhcot_ = nullptr;
    QRadioButton* RBdanggoc1_ = nullptr;
    QRadioButton* RBdanggoc2_ = nullptr;
    QRadioButton* RBdangcanh1_ = nullptr;
    QRadioButton* RBdangcanh2_ = nullptr;
    std::vector<IntEdit> edits_;
};

// Where the conversion's settings file lives: the user's configuration folder.
QString ConversionSettingsPath();

}  // namespace qef
