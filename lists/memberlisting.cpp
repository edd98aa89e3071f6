#include "memberlisting.h"

#include "dataset/dataset.h"
#include "db/statements.h"

#include <QLocale>

namespace lists {

namespace {
QString quoted(const QString &text)
{
    return QStringLiteral("„%1”").arg(text);
}
} // namespace

QString waitingDaysTitle()
{
    return QStringLiteral("Várakozás (nap)");
}

std::optional<int> waitingDays(const QDate &listed, const QDate &today)
{
    if (!listed.isValid() || !today.isValid())
        return std::nullopt;
    return int(listed.daysTo(today));
}

QString readListName(db::Connection &connection, qint64 code)
{
    db::Dataset list;
    list.setConnection(&connection);
    list.setSql(db::statements::listName());
    list.setParameter(QStringLiteral("Kod"), code);
    list.open();
    const QString name
        = list.recordCount() > 0 ? list.asText(QStringLiteral("BEAVTIP_NEV")) : QString();
    return name.isEmpty() ? QStringLiteral("%1. lista").arg(code) : name;
}

QString statusLine(const QString &listName, int shown, int total,
                   std::optional<int> longestWaitDays, const QString &search)
{
    const QString longest = longestWaitDays
                                ? QString::number(*longestWaitDays) + QStringLiteral(" nap")
                                : QStringLiteral("–");
    const QString narrowed = search.isEmpty()
                                 ? QString()
                                 : QStringLiteral(", keresés szerint szűrve: ") + quoted(search);
    return QStringLiteral("Lista: %1   Látható: %2 / %3 tag%4   Leghosszabb várakozás: %5")
        .arg(listName, QString::number(shown), QString::number(total), narrowed, longest);
}

tables::Heading memberHeading(const DepartmentName &department, const QString &listName,
                              const QDate &day, const QString &search, int shown, int total)
{
    tables::Heading heading;
    heading.title = department.name + QStringLiteral(" – ") + listName;
    heading.lines << QStringLiteral("Intézeti kód: %1   Finanszírozási kód: %2")
                         .arg(department.institute, department.financing)
                  << QStringLiteral("Dátum: ") + QLocale().toString(day, QLocale::ShortFormat);
    if (!search.isEmpty())
        heading.filterNote
            = QStringLiteral("Csak a keresésnek (%1) megfelelő %2 tag a lista "
                             "%3 tagja közül.")
                  .arg(quoted(search), QString::number(shown), QString::number(total));
    return heading;
}

} // namespace lists
