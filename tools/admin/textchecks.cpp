#include "textchecks.h"

#include "db/error.h"
#include "db/schema.h"
#include "db/textlimit.h"

namespace admin {

qint64 parseCode(const QString &text, const QString &what)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || text.trimmed() != text)
        throw db::Error(QStringLiteral("%1 egész szám legyen, nem „%2”.").arg(what, text));
    return value;
}

void requireFits(const QString &text, const char *table, const char *column, const QString &what,
                 Echo echo)
{
    // Counted as the database counts them: a character outside the basic plane is one.
    const int width = db::schema::width(table, column);
    const int length = db::characterCount(text);
    if (length <= width)
        return;
    if (echo == Echo::Nothing)
        throw db::Error(QStringLiteral("%1 legfeljebb %2 karakter lehet.").arg(what).arg(width));
    throw db::Error(QStringLiteral("%1 legfeljebb %2 karakter lehet, ez %3: „%4”.")
                        .arg(what)
                        .arg(width)
                        .arg(length)
                        .arg(text));
}

void requireName(const QString &text, const char *table, const char *column, const QString &what)
{
    if (text.trimmed().isEmpty())
        throw db::Error(QStringLiteral("%1 nem lehet üres.").arg(what));
    requireFits(text, table, column, what);
}

QString parseListKind(const QString &text)
{
    const QString word = text.toLower();
    if (word == u"v" || word == u"varolista")
        return QStringLiteral("V");
    if (word == u"b" || word == u"betegfogadasi")
        return QStringLiteral("B");
    if (word == u"j" || word == u"jarobeteg")
        return QStringLiteral("J");
    throw db::Error(QStringLiteral("Ismeretlen listafajta: „%1”. Lehet: V (várólista), "
                                   "B (betegfogadási lista) vagy J (a járóbeteg-osztály "
                                   "egyetlen listája).")
                        .arg(text));
}

QString parseYesNo(const QString &text, const QString &what)
{
    const QString word = text.toLower();
    if (word == u"igen" || word == u"i")
        return QStringLiteral("I");
    if (word == u"nem" || word == u"n")
        return QStringLiteral("N");
    throw db::Error(QStringLiteral("%1: „igen” vagy „nem” legyen, nem „%2”.").arg(what, text));
}

} // namespace admin
