#include "memberlisting.h"

#include "dataset/dataset.h"
#include "db/statements.h"
#include "db/values.h"

#include <QLocale>

namespace lists {

namespace {
QString quoted(const QString &text)
{
    return QStringLiteral("„%1”").arg(text);
}

QString shownValue(const db::Dataset &members, int row, int column)
{
    const QVariant value = members.value(row, column);
    if (value.typeId() == QMetaType::QByteArray)
        return db::binaryPlaceholder();
    return value.toString();
}
} // namespace

DepartmentName departmentName(const db::Dataset &osztaly)
{
    if (!osztaly.isOpen() || osztaly.recordCount() == 0)
        return {};
    const auto text = [&osztaly](const char *column) {
        const int index = osztaly.columnIndex(QString::fromLatin1(column));
        return index >= 0 ? osztaly.value(0, index).toString() : QString();
    };
    return {text("OSZTALYNEV"), text("INTKOD"), text("FINKOD")};
}

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

QString oddEntriesMessage(const db::Dataset &members)
{
    // A long run of odd rows is named in part: the message stays readable on a screen.
    constexpr int namedAtMost = 20;
    const int hivSzam = members.columnIndex(QStringLiteral("HIV_SZAM"));
    const int taj = members.columnIndex(QStringLiteral("TAJ"));
    QStringList lines;
    int entries = 0;
    const auto &odd = members.oddValues();
    for (std::size_t i = 0; i < odd.size();) {
        const int row = odd[i].row;
        QStringList fields;
        for (; i < odd.size() && odd[i].row == row; ++i)
            fields << members.columnName(odd[i].column);
        if (++entries > namedAtMost)
            continue;
        lines << QStringLiteral("Hiv. szám: %1, TAJ: %2 – %3")
                     .arg(shownValue(members, row, hivSzam), shownValue(members, row, taj),
                          fields.join(QStringLiteral(", ")));
    }
    if (entries == 0)
        return {};
    if (entries > namedAtMost)
        lines << QStringLiteral("… és még %1 bejegyzés.").arg(entries - namedAtMost);
    return QStringLiteral("A lista %1 bejegyzésében olyan érték áll, amelyet a mezője nem "
                          "enged meg (más program írta így). A lista minden tagja látható, ezek "
                          "az értékek úgy, ahogy tárolták, vagy „%2” jelöléssel. A bejegyzések:\n")
               .arg(entries)
               .arg(db::binaryPlaceholder())
           + lines.join(u'\n');
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

QString rereadFailedMessage(const QString &reason)
{
    return QStringLiteral("A lista tagjait nem sikerült újra beolvasni, ezért a táblázat a "
                          "legutóbb beolvasott adatokat mutatja, amelyek azóta változhattak.\n%1")
        .arg(reason);
}

QString staleListNote()
{
    return QStringLiteral("   (nem friss: az újraolvasás nem sikerült)");
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
