#pragma once
// "Xử lý số liệu thô": the raw-data conversion form. It keeps the conversion's own options (the
// settings file "qef.tso" in the user's configuration folder, read at creation and rewritten at
// every close), asks the download and the output names, and calls the conversion. It never touches
// the computation settings.
#include <QDialog>
#include <functional>

#include "fielddata/raw/ConversionSettings.h"
#include "gui/StepRunner.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
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

    // The form's group boxes, left to right and top to bottom.
    QGroupBox* BuildInstruments();
    QGroupBox* BuildHeights();
    QGroupBox* BuildControlPoints();
    QGroupBox* BuildSeparators();
    QGroupBox* BuildOutputForms();
    QGroupBox* BuildOutputStyle();
    QHBoxLayout* BuildButtons();
    // An edit of a whole-number setting, read back as it is typed; `fallback` fills it when it is
    // left empty.
    QLineEdit* IntegerEdit(QWidget* owner, const char* name, std::int32_t ConversionSettings::*member, int low,
                           const char* fallback);
    void ConnectControls();
    void ShowSettings();
    void OnWithHeights(bool on);
    void OnEditExit(const IntEdit& e);
    void ReadBackEdits();
    // "Theo kiểu cũ": fixed width, packed angles, millimetres; "Theo kiểu mới": Tab, angles with
    // a point, metres.
    enum class OutputStyle { Old, New };
    void RGluachonClick(OutputStyle style);
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
    static constexpr int kSeparatorCount = 5;
    static constexpr int kSeparatorsPerRow = 3;
    QRadioButton* RBkitu_[kSeparatorCount] = {};
    QButtonGroup* separatorGroup_ = nullptr;
    QLineEdit* MEcanhcot_ = nullptr;
    QRadioButton* RBdanggoc1_ = nullptr;
    QRadioButton* RBdanggoc2_ = nullptr;
    QRadioButton* RBdangcanh1_ = nullptr;
    QRadioButton* RBdangcanh2_ = nullptr;
    QRadioButton* RGluachon_[2] = {};
    QPushButton* XlslXuly_ = nullptr;
    QPushButton* XlslExit_ = nullptr;
    std::vector<IntEdit> edits_;
};

// Where the conversion's settings file lives: the user's configuration folder.
QString ConversionSettingsPath();

}  // namespace qef
