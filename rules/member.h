#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace db {
class Dataset;
}

// The member dialog's rules that depend on data, apart from the window: what it is filled
// with for each mode, the input checks, and saving an event with its change log.
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

// What the input checks read from the member dialog.
struct MemberInput
{
    bool newEntry = true;
    QString tajDigits; // rules::noTaj() when nothing is typed
    QDate listara;
    int surgos = -1;
    QString eventText;
    QDate esemDatum;
};

// The first failing check: its message and the control that gets the focus.
struct InputFailure
{
    QString message;
    QString focus; // the control's component name
};

// The checks in their order; only the first failure is reported. A new entry's TAJ is looked
// up among the members shown (a locate: a duplicate becomes the current row there).
std::optional<InputFailure> firstFailedCheck(const MemberInput &input, db::Dataset *members,
                                             const QDate &today);

// The LOG rows of an event change, one per changed event column (the code compared exactly,
// the dates as calendar days), the old values read from the entry as stored now. Each row is
// undone alone when it fails; returns false after a failure (the entry unreadable included),
// with the rows before it kept. Runs inside the caller's write transaction, so that nobody
// changes the entry between this read and the caller's UPDATE.
bool logChanges(db::Dataset &aqModosit, const QString &hivSzam, const QString &newCode,
                const QDate &newDate);

struct SaveOutcome
{
    bool logFailed = false;
    std::optional<QString> error; // the engine's message when the entry was not updated
};

// The new event of an entry: its LOG rows and the UPDATE in one write transaction, so a
// failed UPDATE leaves no LOG rows behind, while a failed log never stops the UPDATE. Shows
// nothing: the caller reports the outcome once the transaction has ended.
SaveOutcome saveEvent(db::Dataset &aqModosit, const QString &hivSzam, const QString &newCode,
                      const QDate &newDate);

} // namespace lists
