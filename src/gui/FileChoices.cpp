#include "gui/FileChoices.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace qef {

namespace {

const QString kGroup = QStringLiteral("FileQuestions/");
const QString kAnyQuestion = QStringLiteral("FileQuestions/Last");

// A title may hold "/" or "\", which QSettings reads as groups.
QString KeyOf(const QString& question) {
    QString key = question;
    key.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return kGroup + QStringLiteral("Q_") + key;
}

QString ExistingFolderOf(const QString& path) {
    if (path.isEmpty()) return {};
    const QString folder = QFileInfo(path).absolutePath();
    return QDir(folder).exists() ? folder : QString();
}

}  // namespace

FileChoices::FileChoices() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    settings_ = std::make_unique<QSettings>(folder + QStringLiteral("/qef.ini"), QSettings::IniFormat);
}

FileChoices::~FileChoices() = default;

QString FileChoices::LastPath(const QString& question) const { return settings_->value(KeyOf(question)).toString(); }

QString FileChoices::StartFolder(const QString& question) const {
    for (const QString& path : {LastPath(question), settings_->value(kAnyQuestion).toString()}) {
        const QString folder = ExistingFolderOf(path);
        if (!folder.isEmpty()) return folder;
    }
    return QDir::currentPath();
}

QString FileChoices::LastName(const QString& question) const {
    // Only offered where the question starts: beside a vanished folder the name means nothing.
    const QString path = LastPath(question);
    return ExistingFolderOf(path).isEmpty() ? QString() : QFileInfo(path).fileName();
}

void FileChoices::Remember(const QString& question, const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    settings_->setValue(KeyOf(question), absolute);
    settings_->setValue(kAnyQuestion, absolute);
    // Written at once: a later crash must not lose where the user works.
    settings_->sync();
}

}  // namespace qef
