#pragma once

#include <QStringView>

// The messages of the database layer that more than one place gives, each written once.
namespace db::message {

inline constexpr QStringView notOpen = u"Nincs megnyitva az adatbázis";
inline constexpr QStringView emptyStatement = u"Üres adatbázis-utasítás";

// %1 names the server database. Said at start-up and when a lost connection cannot be made
// again.
inline constexpr QStringView serverUnreachable = u"Az adatbázis-kiszolgáló nem érhető el: %1";
// After serverUnreachable while the program is open: nothing was sent to the server.
inline constexpr QStringView nothingChanged
    = u"A művelet nem történt meg, az adatokban semmi sem változott. Próbálja újra, amikor a "
      u"kiszolgáló ismét elérhető.";
// The connection broke before the change was finished: the server has undone all of it.
inline constexpr QStringView connectionLost
    = u"Megszakadt a kapcsolat az adatbázis-kiszolgálóval, mielőtt a művelet befejeződött "
      u"volna: semmi sem került mentésre belőle. Próbálja újra.";
// The connection broke while the server was saving: the change may or may not be stored.
inline constexpr QStringView saveOutcomeUnknown
    = u"Megszakadt a kapcsolat az adatbázis-kiszolgálóval, mielőtt az a mentést visszaigazolta "
      u"volna: nem tudható, hogy a módosítás bekerült-e. Nézze meg az adatokat, mielőtt újra "
      u"mentené.";

} // namespace db::message
