#pragma once

#include <QString>
#include <QStringList>

struct pg_conn;

namespace bench {

// The same work as the program's, done on the database server by a plain libpq program: the
// statement texts in the server's reading, the rows read as the server sends them.
class RawServer
{
public:
    explicit RawServer(const QString &connectionText); // throws db::Error when it cannot connect
    ~RawServer();
    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    // One TAJ search per text; returns the rows found.
    double tajSearches(const QStringList &texts);
    // The day's report rows, one at a time, into the same XML rows with stdio, the file
    // synced and renamed over the name. Returns the bytes written, -1 on failure.
    qint64 report(const QString &path);

private:
    pg_conn *m_conn = nullptr;
};

} // namespace bench
