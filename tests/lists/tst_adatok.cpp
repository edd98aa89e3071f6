// The member dialog: its controls and their order, the event names it is filled with, and
// which close requests it grants.
#include "department.h"
#include "dialogsteps.h"
#include "gridtext.h"
#include "messagerecorder.h"
#include "typing.h"

#include "db/clock.h"
#include "lists/listselection.h"
#include "lists/ufrmAdatok.h"
#include "rules/member.h"
#include "rules/messages.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

QColor tajColour(QDialog *d)
{
    return child<QLineEdit>(d, u"eTaj"_s)->palette().color(QPalette::Base);
}

// Focus events reach the controls only in the active window.
void activate(QDialog *d)
{
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d));
}

void typeTaj(QDialog *d, const QString &digits)
{
    auto *taj = child<QLineEdit>(d, u"eTaj"_s);
    taj->setFocus();
    taj->setCursorPosition(0);
    QTest::keyClicks(taj, digits);
}

QStringList tabChain(QDialog *d)
{
    QStringList names;
    QWidget *w = d->nextInFocusChain();
    while (w && w != d) {
        // A date picker's own line edit hands its focus to the picker: no control of its own.
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy())
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
    void closeRequests_data();
    void closeRequests();
    void newEntrySavedAsTyped();
    void eventSavedWithLogAfterTransaction_data();
    void eventSavedWithLogAfterTransaction();
    void failedSaveKeepsInput_data();
    void failedSaveKeepsInput();
    void enterMovesFocus_data();
    void enterMovesFocus();
    void tajValidityInColourAndWords();
    void eventBoxIsNamedByItsEventAndLabelledByItsLabel();
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
    // At most 50 characters, as the database counts them.
    auto *nev = child<QLineEdit>(&dialog, u"eNev"_s);
    nev->setText(QString(51, u'ő'));
    QCOMPARE(nev->text(), QString(50, u'ő'));
}

void TestAdatok::closeRequests_data()
{
    QTest::addColumn<bool>("failedOk");
    QTest::addColumn<QString>("how");
    QTest::newRow("Mégsem") << false << "cancel";
    QTest::newRow("Esc") << false << "escape";
    QTest::newRow("close box") << false << "close";
    QTest::newRow("close box after a failed OK: refused") << true << "close";
    QTest::newRow("Mégsem after a failed OK") << true << "cancel";
}

void TestAdatok::closeRequests()
{
    QFETCH(bool, failedOk);
    QFETCH(QString, how);
    Department dep;
    TfrmAdatok dialog(dep.state, &dep.mainWidget);
    dialog.fill(rules::newEntryFill(today));
    MessageRecorder messages;
    ModalDriver driver;
    QString firstFocus;
    QString focusAfterOk;
    bool closed = false;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        // In new-entry mode the first control that can take the focus is the TAJ edit.
        firstFocus = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        auto *nev = child<QLineEdit>(d, u"eNev"_s);
        typeText(nev, u"Szőke Ügyes"_s);
        child<QDateEdit>(d, u"dtpListara"_s)->setDate(today.addDays(1));
        if (failedOk) {
            press(d, u"btnOK"_s);
            focusAfterOk = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        }
        if (how == u"cancel")
            press(d, u"btnCancel"_s);
        else if (how == u"escape")
            QTest::keyClick(nev, Qt::Key_Escape);
        else
            d->close();
        closed = !d->isVisible();
        if (!closed)
            press(d, u"btnCancel"_s);
    });
    QCOMPARE(ui::execModal(&dialog), int(ui::mrCancel));
    QCOMPARE(firstFocus, u"eTaj"_s);
    QCOMPARE(closed, !(failedOk && how == u"close"));
    if (failedOk) {
        // The first failing check alone, with the focus on its control.
        QCOMPARE(messages.texts(), QStringList{rules::message::tajEmpty.toString()});
        QCOMPARE(focusAfterOk, u"eTaj"_s);
    } else {
        QVERIFY(messages.texts().isEmpty());
    }
    QVERIFY(rows(dep.state.connection(), u"SELECT * FROM LISTA"_s).isEmpty());
}

