#pragma once

#include <QString>
#include <QStringList>

// The program's statement texts as the database server reads them. The windows' fixed texts
// keep the Jet dialect the department's other tools know (the member query's "I"); every other
// text is written so that both engines read it as it stands, and only its parameters change.
namespace db::serverdialect {

struct AdaptedText
{
    QString sql;
    // The name of each $n placeholder in order ("" for a positional '?').
    QStringList parameterNames;
};

// Rewrites a statement text for the server: a double-quoted word compared with "=" or "<>" is
// a text value there (the member query's "I"), not a column; ":Name" and "?" parameters
// become $1, $2, ... (one number per distinct name); everything between single quotes, and
// "::" casts, stay as they are.
AdaptedText adapt(const QString &sql);

// What a statement text would do if it were sent once more after its connection broke.
enum class Role {
    Rerunnable, // reads, BEGIN and session settings: sending them again changes no data
    Commit,     // ends a transaction: it may have been stored before the answer was lost
    Rollback,   // undoes a whole transaction, which a broken connection has undone already
    Write       // anything else: it may change data
};

// The role of a text of one or more statements (separated by ';'): Commit and Rollback only
// for a text of that one statement; Rerunnable when every statement reads or begins, a WITH
// query included as long as no INSERT, UPDATE, DELETE or MERGE stands in it.
Role role(QStringView sql);

} // namespace db::serverdialect
