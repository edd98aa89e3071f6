// The member dialog's rules without its window: the TAJ check digit and the TAJ edit's
// reading, the input checks in their order, and saving an event with its LOG rows.
#include "department.h"
#include "serverdatabase.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/statement.h"
#include "db/statements.h"
#include "lists/membersave.h"
#include "lists/tajedit.h"
#include "rules/messages.h"
#include "rules/taj.h"

#include <QTest>

#include <memory>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

std::unique_ptr<db::Dataset> openMembers(db::Connection &connection, int list)
{
    auto members = std::make_unique<db::Dataset>();
    members->setConnection(&connection);
    members->setSql(db::statements::memberQuery());
    members->setFields(db::fields::members());
    members->setParameter(u"Aktbeavtip"_s, list);
    members->open();
    return members;
}

QString logRows(db::Connection &connection)
{
    QStringList texts;
    for (const QVariantList &row :
         rows(connection, u"SELECT HIV_SZAM, MEZO, REGI_ERTEK, UJ_ERTEK, DATUM FROM LOG ORDER "
                          u"BY SORSZAM"_s)) {
        QStringList fields;
        for (const QVariant &value : row)
            fields << value.toString();
        if (testsupport::serverEngine()) {
            // The server's NOW() is its own clock, shared by every workstation: a moment of
            // this run stands for the program's pinned clock.
            const QDateTime written
                = QDateTime::fromString(fields.last(), u"yyyy-MM-dd HH:mm:ss"_s);
            if (qAbs(written.secsTo(QDateTime::currentDateTime())) < 300)
                fields.last() = db::now().toString(u"yyyy-MM-dd HH:mm:ss"_s);
        }
        texts << fields.join(u' ');
    }
    return texts.join(u'|');
}
} // namespace

class TestMemberCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(9, 30))); }
    void cleanup() { db::setFixedNow({}); }
    void typedTajDigits_data();
    void typedTajDigits();
    void duplicateTajOnShownListOnly_data();
    void duplicateTajOnShownListOnly();
    void requestSavedAsAsked_data();
    void requestSavedAsAsked();
    void eventSaveWritesLogRows_data();
    void eventSaveWritesLogRows();
    void failedLogStillUpdates_data();
    void failedLogStillUpdates();
};

void TestMemberCheck::typedTajDigits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<bool>("valid");
    QTest::newRow("123-456-788") << "123456788"
                                 << "123456788" << true;
    QTest::newRow("123-456-789") << "123456789"
                                 << "123456789" << false;
    QTest::newRow("leading zero 012-345-678") << "012345678"
                                              << "012345678" << true;
    QTest::newRow("nothing typed") << ""
                                   << "000000000" << false;
    // Typed zeros are digits like any other; untyped positions read as 0.
    QTest::newRow("zeros inside 100-200-300") << "100200300"
                                              << "100200300" << false;
    QTest::newRow("three digits typed") << "123"
                                        << "123000000" << false;
}

void TestMemberCheck::typedTajDigits()
{
    QFETCH(QString, typed);
    QFETCH(QString, digits);
    QFETCH(bool, valid);
    lists::TajEdit edit(u"eTaj"_s);
    edit.show();
    edit.setFocus();
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.digits(), digits);
    QCOMPARE(edit.displayText().size(), 11);
    QCOMPARE(rules::tajValid(edit.digits().toUInt()), valid);
}

void TestMemberCheck::duplicateTajOnShownListOnly_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("newEntry");
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("on the shown list") << 2 << "VAR" << true << true;
    QTest::newRow("postponed, still on the list") << 2 << "HAL" << true << true;
    QTest::newRow("on another list") << 3 << "VAR" << true << false;
    QTest::newRow("taken off the shown list") << 2 << "BEA" << true << false;
    QTest::newRow("event mode does not look") << 2 << "VAR" << false << false;
}

