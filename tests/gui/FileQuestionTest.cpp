#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <tuple>

#include "GuiTestSupport.h"
#include "gui/InputStep.h"

namespace qef {
namespace {

// The user's configuration folder, for the life of the object.
class ConfigHome {
public:
    explicit ConfigHome(const std::string& path) : old_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(path));
    }
    ~ConfigHome() { qputenv("XDG_CONFIG_HOME", old_); }

private:
    QByteArray old_;
};

// What a file dialog showed when it came up, and what it answered.
struct Asked {
    QString folder;
    QString name;  // in the name field
    bool selected = false;
    std::optional<QString> answer;
};

// Asks through the window's own dialog and answers as a user does: goes to `folder` when one is
// given, types a name into the name field (nothing: keeps what it offers) and presses Return.
Asked AskAndType(MainWindow& window, const FileQuestion& question, bool save, const QString& typed,
                 const QString& folder = QString()) {
    Asked asked;
    test::OnNextModal([&asked, typed, folder](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (edit) {
            asked.folder = dialog->directory().absolutePath();
            asked.name = edit->text();
            asked.selected = edit->selectedText() == edit->text();
            if (!folder.isEmpty()) dialog->setDirectory(folder);
            // The user types into the field of the active window; the dialog writes the list's
            // selection into the field only while the field has no focus.
            QApplication::setActiveWindow(dialog);
            edit->setFocus();
            QTest::keyClicks(edit, typed);

            QTest::keyClick(edit, Qt::Key_Return);
        }
        if (modal.isVisible()) {  // refused, or not a file dialog: never leave the test waiting
            ADD_FAILURE() << "the dialog did not take " << typed.toStdString();
            modal.close();
        }
    });
    asked.answer = save ? window.AskSaveName(question) : window.AskOpenName(question);
    return asked;
}

// Folder, offered name and answer, as text that a failure prints.
using Shown = std::tuple<std::string, std::string, std::string>;
Shown Seen(const Asked& asked) {
    return {asked.folder.toStdString(), asked.name.toStdString(), asked.answer.value_or("-").toStdString()};
}
Shown Expected(const QString& folder, const QString& name, const QString& answer) {
    return {folder.toStdString(), name.toStdString(), answer.toStdString()};
}

TEST(FileQuestions, TypingReplacesTheOfferedNameAndEachQuestionStartsWhereItEnded) {
    test::EnsureApp();
    const test::TempDir settings;
    const ConfigHome home(settings.Path());
    const test::TempDir work;
    std::filesystem::create_directory(work.File("a"));
    std::filesystem::create_directory(work.File("b"));
    for (const char* name : {"a/goc.DTA", "a/do.DTA", "a/do2.DTA", "b/x.DTA"})
        test::WriteFileBytes(work.File(name), "A 1 2\r\n");
    const QString a = QString::fromStdString(work.File("a"));
    const QString b = QString::fromStdString(work.File("b"));
    const FileQuestion known{QStringLiteral("Nhập tên file tọa độ gốc"), InputFileFilter(), QStringLiteral("DTA")};
    const FileQuestion observations{QStringLiteral("Nhập tên file số liệu đo"), InputFileFilter(),
                                    QStringLiteral("DTA")};
    const FileQuestion result{QStringLiteral("Nhập tên file kết quả"), ResultFileFilter(false), QStringLiteral("dta")};
    {
        MainWindow window;
        // Nothing chosen ever: the working folder and an empty name.
        Asked asked = AskAndType(window, known, false, QStringLiteral("goc.DTA"), a);
        EXPECT_EQ(Seen(asked), Expected(QDir::currentPath(), QString(), a + "/goc.DTA"));
        // Questions without a file of their own start beside the input chosen before them.
        asked = AskAndType(window, observations, false, QStringLiteral("do.DTA"));
        EXPECT_EQ(Seen(asked), Expected(a, QString(), a + "/do.DTA"));
        asked = AskAndType(window, result, true, QStringLiteral("KQ"));
        EXPECT_EQ(Seen(asked), Expected(a, QString(), a + "/KQ.dta"));
        // The next run: each question offers its own last name, selected, and typing replaces it.
        asked = AskAndType(window, known, false, QStringLiteral("do2.DTA"));
        EXPECT_EQ(Seen(asked), Expected(a, QStringLiteral("goc.DTA"), a + "/do2.DTA"));
        EXPECT_TRUE(asked.selected);
        asked = AskAndType(window, observations, false, QStringLiteral("x.DTA"), b);
        EXPECT_EQ(Seen(asked), Expected(a, QStringLiteral("do.DTA"), b + "/x.DTA"));
    }
    // A new session: every question starts at its own last file, and Return takes it.
    MainWindow window;
    const std::tuple<const FileQuestion*, bool, QString, QString> again[] = {
        {&known, false, a, QStringLiteral("do2.DTA")},
        {&observations, false, b, QStringLiteral("x.DTA")},
        {&result, true, a, QStringLiteral("KQ.dta")}};
    for (const auto& [question, save, folder, name] : again) {
        const Asked asked = AskAndType(window, *question, save, QString());
        EXPECT_EQ(Seen(asked), Expected(folder, name, folder + "/" + name));
        EXPECT_TRUE(asked.selected) << name.toStdString();
    }
}

}  // namespace
}  // namespace qef
