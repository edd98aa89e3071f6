#include "member.h"

#include "dataset/dataset.h"
#include "dataset/fielddef.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/savepoint.h"
#include "db/schema.h"
#include "db/statements.h"
#include "db/writetransaction.h"
#include "taj.h"

#include <exception>

namespace lists {

using rules::noTaj;

MemberFill newEntryFill(const QDate &today)
{
    MemberFill fill;
    fill.newEntry = true;
    fill.listara = today;
    fill.eventName = newEntryEventName();
    fill.esemDatum = today;
    return fill;
}

MemberFill eventFill(const db::Dataset &members, const QDate &today)
{
    MemberFill fill;
    fill.newEntry = false;
    fill.hivSzam = QString::number(members.asInteger(QStringLiteral("HIV_SZAM")));
    fill.taj = members.asText(QStringLiteral("TAJ"));
    fill.nev = members.asText(QStringLiteral("NEV"));
    fill.listara = members.asDateTime(QStringLiteral("LISTARA_DATUM")).date();
    // Only an exact "A" is acute; anything else, a lower-case "a" included, is deferrable.
    fill.surgos = members.asText(QStringLiteral("SURGOSSEG")) == u"A" ? 0 : 1;
    fill.esemDatum = today;
    return fill;
}

std::optional<InputFailure> firstFailedCheck(const MemberInput &input, db::Dataset *members,
                                             const QDate &today)
{
    const auto failure = [](const char *message, const char *focus) {
        return std::optional<InputFailure>(
            InputFailure{QString::fromUtf8(message), QString::fromLatin1(focus)});
    };
    if (input.tajDigits == noTaj())
        return failure("A TAJ szám nem lehet üres!", "eTaj");
    // Only entries that are on this list are in the member query: the same TAJ on another
    // list, or on an entry that left the list, is no duplicate.
    if (input.newEntry && members && members->locate(QStringLiteral("TAJ"), input.tajDigits))
        return failure("Ez a TAJ már rajta van a listán!", "eTaj");
    if (input.listara > today)
        return failure("A listára kerülés dátuma nem lehet jövőbeli", "dtpListara");
    if (input.surgos < 0)
        return failure("A sürgősségi fokot ki kell választani!", "rgSurgos");
    if (input.eventText.isEmpty())
        return failure("Az eseményt ki kell választani", "cbEsemenynev");
    if (input.esemDatum > today)
        return failure("Az esemény dátuma nem lehet jövőbeli", "dtpEsemDatum");
    return std::nullopt;
}

namespace {
void executeLogRow(db::Dataset &aqModosit, const QString &sql)
{
    db::Savepoint row(*aqModosit.connection(), QStringLiteral("naplosor"));
    aqModosit.setSql(sql);
    aqModosit.execute();
    row.release();
}
} // namespace

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
    } catch (const std::exception &) {
        return false;
    }
}

SaveOutcome saveEvent(db::Dataset &aqModosit, const QString &hivSzam, const QString &newCode,
                      const QDate &newDate)
{
    SaveOutcome outcome;
    db::Connection &connection = *aqModosit.connection();
    try {
        std::optional<db::WriteTransaction> transaction(std::in_place, connection);
        // Another workstation saving the same entry finishes first; its values are then the
        // ones logged as old. A wait past the limit saves nothing, and the dialog keeps the
        // input for another try.
        transaction->guardRow(QStringLiteral("LISTA"), QStringLiteral("HIV_SZAM"),
                              hivSzam.toLongLong());
        outcome.logFailed = !logChanges(aqModosit, hivSzam, newCode, newDate);
        // After a disk-full, I/O or busy error SQLite has rolled the whole transaction back
        // by itself; the entry is still updated, in a transaction of its own.
        if (!transaction->isOpen())
            transaction.emplace(connection);
        aqModosit.setSql(db::statements::updateListaEvent(newCode, newDate, hivSzam.toLongLong()));
        aqModosit.execute();
        transaction->commit();
    } catch (const db::Error &e) {
        outcome.error = e.message();
    } catch (const std::exception &e) {
        outcome.error = QString::fromLocal8Bit(e.what());
    }
    return outcome;
}

} // namespace lists
