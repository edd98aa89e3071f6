// Fills an existing database with generated list entries: vazuvede-gen FILE N [--lists 1,2,3]
// [--seed S] [--outpatient].
#include "generator.h"

#include "db/connection.h"
#include "db/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>

namespace {

int usage(QTextStream &err)
{
    err << QStringLiteral("Használat: vazuvede-gen FÁJL DARAB [--lists 1,2,3] [--seed SZÁM] "
                          "[--outpatient]\n"
                          "  DARAB: a létrehozandó bejegyzések száma (%1 és %2 között)\n"
                          "  --lists: a feltöltendő listák kódjai (alapesetben mindegyik)\n"
                          "  --seed: a véletlen adatok kezdőértéke (azonos érték, azonos adatok)\n"
                          "  --outpatient: járóbeteg-osztály (a 0-s lista), ha még nincs osztály\n")
               .arg(tools::minimumEntryCount)
               .arg(tools::maximumEntryCount);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = application.arguments().mid(1);

    QStringList positional;
    tools::GeneratorOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        bool ok = true;
        if (argument == QStringLiteral("--outpatient")) {
            options.outpatient = true;
        } else if (argument == QStringLiteral("--seed") && i + 1 < arguments.size()) {
            options.seed = arguments.at(++i).toUInt(&ok);
        } else if (argument == QStringLiteral("--lists") && i + 1 < arguments.size()) {
            for (const QString &code : arguments.at(++i).split(u',')) {
                options.lists << code.toLongLong(&ok);
                if (!ok)
                    break;
            }
        } else if (argument.startsWith(QStringLiteral("--"))) {
            ok = false;
        } else {
            positional << argument;
        }
        if (!ok)
            return usage(err);
    }
    bool countOk = false;
    const int count = positional.size() == 2 ? positional.at(1).toInt(&countOk) : 0;
    if (!countOk)
        return usage(err);

    try {
        QElapsedTimer timer;
        timer.start();
        db::Connection connection;
        connection.open(positional.at(0));
        tools::generate(connection, count, options);
        out << QStringLiteral("%1 bejegyzés elkészült (%2 s): %3\n")
                   .arg(count)
                   .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1)
                   .arg(QDir::toNativeSeparators(positional.at(0)));
    } catch (const db::Error &error) {
        err << error.message() << u'\n';
        return 1;
    }
    return 0;
}
