#pragma once

#include <QStringView>

// The texts that the windows' shared parts show and the tests read, each written once.
namespace ui::message {

// Followed by the path of the file just saved.
inline constexpr QStringView fileReady = u"A fájl elkészült: ";

} // namespace ui::message
