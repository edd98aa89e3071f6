#pragma once

#include <QStringView>

// The messages of the database layer that more than one place gives, each written once.
namespace db::message {

inline constexpr QStringView notOpen = u"Nincs megnyitva az adatbázis";
inline constexpr QStringView emptyStatement = u"Üres adatbázis-utasítás";

} // namespace db::message
