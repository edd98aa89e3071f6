#include "benchcase.h"

#include "benchplatform.h"
#include "rawreport.h"
#include "rawserver.h"

#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/fields.h"
#include "db/schema.h"
#include "db/serverdialect.h"
#include "db/statement.h"
#include "db/statements.h"
#include "lists/ufrmListakezelo.h"
#include "report/reportfile.h"
#include "ui/datasetmodel.h"
#include "ui/datasource.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <sqlite3.h>

#include <cstdio>

namespace bench {

namespace {

constexpr int tajSearches = 200;

QString databasePath(const QString &dir)
{
    return QDir(dir).filePath(QString::fromLatin1(db::databaseFileName));
}

// The raw side opens the file as any C program would: the key, a busy timeout, nothing else.
sqlite3 *openRaw(const QString &dir)
{
    sqlite3 *handle = nullptr;
    sqlite3_open_v2(databasePath(dir).toUtf8().constData(), &handle, SQLITE_OPEN_READWRITE,
                    nullptr);
    const QByteArray key = db::schema::databaseKey();
    sqlite3_key(handle, key.constData(), int(key.size()));
    sqlite3_busy_timeout(handle, db::busyTimeoutMs);
    sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    return handle;
}

QStringList sampleTajs(db::Connection &connection)
{
    QStringList tajs;
    db::Statement sample(connection, QStringLiteral("SELECT TAJ FROM LISTA WHERE HIV_SZAM % 97 = 0 "
                                                    "LIMIT %1")
                                         .arg(tajSearches));
    while (sample.step())
        tajs << sample.text(0);
    tajs << QStringLiteral("000000001"); // nobody
    return tajs;
}

struct Result
{
    double seconds = 0;
    double figure = 0;
    double cacheKb = 0; // the connection's decrypted pages held at the end
};

Result reportProgram(db::Connection &connection, const QString &dir)
{
    const QString path = QDir(dir).filePath(QStringLiteral("jelentes.xml"));
    db::Dataset source;
    source.setConnection(&connection);
    source.setTableName(QStringLiteral("QJELENTES"));
    QElapsedTimer timer;
    timer.start();
    db::Statement rows(connection, source.statementText());
    rows.setStreaming(true);
    if (rows.step())
        report::saveReport(path, rows);
    return {double(timer.nsecsElapsed()) / 1e9, double(QFileInfo(path).size())};
}

db::Dataset *memberDataset(db::Connection &connection, int list)
{
    auto *members = new db::Dataset;
    members->setConnection(&connection);
    members->setSql(db::statements::memberQuery());
    members->setFields(db::fields::members());
    members->setParameter(QStringLiteral("Aktbeavtip"), list);
    return members;
}

// The list manager's read: its dataset shown through the grid's model.
Result listProgram(db::Connection &connection, int list)
{
    std::unique_ptr<db::Dataset> members(memberDataset(connection, list));
    ui::DataSource source;
    source.setDataset(members.get());
    ui::DatasetModel model;
    model.setColumns(TfrmListakezelo::memberColumns());
    model.setDataSource(&source);
    const auto read = [&] {
        QElapsedTimer timer;
        timer.start();
        members->close();
        members->open();
        const QVariant last = model.index(model.rowCount() - 1, 0).data();
        Q_UNUSED(last);
        return double(timer.nsecsElapsed()) / 1e9;
    };
    const double first = read();
    // A member dialog reads its one entry, then the list is read again.
    {
        db::Statement entry(
            connection,
            QStringLiteral("SELECT * FROM LISTA WHERE BEAVTIP_KOD = %1 LIMIT 1").arg(list));
        entry.step();
    }
    const double again = read();
    int cacheBytes = 0;
    int highest = 0;
    if (connection.handle())
        sqlite3_db_status(connection.handle(), SQLITE_DBSTATUS_CACHE_USED, &cacheBytes, &highest,
                          0);
    return {first, again, double(cacheBytes) / 1024.0};
}

Result listRaw(sqlite3 *handle, int list)
{
    const QByteArray sql = db::statements::memberQuery().toUtf8();
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &stmt, nullptr);
    sqlite3_bind_int(stmt, 1, list);
    double bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const int columns = sqlite3_column_count(stmt);
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
                bytes += 8;
                continue;
            }
            const unsigned char *text = sqlite3_column_text(stmt, c);
            bytes += text ? sqlite3_column_bytes(stmt, c) : 0;
        }
    }
    sqlite3_finalize(stmt);
    return {double(timer.nsecsElapsed()) / 1e9, bytes};
}

Result tajProgram(db::Connection &connection)
{
    const QStringList tajs = sampleTajs(connection);
    db::Dataset aqAlt(QStringLiteral("aqAlt"));
    aqAlt.setConnection(&connection);
    double rows = 0;
    QElapsedTimer timer;
    // The first round reads the pages in; the second is timed, as on the raw side.
    for (int round = 0; round < 2; ++round) {
        rows = 0;
        timer.start();
        for (const QString &taj : tajs) {
            aqAlt.close();
            aqAlt.setSql(db::statements::tajSearch(taj));
            aqAlt.open();
            rows += aqAlt.recordCount();
        }
    }
    return {double(timer.nsecsElapsed()) / 1e9 / double(tajs.size()), rows};
}

