#include "statscase.h"

#include "db/clock.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/file/fileengine.h"
#include "db/sqltext.h"
#include "db/statement.h"
#include "db/statistics.h"
#include "db/writetransaction.h"
#include "stats/scope.h"
#include "stats/statistics.h"

#include <QDir>
#include <QElapsedTimer>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace bench {

namespace {

// One row of a raw loop: the values as text (null as nullptr) and their byte counts.
using RowVisitor = std::function<void(const char *const *values, const int *lengths)>;

// The rows of a statement as any C program reads them, from the file or from the server.
class RawRows
{
public:
    RawRows(const QString &dir, const QString &server)
    {
        if (!server.isEmpty()) {
            m_conn = PQconnectdb(server.toUtf8().constData());
            if (PQstatus(m_conn) != CONNECTION_OK)
                throw db::Error(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed());
            return;
        }
        const QByteArray path
            = QDir(dir).filePath(QString::fromLatin1(db::databaseFileName)).toUtf8();
        sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        const QByteArray key = db::FileEngine::key();
        sqlite3_key(m_db, key.constData(), int(key.size()));
        sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    ~RawRows()
    {
        if (m_conn)
            PQfinish(m_conn);
        if (m_db)
            sqlite3_close_v2(m_db);
    }
    RawRows(const RawRows &) = delete;
    RawRows &operator=(const RawRows &) = delete;

    void each(const QByteArray &sql, int columns, const RowVisitor &visit)
    {
        std::vector<const char *> values(size_t(columns), nullptr);
        std::vector<int> lengths(size_t(columns), 0);
        if (m_conn) {
            PGresult *result = PQexec(m_conn, sql.constData());
            if (PQresultStatus(result) != PGRES_TUPLES_OK) {
                const QString message = QString::fromUtf8(PQresultErrorMessage(result));
                PQclear(result);
                throw db::Error(message);
            }
            for (int r = 0; r < PQntuples(result); ++r) {
                for (int c = 0; c < columns; ++c) {
                    values[size_t(c)]
                        = PQgetisnull(result, r, c) ? nullptr : PQgetvalue(result, r, c);
                    lengths[size_t(c)] = PQgetlength(result, r, c);
                }
                visit(values.data(), lengths.data());
            }
            PQclear(result);
            return;
        }
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
            throw db::Error(QString::fromUtf8(sqlite3_errmsg(m_db)));
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                values[size_t(c)] = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                lengths[size_t(c)] = sqlite3_column_bytes(stmt, c);
            }
            visit(values.data(), lengths.data());
        }
        sqlite3_finalize(stmt);
    }

private:
    sqlite3 *m_db = nullptr;
    pg_conn *m_conn = nullptr;
};

std::string text(const char *value, int length)
{
    return value ? std::string(value, size_t(length)) : std::string();
}

struct Events
{
    std::set<std::string> onList;
    std::set<std::string> offList;
};

Events readEvents(RawRows &raw)
{
    Events events;
    raw.each("SELECT ES_KOD, LISTAN FROM ESEMENY", 2, [&](const char *const *v, const int *n) {
        const bool on = v[1] && n[1] == 1 && v[1][0] == 'I';
        (on ? events.onList : events.offList).insert(text(v[0], n[0]));
    });
    return events;
}

QByteArray entriesOf(const QByteArray &scope, const char *columns)
{
    return QByteArray("SELECT ") + columns + " FROM LISTA WHERE " + scope;
}

// The entries of each list and listing day, and the members among them by urgency, counted
// row by row.
double membersRaw(RawRows &raw, const Events &events, const QByteArray &scope)
{
    struct Day
    {
        qint64 entries = 0;
        qint64 members = 0;
        qint64 acute = 0;
        qint64 deferrable = 0;
    };
    std::unordered_map<std::string, Day> groups;
    raw.each(entriesOf(scope, "BEAVTIP_KOD, LISTARA_DATUM, SURGOSSEG, ESEM_KOD"), 4,
             [&](const char *const *v, const int *n) {
                 Day &day = groups[text(v[0], n[0]) + '\t' + text(v[1], n[1])];
                 ++day.entries;
                 if (events.onList.count(text(v[3], n[3])) == 0)
                     return;
                 ++day.members;
                 const std::string urgency = text(v[2], n[2]);
                 day.acute += urgency == "A" ? 1 : 0;
                 day.deferrable += urgency == "H" ? 1 : 0;
             });
    return double(groups.size());
}

