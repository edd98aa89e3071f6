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

} // namespace db::serverdialect
