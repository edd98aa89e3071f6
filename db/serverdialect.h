#pragma once

#include <QString>
#include <QStringList>

// The program's statement texts as the database server reads them. The texts keep the Jet
// dialect the department's other tools know; the server differs in a few readings only.
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

// The column names the server hands back in lower case, restored to the spelling of the
// program's tables and queries (hiv_szam -> HIV_SZAM, listatagok -> Listatagok); any other
// name is returned as it is.
QString programColumnName(const QString &serverName);

// A table or saved-query name as the server stores it: unquoted names fold to lower case.
// Throws db::Error for a name that is not a plain identifier.
QString tableName(const QString &name);

} // namespace db::serverdialect
