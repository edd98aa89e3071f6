#pragma once

namespace ui {

// Makes what a screen reader hears match what the screen shows: a plain top-level widget is
// a window named by its title, and a masked edit reads the characters it shows (zeros
// included). Everything else is Qt's own: a combo box, for one, is named by the item it shows
// and labelled through its buddy's relation. Safe to call more than once; every window that
// relies on it calls it.
void installAccessibility();

} // namespace ui