void TestAdatok::newEntrySavedAsTyped()
{
    Department dep;
    dep.state.setAktBeavtip(12);
    MessageRecorder messages;
    ModalDriver driver;
    QColor colourAfterLeaving;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        activate(d);
        typeTaj(d, u"123456789"_s); // a wrong check digit: red, saved all the same
        auto *nev = child<QLineEdit>(d, u"eNev"_s);
        nev->setFocus();
        colourAfterLeaving = tajColour(d);
        typeText(nev, u"O'Brien Őrsné Ű "_s);
        child<QDateEdit>(d, u"dtpListara"_s)->setDate(today.addDays(-3));
        QTest::mouseClick(child<QRadioButton>(d, u"rgSurgos0"_s), Qt::LeftButton);
        press(d, u"btnOK"_s);
    });
    QStringList shown;
    bool esemEnabled = false;
    onListManager(driver, [&](QDialog *d) {
        press(d, u"bbUjTag"_s);
        shown = gridColumn(child<QAbstractItemView>(d, u"dbgLista"_s), u"Név"_s);
        esemEnabled = child<QPushButton>(d, u"bbEsem"_s)->isEnabled();
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(colourAfterLeaving, QColor(255, 0, 0));
    QVERIFY(messages.texts().isEmpty());
    const QList<QVariantList> saved
        = rows(dep.state.connection(),
               u"SELECT BEAVTIP_KOD, TAJ, NEV, LISTARA_DATUM, SURGOSSEG, ESEM_KOD, "
               u"ESEM_DATUM, INS_DATE FROM LISTA"_s);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved[0],
             (QVariantList{qint64(12), u"123456789"_s, u"O'Brien Őrsné Ű "_s, u"2026-03-07"_s,
                           u"A"_s, u"VAR"_s, u"2026-03-10"_s, u"2026-03-10"_s}));
    // Read again at once: the new member is shown and can get an event.
    QCOMPARE(shown, QStringList{u"O'Brien Őrsné Ű "_s});
    QVERIFY(esemEnabled);
}

void TestAdatok::eventSavedWithLogAfterTransaction_data()
{
    QTest::addColumn<bool>("logWritable");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("logRows");
    QTest::newRow("log written") << true << QStringList{} << 1;
    QTest::newRow("log refused") << false << QStringList{rules::message::logFailed.toString()} << 0;
}

void TestAdatok::eventSavedWithLogAfterTransaction()
{
    QFETCH(bool, logWritable);
    QFETCH(QStringList, messages);
    QFETCH(int, logRows);
    Department dep;
    dep.state.setAktBeavtip(1);
    dep.entry(1, u"111111110"_s, QDate(2026, 1, 1));
    const qint64 patient
        = dep.entry(1, u"123456788"_s, QDate(2026, 2, 1), u"VAR"_s, u"Nagy Ödön"_s, u"H"_s);
    if (!logWritable)
        testsupport::refuseWrites(dep.state.connection(), u"naplo_tele"_s, u"INSERT"_s, u"LOG"_s,
                                  u"a napló nem írható"_s);
    MessageRecorder recorder;
    bool messageDuringTransaction = false;
    recorder.onMessage([&](const MessageRecorder::Message &) {
        messageDuringTransaction
            = messageDuringTransaction || dep.state.connection().inTransaction();
    });
    ModalDriver driver;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        // The entry's own date, so only the event changes.
        child<QDateEdit>(d, u"dtpEsemDatum"_s)->setDate(QDate(2026, 2, 1));
        auto *event = child<QComboBox>(d, u"cbEsemenynev"_s);
        event->setCurrentIndex(event->findText(u"Beavatkozás megtörtént"_s));
        press(d, u"btnOK"_s);
    });
    QStringList remaining;
    onListManager(driver, [&](QDialog *d) {
        auto *grid = child<QAbstractItemView>(d, u"dbgLista"_s);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        press(d, u"bbEsem"_s);
        remaining = gridColumn(grid, u"TAJ"_s);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(recorder.texts(), messages);
    QVERIFY(!messageDuringTransaction);
    QCOMPARE(rows(dep.state.connection(),
                  u"SELECT MEZO, REGI_ERTEK, UJ_ERTEK FROM LOG WHERE HIV_SZAM = %1"_s.arg(patient))
                 .size(),
             logRows);
    // The entry left the list: gone from the grid as soon as the dialog closed.
    QCOMPARE(remaining, QStringList{u"111111110"_s});
    QCOMPARE(
        rows(dep.state.connection(),
             u"SELECT ESEM_KOD, ESEM_DATUM, TAJ, NEV, SURGOSSEG FROM LISTA WHERE HIV_SZAM = %1"_s
                 .arg(patient))
            .value(0),
        (QVariantList{u"BEA"_s, u"2026-02-01"_s, u"123456788"_s, u"Nagy Ödön"_s, u"H"_s}));
}

void TestAdatok::failedSaveKeepsInput_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("new entry, INSERT refused") << "INSERT";
    QTest::newRow("event, UPDATE refused") << "UPDATE";
}

