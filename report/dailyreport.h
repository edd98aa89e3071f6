#pragma once

#include <QDate>
#include <QString>

namespace db {
class Connection;
class Dataset;
} // namespace db

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
// administration tool: runs the report query (QJELENTES, as the report dataset atJelentes
// names it), and when it gives rows streams them into the report folder of the program folder
// under the financing code of the department dataset's current row and the day. The rows are
// never all held in memory; an error running the query escapes as db::Error.
DailyReport makeDailyReport(db::Connection &connection, const db::Dataset &department,
                            const QString &programDir, const QDate &day);
// The same from a connection alone, with the department's row read afresh (the
// administration tool has no main window to hold it).
DailyReport makeDailyReport(db::Connection &connection, const QString &programDir,
                            const QDate &day);

} // namespace report
