#pragma once

#include <QList>
#include <QString>

namespace db {
class Connection;
}

namespace admin {

struct EventRow
{
    QString code;
    QString name;
    bool onList = false; // an entry whose latest event this is stays on its list
    qint64 entries = 0;  // entries whose latest event this is
};

// The event kinds (ESEMENY). The member dialog finds an event by its name, so names stay
// unique; "Várakozás" is what every new entry gets, so it always exists and keeps its entry
// on the list; an event that an entry carries is never removed. One write transaction per
// change, checks under the write lock.
class EventAdmin
{
public:
    explicit EventAdmin(db::Connection &connection);

    QList<EventRow> events();
    void add(const QString &code, const QString &name, const QString &onList);
    void rename(const QString &code, const QString &name);
    void remove(const QString &code);

    static QString waitingName();

private:
    EventRow requireEvent(const QString &code);
    void requireFreeName(const QString &name, const QString &exceptCode);

    db::Connection &m_connection;
};

} // namespace admin
