#pragma once
// The file last chosen in each file question, kept in the user's settings, so that a question
// starts where the user works, in this session and the next.
#include <QString>
#include <memory>

class QSettings;

namespace qef {

class FileChoices {
public:
    // The program's settings file in the user's configuration folder.
    FileChoices();
    ~FileChoices();
    FileChoices(const FileChoices&) = delete;
    FileChoices& operator=(const FileChoices&) = delete;

    // The folder a question starts in: that of its own last file, else that of the last file
    // chosen in any question (the run's other inputs), else the working folder.
    QString StartFolder(const QString& question) const;
    // The name, without its folder, of the question's last file; empty when there is none or its
    // folder is gone.
    QString LastName(const QString& question) const;
    void Remember(const QString& question, const QString& path);

private:
    QString LastPath(const QString& question) const;

    std::unique_ptr<QSettings> settings_;
};

}  // namespace qef
