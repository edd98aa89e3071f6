#include "dailyreport.h"

#include "adoxml.h"
#include "reportfile.h"
#include "valuerefused.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/error.h"
#include "db/statement.h"
#include "db/statements.h"
#include "db/values.h"

#include <exception>
#include <optional>

namespace report {

namespace {

// The report written from the rows, or how it failed; a refused value comes back apart, so that
// its entry can be named once the rows' statement is gone.
DailyReport streamReport(db::Connection &connection, const db::Dataset &department,
                         const QString &programDir, const QDate &day,
                         std::optional<ValueRefused> &refused)
{
    db::Dataset atJelentes(QStringLiteral("atJelentes"));
    atJelentes.setConnection(&connection);
    atJelentes.setTableName(QStringLiteral("QJELENTES"));
    atJelentes.setFields(db::fields::report());
    // The rows go from the statement into the file one at a time: a report of a million
    // entries never sits in memory whole. The statement ends when this returns, before the
    // outcome is told, so that its read lock never keeps other workstations waiting.
    db::Statement stream(connection, atJelentes.statementText());
    stream.setStreaming(true);
    // A query that lacks a report column is a fault of the file, not of this report.
    reportColumnSources(stream);
    if (!stream.step())
        return {DailyReport::Outcome::NoRows, noRowsMessage(), {}};

    const QString reportDir = reportDirectory(programDir);
    QString failure;
    try {
        const QString financingCode = department.asText(QStringLiteral("FINKOD"));
        const QString path = reportFilePath(reportDir, financingCode, day);
        saveReport(path, stream);
        return {DailyReport::Outcome::Written, successMessage(path), path};
    } catch (const ValueRefused &e) {
        refused = e;
        failure = e.message();
    } catch (const db::Error &e) {
        failure = e.message();
    } catch (const std::exception &e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    return {DailyReport::Outcome::Failed, failureMessage(reportDir, failure), {}};
}

// The TAJ of an entry as stored, for a person to find the entry by.
QString entryTaj(db::Connection &connection, const QString &hivSzam)
{
    db::Statement taj(connection, db::statements::entryTaj());
    qint64 number = 0;
    if (db::parseStoredInteger(hivSzam, &number))
        taj.bind(1, number);
    else
        taj.bind(1, hivSzam);
    if (!taj.step() || taj.isNull(0))
        return QStringLiteral("nincs");
    if (taj.type(0) == db::ValueType::Blob || !db::isUtf8Text(taj.utf8(0)))
        return db::binaryPlaceholder();
    return taj.text(0);
}

} // namespace

DailyReport makeDailyReport(db::Connection &connection, const db::Dataset &department,
                            const QString &programDir, const QDate &day)
{
    std::optional<ValueRefused> refused;
    DailyReport report = streamReport(connection, department, programDir, day, refused);
    if (refused && !refused->hivSzam().isEmpty())
        report.message
            = failureMessage(reportDirectory(programDir),
                             refused->withTaj(entryTaj(connection, refused->hivSzam())).message());
    return report;
}

DailyReport makeDailyReport(db::Connection &connection, const QString &programDir, const QDate &day)
{
    db::Dataset department(QStringLiteral("atOsztaly"));
    department.setConnection(&connection);
    department.setTableName(QStringLiteral("OSZTALY"));
    department.setFields(db::fields::osztaly());
    department.open();
    return makeDailyReport(connection, department, programDir, day);
}

} // namespace report
