#include <QAbstractButton>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/InputStep.h"

namespace qef {
namespace {

// What a user reads in a window: labels, buttons and their tips, menu items, column titles, and
// the edit menu of the name field.
QStringList ShownTexts(const QWidget& window) {
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>()) texts << label->text();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        texts << button->text() << button->toolTip();
    for (const QAction* action : window.findChildren<QAction*>()) texts << action->text();
    for (const QHeaderView* header : window.findChildren<QHeaderView*>()) {
        for (int i = 0; i < header->count(); ++i)
            texts << header->model()->headerData(i, header->orientation()).toString();
    }
    for (QLineEdit* edit : window.findChildren<QLineEdit*>()) {
        const std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        for (const QAction* action : menu->actions()) texts << action->text();
    }
    texts.removeAll(QString());
    texts.removeDuplicates();
    return texts;
}

// The words of the texts, without the "&" of a key and a colon at the end; key names ("Ctrl+Z")
// are the same in every language.
QSet<QString> Words(const QStringList& texts) {
    QSet<QString> words;
    for (const QString& text : texts) {
        for (QString word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
            word.remove(QLatin1Char('&'));
            if (word.endsWith(QLatin1Char(':'))) word.chop(1);
            if (!word.contains(QLatin1Char('+')) && word.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
                words.insert(word);
        }
    }
    return words;
}

// Qt's own texts of its file dialog, in both modes, as Qt says them without the program's.
QStringList QtEnglishFileDialogTexts() {
    QCoreApplication::removeTranslator(&QtTextsVi());
    QStringList texts;
    {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        for (const auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
            dialog.setAcceptMode(mode);
            texts << ShownTexts(dialog);
        }
    }
    QCoreApplication::installTranslator(&QtTextsVi());
    texts.removeDuplicates();
    return texts;
}

// Answers the question of the file dialog that `typed` leads to, and says what it read.
void TypeAndReadTheQuestion(QFileDialog& dialog, const QString& typed, QString& question, QStringList& buttons) {
    test::OnNextModal([&question, &buttons](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        if (box) {
            question = box->text();
            for (const QAbstractButton* button : box->buttons()) buttons << button->text().remove(QLatin1Char('&'));
        }
        modal.close();
    });
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QApplication::setActiveWindow(&dialog);
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
}

TEST(VietnameseTexts, StandardButtonsAndEveryTextOfTheFileQuestions) {
    test::EnsureApp();
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok |
                           QMessageBox::Close);
    const std::pair<QMessageBox::StandardButton, const char*> buttons[] = {
        {QMessageBox::Yes, "Có"}, {QMessageBox::No, "Không"}, {QMessageBox::Cancel, "Hủy bỏ"},
        {QMessageBox::Ok, "Đồng ý"}, {QMessageBox::Close, "Đóng"}};
    for (const auto& [button, text] : buttons)
        EXPECT_EQ(box.button(button)->text().remove(QLatin1Char('&')), QString::fromUtf8(text));

    const QStringList english = QtEnglishFileDialogTexts();
    ASSERT_TRUE(english.contains(QStringLiteral("Look in:")) && english.contains(QStringLiteral("Date Modified")));

    test::ScriptedWindow s;
    test::WriteFileBytes(s.dir.File("goc.DTA"), "A 1 2\r\n");
    s.window.OpenNameAsker = nullptr;
    s.window.SaveNameAsker = nullptr;
    const QString folder = QString::fromStdString(s.dir.Path());
    struct Case {
        FileQuestion question;
        bool save;
        QString typed;       // leads to Qt's question
        const char* asks;    // in that question
        QStringList answers;  // its buttons
    };
    const Case cases[] = {
        {{QStringLiteral("Nhập tên file tọa độ gốc"), InputFileFilter(), QStringLiteral("DTA")}, false,
         QStringLiteral("khong.DTA"), "Không tìm thấy file", {QStringLiteral("Đồng ý")}},
        {{QStringLiteral("Nhập tên file kết quả"), ResultFileFilter(false), QStringLiteral("dta")}, true,
         QStringLiteral("goc.DTA"), "đã có", {QStringLiteral("Có"), QStringLiteral("Không")}},
    };
    for (const Case& c : cases) {
        QStringList shown;
        QString question;
        QStringList answers;
        test::OnNextModal([&](QWidget& modal) {
            auto* dialog = qobject_cast<QFileDialog*>(&modal);
            if (dialog) {
                dialog->setDirectory(folder);
                shown = ShownTexts(*dialog);
                TypeAndReadTheQuestion(*dialog, c.typed, question, answers);
            }
            modal.close();
        });
        const auto answer = c.save ? s.window.AskSaveName(c.question) : s.window.AskOpenName(c.question);
        EXPECT_FALSE(answer.has_value());
        // No word of Qt's English is left, not even in a text that Qt puts together.
        EXPECT_GT(shown.size(), 20);
        const QSet<QString> words = Words(shown);
        for (const QString& word : Words(english))
            EXPECT_FALSE(words.contains(word)) << word.toStdString() << " in " << c.question.title.toStdString();
        EXPECT_TRUE(question.contains(QString::fromUtf8(c.asks))) << question.toStdString();
        EXPECT_EQ(answers, c.answers);
    }
}

}  // namespace
}  // namespace qef
