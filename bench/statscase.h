#pragma once

#include <QString>

namespace bench {

// The statistics cases, one per figure's statement, each against a raw loop that reads every
// row the figure is made of and counts in C++: "stats-members" (members by listing day and
// urgency), "stats-left" (entries off the list by month), "stats-history" (the logged
// histories that left and came back), "stats-all" (every figure of the list, as the window
// and the tool compute them) and "stats-kind" (every figure of all the lists of the list's
// kind). "-raw" names the raw loop, "-server" the same on the server the connection text
// names. Prints "seconds 0 rows-or-groups 0"; returns the process's exit code.
int runStatsCase(const QString &name, const QString &dir, int list, const QString &server);

// Brings back one in fifty of the entries that left, as the member dialog would record it (a
// later event "Várakozás" with its day, and the log of both changes), so that the histories
// statement has the work a department's log gives it. Returns how many came back.
int addReturns(const QString &databasePath);

} // namespace bench
