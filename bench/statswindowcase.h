#pragma once

#include <QString>

namespace bench {

// The statistics window over the department of a program folder (its file, or the server its
// connection file names), opened on one list as the main window opens it: "stats-window"
// prints the seconds until the window is shown with every figure, and as its own figure the
// seconds a change of the choice to all the lists of the list's kind takes.
int runStatsWindowCase(int argc, char **argv, const QString &programDir, int list);

// A program folder whose connection file names the server: what the window and the tool open
// to reach the department there. The folder is made in parent.
QString serverProgramDir(const QString &parent, const QString &server);

// vazuvede-admin statisztika run as the coordinator runs it, with --lista list when list is
// not negative, its output thrown away: the seconds from its start to its end, or a negative
// number when it failed.
double timeStatisticsTool(const QString &programDir, int list);

} // namespace bench
