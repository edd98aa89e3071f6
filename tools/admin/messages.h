#pragma once

#include <QStringView>

// The administration tool's messages that more than one command or a test gives, each written
// once.
namespace admin::message {

inline constexpr QStringView noCommand = u"Nincs megadva parancs.";
inline constexpr QStringView unknownCommand = u"Ismeretlen parancs: „%1”.";
inline constexpr QStringView badArguments = u"A(z) „%1” parancs paraméterei nem megfelelők.";
inline constexpr QStringView seeHelp = u"\nSegítség: vazuvede-admin --help\n";
// Where a connection text came from, as a check of its form names it.
inline constexpr QStringView commandLine = u"a parancssor";
inline constexpr QStringView listCodeMissing = u"A --lista után a lista kódja következik.";
inline constexpr QStringView notRegistered
    = u"Az osztály még nincs bejegyezve: adatait a program az első indításkor kéri.";

} // namespace admin::message