void TestMemberCheck::duplicateTajOnShownListOnly()
{
    QFETCH(int, list);
    QFETCH(QString, event);
    QFETCH(bool, newEntry);
    QFETCH(bool, duplicate);
    Department dep;
    dep.entry(2, u"111111110"_s);
    dep.entry(2, u"222222220"_s);
    const qint64 patient = dep.entry(list, u"123456788"_s, QDate(2026, 3, 8), event);
    const auto members = openMembers(dep.state.connection(), 2);
    rules::MemberInput input;
    input.newEntry = newEntry;
    input.tajDigits = u"123456788"_s;
    const auto failure = lists::checkInput(input, members.get(), today);
    // Only the lookup counts here: whatever else the input lacks fails later checks.
    QCOMPARE(failure && failure->message == rules::message::tajOnList, duplicate);
    if (duplicate) {
        QCOMPARE(failure->focus, u"eTaj"_s);
        // The member query's current row, and so the list manager's grid, moves to it.
        QCOMPARE(members->asInteger(u"HIV_SZAM"_s), patient);
    } else {
        QCOMPARE(members->currentRow(), 0);
    }
}

void TestMemberCheck::requestSavedAsAsked_data()
{
    QTest::addColumn<bool>("eventMode");
    QTest::addColumn<int>("surgos");
    QTest::addColumn<QString>("eventName");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("stored"); // the entry's row afterwards; "#" its HIV_SZAM
    using Result = lists::SaveOutcome::Result;
    const QString shown = u"# 2 123456788 Kiss Ödön 2026-01-05 H VAR 2026-01-05"_s;
    QTest::newRow("new acute entry, name as typed")
        << false << 0 << "Várakozás" << int(Result::Saved)
        << u"# 2 111111110  Nagy  Éva  2026-03-01 A VAR 2026-03-05 2026-03-10"_s;
    QTest::newRow("new deferrable entry")
        << false << 1 << "Várakozás" << int(Result::Saved)
        << u"# 2 111111110  Nagy  Éva  2026-03-01 H VAR 2026-03-05 2026-03-10"_s;
    QTest::newRow("new entry, unknown event: nothing written")
        << false << 0 << "Várakozik" << int(Result::EventNotFound) << "";
    QTest::newRow("event: only its code and day change")
        << true << 0 << "Beavatkozás megtörtént" << int(Result::Saved)
        << u"# 2 123456788 Kiss Ödön 2026-01-05 H BEA 2026-03-05"_s;
    QTest::newRow("event, letter case differs: nothing written")
        << true << 0 << "beavatkozás megtörtént" << int(Result::EventNotFound) << shown;
}

void TestMemberCheck::requestSavedAsAsked()
{
    QFETCH(bool, eventMode);
    QFETCH(int, surgos);
    QFETCH(QString, eventName);
    QFETCH(int, result);
    QFETCH(QString, stored);
    Department dep;
    db::Connection &connection = dep.state.connection();
    const qint64 existing = dep.entry(2, u"123456788"_s, QDate(2026, 1, 5));
    db::Dataset atEsemeny;
    lists::openEvents(atEsemeny, connection);
    lists::MemberRequest request;
    request.beavtipKod = 2;
    request.taj = u"111111110"_s;
    request.nev = u" Nagy  Éva "_s;
    request.listara = QDate(2026, 3, 1);
    request.surgos = surgos;
    request.eventName = eventName;
    request.esemDatum = QDate(2026, 3, 5);
    request.today = today;
    if (eventMode) {
        const auto members = openMembers(connection, 2);
        request.shown = lists::shownEntry(*members);
        request.hivSzam = QString::number(request.shown->hivSzam);
        QCOMPARE(request.shown->hivSzam, existing);
    }

    const lists::SaveOutcome outcome = lists::saveMember(connection, atEsemeny, request);
    QCOMPARE(int(outcome.result), result);
    QVERIFY(!outcome.error);
    QVERIFY(!connection.inTransaction());
    const QString columns = eventMode ? u""_s : u", INS_DATE"_s;
    const QList<QVariantList> entry
        = rows(connection, u"SELECT HIV_SZAM, BEAVTIP_KOD, TAJ, NEV, LISTARA_DATUM, SURGOSSEG, "
                           u"ESEM_KOD, ESEM_DATUM%1 FROM LISTA WHERE %2 ORDER BY HIV_SZAM"_s.arg(
                               columns, eventMode ? u"HIV_SZAM = %1"_s.arg(existing)
                                                  : u"HIV_SZAM <> %1"_s.arg(existing)));
    QStringList fields;
    for (const QVariant &value : entry.value(0))
        fields << value.toString();
    QString expected = stored;
    if (!entry.isEmpty())
        expected.replace(u'#', entry.value(0).value(0).toString());
    QCOMPARE(fields.join(u' '), expected);
}

