#pragma once

// The main window reaches all its list actions through this header, the TAJ search included.
#include "tajsearch.h"

#include <QString>

#include <optional>

namespace ui {
class MainHost;
}

// The main window's list actions: choosing a list and opening the list manager on it.
namespace lists {

// The saved query that the list summary opens for the pressed list button.
QString summaryQueryName(const QString &senderName);

// "Várólisták Kezelése" and "Betegfogadási listák Kezelése": settles the current list (an
// outpatient department has only list 0) and opens the list manager on it.
void bbZazadorozClick(ui::MainHost &host, const QString &senderName);

// Opens the list manager window on the current list, with the row of the given TAJ current
// when there is one.
void OpenListManager(ui::MainHost &host, const std::optional<QString> &taj = std::nullopt);

} // namespace lists
