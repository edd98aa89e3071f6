#pragma once

#include <QDate>
#include <QString>

namespace db {
class Dataset;
}

// The member dialog's rules that depend on data, apart from the window: what it is filled
// with for each mode.
namespace lists {

// The event every new entry gets; found among the event names with letter case ignored.
inline QString newEntryEventName()
{
    return QStringLiteral("Várakozás");
}

// What the list manager puts into the member dialog before showing it.
struct MemberFill
{
    bool newEntry = true;
    QString hivSzam; // empty for a new entry
    QString taj;     // nine digits; empty when nothing is typed yet
    QString nev;
    QDate listara;
    int surgos = -1;   // the urgency item: -1 none, 0 "Azonnali (Akut)", 1 "Halasztható"
    QString eventName; // the event to select, letter case ignored; empty selects none
    QDate esemDatum;
};

// A new member: nothing typed, both dates today, the waiting event preselected.
MemberFill newEntryFill(const QDate &today);
// An event for the current row of the member query: the entry's data as stored, no event
// selected, the event date today.
MemberFill eventFill(const db::Dataset &members, const QDate &today);

} // namespace lists