Result tajRaw(sqlite3 *handle, db::Connection &connection)
{
    const QStringList tajs = sampleTajs(connection);
    double rows = 0;
    QElapsedTimer timer;
    for (int round = 0; round < 2; ++round) {
        rows = 0;
        timer.start();
        for (const QString &taj : tajs) {
            const QByteArray sql = db::statements::tajSearch(taj).toUtf8();
            sqlite3_stmt *stmt = nullptr;
            sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &stmt, nullptr);
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                ++rows;
                for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                    sqlite3_column_text(stmt, c);
            }
            sqlite3_finalize(stmt);
        }
    }
    return {double(timer.nsecsElapsed()) / 1e9 / double(tajs.size()), rows};
}

// The server's side of the raw cases: the same texts in the server's reading, through libpq.
Result serverRaw(const QString &name, const QString &server, db::Connection &connection,
                 const QString &dir, int list)
{
    RawServer raw(server);
    QElapsedTimer timer;
    if (name == QStringLiteral("report")) {
        timer.start();
        const qint64 bytes = raw.report(QDir(dir).filePath(QStringLiteral("nyers.xml")));
        if (bytes < 0)
            throw db::Error(QStringLiteral("a nyers jelentés nem készült el"));
        return {double(timer.nsecsElapsed()) / 1e9, double(bytes)};
    }
    if (name == QStringLiteral("list")) {
        const QString sql = db::serverdialect::adapt(db::statements::memberQuery()).sql;
        timer.start();
        const double bytes = raw.listMembers(sql, list);
        return {double(timer.nsecsElapsed()) / 1e9, bytes};
    }
    QStringList texts;
    for (const QString &taj : sampleTajs(connection))
        texts << db::serverdialect::adapt(db::statements::tajSearch(taj)).sql;
    double rows = 0;
    for (int round = 0; round < 2; ++round) {
        timer.start();
        rows = raw.tajSearches(texts);
    }
    return {double(timer.nsecsElapsed()) / 1e9 / double(texts.size()), rows};
}

} // namespace

int runCase(int argc, char **argv, const QString &name, const QString &dir, int list,
            const QString &server)
{
    QApplication app(argc, argv);
    try {
        const bool raw = name.endsWith(QStringLiteral("-raw"));
        QString base = raw ? name.chopped(4) : name;
        const bool onServer = base.endsWith(QStringLiteral("-server"));
        if (onServer) {
            base.chop(7);
            db::Connection connection;
            if (!raw || base == QStringLiteral("taj"))
                connection.openServer(server);
            resetPeak();
            const long before = residentKb();
            Result result;
            if (raw)
                result = serverRaw(base, server, connection, dir, list);
            else if (base == QStringLiteral("report"))
                result = reportProgram(connection, dir);
            else if (base == QStringLiteral("list"))
                result = listProgram(connection, list);
            else if (base == QStringLiteral("taj"))
                result = tajProgram(connection);
            else
                return 2;
            const long growth = peakResidentKb() - before;
            std::printf("%.6f %ld %.6f 0\n", result.seconds, growth > 0 ? growth : 0,
                        result.figure);
            return 0;
        }
        db::Connection connection;
        sqlite3 *handle = nullptr;
        // The raw TAJ search takes its sample numbers through the program's connection.
        if (!raw || name == QStringLiteral("taj-raw"))
            connection.open(databasePath(dir));
        if (raw)
            handle = openRaw(dir);
        resetPeak();
        const long before = residentKb();
        Result result;
        if (name == QStringLiteral("report"))
            result = reportProgram(connection, dir);
        else if (name == QStringLiteral("report-raw")) {
            QElapsedTimer timer;
            timer.start();
            const qint64 bytes = rawReport(handle, QDir(dir).filePath(QStringLiteral("nyers.xml")));
            result = {double(timer.nsecsElapsed()) / 1e9, double(bytes)};
        } else if (name == QStringLiteral("list"))
            result = listProgram(connection, list);
        else if (name == QStringLiteral("list-raw"))
            result = listRaw(handle, list);
        else if (name == QStringLiteral("taj"))
            result = tajProgram(connection);
        else if (name == QStringLiteral("taj-raw"))
            result = tajRaw(handle, connection);
        else
            return 2;
        const long growth = peakResidentKb() - before;
        std::printf("%.6f %ld %.6f %.0f\n", result.seconds, growth > 0 ? growth : 0, result.figure,
                    result.cacheKb);
        if (handle)
            sqlite3_close_v2(handle);
        return 0;
    } catch (const db::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}

} // namespace bench
