#include "membersave.h"

#include "dataset/dataset.h"
#include "dataset/fielddef.h"
#include "dataset/fields.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/savepoint.h"
#include "db/schema.h"
#include "db/statements.h"
#include "db/writetransaction.h"

#include <exception>

namespace lists {

namespace {
// A day another client stored as no day reads as none: the entry still opens in the dialog.
QDate shownDay(const db::Dataset &members, const QString &column)
{
    const QVariant value = members.value(column);
    return value.typeId() == QMetaType::QDateTime ? value.toDateTime().date() : QDate();
}
} // namespace

rules::ShownEntry shownEntry(const db::Dataset &members)
{
    rules::ShownEntry entry;
    entry.hivSzam = members.asInteger(QStringLiteral("HIV_SZAM"));
    entry.taj = members.asText(QStringLiteral("TAJ"));
    entry.nev = members.asText(QStringLiteral("NEV"));
    entry.listara = shownDay(members, QStringLiteral("LISTARA_DATUM"));
    entry.surgosseg = members.asText(QStringLiteral("SURGOSSEG"));
    entry.esemKod = members.asText(QStringLiteral("ESEM_KOD"));
    entry.esemDatum = shownDay(members, QStringLiteral("ESEM_DATUM"));
    entry.esemNev = members.asText(QStringLiteral("ES_NEV"));
    return entry;
}

std::optional<rules::ShownEntry> storedEntry(db::Connection &connection, qint64 hivSzam)
{
    db::Dataset stored;
    stored.setConnection(&connection);
    stored.setFields(db::fields::members());
    stored.setSql(db::statements::storedEntry());
    stored.setParameter(QStringLiteral("HivSzam"), hivSzam);
    stored.open();
    if (stored.recordCount() == 0)
        return std::nullopt;
    return shownEntry(stored);
}

std::optional<rules::InputFailure> checkInput(const rules::MemberInput &input, db::Dataset *members,
                                              const QDate &today)
{
    return rules::firstFailedCheck(input, today, [members](const QString &taj) {
        return members && members->locate(QStringLiteral("TAJ"), taj);
    });
}

void openEvents(db::Dataset &atEsemeny, db::Connection &connection)
{
    atEsemeny.setConnection(&connection);
    atEsemeny.setTableName(QStringLiteral("ESEMENY"));
    atEsemeny.setFields(db::fields::esemeny());
    atEsemeny.open();
}

namespace {

void executeLogRow(db::Dataset &aqModosit, const QString &sql)
{
    db::Savepoint row(*aqModosit.connection(), QStringLiteral("naplosor"));
    aqModosit.setSql(sql);
    aqModosit.execute();
    row.release();
}

// The LOG rows of an event change, one per changed event column (the code compared exactly,
// the dates as calendar days), the old values read from the entry as stored now. Each row is
// undone alone when it fails; returns false after a failure (the entry unreadable included),
// with the rows before it kept. A lost server connection is thrown on: nothing of it was kept. Runs
// inside the caller's write transaction, so that nobody changes the entry between this read and the
// caller's UPDATE.
bool logChanges(db::Dataset &aqModosit, const QString &hivSzam, const QString &newCode,
                const QDate &newDate)
{
    try {
        // The entry as stored now, inside the write lock: another workstation may have
        // recorded an event since the list manager read its rows.
        db::Dataset stored;
        stored.setConnection(aqModosit.connection());
        stored.setFields({{QStringLiteral("ESEM_KOD"), db::FieldKind::Text,
                           db::schema::width("LISTA", "ESEM_KOD")},
                          {QStringLiteral("ESEM_DATUM"), db::FieldKind::DateTime, 0}});
        stored.setSql(db::statements::entryEvent());
        stored.setParameter(QStringLiteral("HivSzam"), hivSzam.toLongLong());
        stored.open();
        if (stored.recordCount() != 1)
            return false;
        const QString oldCode = stored.asText(QStringLiteral("ESEM_KOD"));
        if (oldCode != newCode)
            executeLogRow(aqModosit, db::statements::insertLogEventCode(hivSzam, oldCode, newCode));
        // A stored time of day plays no part: only the calendar days are compared.
        const QDate oldDate = stored.asDateTime(QStringLiteral("ESEM_DATUM")).date();
        if (oldDate != newDate)
            executeLogRow(aqModosit, db::statements::insertLogEventDate(hivSzam, oldDate, newDate));
        return true;
    } catch (const db::Error &e) {
        // A lost server connection has undone the whole transaction: the save stops here.
        if (e.kind() == db::ErrorKind::Disconnected)
            throw;
        return false;
    } catch (const std::exception &) {
        return false;
    }
}

void insertEntry(db::Connection &connection, const MemberRequest &request, const QString &esemKod)
{
    db::statements::NewEntry entry;
    entry.beavtipKod = request.beavtipKod;
    entry.taj = request.taj;
    entry.nev = request.nev;
    entry.listaraDatum = request.listara;
    entry.surgosseg = rules::urgencyLetter(request.surgos);
    entry.esemKod = esemKod;
    entry.esemDatum = request.esemDatum;
    entry.insDate = request.today;
    db::Dataset aqModosit(QStringLiteral("aqModosit"));
    aqModosit.setConnection(&connection);
    aqModosit.setSql(db::statements::insertLista(entry));
    aqModosit.execute();
}

} // namespace

SaveOutcome saveMember(db::Connection &connection, db::Dataset &atEsemeny,
                       const MemberRequest &request)
{
    if (!atEsemeny.isOpen())
        atEsemeny.open();
    if (!atEsemeny.locate(QStringLiteral("ES_NEV"), request.eventName))
        return {SaveOutcome::Result::EventNotFound, false, std::nullopt};
    const QString esemKod = atEsemeny.asText(QStringLiteral("ES_KOD"));
    if (!request.hivSzam.isEmpty())
        return saveEvent(connection, request.hivSzam, esemKod, request.esemDatum, request.shown);
    try {
        insertEntry(connection, request, esemKod);
    } catch (const db::Error &e) {
        return {SaveOutcome::Result::Failed, false, e.message()};
    }
    return {SaveOutcome::Result::Saved, false, std::nullopt};
}

SaveOutcome saveEvent(db::Connection &connection, const QString &hivSzam, const QString &newCode,
                      const QDate &newDate, const std::optional<rules::ShownEntry> &shown)
{
    SaveOutcome outcome;
    db::Dataset aqModosit(QStringLiteral("aqModosit"));
    aqModosit.setConnection(&connection);
    try {
        std::optional<db::WriteTransaction> transaction(std::in_place, connection);
        // Another workstation saving the same entry finishes first; its values are then the
        // ones logged as old. A wait past the limit saves nothing, and the dialog keeps the
        // input for another try.
        transaction->guardRow(QStringLiteral("LISTA"), QStringLiteral("HIV_SZAM"),
                              hivSzam.toLongLong());
        // Compared under the lock, so no change can slip in between this read and the
        // UPDATE; the person decides again on what is stored now.
        if (shown) {
            outcome.stored = storedEntry(connection, hivSzam.toLongLong());
            if (!outcome.stored || rules::changedSince(*shown, *outcome.stored)) {
                transaction->rollback();
                outcome.result = outcome.stored ? SaveOutcome::Result::ChangedMeanwhile
                                                : SaveOutcome::Result::EntryGone;
                return outcome;
            }
            outcome.stored.reset();
        }
        outcome.logFailed = !logChanges(aqModosit, hivSzam, newCode, newDate);
        // After a disk-full, I/O or busy error SQLite has rolled the whole transaction back
        // by itself; the entry is still updated, in a transaction of its own.
        if (!transaction->isOpen())
            transaction.emplace(connection);
        aqModosit.setSql(db::statements::updateListaEvent(newCode, newDate, hivSzam.toLongLong()));
        aqModosit.execute();
        transaction->commit();
        outcome.result = SaveOutcome::Result::Saved;
    } catch (const db::Error &e) {
        outcome.error = e.message();
    } catch (const std::exception &e) {
        outcome.error = QString::fromLocal8Bit(e.what());
    }
    // Nothing was saved, so no log can be missing from it.
    if (outcome.error)
        outcome.logFailed = false;
    return outcome;
}

} // namespace lists
