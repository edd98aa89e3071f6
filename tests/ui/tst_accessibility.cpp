// What a screen reader hears from the shared controls: a masked edit's characters as shown,
// a pick-from-list box named by its item and labelled by its label, and a plain top-level
// widget as a window.
#include "lists/tajedit.h"
#include "ui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
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
    void pickListIsNamedByItsItemAndLabelledByItsLabel();
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

void TestAccessibility::pickListIsNamedByItsItemAndLabelledByItsLabel()
{
    QWidget window;
    auto *label = new QLabel(QStringLiteral("Esemény neve:"), &window);
    auto *box = new QComboBox(&window);
    label->setBuddy(box);
    box->addItems({QStringLiteral("Várakozás"), QStringLiteral("Elhunyt")});
    window.show();
    QAccessibleInterface *iface = accessible(box);
    QCOMPARE(iface->role(), QAccessible::ComboBox);
    for (int index : {0, 1, -1}) {
        box->setCurrentIndex(index);
        for (bool enabled : {true, false}) {
            box->setEnabled(enabled);
            // The item shown is the name and the value; with none chosen, the label stands in.
            QCOMPARE(iface->text(QAccessible::Name),
                     index < 0 ? QStringLiteral("Esemény neve:") : box->currentText());
            QCOMPARE(iface->text(QAccessible::Value), box->currentText());
            const auto labels = iface->relations(QAccessible::Label);
            QCOMPARE(labels.size(), 1);
            QCOMPARE(labels.first().first->object(), static_cast<QObject *>(label));
        }
    }
    // The list that drops down is within reach, with the chosen item among its children.
    QAccessibleInterface *list = nullptr;
    for (int i = 0; i < iface->childCount(); ++i) {
        if (iface->child(i)->object() == box->view())
            list = iface->child(i);
    }
    QVERIFY(list);
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
