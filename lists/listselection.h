#pragma once

#include <QString>

#include <optional>

namespace db {
class Dataset;
}
namespace ui {
class MainHost;
}

// Choosing a list and opening the list manager on it, for the main window's list buttons and
// for the TAJ search.
namespace lists {

// The saved query that the list summary opens for the pressed list button.
QString summaryQueryName(const QString &senderName);

// "Várólisták Kezelése" and "Betegfogadási listák Kezelése": settles the current list (an
// outpatient department has only list 0; any other chooses from the summary of the pressed
// button's kind) and opens the list manager on it.
void selectList(ui::MainHost &host, const QString &senderName);

// The list chooser over an open dataset of lists (BEAVTIP_KOD, BEAVTIP_NEV, Listatagok): the
// code of the row chosen with OK, none when the chooser was cancelled.
std::optional<qint64> chooseList(ui::MainHost &host, db::Dataset &lists);

// Opens the list manager window on the current list, with the row of the given TAJ current
// when there is one.
void OpenListManager(ui::MainHost &host, const std::optional<QString> &taj = std::nullopt);

} // namespace lists
