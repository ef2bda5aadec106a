#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QTest>
#include <filesystem>
#include <tuple>

#include "GuiTestSupport.h"
#include "gui/GridModel.h"
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

// The program's settings in a folder of the test's own, and a folder to work in.
struct FileQuestions : ::testing::Test {
    bool appReady = (test::EnsureApp(), true);
    const test::TempDir settings;
    const ConfigHome home{settings.Path()};
    const test::TempDir work;
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

TEST_F(FileQuestions, TypingReplacesTheOfferedNameAndEachQuestionStartsWhereItEnded) {
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

namespace qef {
namespace {

// The popup list of names that the dialog's name field shows while the user types.
QWidget* NameList(QFileDialog& dialog) {
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    return edit && edit->completer() ? edit->completer()->popup() : nullptr;
}

// Enter closes the question while its list of names is up: the list goes with it, and the next
// key (F4) reaches the main window, however late the dialog's folder listing comes in.
TEST_F(FileQuestions, EnterWithTheListOfNamesUpClosesTheListToo) {
    for (const char* name : {"goc.DTA", "goc2.DTA", "gocthem.DTA"}) test::WriteFileBytes(work.File(name), "A 1 2\r\n");
    const QString folder = QString::fromStdString(work.Path());
    MainWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    QWidget* list = nullptr;
    bool listShown = false;
    test::OnNextModal([&](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        if (!dialog) {
            modal.close();
            return;
        }
        dialog->setDirectory(folder);
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QApplication::setActiveWindow(dialog);
        edit->setFocus();
        edit->clear();
        list = NameList(*dialog);
        // The folder is listed in the background; type once it is there, as a user sees it.
        for (int i = 0; i < 100 && !(list && list->isVisible()); ++i) {
            edit->clear();
            QTest::keyClicks(edit, QStringLiteral("goc"));
            QTest::qWait(20);
        }
        listShown = list && list->isVisible();
        QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : edit;
        QTest::keyClick(target, Qt::Key_Return);
        if (modal.isVisible()) {
            ADD_FAILURE() << "Enter did not close the question";
            modal.close();
        }
    });
    const auto answer = window.AskOpenName(
        {QStringLiteral("Nhập tên file tọa độ gốc"), InputFileFilter(), QStringLiteral("DTA")});
    ASSERT_TRUE(listShown);
    EXPECT_TRUE(answer.has_value());
    // The listing that arrives after the question has closed must not bring the list back.
    QTest::qWait(300);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

}  // namespace
}  // namespace qef

namespace qef {
namespace {

// Calls `act` on the file dialog once one is up, trying for a while; `done` is set either way.
void WhenFileDialogUp(std::function<void(QFileDialog&)> act, bool& done, int tries = 200) {
    QTimer::singleShot(10, [act = std::move(act), &done, tries]() mutable {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            act(*dialog);
            done = true;
        } else if (tries > 0) {
            WhenFileDialogUp(std::move(act), done, tries - 1);
        } else {
            done = true;
        }
    });
}

void TypeName(QFileDialog& dialog, const QString& typed) {
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QApplication::setActiveWindow(&dialog);
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
}

// A name typed with its folder again ("trav/OBS" while the question stands in trav/) cannot be
// written: the reason is said in Vietnamese with the file's name, and the question comes back in
// the folder the user was in with the name as typed, so the file lands where it was meant.
TEST_F(FileQuestions, AFailedSaveAsksAgainWhereTheUserWas) {
    std::filesystem::create_directory(work.File("trav"));
    const QString trav = QString::fromStdString(work.File("trav"));
    test::ScriptedInteraction ask;
    MainWindow window;
    window.SetInteraction(&ask);
    window.show();
    window.Grid().SetCell(1, 0, "A");
    window.Grid().SetDataRowCount(1);

    bool firstDone = false;
    bool againDone = false;
    QString againFolder;
    QString againName;
    WhenFileDialogUp(
        [&](QFileDialog& dialog) {
            dialog.setDirectory(trav);
            WhenFileDialogUp(
                [&](QFileDialog& again) {
                    againFolder = again.directory().absolutePath();
                    againName = again.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
                    TypeName(again, QStringLiteral("OBS"));
                },
                againDone);
            TypeName(dialog, QStringLiteral("trav/OBS"));
        },
        firstDone);
    window.SaveDocumentAs();
    for (int i = 0; i < 300 && !(firstDone && againDone); ++i) QTest::qWait(10);
    if (QWidget* left = QApplication::activeModalWidget()) left->close();

    ASSERT_EQ(ask.Messages().size(), 1u);
    EXPECT_EQ(ask.Messages()[0], Vn("Không ghi được file ") + work.File("trav/trav/OBS.DTA") +
                                     Vn(" : không tìm thấy thư mục ") + work.File("trav/trav"));
    EXPECT_EQ(againFolder, trav);
    EXPECT_EQ(againName, QStringLiteral("trav/OBS"));
    EXPECT_TRUE(std::filesystem::exists(work.File("trav/OBS.DTA")));
    EXPECT_EQ(window.DataFileName(), trav + QStringLiteral("/OBS.DTA"));
    EXPECT_TRUE(window.DataSaved());
}

}  // namespace
}  // namespace qef
