// Every text a user reads in the program's windows is Vietnamese, but for the English captions
// the program has always had: the main window with all its dialogs, and Qt's print dialog with
// its options and the printer's properties.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"

namespace qef {
namespace {

struct Shown {
    QString text;
    QString where;  // the object's name and what kind of text it is
};

// What the user reads on a widget and everything in it: window titles, labels, buttons, group and
// tab titles, menu titles, column titles, and every tool tip; actions with their tips.
std::vector<Shown> ShownTexts(const QWidget& root) {
    std::vector<Shown> texts;
    const auto add = [&texts](const QString& text, const QObject& object, const char* kind) {
        if (!text.trimmed().isEmpty()) texts.push_back({text, object.objectName() + QStringLiteral(" (") + kind + ")"});
    };
    QList<const QWidget*> widgets{&root};
    for (const QWidget* w : root.findChildren<QWidget*>()) widgets << w;
    for (const QWidget* w : widgets) {
        if (w->isWindow()) add(w->windowTitle(), *w, "title");
        add(w->toolTip(), *w, "tip");
        if (auto* label = qobject_cast<const QLabel*>(w)) add(label->text(), *w, "label");
        if (auto* button = qobject_cast<const QAbstractButton*>(w)) add(button->text(), *w, "button");
        if (auto* group = qobject_cast<const QGroupBox*>(w)) add(group->title(), *w, "group");
        if (auto* menu = qobject_cast<const QMenu*>(w)) add(menu->title(), *w, "menu");
        if (auto* tabs = qobject_cast<const QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i), *w, "tab");
        }
        if (auto* header = qobject_cast<const QHeaderView*>(w); header && header->model()) {
            for (int i = 0; i < header->count(); ++i)
                add(header->model()->headerData(i, header->orientation()).toString(), *w, "column");
        }
    }
    for (const QAction* action : root.findChildren<QAction*>()) {
        add(action->text(), *action, "action");
        add(action->toolTip(), *action, "action tip");
    }
    return texts;
}

QString Plain(QString text) { return text.remove(QLatin1Char('&')).trimmed(); }

// The English captions the program's menus, toolbar tips and dialogs have always shown.
bool OwnCaption(const QString& text) {
    static const QSet<QString> captions = {
        QStringLiteral("File"),    QStringLiteral("New"),      QStringLiteral("Open"),  QStringLiteral("Save"),
        QStringLiteral("Save As"), QStringLiteral("Exit"),     QStringLiteral("Cut"),   QStringLiteral("Copy"),
        QStringLiteral("Paste"),   QStringLiteral("Delete"),   QStringLiteral("About"), QStringLiteral("Print"),
        QStringLiteral("OK"),      QStringLiteral("Cancel"),   QStringLiteral("Close"), QStringLiteral("File ..."),
        QStringLiteral("Layer :"), QStringLiteral("Batdau"),   QStringLiteral("Ketthuc")};
    return captions.contains(Plain(text));
}

// Words that say a text is English: those of Qt's own dialogs as Qt says them, and the words of
// a window's controls; a name written together ("LeftAlign") and a tip of one letter ("B") are
// names of controls, not texts for the user.
bool LooksEnglish(const QString& text, bool tip, const QSet<QString>& english, QString& word) {
    const QString plain = Plain(text);
    if (tip && plain.size() == 1 && plain.at(0).isLetter() && plain.at(0).unicode() < 128) {
        word = plain;
        return true;
    }
    static const QRegularExpression joined(QStringLiteral("^[A-Z][a-z]+[A-Z][A-Za-z]*$"));
    for (QString w : plain.split(QRegularExpression(QStringLiteral("[\\s,.;:()<>/]+")), Qt::SkipEmptyParts)) {
        if ((joined.match(w).hasMatch() && w != QStringLiteral("AutoCAD")) || english.contains(w.toLower())) {
            word = w;
            return true;
        }
    }
    return false;
}

QSet<QString> WordsOf(const std::vector<Shown>& texts) {
    QSet<QString> words;
    for (const Shown& shown : texts) {
        for (const QString& w : Plain(shown.text).split(QRegularExpression(QStringLiteral("[\\s,.;:()<>/]+")),
                                                        Qt::SkipEmptyParts))
            if (w.contains(QRegularExpression(QStringLiteral("^[A-Za-z]{2,}$")))) words.insert(w.toLower());
    }
    return words;
}

// The print dialog, opened out: options shown and, when it can be had, the printer's properties.
std::vector<Shown> PrintDialogTexts(QWidget* parent) {
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    std::vector<Shown> texts;
    test::OnNextModal([&texts](QWidget& modal) {
        for (QPushButton* button : modal.findChildren<QPushButton*>()) {
            if (button->text().contains(QStringLiteral(">>"))) button->click();
        }
        texts = ShownTexts(modal);
        if (auto* properties = modal.findChild<QPushButton*>(QStringLiteral("properties")); properties && properties->isEnabled()) {
            test::OnNextModal([&texts](QWidget& sheet) {
                const std::vector<Shown> more = ShownTexts(sheet);
                texts.insert(texts.end(), more.begin(), more.end());
                sheet.close();
            });
            properties->click();
        }
        modal.close();
    });
    dialog.exec();
    return texts;
}

// English that Qt's dialogs say without the program's translation: the words to look for. Before
// the program's windows exist: taking the translation out and back retranslates every window.
QSet<QString> QtEnglishWords() {
    QCoreApplication::removeTranslator(&QtTextsVi());
    QSet<QString> words = WordsOf(PrintDialogTexts(nullptr));
    QCoreApplication::installTranslator(&QtTextsVi());
    QCoreApplication::processEvents();
    // Words of the controls the program itself could leave in English.
    for (const char* w : {"new", "open", "save", "print", "align", "left", "right", "center", "bold", "italic",
                          "underline", "modified", "row", "col", "max", "help", "edit", "view", "exit", "about",
                          "properties", "options", "printer", "name", "start", "end", "close", "cancel", "yes",
                          "form", "dialog", "button", "label", "size", "error", "warning", "folder", "view", "type"})
        words.insert(QString::fromLatin1(w));
    // Vietnamese texts of the program use these too.
    for (const char* w : {"file", "pdf", "dxf", "acad", "grad", "tab", "enter", "in", "to", "text", "font"})
        words.remove(QString::fromLatin1(w));
    return words;
}

TEST(ShownTexts, EveryWidgetOfEveryWindowReadsVietnamese) {
    test::EnsureApp();
    const QSet<QString> english = QtEnglishWords();
    MainWindow window;
    window.CreateDialogs();
    window.show();
    ASSERT_TRUE(english.contains(QStringLiteral("printer")) && english.contains(QStringLiteral("collate")));

    std::vector<Shown> texts = ShownTexts(window);
    const std::vector<Shown> print = PrintDialogTexts(&window);
    ASSERT_GT(print.size(), 30u);
    texts.insert(texts.end(), print.begin(), print.end());
    EXPECT_GT(texts.size(), 500u);
    for (const Shown& shown : texts) {
        QString word;
        if (!OwnCaption(shown.text) && LooksEnglish(shown.text, shown.where.endsWith(QStringLiteral("tip)")), english, word))
            ADD_FAILURE() << "\"" << shown.text.toStdString() << "\" (" << word.toStdString() << ") in "
                          << shown.where.toStdString();
    }
}

}  // namespace
}  // namespace qef
