// The help document against the action table: a user who finds a command in a menu, a bar or by
// its key finds it described in the help under the same words.
#include <QFile>
#include <QTextDocument>
#include <string>

#include "GuiTestSupport.h"
#include "gui/ActionTable.h"

namespace qef {
namespace {

QString HelpText() {
    QFile file(QStringLiteral(QEF_TEST_DATA "/../../src/gui/help/qef.html"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "help document not found";
    test::EnsureApp();
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(file.readAll()));
    return doc.toPlainText().simplified();
}

// The words a menu shows: without the mnemonic's & and a trailing "...".
QString ShownWords(const char* text) {
    QString words = QString::fromUtf8(text).remove(QLatin1Char('&')).trimmed();
    while (words.endsWith(QLatin1Char('.')) || words.endsWith(QChar(0x2026))) words.chop(1);
    return words.simplified();
}

TEST(Help, NamesEveryCommandOfTheMenusAndKeys) {
    const QString help = HelpText();
    ASSERT_FALSE(help.isEmpty());
    int named = 0;
    for (const ActionRow& row : MainWindowActions()) {
        // Commands, not the bars' switches and controls (the help tells those by their group).
        if (row.Widget || row.Text == nullptr || row.Menu == MenuId::None) continue;
        const QString words = ShownWords(row.Text);
        EXPECT_TRUE(help.contains(words, Qt::CaseInsensitive)) << row.Name << ": " << words.toStdString();
        ++named;
    }
    EXPECT_GT(named, 40);
    // Printing is on a bar and a key only.
    EXPECT_TRUE(help.contains(QStringLiteral("Ctrl+P")));
}

}  // namespace
}  // namespace qef
