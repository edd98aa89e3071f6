#include "sqltext.h"

namespace db {

QString quoted(const QString &value)
{
    QString text = value;
    text.replace(u'\'', QStringLiteral("''"));
    return u'\'' + text + u'\'';
}

QString sqlDateText(const QDate &date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(date.month())
        .arg(date.day())
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

} // namespace db
