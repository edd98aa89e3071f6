#include "dailyreport.h"

#include "adoxml.h"
#include "reportfile.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/error.h"
#include "db/statement.h"

#include <exception>

namespace report {

DailyReport makeDailyReport(db::Connection &connection, const db::Dataset &department,
                            const QString &programDir, const QDate &day)
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
    } catch (const db::Error &e) {
        failure = e.message();
    } catch (const std::exception &e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    return {DailyReport::Outcome::Failed, failureMessage(reportDir, failure), {}};
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