void TestAdatok::failedSaveKeepsInput()
{
    QFETCH(QString, mode);
    Department dep;
    dep.state.setAktBeavtip(1);
    dep.entry(1, u"123456788"_s, QDate(2026, 2, 1));
    testsupport::refuseWrites(dep.state.connection(), u"lista_zarva"_s, mode, u"LISTA"_s,
                              u"a lista zárolva"_s);
    MessageRecorder recorder;
    ModalDriver driver;
    bool openAfterError = false;
    QString nameAfterError;
    QString eventAfterError;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        auto *event = child<QComboBox>(d, u"cbEsemenynev"_s);
        if (mode == u"INSERT") {
            typeTaj(d, u"012345678"_s);
            typeText(child<QLineEdit>(d, u"eNev"_s), u"Új Ödön"_s);
            QTest::mouseClick(child<QRadioButton>(d, u"rgSurgos1"_s), Qt::LeftButton);
        } else {
            event->setCurrentIndex(event->findText(u"Elhunyt"_s));
        }
        press(d, u"btnOK"_s);
        openAfterError = d->isVisible();
        nameAfterError = child<QLineEdit>(d, u"eNev"_s)->text();
        eventAfterError = event->currentText();
        press(d, u"btnCancel"_s);
    });
    onListManager(driver,
                  [&](QDialog *d) { press(d, mode == u"INSERT" ? u"bbUjTag"_s : u"bbEsem"_s); });
    lists::OpenListManager(dep.state);
    QVERIFY(openAfterError);
    if (mode == u"INSERT") {
        QCOMPARE(nameAfterError, u"Új Ödön"_s);
        QCOMPARE(eventAfterError, u"Várakozás"_s);
    } else {
        QCOMPARE(eventAfterError, u"Elhunyt"_s);
    }
    QCOMPARE(recorder.count(), 1);
    QVERIFY(recorder.messages().constFirst().kind == ui::MessageKind::Error);
    QVERIFY(recorder.last().contains(u"a lista zárolva"_s));
    QVERIFY(rows(dep.state.connection(), u"SELECT * FROM LOG"_s).isEmpty());
    QCOMPARE(rows(dep.state.connection(), u"SELECT ESEM_KOD FROM LISTA"_s),
             (QList<QVariantList>{{u"VAR"_s}}));
}

void TestAdatok::enterMovesFocus_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("to"); // empty: the dialog has closed
    const int shift = Qt::ShiftModifier;
    QTest::newRow("Enter in eNev") << "eNev" << 0 << "dtpListara";
    QTest::newRow("Shift+Enter in eNev") << "eNev" << shift << "eTaj";
    QTest::newRow("Ctrl+Shift+Enter in eNev")
        << "eNev" << int(shift | Qt::ControlModifier) << "dtpListara";
    QTest::newRow("Shift+Enter in the first control wraps") << "eTaj" << shift << "btnCancel";
    QTest::newRow("Enter in dtpEsemDatum skips the disabled event box")
        << "dtpEsemDatum" << 0 << "btnOK";
    QTest::newRow("Shift+Enter in dtpEsemDatum") << "dtpEsemDatum" << shift << "rgSurgos1";
    QTest::newRow("Enter on the urgency does nothing") << "rgSurgos1" << 0 << "rgSurgos1";
    QTest::newRow("Enter on Mégsem presses it") << "btnCancel" << 0 << "";
}

