#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

// The member dialog's rules apart from the window: what it is filled with for each mode,
// the urgency's letters, and the input checks.
namespace rules {

// The event every new entry gets; found among the event names with letter case ignored.
inline QString newEntryEventName()
{
    return QStringLiteral("Várakozás");
}

// An entry as the list manager showed it: the row the member dialog is filled from in event
// mode, with its event as stored then.
struct ShownEntry
{
    qint64 hivSzam = 0;
    QString taj;
    QString nev;
    QDate listara;
    QString surgosseg;
    QString esemKod;
    QDate esemDatum;
    QString esemNev; // the event's name, for the person; not part of the entry itself
};

// Whether the entry stored now differs from the one shown in what the member dialog shows or
// saves by: the patient's data, the event and its day (days compared as days).
bool changedSince(const ShownEntry &shown, const ShownEntry &stored);

// What the member dialog says when another workstation changed the entry while it was open:
// that nothing was saved, the entry as stored now, and that OK again saves the choice.
QString changedMeanwhileMessage(const ShownEntry &stored);

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
    std::optional<ShownEntry> shown; // event mode: the entry as shown
};

// A new member: nothing typed, both dates today, the waiting event preselected.
MemberFill newEntryFill(const QDate &today);
// An event for a shown entry: its data as shown, no event selected, the event date today.
MemberFill eventFill(const ShownEntry &entry, const QDate &today);

// The urgency item of a stored SURGOSSEG: only an exact "A" is acute (item 0); anything else,
// a lower-case "a" included, is deferrable (item 1).
int urgencyItem(const QString &surgosseg);
// The SURGOSSEG stored for an urgency item: "A" for item 0, "H" for any other.
QString urgencyLetter(int item);

// What the input checks read from the member dialog.
struct MemberInput
{
    bool newEntry = true;
    QString tajDigits; // noTaj() when nothing is typed
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

// Whether a TAJ is among the members shown; asked only for a new entry whose TAJ was typed.
using ShownListLookup = std::function<bool(const QString &tajDigits)>;

// The checks in their order; only the first failure is reported.
std::optional<InputFailure> firstFailedCheck(const MemberInput &input, const QDate &today,
                                             const ShownListLookup &onShownList);

} // namespace rules
