#include "support/tempdatabase.h"

#include "db/connection.h"
#include "db/newdatabase.h"
#include "db/schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <unistd.h> // geteuid; on Windows the refusal is tested by the folder's ACL

using testsupport::TempProgramDir;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString init = QStringLiteral(VAZUVEDE_INIT);
const QString gen = QStringLiteral(VAZUVEDE_GEN);

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A department's new file holds the event kinds and list 0 only; the sample lists come
    // when asked for.
    void initMakesAFileOnlyWhereNoneIs_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QList<QVariantList>>("lists");
        const QVariantList outpatient{qint64(0), QStringLiteral("J")};
        QTest::newRow("department's own") << QStringList{} << QList<QVariantList>{outpatient};
        QList<QVariantList> sample{outpatient};
        for (const int code : {1, 2, 3, 4, 5})
            sample << QVariantList{qint64(code), QStringLiteral("V")};
        for (const int code : {11, 12, 13})
            sample << QVariantList{qint64(code), QStringLiteral("B")};
        QTest::newRow("sample lists") << QStringList{QStringLiteral("--minta")} << sample;
    }
    void initMakesAFileOnlyWhereNoneIs()
    {
        QFETCH(QStringList, options);
        QFETCH(QList<QVariantList>, lists);
        TempProgramDir dir(false);
        const QString path = dir.databasePath();
        const Run made = run(init, options + QStringList{path});
        QCOMPARE(made.exitCode, 0);
        QVERIFY(made.out.contains(QDir::toNativeSeparators(path)));
        db::Connection connection;
        connection.open(path);
        QCOMPARE(testsupport::rows(connection, QStringLiteral("SELECT BEAVTIP_KOD, BEAVTIP_FAJTA "
                                                              "FROM BEAV_TIP ORDER BY 1")),
                 lists);
        QCOMPARE(
            testsupport::rows(connection, QStringLiteral("SELECT ES_KOD, LISTAN FROM ESEMENY WHERE "
                                                         "ES_NEV = 'Várakozás'")),
            (QList<QVariantList>{{QStringLiteral("VAR"), QStringLiteral("I")}}));
        QVERIFY(connection
                    .scalar(QStringLiteral("SELECT count(*) FROM ESEMENY WHERE LISTAN <> "
                                           "'I'"))
                    .toLongLong()
                > 0);
        connection.close();
        // The patients are for the department's group only.
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                     | QFileDevice::WriteGroup);

        const QByteArray before = contents(path);
        const Run again = run(init, options + QStringList{path});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains(QStringLiteral("A fájl már létezik")), qPrintable(again.err));
        QVERIFY(again.err.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(contents(path), before);
    }

    void initUpgradesAnOlderFile()
    {
        TempProgramDir dir(false);
        const QString path = dir.databasePath();
        {
            db::Connection old;
            old.open(path, db::Connection::Mode::CreateNew);
            db::schema::fillNewDatabase(old, db::schema::Contents::Empty, 1);
            testsupport::insertEntry(old, 2, QStringLiteral("123456782"), QStringLiteral("Régi"),
                                     QDate(2001, 2, 3));
        }
        const Run upgraded = run(init, {QStringLiteral("--upgrade"), path});
        QCOMPARE(upgraded.exitCode, 0);
        QVERIFY2(upgraded.out.contains(
                     QStringLiteral("1. változatról a(z) %1.").arg(db::schema::currentVersion)),
                 qPrintable(upgraded.out));
        db::Connection connection;
        connection.open(path);
        QCOMPARE(connection.scalar(QStringLiteral("SELECT NEV FROM LISTA")),
                 QVariant(QStringLiteral("Régi")));
    }

    // A user outside the data folder's group is told so, not that the file is missing; the
    // file stays as it was. Tests run as root, so the tool runs as nobody there.
    void outsiderIsRefused()
    {
        TempProgramDir dir;
        const QByteArray before = contents(dir.databasePath());
        QStringList command{init, QStringLiteral("--upgrade"), dir.databasePath()};
        if (geteuid() == 0)
            command = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"),
                                  QStringLiteral("nobody"), QStringLiteral("--")}
                      + command;
        else
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions{}));
        const Run refused = run(command.first(), command.mid(1));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner);
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("Nincs jogosultsága az adatbázisfájlhoz")),
                 qPrintable(refused.err));
        QCOMPARE(contents(dir.databasePath()), before);
    }

    void toolsRefuseWrongUse_data()
    {
        QTest::addColumn<bool>("generator");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("init without file") << false << QStringList{} << 2 << "Használat";
        QTest::newRow("upgrade a missing file")
            << false << QStringList{QStringLiteral("--upgrade"), QStringLiteral("@")} << 1
            << "nem található";
        QTest::newRow("init, unknown option")
            << false << QStringList{QStringLiteral("--mintak"), QStringLiteral("@")} << 2
            << "Használat";
        QTest::newRow("init, sample and upgrade")
            << false
            << QStringList{QStringLiteral("--minta"), QStringLiteral("--upgrade"),
                           QStringLiteral("@")}
            << 2 << "Használat";
        QTest::newRow("gen without count")
            << true << QStringList{QStringLiteral("@")} << 2 << "Használat";
        QTest::newRow("gen, bad list")
            << true
            << QStringList{QStringLiteral("@"), QStringLiteral("10"), QStringLiteral("--lists"),
                           QStringLiteral("1,x")}
            << 2 << "Használat";
        QTest::newRow("gen, missing file")
            << true << QStringList{QStringLiteral("@"), QStringLiteral("10")} << 1
            << "nem található";
    }
    void toolsRefuseWrongUse()
    {
        QFETCH(bool, generator);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TempProgramDir dir(false);
        arguments.replaceInStrings(QStringLiteral("@"), dir.databasePath());
        const Run result = run(generator ? gen : init, arguments);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(!QFile::exists(dir.databasePath()));
    }

    void generatorFillsTheChosenList()
    {
        TempProgramDir dir(db::schema::Contents::WithSampleLists);
        const Run result
            = run(gen, {dir.databasePath(), QStringLiteral("25"), QStringLiteral("--lists"),
                        QStringLiteral("3"), QStringLiteral("--seed"), QStringLiteral("11")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.startsWith(QStringLiteral("25 bejegyzés elkészült")),
                 qPrintable(result.out));
        db::Connection connection;
        connection.open(dir.databasePath());
        QCOMPARE(
            testsupport::rows(connection,
                              QStringLiteral("SELECT BEAVTIP_KOD, count(*) FROM LISTA GROUP BY 1")),
            (QList<QVariantList>{{qint64(3), qint64(25)}}));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
