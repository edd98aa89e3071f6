#pragma once

#include <QList>
#include <QString>

namespace db {
class Connection;
}

namespace admin {

struct ListRow
{
    qint64 code = 0;
    QString name;
    QString kind;       // "V", "B" or "J"
    qint64 members = 0; // entries whose event keeps them on the list
    qint64 entries = 0; // every entry of the list, those that left included
};

// The lists (intervention types, BEAV_TIP) of the department. Every change runs in one write
// transaction whose checks read under the write lock, so two administrators never slip past
// each other's checks; a refused change leaves the file as it was.
class ListAdmin
{
public:
    explicit ListAdmin(db::Connection &connection);

    QList<ListRow> lists();
    void add(const QString &code, const QString &name, const QString &kind);
    void rename(const QString &code, const QString &name);
    void changeKind(const QString &code, const QString &kind);
    void remove(const QString &code);

    // "várólista", "betegfogadási lista", "járóbeteg-lista".
    static QString kindName(const QString &kind);

private:
    // The list's current name; refuses a code that names no list.
    QString requireList(qint64 code);
    void requireFreeName(const QString &name, qint64 exceptCode);

    db::Connection &m_connection;
};

} // namespace admin