void TestMemberCheck::eventSaveWritesLogRows_data()
{
    QTest::addColumn<QString>("storedDate"); // as the file holds it
    QTest::addColumn<QString>("newCode");
    QTest::addColumn<QDate>("newDate");
    QTest::addColumn<QString>("log"); // "#" stands for the entry's reference number
    const QString stamp = u"2026-03-10 09:30:00"_s;
    QTest::newRow("event changed, same day") << "2026-03-10"
                                             << "BEA" << today << u"# ESEM_KOD VAR BEA "_s + stamp;
    QTest::newRow("day changed, same event")
        << "2006-03-07"
        << "VAR" << QDate(2006, 3, 9) << u"# ESEM_DATUM 3/7/2006 3/9/2006 "_s + stamp;
    QTest::newRow("both changed, code first")
        << "2026-01-12"
        << "HAL" << today
        << u"# ESEM_KOD VAR HAL "_s + stamp + u"|# ESEM_DATUM 1/12/2026 3/10/2026 "_s + stamp;
    QTest::newRow("neither") << "2026-03-10"
                             << "VAR" << today << "";
    QTest::newRow("stored time of day on the same day") << "2026-03-10 17:45:00"
                                                        << "VAR" << today << "";
}

void TestMemberCheck::eventSaveWritesLogRows()
{
    QFETCH(QString, storedDate);
    QFETCH(QString, newCode);
    QFETCH(QDate, newDate);
    QFETCH(QString, log);
    Department dep;
    db::Connection &connection = dep.state.connection();
    const qint64 hiv = dep.entry(1, u"123456788"_s, QDate(2026, 1, 5));
    db::Statement stored(connection, u"UPDATE LISTA SET ESEM_DATUM = :d WHERE HIV_SZAM = :h"_s);
    stored.bind(u":d"_s, storedDate);
    stored.bind(u":h"_s, hiv);
    stored.step();
    const lists::SaveOutcome outcome
        = lists::saveEvent(connection, QString::number(hiv), newCode, newDate);
    QVERIFY(!outcome.logFailed);
    QVERIFY(!outcome.error);
    QVERIFY(!connection.inTransaction());
    QCOMPARE(logRows(connection), log.replace(u'#', QString::number(hiv)));
    const QList<QVariantList> entry = rows(
        connection, u"SELECT ESEM_KOD, ESEM_DATUM FROM LISTA WHERE HIV_SZAM = %1"_s.arg(hiv));
    QCOMPARE(entry.value(0).value(0).toString(), newCode);
    QCOMPARE(entry.value(0).value(1).toString(), newDate.toString(Qt::ISODate));
}

void TestMemberCheck::failedLogStillUpdates_data()
{
    QTest::addColumn<QString>("refused"); // the MEZO the LOG table refuses; empty: every row
    QTest::addColumn<QString>("kept");    // the MEZO of the LOG rows that stay
    QTest::newRow("no LOG row can be written") << ""
                                               << "";
    QTest::newRow("the second row fails, the first stays") << "ESEM_DATUM"
                                                           << "ESEM_KOD";
}

void TestMemberCheck::failedLogStillUpdates()
{
    QFETCH(QString, refused);
    QFETCH(QString, kept);
    Department dep;
    db::Connection &connection = dep.state.connection();
    const qint64 hiv = dep.entry(1, u"123456788"_s, QDate(2026, 1, 5));
    testsupport::refuseWrites(connection, u"naplo_tele"_s, u"INSERT"_s, u"LOG"_s,
                              u"a napló nem írható"_s,
                              refused.isEmpty() ? QString() : u"NEW.MEZO = '%1'"_s.arg(refused));
    const lists::SaveOutcome outcome
        = lists::saveEvent(connection, QString::number(hiv), u"BEA"_s, today);
    QVERIFY(outcome.logFailed);
    QVERIFY(!outcome.error);
    QVERIFY(!connection.inTransaction());
    QStringList mezo;
    for (const QVariantList &row : rows(connection, u"SELECT MEZO FROM LOG"_s))
        mezo << row.value(0).toString();
    QCOMPARE(mezo.join(u','), kept);
    const QList<QVariantList> entry = rows(
        connection, u"SELECT ESEM_KOD, ESEM_DATUM FROM LISTA WHERE HIV_SZAM = %1"_s.arg(hiv));
    QCOMPARE(entry.value(0), (QVariantList{u"BEA"_s, u"2026-03-10"_s}));
}

QTEST_MAIN(TestMemberCheck)
#include "tst_membercheck.moc"
