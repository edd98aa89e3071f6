#include "servermove.h"

#include "connection.h"
#include "error.h"
#include "serverschema.h"
#include "serversession.h"
#include "statement.h"

#include <QByteArray>
#include <QDir>

#include <libpq-fe.h>

namespace db::servermove {

namespace {

struct TableCopy
{
    const char *table;
    const char *columns;
};

// Reference data first, then the department, the entries and their change log; each in
// the order the file wrote it.
const TableCopy tables[] = {
    {"ESEMENY", "ES_KOD, ES_NEV, LISTAN"},
    {"BEAV_TIP", "BEAVTIP_KOD, BEAVTIP_NEV, BEAVTIP_FAJTA"},
    {"OSZTALY", "INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV, JELSZO"},
    {"LISTA", "HIV_SZAM, BEAVTIP_KOD, TAJ, NEV, LISTARA_DATUM, SURGOSSEG, ESEM_KOD, ESEM_DATUM, "
              "INS_DATE"},
    {"LOG", "DATUM, HIV_SZAM, MEZO, REGI_ERTEK, UJ_ERTEK"},
};

// One value in COPY's text format: \N for null, and the four characters that frame rows and
// fields escaped.
void appendCopyValue(QByteArray &out, Statement &statement, int column)
{
    if (statement.isNull(column)) {
        out += "\\N";
        return;
    }
    const QByteArray text = statement.text(column).toUtf8();
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

void putCopyData(ServerSession &session, QByteArray &buffer)
{
    if (PQputCopyData(session.handle(), buffer.constData(), int(buffer.size())) != 1)
        session.fail(nullptr);
    buffer.clear();
}

qint64 copyTable(Connection &file, ServerSession &session, const TableCopy &table)
{
    const QString columns = QString::fromLatin1(table.columns);
    const QString name = QString::fromLatin1(table.table);
    const QByteArray copy = (QStringLiteral("COPY ") + name + QStringLiteral(" (") + columns
                             + QStringLiteral(") FROM STDIN"))
                                .toUtf8();
    pg_result *started = PQexec(session.handle(), copy.constData());
    if (PQresultStatus(started) != PGRES_COPY_IN)
        session.fail(started);
    PQclear(started);
    qint64 rows = 0;
    QByteArray buffer;
    try {
        Statement read(file, QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + name
                                 + QStringLiteral(" ORDER BY rowid"));
        const int count = read.columnCount();
        while (read.step()) {
            for (int column = 0; column < count; ++column) {
                if (column > 0)
                    buffer += '\t';
                appendCopyValue(buffer, read, column);
            }
            buffer += '\n';
            ++rows;
            if (buffer.size() > (1 << 20))
                putCopyData(session, buffer);
        }
        if (!buffer.isEmpty())
            putCopyData(session, buffer);
    } catch (const Error &e) {
        PQputCopyEnd(session.handle(), e.message().toUtf8().constData());
        while (pg_result *rest = PQgetResult(session.handle()))
            PQclear(rest);
        throw;
    }
    if (PQputCopyEnd(session.handle(), nullptr) != 1)
        session.fail(nullptr);
    pg_result *result = PQgetResult(session.handle());
    while (pg_result *rest = PQgetResult(session.handle()))
        PQclear(rest);
    PQclear(session.checked(result));
    return rows;
}

qint64 serverCount(ServerSession &session, const char *table)
{
    pg_result *result = session.checked(
        PQexec(session.handle(), (QByteArray("SELECT count(*) FROM ") + table).constData()));
    const qint64 count = QByteArray(PQgetvalue(result, 0, 0)).toLongLong();
    PQclear(result);
    return count;
}

} // namespace

QList<TableCount> moveFile(const QString &filePath, ServerSession &session,
                           const QString &programRole)
{
    Connection file;
    file.open(filePath);
    if (serverschema::hasOwnObjects(session))
        throw Error(QStringLiteral("A kiszolgáló adatbázisa nem üres, ide nem másolható az "
                                   "adatbázisfájl: %1")
                        .arg(session.description()));
    // The highest number the file ever gave, even to an entry no longer there.
    const qint64 lastNumber = std::max(
        file.scalar(QStringLiteral("SELECT max(HIV_SZAM) FROM LISTA")).toLongLong(),
        file.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'LISTA'"))
            .toLongLong());

    QList<TableCount> counts;
    session.execute(QStringLiteral("BEGIN"));
    try {
        serverschema::createObjects(session);
        for (const TableCopy &table : tables) {
            TableCount count;
            count.table = QString::fromLatin1(table.table);
            // The file's own count, apart from the copy's, so that the check means something.
            count.fileRows
                = file.scalar(QStringLiteral("SELECT count(*) FROM ") + count.table).toLongLong();
            copyTable(file, session, table);
            count.serverRows = serverCount(session, table.table);
            if (count.serverRows != count.fileRows)
                throw Error(QStringLiteral("A(z) %1 tábla sorainak száma a másolás után eltér: a "
                                           "fájlban %2, a kiszolgálón %3")
                                .arg(count.table)
                                .arg(count.fileRows)
                                .arg(count.serverRows));
            counts << count;
        }
        session.execute(
            QStringLiteral("SELECT setval(pg_get_serial_sequence('lista', 'hiv_szam'), %1, %2)")
                .arg(std::max<qint64>(lastNumber, 1))
                .arg(lastNumber > 0 ? QStringLiteral("true") : QStringLiteral("false")));
        if (!programRole.isEmpty())
            serverschema::grantProgramRole(session, programRole);
        session.execute(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            session.execute(QStringLiteral("ROLLBACK"));
        } catch (...) {
            // The copy's own failure is the one to report.
        }
        throw;
    }
    return counts;
}

} // namespace db::servermove
