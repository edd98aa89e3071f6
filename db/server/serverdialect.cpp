#include "serverdialect.h"

#include <QList>

#include <algorithm>
#include <limits>

namespace db::serverdialect {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The last character before position that is not white space, or a null character.
QChar previousNonSpace(const QString &text, qsizetype position)
{
    for (qsizetype i = position - 1; i >= 0; --i) {
        if (!text.at(i).isSpace())
            return text.at(i);
    }
    return {};
}

bool afterComparison(const QString &text, qsizetype position)
{
    const QChar before = previousNonSpace(text, position);
    return before == u'=' || before == u'>' || before == u'<';
}

// The statements of a text, split at each ';' outside a quoted text, each without leading
// white space and comment lines; empty ones are left out.
QList<QStringView> statementsOf(QStringView sql)
{
    QList<QStringView> statements;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i <= sql.size(); ++i) {
        if (i < sql.size() && sql.at(i) == u'\'')
            quoted = !quoted;
        if (i < sql.size() && (quoted || sql.at(i) != u';'))
            continue;
        QStringView statement = sql.mid(start, i - start).trimmed();
        while (statement.startsWith(u"--")) {
            const qsizetype end = statement.indexOf(u'\n');
            statement = end < 0 ? QStringView() : statement.mid(end + 1).trimmed();
        }
        if (!statement.isEmpty())
            statements << statement;
        start = i + 1;
    }
    return statements;
}

// The upper-case words of a statement, up to count.
QStringList wordsOf(QStringView statement, int count)
{
    QStringList words;
    qsizetype i = 0;
    while (i < statement.size() && words.size() < count) {
        if (!isWordStart(statement.at(i))) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < statement.size() && isWordChar(statement.at(i)))
            ++i;
        words << statement.mid(start, i - start).toString().toUpper();
    }
    return words;
}

bool changesData(QStringView statement)
{
    static const QStringList writing{QStringLiteral("INSERT"), QStringLiteral("UPDATE"),
                                     QStringLiteral("DELETE"), QStringLiteral("MERGE")};
    const QStringList words = wordsOf(statement, std::numeric_limits<int>::max());
    return std::any_of(words.cbegin(), words.cend(),
                       [](const QString &word) { return writing.contains(word); });
}

bool rerunnable(QStringView statement)
{
    static const QStringList reading{QStringLiteral("SELECT"), QStringLiteral("SHOW"),
                                     QStringLiteral("VALUES"), QStringLiteral("TABLE"),
                                     QStringLiteral("BEGIN"),  QStringLiteral("START"),
                                     QStringLiteral("SET")};
    const QString first = wordsOf(statement, 1).value(0);
    return reading.contains(first) || (first == u"WITH" && !changesData(statement));
}

} // namespace

Role role(QStringView sql)
{
    const QList<QStringView> statements = statementsOf(sql);
    if (statements.size() == 1) {
        const QStringList words = wordsOf(statements.front(), 2);
        const QString first = words.value(0);
        if (first == u"COMMIT" || first == u"END")
            return Role::Commit;
        if ((first == u"ROLLBACK" || first == u"ABORT") && words.value(1) != u"TO")
            return Role::Rollback;
    }
    const bool reads
        = !statements.isEmpty() && std::all_of(statements.cbegin(), statements.cend(), rerunnable);
    return reads ? Role::Rerunnable : Role::Write;
}

AdaptedText adapt(const QString &sql)
{
    AdaptedText result;
    QString &out = result.sql;
    out.reserve(sql.size() + 8);
    const qsizetype n = sql.size();
    qsizetype i = 0;
    const auto placeholder = [&result](const QString &name) {
        if (!name.isEmpty()) {
            for (qsizetype k = 0; k < result.parameterNames.size(); ++k) {
                if (result.parameterNames.at(k).compare(name, Qt::CaseInsensitive) == 0)
                    return u'$' + QString::number(k + 1);
            }
        }
        result.parameterNames << name;
        return u'$' + QString::number(result.parameterNames.size());
    };
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == u'\'') {
            // A text value, with '' inside it, copied as it stands.
            qsizetype end = i + 1;
            while (end < n) {
                if (sql.at(end) == u'\'') {
                    if (end + 1 < n && sql.at(end + 1) == u'\'') {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            out += QStringView(sql).mid(i, end + 1 - i);
            i = end + 1;
        } else if (c == u'"') {
            qsizetype end = sql.indexOf(u'"', i + 1);
            if (end < 0)
                end = n;
            const QStringView inner = QStringView(sql).mid(i + 1, end - i - 1);
            if (afterComparison(sql, i)) {
                // Jet reads "I" as text: so does the server, once it is between single quotes.
                QString value = inner.toString();
                value.replace(u'\'', QStringLiteral("''"));
                out += u'\'' + value + u'\'';
            } else {
                out += QStringView(sql).mid(i, end + 1 - i);
            }
            i = end + 1;
        } else if (c == u':' && i + 1 < n && sql.at(i + 1) == u':') {
            out += QStringLiteral("::");
            i += 2;
        } else if (c == u':' && i + 1 < n && isWordStart(sql.at(i + 1))) {
            qsizetype end = i + 1;
            while (end < n && isWordChar(sql.at(end)))
                ++end;
            out += placeholder(sql.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == u'?') {
            out += placeholder(QString());
            ++i;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? n : end;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else {
            out += c;
            ++i;
        }
    }
    return result;
}

} // namespace db::serverdialect
