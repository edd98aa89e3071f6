#pragma once

#include <QString>

namespace bench {

// The list manager as a person waits for it, on the file or (with a connection text) on the
// server: the chooser's OK until the window's first paint is over, the list read again after
// a member dialog, keystrokes in the search box, a click on a title, and the members saved as
// CSV and as PDF. With raw set, the same work done by a plain program over the same rows
// instead. Prints one "figure value" line per figure (seconds, or KiB for memory) and returns
// the process's exit code. With readsOnly, the program stops after the list is read again
// (to profile the readings alone).
int runWindowCase(int argc, char **argv, bool raw, bool readsOnly, const QString &dir, int list,
                  const QString &server);

} // namespace bench
