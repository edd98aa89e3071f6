#include "figuretables.h"

#include "tables/texttable.h"

#include <QLocale>

namespace stats {

namespace {

const QLocale &hungarian()
{
    static const QLocale locale(QLocale::Hungarian, QLocale::Hungary);
    return locale;
}

QVariant figure(const std::optional<qint64> &value)
{
    return value ? QVariant(*value) : QVariant();
}

QVariantList waitingRow(const QString &label, const WaitingFigures &w)
{
    return {
        label,     w.members, figure(w.median), figure(w.percentile90), figure(w.longest), w.over90,
        w.over180, w.over365, w.undated};
}

} // namespace

QString numberText(qint64 value)
{
    return hungarian().toString(value);
}

QString cellText(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("–");
    if (value.typeId() == QMetaType::LongLong)
        return numberText(value.toLongLong());
    return value.toString();
}

QString monthLabel(const QDate &month)
{
    return QStringLiteral("%1. %2").arg(QString::number(month.year()),
                                        hungarian().standaloneMonthName(month.month()));
}

QString dayLabel(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy. MM. dd."));
}

QString urgencyLabel(int urgency)
{
    switch (urgency) {
    case Acute:
        return QStringLiteral("Azonnali (Akut)");
    case Deferrable:
        return QStringLiteral("Halasztható");
    default:
        return QStringLiteral("Egyéb");
    }
}

QList<int> urgenciesShown(const Figures &figures)
{
    QList<int> shown{Acute, Deferrable};
    if (figures.waiting.byUrgency[OtherUrgency].members > 0)
        shown << OtherUrgency;
    return shown;
}

QString eventLabel(const QString &code, const QList<EventKind> &events)
{
    if (code.isEmpty())
        return QStringLiteral("(nincs esemény)");
    for (const EventKind &event : events) {
        if (event.code == code)
            return event.name;
    }
    return QStringLiteral("„%1” (ismeretlen esemény)").arg(code);
}

QString waitRangeLabel(const WaitBucket &bucket)
{
    if (bucket.toDays < 0)
        return QStringLiteral("%1 vagy több").arg(bucket.fromDays);
    return QStringLiteral("%1–%2").arg(bucket.fromDays).arg(bucket.toDays);
}

QString heading(const Figures &figures)
{
    return QStringLiteral("%1 – %2").arg(figures.scope.label, dayLabel(figures.today));
}

FigureTable nowTable(const Figures &figures)
{
    FigureTable table;
    table.title = QStringLiteral("Jelenleg a listán");
    table.columns = {QStringLiteral("Sürgősség"),
                     QStringLiteral("Listatagok"),
                     QStringLiteral("Medián (nap)"),
                     QStringLiteral("90. percentilis (nap)"),
                     QStringLiteral("Leghosszabb (nap)"),
                     QStringLiteral("90 napnál régebben"),
                     QStringLiteral("180 napnál régebben"),
                     QStringLiteral("365 napnál régebben"),
                     QStringLiteral("Várakozási idő nélkül")};
    for (const int u : urgenciesShown(figures))
        table.rows.append(waitingRow(urgencyLabel(u), figures.waiting.byUrgency[size_t(u)]));
    table.rows.append(waitingRow(QStringLiteral("Összesen"), figures.waiting.all));
    return table;
}

FigureTable distributionTable(const Figures &figures)
{
    FigureTable table;
    table.title = QStringLiteral("A várakozási idő megoszlása");
    table.columns << QStringLiteral("Várakozás (nap)");
    const QList<int> urgencies = urgenciesShown(figures);
    for (const int u : urgencies)
        table.columns << urgencyLabel(u);
    table.columns << QStringLiteral("Összesen");
    for (const WaitBucket &bucket : figures.waiting.distribution) {
        QVariantList row{waitRangeLabel(bucket)};
        for (const int u : urgencies)
            row << bucket.members[size_t(u)];
        row << bucket.total;
        table.rows.append(row);
    }
    return table;
}

FigureTable trendTable(const Figures &figures)
{
    FigureTable table;
    table.title = QStringLiteral("Listatagok a hónap végén");
    table.columns = {QStringLiteral("Hónap"), QStringLiteral("Nap"), QStringLiteral("Listatagok")};
    for (const MonthFigures &m : figures.months)
        table.rows.append({monthLabel(m.month), dayLabel(m.countedOn), m.members});
    return table;
}

QStringList leavingEvents(const Figures &figures)
{
    QStringList codes;
    for (const EventKind &event : figures.events) {
        if (!event.onList)
            codes << event.code;
    }
    for (const MonthFigures &m : figures.months) {
        for (auto it = m.left.cbegin(); it != m.left.cend(); ++it) {
            if (it.value() != 0 && !codes.contains(it.key()))
                codes << it.key();
        }
    }
    return codes;
}

FigureTable flowTable(const Figures &figures)
{
    FigureTable table;
    table.title = QStringLiteral("Mozgás havonta");
    table.columns = {QStringLiteral("Hónap"), QStringLiteral("Felvéve"),
                     QStringLiteral("Visszakerült"), QStringLiteral("Lekerült")};
    const QStringList events = leavingEvents(figures);
    for (const QString &code : events)
        table.columns << QStringLiteral("Lekerült: %1").arg(eventLabel(code, figures.events));
    for (const MonthFigures &m : figures.months) {
        QVariantList row{monthLabel(m.month), m.added, m.returned, m.leftTotal()};
        for (const QString &code : events)
            row << m.left.value(code);
        table.rows.append(row);
    }
    return table;
}

std::unique_ptr<tables::TextTable> textModel(const FigureTable &table)
{
    QList<QStringList> rows;
    for (const QVariantList &row : table.rows) {
        QStringList cells;
        for (const QVariant &value : row)
            cells << cellText(value);
        rows << cells;
    }
    QList<int> numbers;
    for (int c = 1; c < table.columns.size(); ++c)
        numbers << c;
    return std::make_unique<tables::TextTable>(table.columns, rows, numbers);
}

QList<FigureTable> allTables(const Figures &figures)
{
    return {nowTable(figures), distributionTable(figures), trendTable(figures), flowTable(figures)};
}

} // namespace stats
