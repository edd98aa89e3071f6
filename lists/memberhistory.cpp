#include "memberhistory.h"

#include "dataset/dataset.h"
#include "dataset/fielddef.h"
#include "db/connection.h"
#include "db/statements.h"
#include "db/values.h"

#include <QLocale>

namespace lists {

namespace {
constexpr QStringView codeColumn = u"ESEM_KOD";
constexpr QStringView dateColumn = u"ESEM_DATUM";

QString fieldTitle(const QString &column)
{
    if (column == codeColumn)
        return QStringLiteral("Esemény");
    if (column == dateColumn)
        return QStringLiteral("Esemény dátum");
    return column;
}
} // namespace

QString historyValue(const QString &column, const QString &stored, const QString &eventName)
{
    if (column == codeColumn)
        return eventName.isEmpty() ? stored : eventName + QStringLiteral(" (") + stored + u')';
    if (column == dateColumn) {
        // Logged as SQL date text, month first; older rows may hold stored ISO text.
        QDate day = QDate::fromString(stored, QStringLiteral("M/d/yyyy"));
        if (!day.isValid())
            day = db::parseStoredDateTime(stored).date();
        if (day.isValid())
            return QLocale().toString(day, QLocale::ShortFormat);
    }
    return stored;
}

QList<HistoryLine> readHistory(db::Connection &connection, qint64 hivSzam)
{
    db::Dataset log;
    log.setConnection(&connection);
    log.setSql(db::statements::memberHistory());
    log.setFields({{QStringLiteral("DATUM"), db::FieldKind::DateTime},
                   {QStringLiteral("MEZO"), db::FieldKind::Text},
                   {QStringLiteral("REGI_ERTEK"), db::FieldKind::Text},
                   {QStringLiteral("UJ_ERTEK"), db::FieldKind::Text},
                   {QStringLiteral("REGI_NEV"), db::FieldKind::Text},
                   {QStringLiteral("UJ_NEV"), db::FieldKind::Text}});
    log.setParameter(QStringLiteral("HivSzam"), hivSzam);
    log.open();
    QList<HistoryLine> lines;
    for (log.first(); !log.eof(); log.next()) {
        const QDateTime when = log.asDateTime(QStringLiteral("DATUM"));
        const QString column = log.asText(QStringLiteral("MEZO"));
        HistoryLine line;
        // The stored wall-clock time, whatever zone the value is marked with.
        line.when = when.isValid() ? QLocale().toString(when.date(), QLocale::ShortFormat) + u' '
                                         + when.time().toString(QStringLiteral("HH:mm:ss"))
                                   : QString();
        line.field = fieldTitle(column);
        line.oldValue = historyValue(column, log.asText(QStringLiteral("REGI_ERTEK")),
                                     log.asText(QStringLiteral("REGI_NEV")));
        line.newValue = historyValue(column, log.asText(QStringLiteral("UJ_ERTEK")),
                                     log.asText(QStringLiteral("UJ_NEV")));
        lines << line;
    }
    return lines;
}

} // namespace lists
