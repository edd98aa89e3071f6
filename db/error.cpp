#include "error.h"

namespace db {

QString errorLead(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::Busy:
        return QStringLiteral("Az adatbázist egy másik felhasználó éppen zárolja, "
                              "próbálja újra később");
    case ErrorKind::Constraint:
        return QStringLiteral("Az adat nem felel meg az adatbázis szabályainak");
    case ErrorKind::Mismatch:
        return QStringLiteral("Az érték típusa nem megfelelő");
    case ErrorKind::ReadOnly:
        return QStringLiteral("Az adatbázis csak olvasható");
    case ErrorKind::Full:
        return QStringLiteral("Megtelt a lemez");
    case ErrorKind::Io:
        return QStringLiteral("Lemezhiba az adatbázis elérésekor");
    case ErrorKind::Corrupt:
        return QStringLiteral("Az adatbázisfájl sérült");
    case ErrorKind::CantOpen:
        return QStringLiteral("Az adatbázisfájl nem nyitható meg");
    case ErrorKind::NoMemory:
        return QStringLiteral("Elfogyott a memória");
    case ErrorKind::Permission:
        return QStringLiteral("Az adatbázishoz nincs hozzáférési jog");
    case ErrorKind::TooBig:
        return QStringLiteral("Az érték túl nagy");
    case ErrorKind::Range:
        return QStringLiteral("Hibás paraméter");
    case ErrorKind::Statement:
        return QStringLiteral("Hibás adatbázis-utasítás");
    case ErrorKind::Aborted:
        return QStringLiteral("A módosításokat az adatbázis egy korábbi hiba miatt már "
                              "visszavonta");
    case ErrorKind::Disconnected:
        return QStringLiteral("Megszakadt a kapcsolat az adatbázis-kiszolgálóval");
    case ErrorKind::Other:
        break;
    }
    return QStringLiteral("Adatbázishiba");
}

} // namespace db
