#include "failurereason.h"

#include <cerrno>

namespace files {

QString failureReason(std::error_code code)
{
    struct Known
    {
        std::errc cause;
        const char *words;
    };
    // Two causes each that a person fixes in the same way.
    static constexpr const char *noRight = "nincs írási jog a könyvtárhoz";
    static constexpr const char *noFolder = "a könyvtár nem létezik";
    static constexpr Known known[] = {
        {std::errc::no_space_on_device, "megtelt a lemez"},
        {std::errc::file_too_large, "az állomány túl nagy ehhez a lemezhez"},
        {std::errc::read_only_file_system, "a lemez csak olvasható"},
        {std::errc::permission_denied, noRight},
        {std::errc::operation_not_permitted, noRight},
        {std::errc::no_such_file_or_directory, noFolder},
        {std::errc::not_a_directory, noFolder},
        {std::errc::is_a_directory, "ezen a néven könyvtár áll"},
        {std::errc::io_error, "a lemez írási hibát jelzett"},
        {std::errc::too_many_files_open, "túl sok a nyitott állomány"},
        {std::errc::filename_too_long, "az állomány neve túl hosszú"},
    };
    if (!code)
        return QStringLiteral("ismeretlen ok");
    for (const Known &k : known) {
        if (code == std::make_error_condition(k.cause))
            return QString::fromUtf8(k.words);
    }
#ifdef EDQUOT
    if (code.category() == std::generic_category() && code.value() == EDQUOT)
        return QStringLiteral("elfogyott a felhasználó lemezkvótája");
#endif
    return QStringLiteral("a rendszer %1. számú hibája: %2")
        .arg(code.value())
        .arg(QString::fromLocal8Bit(code.message()));
}

} // namespace files
