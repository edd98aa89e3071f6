// The member dialog: its controls and their order, the event names it is filled with, and
// which close requests it grants.
#include "department.h"
#include "messagerecorder.h"
#include "typing.h"

#include "db/clock.h"
#include "lists/member.h"
#include "lists/ufrmAdatok.h"
#include "ui/modal.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

QStringList tabChain(QDialog *d)
{
    QStringList names;
    QWidget *w = d->nextInFocusChain();
    while (w && w != d) {
        // A date picker's own line edit is the picker's focus proxy, not a control of its own.
        const bool proxy
            = w->focusProxy() || (w->parentWidget() && w->parentWidget()->focusProxy() == w);
        if ((w->focusPolicy() & Qt::TabFocus) && !proxy)
            names << w->objectName();
        w = w->nextInFocusChain();
    }
    return names;
}
} // namespace

class TestAdatok : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(8, 0))); }
    void cleanup()
    {
        db::setFixedNow({});
        QCOMPARE(ui::takeForcedCloses(), 0);
    }
    void controlsInTabOrderWithEventNames();
    void cancelPathsClose_data();
    void cancelPathsClose();
};

void TestAdatok::controlsInTabOrderWithEventNames()
{
    Department dep;
    TfrmAdatok dialog(dep.state, &dep.mainWidget);
    QCOMPARE(dialog.windowTitle(), u"Adatok"_s);
    QCOMPARE(tabChain(&dialog), (QStringList{u"eHivSzam"_s, u"eTaj"_s, u"eNev"_s, u"dtpListara"_s,
                                             u"rgSurgos0"_s, u"rgSurgos1"_s, u"cbEsemenynev"_s,
                                             u"dtpEsemDatum"_s, u"btnOK"_s, u"btnCancel"_s}));
    auto *events = child<QComboBox>(&dialog, u"cbEsemenynev"_s);
    QStringList names;
    for (int i = 0; i < events->count(); ++i)
        names << events->itemText(i);
    QCOMPARE(names,
             (QStringList{u"Várakozás"_s, u"Halasztva a beteg kérésére"_s,
                          u"Beavatkozás megtörtént"_s, u"Levéve a beteg kérésére"_s, u"Elhunyt"_s,
                          u"Más intézménybe áthelyezve"_s, u"Nem jelent meg"_s}));
    auto *hivSzam = child<QLineEdit>(&dialog, u"eHivSzam"_s);
    QVERIFY(hivSzam->isReadOnly());
    QVERIFY(!hivSzam->isEnabled());
    QCOMPARE(child<QLineEdit>(&dialog, u"eNev"_s)->maxLength(), 50);
}

void TestAdatok::cancelPathsClose_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Mégsem") << "button";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close box") << "close";
}

void TestAdatok::cancelPathsClose()
{
    QFETCH(QString, how);
    Department dep;
    TfrmAdatok dialog(dep.state, &dep.mainWidget);
    dialog.fill(lists::newEntryFill(today));
    MessageRecorder messages;
    ModalDriver driver;
    bool okEnabled = true;
    QString focused;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        // In new-entry mode the first control that can take the focus is the TAJ edit.
        focused = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        okEnabled = child<QPushButton>(d, u"btnOK"_s)->isEnabled();
        typeText(child<QLineEdit>(d, u"eNev"_s), u"Szőke Ügyes"_s);
        if (how == u"button")
            QTest::mouseClick(child<QPushButton>(d, u"btnCancel"_s), Qt::LeftButton);
        else if (how == u"escape")
            QTest::keyClick(child<QLineEdit>(d, u"eNev"_s), Qt::Key_Escape);
        else
            d->close();
    });
    const int result = ui::execModal(&dialog);
    QCOMPARE(result, int(ui::mrCancel));
    QCOMPARE(focused, u"eTaj"_s);
    QVERIFY(!okEnabled);
    QVERIFY(messages.texts().isEmpty());
}

QTEST_MAIN(TestAdatok)
#include "tst_adatok.moc"
