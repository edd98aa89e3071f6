// What a screen reader hears from the shared controls: a masked edit's characters as shown,
// a pick-from-list box under one name, and a plain top-level widget as a window.
#include "lists/tajedit.h"
#include "ui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QTest>

namespace {
QAccessibleInterface *accessible(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    Q_ASSERT(iface);
    return iface;
}
} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::installAccessibility(); }
    void tajEditReadsDigitsAsShown_data();
    void tajEditReadsDigitsAsShown();
    void pickListKeepsItsNameWhateverItShows();
    void plainTopLevelWidgetIsWindowWithTitle();
};

void TestAccessibility::tajEditReadsDigitsAsShown_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("leading and trailing zeros") << "015415280"
                                                << "015-415-280";
    QTest::newRow("nothing typed") << ""
                                   << "000-000-000";
    QTest::newRow("part typed") << "12"
                                << "120-000-000";
    QTest::newRow("all zeros typed") << "000000000"
                                     << "000-000-000";
}

void TestAccessibility::tajEditReadsDigitsAsShown()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    lists::TajEdit edit(QStringLiteral("eTaj"));
    edit.setAccessibleName(QStringLiteral("TAJ"));
    edit.show();
    edit.setFocus();
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.displayText(), shown);
    QAccessibleInterface *iface = accessible(&edit);
    QCOMPARE(iface->role(), QAccessible::EditableText);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("TAJ"));
    QCOMPARE(iface->text(QAccessible::Value), shown);
    QAccessibleTextInterface *text = iface->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), int(shown.size()));
    QCOMPARE(text->text(0, text->characterCount()), shown);
    int start = -1;
    int end = -1;
    QCOMPARE(text->textAtOffset(4, QAccessible::CharBoundary, &start, &end), shown.mid(4, 1));
    QVERIFY(text->characterRect(0).width() > 0);
    QCOMPARE(text->offsetAtPoint(text->characterRect(5).center()), 5);
}

void TestAccessibility::pickListKeepsItsNameWhateverItShows()
{
    QComboBox box;
    box.addItems({QStringLiteral("Várakozás"), QStringLiteral("Elhunyt")});
    box.setAccessibleName(QStringLiteral("Esemény neve"));
    box.show();
    QAccessibleInterface *iface = accessible(&box);
    QCOMPARE(iface->role(), QAccessible::ComboBox);
    for (int index : {0, -1, 1}) {
        box.setCurrentIndex(index);
        for (bool enabled : {true, false}) {
            box.setEnabled(enabled);
            QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Esemény neve"));
            QCOMPARE(iface->text(QAccessible::Value), box.currentText());
        }
    }
    // The list that drops down is still within reach.
    QCOMPARE(iface->childCount(), 1);
    QCOMPARE(iface->child(0)->object(), static_cast<QObject *>(box.view()));
}

void TestAccessibility::plainTopLevelWidgetIsWindowWithTitle()
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Várólista kezelő és jelentő program  1234"));
    window.show();
    QAccessibleInterface *iface = accessible(&window);
    QCOMPARE(iface->role(), QAccessible::Window);
    QCOMPARE(iface->text(QAccessible::Name), window.windowTitle());
    // A plain widget inside a window stays what Qt makes of it.
    auto *inner = new QWidget(&window);
    QVERIFY(accessible(inner)->role() != QAccessible::Window);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
