#include "eventadmin.h"

#include "textchecks.h"

#include "db/adminstatements.h"
#include "db/connection.h"
#include "db/statement.h"
#include "db/statements.h"
#include "db/writetransaction.h"

namespace admin {

EventAdmin::EventAdmin(db::Connection &connection)
    : m_connection(connection)
{
}

QString EventAdmin::waitingName()
{
    return QStringLiteral("Várakozás");
}

QList<EventRow> EventAdmin::events()
{
    db::Statement statement(m_connection, db::statements::eventsWithUse());
    QList<EventRow> rows;
    while (statement.step())
        rows.append(
            {statement.text(0), statement.text(1), statement.int64(2) != 0, statement.int64(3)});
    return rows;
}

EventRow EventAdmin::requireEvent(const QString &code)
{
    db::Statement statement(m_connection, db::statements::eventWithUse());
    statement.bind(1, code);
    if (!statement.step())
        throw db::Error(QStringLiteral("Nincs „%1” kódú esemény.").arg(code));
    return {statement.text(0), statement.text(1), statement.int64(2) != 0, statement.int64(3)};
}

void EventAdmin::requireFreeName(const QString &name, const QString &exceptCode)
{
    db::Statement statement(m_connection, db::statements::eventsNamed());
    statement.bind(1, name);
    while (statement.step()) {
        // The event being renamed may keep its own name.
        if (!exceptCode.isNull() && !statement.isNull(0) && statement.text(0) == exceptCode)
            continue;
        throw db::Error(QStringLiteral("Már van „%1” nevű esemény (kódja „%2”); a bejegyzés "
                                       "ablaka név szerint keresi az eseményt, ezért a nevek "
                                       "különbözzenek.")
                            .arg(name, statement.text(0)));
    }
}

void EventAdmin::add(const QString &code, const QString &name, const QString &onListText)
{
    requireName(code, "ESEMENY", "ES_KOD", QStringLiteral("Az esemény kódja"));
    requireName(name, "ESEMENY", "ES_NEV", QStringLiteral("Az esemény neve"));
    const QString onList = parseYesNo(onListText, QStringLiteral("Listán marad-e a bejegyzés"));
    if (name == waitingName() && onList != u"I")
        throw db::Error(QStringLiteral("A „Várakozás” esemény mindig a listán tartja a "
                                       "bejegyzést."));

    db::WriteTransaction transaction(m_connection);
    {
        db::Statement existing(m_connection, db::statements::eventName());
        existing.bind(1, code);
        if (existing.step())
            throw db::Error(
                QStringLiteral("Már van „%1” kódú esemény: „%2”.").arg(code, existing.text(0)));
    }
    requireFreeName(name, QString());
    db::Statement insert(m_connection, db::statements::insertEventRow());
    insert.bind(1, code);
    insert.bind(2, name);
    insert.bind(3, onList);
    insert.step();
    transaction.commit();
}

void EventAdmin::rename(const QString &code, const QString &name)
{
    requireName(name, "ESEMENY", "ES_NEV", QStringLiteral("Az esemény neve"));

    db::WriteTransaction transaction(m_connection);
    const EventRow event = requireEvent(code);
    if (event.name == waitingName() && name != waitingName())
        throw db::Error(QStringLiteral("A „Várakozás” eseményt minden új bejegyzés megkapja, "
                                       "nem nevezhető át."));
    if (name == waitingName() && !event.onList)
        throw db::Error(QStringLiteral("A „Várakozás” esemény mindig a listán tartja a "
                                       "bejegyzést; a(z) „%1” esemény nem ilyen, nem kaphatja "
                                       "ezt a nevet.")
                            .arg(code));
    requireFreeName(name, code);
    db::Statement update(m_connection, db::statements::renameEvent());
    update.bind(1, name);
    update.bind(2, code);
    update.step();
    transaction.commit();
}

void EventAdmin::remove(const QString &code)
{
    db::WriteTransaction transaction(m_connection);
    const EventRow event = requireEvent(code);
    if (event.name == waitingName())
        throw db::Error(QStringLiteral("A „Várakozás” eseményt minden új bejegyzés megkapja, "
                                       "nem törölhető."));
    if (event.entries > 0)
        throw db::Error(QStringLiteral("A(z) „%1” („%2”) esemény nem törölhető: %3 bejegyzés "
                                       "legutóbbi eseménye.")
                            .arg(event.code, event.name)
                            .arg(event.entries));
    db::Statement remove(m_connection, db::statements::deleteEvent());
    remove.bind(1, code);
    remove.step();
    transaction.commit();
}

} // namespace admin