// Entries off the list by the month they left and the event, counted row by row.
double leftRaw(RawRows &raw, const Events &events, const QByteArray &scope)
{
    std::map<std::string, qint64> groups;
    raw.each(entriesOf(scope, "LISTARA_DATUM, ESEM_DATUM, ESEM_KOD"), 3,
             [&](const char *const *v, const int *n) {
                 const std::string code = text(v[2], n[2]);
                 if (events.onList.count(code) != 0)
                     return;
                 const std::string off
                     = std::max(text(v[0], std::min(n[0], 7)), text(v[1], std::min(n[1], 7)));
                 ++groups[off + '\t' + code];
             });
    return double(groups.size());
}

// Every log row of the list's entries, grouped by entry and followed in the log's order:
// the entries whose old events went off the list and back.
double historyRaw(RawRows &raw, const Events &events, const QByteArray &scope)
{
    struct Row
    {
        qint64 order;
        bool code;
        std::string old;
    };
    std::unordered_map<qint64, std::vector<Row>> log;
    raw.each("SELECT LOG.HIV_SZAM, LOG.SORSZAM, LOG.MEZO, LOG.REGI_ERTEK FROM LISTA INNER JOIN "
             "LOG ON LOG.HIV_SZAM = LISTA.HIV_SZAM WHERE "
                 + scope,
             4, [&](const char *const *v, const int *n) {
                 log[std::strtoll(v[0], nullptr, 10)].push_back(
                     {std::strtoll(v[1], nullptr, 10), n[2] == 8, text(v[3], n[3])});
             });
    double turns = 0;
    for (auto &[entry, rows] : log) {
        std::sort(rows.begin(), rows.end(),
                  [](const Row &a, const Row &b) { return a.order < b.order; });
        bool on = true;
        for (const Row &row : rows) {
            if (!row.code)
                continue;
            const bool now = events.offList.count(row.old) == 0;
            if (now != on)
                ++turns;
            on = now;
        }
    }
    return turns;
}

double statementRows(db::Connection &connection, const QString &sql)
{
    db::Statement statement(connection, sql);
    double rows = 0;
    while (statement.step())
        ++rows;
    return rows;
}

QString kindOf(db::Connection &connection, int list)
{
    db::Statement kind(
        connection,
        QStringLiteral("SELECT BEAVTIP_FAJTA FROM BEAV_TIP WHERE BEAVTIP_KOD = %1").arg(list));
    return kind.step() ? kind.text(0) : QString();
}

double program(const QString &base, db::Connection &connection, int list)
{
    const QString scope = db::statistics::listScope(list);
    if (base == u"stats-members")
        return statementRows(connection, db::statistics::entriesByDay(scope));
    if (base == u"stats-left")
        return statementRows(connection, db::statistics::leftByMonth(scope));
    if (base == u"stats-history")
        return statementRows(connection, db::statistics::historyCorrections(scope));
    stats::Scope which{stats::Scope::Extent::OneList, list, {}, {}};
    if (base == u"stats-kind")
        which = {stats::Scope::Extent::WholeKind, 0, kindOf(connection, list), {}};
    const stats::Figures figures = stats::computeFigures(connection, which, db::today());
    return double(figures.waiting.all.members);
}

