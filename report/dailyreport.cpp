#include "dailyreport.h"

#include "reportfile.h"

#include "db/dataset.h"
#include "db/error.h"

#include <exception>

namespace report {

DailyReport makeDailyReport(db::Dataset &rows, const db::Dataset &department,
                            const QString &programDir, const QDate &day)
{
    rows.open();
    if (rows.recordCount() < 1)
        return {DailyReport::Outcome::NoRows, noRowsMessage(), {}};

    const QString reportDir = reportDirectory(programDir);
    QString failure;
    try {
        const QString financingCode = department.asText(QStringLiteral("FINKOD"));
        const QString path = reportFilePath(reportDir, financingCode, day);
        saveReport(path, rows);
        return {DailyReport::Outcome::Written, successMessage(path), path};
    } catch (const db::Error &e) {
        failure = e.message();
    } catch (const std::exception &e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    return {DailyReport::Outcome::Failed, failureMessage(reportDir, failure), {}};
}

} // namespace report