void TestAdatok::enterMovesFocus()
{
    QFETCH(QString, from);
    QFETCH(int, modifiers);
    QFETCH(QString, to);
    Department dep;
    TfrmAdatok dialog(dep.state, &dep.mainWidget);
    dialog.fill(rules::newEntryFill(today));
    MessageRecorder messages;
    ModalDriver driver;
    QString focused;
    bool closed = false;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        activate(d);
        QWidget *start = child<QWidget>(d, from);
        start->setFocus();
        QTest::keyClick(start, Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        closed = !d->isVisible();
        focused = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        if (d->isVisible())
            press(d, u"btnCancel"_s);
    });
    ui::execModal(&dialog);
    QCOMPARE(closed, to.isEmpty());
    if (!closed)
        QCOMPARE(focused, to);
    QVERIFY(messages.texts().isEmpty());
}

void TestAdatok::tajValidityInColourAndWords()
{
    Department dep;
    TfrmAdatok dialog(dep.state, &dep.mainWidget);
    dialog.fill(rules::newEntryFill(today));
    ModalDriver driver;
    QList<QColor> colours;
    QStringList words;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        activate(d);
        auto *nev = child<QLineEdit>(d, u"eNev"_s);
        auto *taj = child<QLineEdit>(d, u"eTaj"_s);
        // What a screen reader is told besides the field's name and digits.
        const auto told = [taj] {
            return QAccessible::queryAccessibleInterface(taj)->text(QAccessible::Description);
        };
        const QColor before = tajColour(d);
        words << told();
        taj->setFocus();
        nev->setFocus(); // left empty
        colours << tajColour(d);
        words << told();
        typeTaj(d, u"012345678"_s);
        colours << tajColour(d); // still red while the focus is in the field
        words << told();
        nev->setFocus();
        colours << tajColour(d);
        words << told();
        colours << before;
        press(d, u"btnCancel"_s);
    });
    ui::execModal(&dialog);
    const QColor red(255, 0, 0);
    const QColor lime(0, 255, 0);
    QCOMPARE(colours.mid(0, 3), (QList<QColor>{red, red, lime}));
    QVERIFY(colours.value(3) != red && colours.value(3) != lime);
    QCOMPARE(words, (QStringList{QString(), u"érvénytelen TAJ-szám"_s, u"érvénytelen TAJ-szám"_s,
                                 u"érvényes TAJ-szám"_s}));
}

void TestAdatok::eventBoxIsNamedByItsEventAndLabelledByItsLabel()
{
    Department dep;
    rules::MemberFill eventMode = rules::newEntryFill(today);
    eventMode.newEntry = false;
    eventMode.hivSzam = u"7"_s;
    eventMode.taj = u"123456788"_s;
    eventMode.eventName.clear();
    for (const rules::MemberFill &fill : {rules::newEntryFill(today), eventMode}) {
        TfrmAdatok dialog(dep.state, &dep.mainWidget);
        dialog.fill(fill);
        dialog.show();
        auto *events = child<QComboBox>(&dialog, u"cbEsemenynev"_s);
        QCOMPARE(events->currentText().isEmpty(), !fill.newEntry);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(events);
        // The event chosen is what a screen reader says first; with none chosen, the label.
        QCOMPARE(iface->text(QAccessible::Name),
                 fill.newEntry ? u"Várakozás"_s : u"Esemény neve:"_s);
        QCOMPARE(iface->text(QAccessible::Value), events->currentText());
        // Labelled by its own label (and by its group's title, as Qt adds).
        QStringList labels;
        for (const auto &relation : iface->relations(QAccessible::Label))
            labels << relation.first->text(QAccessible::Name);
        QVERIFY2(labels.contains(u"Esemény neve:"_s), qPrintable(labels.join(u'|')));
    }
}

QTEST_MAIN(TestAdatok)
#include "tst_adatok.moc"
