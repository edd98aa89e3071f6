#pragma once

#include <QDate>
#include <QString>

namespace db {
class Dataset;
}

namespace report {

// How the day's report ended: the message tells the person, the path names the file written.
struct DailyReport
{
    enum class Outcome { NoRows, Written, Failed };
    Outcome outcome = Outcome::Failed;
    QString message;
    QString path;
};

// The day's report of the department, the same for the main window's button and the
// administration tool: opens the report dataset (QJELENTES), and when it holds rows saves them
// into the report folder of the program folder under the financing code of the department
// dataset's current row and the day. The report dataset is left open for the caller to close
// once the outcome has been told; an error opening it escapes as db::Error.
DailyReport makeDailyReport(db::Dataset &rows, const db::Dataset &department,
                            const QString &programDir, const QDate &day);

} // namespace report