double rawLoop(const QString &base, RawRows &raw, int list)
{
    const Events events = readEvents(raw);
    QByteArray scope = "LISTA.BEAVTIP_KOD = " + QByteArray::number(list);
    if (base == u"stats-kind")
        scope = "LISTA.BEAVTIP_KOD IN (SELECT k.BEAVTIP_KOD FROM BEAV_TIP k WHERE k.BEAVTIP_FAJTA "
                "= (SELECT l.BEAVTIP_FAJTA FROM BEAV_TIP l WHERE l.BEAVTIP_KOD = "
                + QByteArray::number(list) + "))";
    if (base == u"stats-members")
        return membersRaw(raw, events, scope);
    if (base == u"stats-left")
        return leftRaw(raw, events, scope);
    if (base == u"stats-history")
        return historyRaw(raw, events, scope);
    return membersRaw(raw, events, scope) + leftRaw(raw, events, scope)
           + historyRaw(raw, events, scope);
}

} // namespace

int addReturns(const QString &databasePath)
{
    db::Connection connection;
    connection.open(databasePath);
    struct Left
    {
        qint64 hivSzam;
        QString code;
        QDate day;
    };
    QList<Left> left;
    {
        db::Statement entries(connection,
                              QStringLiteral("SELECT HIV_SZAM, ESEM_KOD, ESEM_DATUM FROM LISTA "
                                             "WHERE HIV_SZAM % 50 = 0 AND ESEM_KOD IN (SELECT "
                                             "ES_KOD FROM ESEMENY WHERE LISTAN <> 'I')"));
        while (entries.step())
            left.append({entries.int64(0), entries.text(1),
                         QDate::fromString(entries.text(2).left(10), Qt::ISODate)});
    }
    const QDate today = db::today();
    db::WriteTransaction transaction(connection);
    db::Statement log(connection, QStringLiteral("INSERT INTO LOG (DATUM, HIV_SZAM, MEZO, "
                                                 "REGI_ERTEK, UJ_ERTEK) VALUES (?, ?, ?, ?, ?)"));
    db::Statement back(connection, QStringLiteral("UPDATE LISTA SET ESEM_KOD = 'VAR', "
                                                  "ESEM_DATUM = ? WHERE HIV_SZAM = ?"));
    const auto write = [&log](const QDateTime &when, qint64 entry, const char *column,
                              const QString &oldValue, const QString &newValue) {
        log.bind(1, when);
        log.bind(2, entry);
        log.bind(3, QString::fromLatin1(column));
        log.bind(4, oldValue);
        log.bind(5, newValue);
        log.step();
        log.reset();
    };
    for (const Left &entry : left) {
        const QDate day = std::min(today, entry.day.addDays(20 + entry.hivSzam % 60));
        const QDateTime when(std::min(today, day.addDays(entry.hivSzam % 3)), QTime(11, 0));
        write(when, entry.hivSzam, "ESEM_KOD", entry.code, QStringLiteral("VAR"));
        write(when, entry.hivSzam, "ESEM_DATUM", db::sqlDateText(entry.day), db::sqlDateText(day));
        back.bind(1, day);
        back.bind(2, entry.hivSzam);
        back.step();
        back.reset();
    }
    transaction.commit();
    return int(left.size());
}

int runStatsCase(const QString &name, const QString &dir, int list, const QString &server)
{
    try {
        const bool raw = name.endsWith(QStringLiteral("-raw"));
        QString base = raw ? name.chopped(4) : name;
        const bool onServer = base.endsWith(QStringLiteral("-server"));
        if (onServer)
            base.chop(7);
        QElapsedTimer timer;
        double figure = 0;
        if (raw) {
            RawRows rows(dir, onServer ? server : QString());
            timer.start();
            figure = rawLoop(base, rows, list);
        } else {
            db::Connection connection;
            if (onServer)
                connection.openServer(server);
            else
                connection.open(QDir(dir).filePath(QString::fromLatin1(db::databaseFileName)));
            timer.start();
            figure = program(base, connection, list);
        }
        std::printf("%.6f 0 %.6f 0\n", double(timer.nsecsElapsed()) / 1e9, figure);
        return 0;
    } catch (const db::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}

} // namespace bench
