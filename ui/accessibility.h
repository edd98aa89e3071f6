#pragma once

namespace ui {

// Makes what a screen reader hears match what the screen shows: a plain top-level widget is
// a window named by its title, a masked edit reads the characters it shows (zeros included),
// and a pick-from-list combo box keeps its own name whatever item it shows. Safe to call more
// than once; every window that relies on it calls it.
void installAccessibility();

} // namespace ui
