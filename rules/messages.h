#pragma once

#include <QStringView>

// Every message that the department's windows show of their own, each written once: the
// checks, the windows and the tests take them from here.
namespace rules::message {

// Registration and login.
inline constexpr QStringView intkodEmpty = u"Üres az DORV kód!";
inline constexpr QStringView finkodEmpty = u"Üres a finanszírozási kód!";
inline constexpr QStringView typeNotChosen = u"Nincs kiválasztva az osztály típusa!";
inline constexpr QStringView passwordTooShort = u"A Jelszó legalább 2 karakter legyen!";
inline constexpr QStringView passwordMismatch = u"A Jelszó és a megerősítése nem egyezik!";
inline constexpr QStringView passwordEmpty = u"Üres a Jelszó!";
inline constexpr QStringView passwordWrong = u"Nem megfelelő jelszó!";
// Another instance wrote the department row while the registration was open.
inline constexpr QStringView registeredMeanwhile
    = u"Az osztály adatait időközben már rögzítették, ezért a most megadott adatok nem kerültek "
      u"mentésre.\nA program most kilép; a következő indításkor a rögzített osztály belépési "
      u"jelszavát kéri.";

// The waiting lists.
inline constexpr QStringView noList = u"Nincs egyetlen lista sem!";
inline constexpr QStringView tajEmpty = u"A TAJ szám nem lehet üres!";
inline constexpr QStringView tajOnNoList = u"Ez a TAJ nem szerepel egy listán sem!";
inline constexpr QStringView tajOnList = u"Ez a TAJ már rajta van a listán!";
inline constexpr QStringView listaraInFuture = u"A listára kerülés dátuma nem lehet jövőbeli";
inline constexpr QStringView urgencyNotChosen = u"A sürgősségi fokot ki kell választani!";
inline constexpr QStringView eventNotChosen = u"Az eseményt ki kell választani";
inline constexpr QStringView eventDateInFuture = u"Az esemény dátuma nem lehet jövőbeli";
inline constexpr QStringView eventNotFound = u"Nem található ez az esemény!";
inline constexpr QStringView logFailed = u"Hiba a naplózás során";
// The entry changed on another workstation while the member dialog showed it; %1 is the entry
// as stored now.
inline constexpr QStringView entryChangedMeanwhile
    = u"A bejegyzést időközben máshol módosították, ezért a választott esemény nem került "
      u"mentésre.\nA bejegyzés most: %1\nAz ablak már ezeket az adatokat mutatja; a választott "
      u"esemény mentéséhez nyomja meg újra az OK gombot.";
// The entry is no longer in the database at all.
inline constexpr QStringView entryGone
    = u"A bejegyzést időközben törölték, ezért az esemény nem került mentésre.";

} // namespace rules::message
