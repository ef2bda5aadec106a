// Tab walks a dialog's controls where they stand on the screen, not in the order the code made them.
#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QTest>

#include "GuiTestSupport.h"

namespace qef {
namespace {

struct Stop {
    QWidget* widget;
    QRect place;  // in the dialog, as it stood when shown
    const QWidget* group;  // the nearest group box around it; nullptr for none
};

QString NameOf(const QWidget* widget) {
    if (!widget->objectName().isEmpty()) return widget->objectName();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    return QString::fromLatin1(widget->metaObject()->className());
}

// Shows the dialog and presses Tab from where it opens until the focus comes back there.
std::vector<Stop> Walk(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    std::vector<Stop> stops;
    QWidget* first = QApplication::focusWidget();
    for (QWidget* at = first; at != nullptr && stops.size() < 80;) {
        const QWidget* group = nullptr;
        for (QWidget* p = at->parentWidget(); p != nullptr && group == nullptr; p = p->parentWidget())
            group = qobject_cast<QGroupBox*>(p);
        stops.push_back({at, QRect(at->mapTo(&dialog, QPoint(0, 0)), at->size()), group});
        QTest::keyClick(at, Qt::Key_Tab);
        QApplication::processEvents();
        at = QApplication::focusWidget();
        if (at == first) break;
    }
    dialog.hide();
    return stops;
}

QStringList Names(const std::vector<Stop>& stops) {
    QStringList names;
    for (const Stop& stop : stops) names << NameOf(stop.widget);
    return names;
}

QDialog* DialogNamed(MainWindow& window, const char* name) {
    return window.findChild<QDialog*>(QString::fromLatin1(name));
}

// The three dialogs whose controls were made column by column or out of place, walked from where
// they open; the orders below are read off their layouts by eye.
TEST(TabOrder, GridsAreWalkedRowByRowAndGroupsInTheirPlace) {
    test::CommandWindow s;
    // The drawing options: check box, text height, layer on each row; the disabled boxes of the
    // default modes are no stops.
    EXPECT_EQ(Names(Walk(*DialogNamed(s.window, "FVoiAutoCAD"))),
              QStringList({"CB_VeSDluoi0", "EcaotextL1", "UD_Layer1", "CB_VeSDluoi1", "EcaotextL2", "UD_Layer2",
                           "ECaotextL3", "ECaotextC", "Button1", "Button2"}));

    // The calculator: each point's row starts with its check box; "Tính" stands left of the result.
    const QStringList calculator = Names(Walk(*DialogNamed(s.window, "Fphantoado")));
    ASSERT_FALSE(calculator.isEmpty());
    EXPECT_EQ(calculator.mid(1), QStringList({"CBd1", "Ed1", "EXd1", "EYd1", "CBd2", "Ed2", "EXd2", "EYd2", "Btinh",
                                              "kq1", "SG1", "Bfile", "Button2"}));

    // The raw conversion: the instrument list heads the left column, before the right one.
    const QStringList conversion = Names(Walk(*DialogNamed(s.window, "xlslt3")));
    ASSERT_GE(conversion.size(), 2);
    EXPECT_EQ(conversion.front(), QStringLiteral("LBloaimay"));
    EXPECT_EQ(conversion.indexOf(QStringLiteral("LBloaimay")), conversion.lastIndexOf(QStringLiteral("LBloaimay")));
    EXPECT_EQ(conversion.back(), QStringLiteral("XlslExit"));
}

// In every dialog of the window, two controls of one group that stand on one line are reached
// left one first, and two that stand one above the other in one column, upper one first.
TEST(TabOrder, EveryDialogWalksEachGroupLeftToRightAndDownwards) {
    test::CommandWindow s;
    int walked = 0;
    for (QDialog* dialog : s.window.findChildren<QDialog*>()) {
        if (!dialog->isWindow() || dialog->parentWidget() != &s.window) continue;
        // Qt's own file dialogs keep Qt's order, which starts at the file name.
        if (!QString::fromLatin1(dialog->metaObject()->className()).startsWith(QStringLiteral("qef::"))) continue;
        SCOPED_TRACE(dialog->objectName().toStdString());
        const std::vector<Stop> stops = Walk(*dialog);
        ++walked;
        for (std::size_t i = 0; i < stops.size(); ++i) {
            for (std::size_t j = i + 1; j < stops.size(); ++j) {
                const Stop& a = stops[i];
                const Stop& b = stops[j];
                if (a.group != b.group) continue;
                const int rows = std::min(a.place.bottom(), b.place.bottom()) - std::max(a.place.top(), b.place.top());
                const int columns =
                    std::min(a.place.right(), b.place.right()) - std::max(a.place.left(), b.place.left());
                const std::string pair = NameOf(a.widget).toStdString() + " then " + NameOf(b.widget).toStdString();
                if (rows > std::min(a.place.height(), b.place.height()) / 2) {
                    EXPECT_LT(a.place.left(), b.place.left()) << pair;
                } else if (columns > 0) {
                    EXPECT_LT(a.place.top(), b.place.top()) << pair;
                }
            }
        }
    }
    EXPECT_GE(walked, 10);
}

}  // namespace
}  // namespace qef
