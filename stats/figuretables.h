#pragma once

#include "statistics.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace tables {
class TextTable;
}

namespace stats {

// One table of figures as the window shows it, the printout prints it, the CSV file holds it
// and the tool writes it. A cell is a whole number (qint64), a text, or null where there is no
// figure (a median of no member).
struct FigureTable
{
    QString title;
    QStringList columns;
    QList<QVariantList> rows;
};

FigureTable nowTable(const Figures &figures);
FigureTable distributionTable(const Figures &figures);
FigureTable trendTable(const Figures &figures);
FigureTable flowTable(const Figures &figures);
QList<FigureTable> allTables(const Figures &figures);

// The urgencies of the Now rows and the distribution's columns: acute and deferrable always,
// the others where there are any.
QList<int> urgenciesShown(const Figures &figures);

// The events of the flow's columns: every event kind that takes an entry off the list, then
// any other code that took someone off in the months shown.
QStringList leavingEvents(const Figures &figures);

// What the figures are of and on which day, as a title line.
QString heading(const Figures &figures);

// The table as a model of its texts in their Hungarian form, for a grid and the printer:
// every column but the first holds numbers (aligned right).
std::unique_ptr<tables::TextTable> textModel(const FigureTable &table);

// Hungarian forms: digit groups, "2026. december", "2026. 12. 10.", and "–" for no figure.
QString cellText(const QVariant &value);
QString numberText(qint64 value);
QString monthLabel(const QDate &month);
QString dayLabel(const QDate &day);
QString urgencyLabel(int urgency);
QString eventLabel(const QString &code, const QList<EventKind> &events);
QString waitRangeLabel(const WaitBucket &bucket);

} // namespace stats
