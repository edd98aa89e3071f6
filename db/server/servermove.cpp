// Moving a department up from its database file to the database server: the schema is made
// on an empty server database and every row of the file copied into it, keeping its numbers.
#include "serverengine.h"
#include "serverschema.h"

#include "db/error.h"
#include "db/schema.h"
#include "db/statement.h"

#include <QByteArray>

#include <libpq-fe.h>

namespace db {

namespace {

// One value in COPY's text format: \N for null, and the four characters that frame rows and
// fields escaped.
void appendCopyValue(QByteArray &out, Statement &statement, int column)
{
    if (statement.isNull(column)) {
        out += "\\N";
        return;
    }
    for (const char c : statement.utf8(column)) {
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

void putCopyData(ServerEngine &server, QByteArray &buffer)
{
    if (PQputCopyData(server.handle(), buffer.constData(), int(buffer.size())) != 1)
        server.fail(nullptr);
    buffer.clear();
}

void copyTable(Connection &source, ServerEngine &server, const QString &table,
               const QStringList &columns)
{
    const QByteArray copy = QStringLiteral("COPY %1 (%2) FROM STDIN")
                                .arg(table, columns.join(QStringLiteral(", ")))
                                .toUtf8();
    pg_result *started = PQexec(server.handle(), copy.constData());
    if (PQresultStatus(started) != PGRES_COPY_IN)
        server.fail(started);
    PQclear(started);
    QByteArray buffer;
    try {
        Statement read(source, source.engine().writtenOrderText(table, columns));
        const int count = read.columnCount();
        while (read.step()) {
            for (int column = 0; column < count; ++column) {
                if (column > 0)
                    buffer += '\t';
                appendCopyValue(buffer, read, column);
            }
            buffer += '\n';
            if (buffer.size() > (1 << 20))
                putCopyData(server, buffer);
        }
        if (!buffer.isEmpty())
            putCopyData(server, buffer);
    } catch (const Error &e) {
        PQputCopyEnd(server.handle(), e.message().toUtf8().constData());
        while (pg_result *rest = PQgetResult(server.handle()))
            PQclear(rest);
        throw;
    }
    if (PQputCopyEnd(server.handle(), nullptr) != 1)
        server.fail(nullptr);
    pg_result *result = PQgetResult(server.handle());
    while (pg_result *rest = PQgetResult(server.handle()))
        PQclear(rest);
    PQclear(server.checked(result));
}

void copyEverything(Connection &source, ServerEngine &server, QList<TableCount> &counts)
{
    for (const schema::Table &table : schema::tables()) {
        TableCount count;
        count.table = QString::fromLatin1(table.name);
        // The source's own count, apart from the copy's, so that the check means something.
        count.sourceRows
            = source.scalar(QStringLiteral("SELECT count(*) FROM ") + count.table).toLongLong();
        copyTable(source, server, count.table, schema::columnNames(table));
        count.copiedRows = server.number("SELECT count(*) FROM " + count.table.toUtf8());
        if (count.copiedRows != count.sourceRows)
            throw Error(QStringLiteral("A(z) %1 tábla sorainak száma a másolás után eltér: a "
                                       "fájlban %2, a kiszolgálón %3")
                            .arg(count.table)
                            .arg(count.sourceRows)
                            .arg(count.copiedRows));
        counts << count;
        for (const schema::Column &column : table.columns) {
            if (column.type != schema::Type::Serial)
                continue;
            // The highest number the source ever gave, even to a row no longer there.
            const qint64 last
                = source.engine().highestSerial(count.table, QString::fromLatin1(column.name));
            server.execute(
                QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                               "%3, %4)")
                    .arg(count.table.toLower(), QString::fromLatin1(column.name).toLower())
                    .arg(std::max<qint64>(last, 1))
                    .arg(last > 0 ? QStringLiteral("true") : QStringLiteral("false")));
        }
    }
}

} // namespace

QList<TableCount> ServerEngine::takeOver(Connection &source, const QString &programRole)
{
    if (serverschema::hasOwnObjects(*this))
        throw Error(QStringLiteral("A kiszolgáló adatbázisa nem üres, ide nem másolható az "
                                   "adatbázisfájl: %1")
                        .arg(m_description));
    QList<TableCount> counts;
    execute(QStringLiteral("BEGIN"));
    try {
        createSchema(schema::currentVersion);
        copyEverything(source, *this, counts);
        if (!programRole.isEmpty())
            serverschema::grantProgramRole(*this, programRole);
        execute(QStringLiteral("COMMIT"));
    } catch (...) {
        // The copy's own failure is the one to report.
        abandonTransaction();
        throw;
    }
    return counts;
}

qint64 ServerEngine::highestSerial(const QString &table, const QString &column)
{
    const QString t = plainIdentifier(table).toLower();
    const QString c = plainIdentifier(column).toLower();
    const qint64 given
        = number(QStringLiteral("SELECT coalesce((SELECT last_value FROM pg_sequences WHERE "
                                "format('%I.%I', schemaname, sequencename) = "
                                "pg_get_serial_sequence('%1', '%2')), 0)")
                     .arg(t, c)
                     .toUtf8());
    return std::max(
        given, number(QStringLiteral("SELECT coalesce(max(%1), 0) FROM %2").arg(c, t).toUtf8()));
}

} // namespace db
