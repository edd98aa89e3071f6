// The database tool: creates a fresh Vazuvede.adat, or brings an older one up to date.
#include "db/error.h"
#include "db/newdatabase.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTextStream>

namespace {

int usage(QTextStream &err)
{
    err << QStringLiteral(
        "Használat:\n"
        "  vazuvede-init FÁJL            új adatbázis létrehozása (az események és a 0-s lista,\n"
        "                                a listákat az osztály maga adja meg)\n"
        "  vazuvede-init --minta FÁJL    új adatbázis néhány minta listával, kipróbáláshoz\n"
        "  vazuvede-init --upgrade FÁJL  régebbi adatbázis frissítése\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = application.arguments().mid(1);
    const QString option = !arguments.isEmpty() && arguments.first().startsWith(u'-')
                               ? arguments.takeFirst()
                               : QString();
    const bool upgrade = option == QStringLiteral("--upgrade");
    const bool sample = option == QStringLiteral("--minta");
    if (!option.isEmpty() && !upgrade && !sample)
        return usage(err);
    if (arguments.size() != 1 || arguments.first().startsWith(u'-'))
        return usage(err);
    const QString path = arguments.first();
    const QString shown = QDir::toNativeSeparators(path);

    try {
        if (upgrade) {
            const int from = db::schema::upgradeDatabase(path);
            if (from == db::schema::currentVersion)
                out << QStringLiteral("Az adatbázis már a legújabb (%1.) változatú: %2\n")
                           .arg(from)
                           .arg(shown);
            else
                out << QStringLiteral("Az adatbázis frissítve a(z) %1. változatról a(z) %2. "
                                      "változatra: %3\n")
                           .arg(from)
                           .arg(db::schema::currentVersion)
                           .arg(shown);
        } else {
            db::schema::createDatabase(path, sample ? db::schema::Contents::WithSampleLists
                                                    : db::schema::Contents::Empty);
            out << (sample ? QStringLiteral("Az új adatbázis elkészült, minta listákkal: %1\n")
                           : QStringLiteral("Az új adatbázis elkészült: %1\n"))
                       .arg(shown);
        }
    } catch (const db::Error &error) {
        err << error.message() << u'\n';
        return 1;
    }
    return 0;
}
