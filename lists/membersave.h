#pragma once

#include "rules/member.h"

#include <QDate>
#include <QString>

#include <optional>

namespace db {
class Connection;
class Dataset;
} // namespace db

// The member dialog's work on the data, apart from the window: the entry it is filled from,
// the checks against the member query, and saving what the person asked for.
namespace lists {

// The current row of the member query, as the list manager shows it.
rules::ShownEntry shownEntry(const db::Dataset &members);

// The input checks of the member dialog. A new entry's TAJ is located among the members of
// the list manager's query (a duplicate becomes its current row); without the query nothing
// is checked against the list.
std::optional<rules::InputFailure> checkInput(const rules::MemberInput &input, db::Dataset *members,
                                              const QDate &today);

// The event table the member dialog offers its names from (atEsemeny), opened on the
// connection: every ESEMENY row in the order the table gives them.
void openEvents(db::Dataset &atEsemeny, db::Connection &connection);

// What the member dialog asks for on OK, read from its controls once they passed the checks.
struct MemberRequest
{
    QString hivSzam;        // empty: a new entry; else the entry whose new event is recorded
    qint64 beavtipKod = -1; // the list a new entry goes on
    QString taj;            // nine digits
    QString nev;            // as typed, never trimmed
    QDate listara;
    int surgos = -1; // the urgency item chosen
    QString eventName;
    QDate esemDatum;
    QDate today;                            // the day a new entry is created on
    std::optional<rules::ShownEntry> shown; // event mode: the entry as the dialog showed it
};

struct SaveOutcome
{
    enum class Result {
        Saved,
        EventNotFound,    // no event of that name: nothing was written
        ChangedMeanwhile, // the entry differs from the one shown: nothing was written
        EntryGone,        // the entry is no longer stored: nothing was written
        Failed            // the entry was not written; error says why
    };
    Result result = Result::Failed;
    bool logFailed = false; // an event was saved, but its change log not (wholly)
    std::optional<QString> error;
    std::optional<rules::ShownEntry> stored; // ChangedMeanwhile: the entry as stored now
};

// Saves the request: a new entry with one INSERT, or the new event of an entry with its LOG
// rows and its UPDATE. The event's code is the one atEsemeny holds under that name, the table
// opened first when it is closed. Shows nothing: the caller reports the outcome.
SaveOutcome saveMember(db::Connection &connection, db::Dataset &atEsemeny,
                       const MemberRequest &request);

// The new event of an entry: its LOG rows (one per changed event column, the old values read
// from the entry as stored, inside the write lock) and the UPDATE in one write transaction,
// so a failed UPDATE leaves no LOG rows behind, while a failed log never stops the UPDATE.
// With the entry as it was shown, an entry stored otherwise by now (or no longer stored) is
// left as it is and the outcome says so: nobody's change is overwritten unseen.
SaveOutcome saveEvent(db::Connection &connection, const QString &hivSzam, const QString &newCode,
                      const QDate &newDate,
                      const std::optional<rules::ShownEntry> &shown = std::nullopt);

// The entry as stored now, read as the member query reads it; none when it is not stored.
std::optional<rules::ShownEntry> storedEntry(db::Connection &connection, qint64 hivSzam);

} // namespace lists
