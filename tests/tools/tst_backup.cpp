// Backup, restore and the integrity check, with other processes working on the same file;
// and the tool as a process (exit statuses, the password fed on standard input).
#include "adminfixture.h"
#include "serverdatabase.h"

#include "admin/messages.h"
#include "db/checkup.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/engine.h"
#include "db/server/connectionfile.h"
#include "ui/mainstate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace testsupport;

namespace {

const QString tool = QStringLiteral(VAZUVEDE_ADMIN);
const QString gen = QStringLiteral(VAZUVEDE_GEN);

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 count(const QString &path, const char *table)
{
    db::Connection connection;
    connection.open(path);
    return connection.scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table))
        .toLongLong();
}

// Overwrites bytes in the middle of the file: the page's authentication code no longer fits.
void damage(const QString &path, qint64 offset)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    file.write(QByteArray(64, '\x5a'));
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(tool, arguments);
    process.write(input);
    process.closeWriteChannel();
    Run result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// A program folder whose data is not there yet: no database file, or an empty database on
// the server that its connection file names.
struct EmptyTarget
{
    EmptyTarget()
    {
        if (!serverEngine())
            return;
        server = newServerDatabase();
        QFile file(dir.path() + QString::fromLatin1(db::connectionfile::fileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(server.toUtf8()) < 0)
            QFAIL("connection file");
    }
    // Nothing of a database came into being, not even in part.
    bool isStillEmpty() const
    {
        if (serverEngine())
            return isEmptyServerDatabase(server);
        return QDir(dir.path())
            .entryList({QStringLiteral("Vazuvede.adat"), QStringLiteral("Vazuvede.adat.*")})
            .isEmpty();
    }
    TempProgramDir dir{false};
    QString server;
};

QString onlyBackup(const AdminFixture &fixture)
{
    const QFileInfoList made = QDir(fixture.dir.path() + QStringLiteral("Mentesek"))
                                   .entryInfoList(QDir::Files | QDir::Hidden);
    return made.size() == 1 ? made.first().absoluteFilePath() : QString();
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // The use lock, the copies of the file and the page check belong to the file.
        static const QByteArrayList bothEngines{
            "backupOfWorkingDataRestoresIntoAnEmptyDatabase", "restoreRefusesAndChangesNothing",
            "passwordComesFromStandardInput", "exitStatusesOfTheProcess"};
        if (serverEngine() && !bothEngines.contains(QTest::currentTestFunction()))
            QSKIP("a backup of the database file");
    }

    void backupWhileAnotherProcessWritesIsWholeAndOpens()
    {
        AdminFixture fixture;
        const QString path = fixture.dir.databasePath();
        const qint64 before = count(path, "LISTA");
        // Another process adds ten entries per transaction, again and again.
        QProcess writer;
        writer.start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("for i in $(seq 1 25); do \"$0\" \"$1\" 10 >/dev/null || "
                                     "exit 1; done"),
                      gen, path});
        QVERIFY(writer.waitForStarted());
        QStringList backups;
        int moment = 0;
        bool writing = true;
        do {
            const QString error = dbErrorOf([&] {
                db::Connection source;
                source.open(path);
                backups << source.engine()
                               .backup(fixture.dir.path() + QStringLiteral("Mentesek"),
                                       QDateTime(QDate(2026, 12, 9), QTime(23, 0)).addSecs(moment))
                               .path;
            });
            ++moment;
            QVERIFY2(error.isEmpty(), qPrintable(error));
            // Without an event loop only a wait notices that the writer has ended.
            if (writing && writer.waitForFinished(0))
                writing = false;
        } while ((writing && backups.size() < 200) || backups.size() < 3);
        QVERIFY(!writing || writer.waitForFinished(60000));
        QCOMPARE(writer.exitCode(), 0);

        qint64 previous = before;
        for (const QString &backup : backups) {
            QCOMPARE(QFileInfo(backup).permissions(), QFile::ReadOwner | QFile::WriteOwner
                                                          | QFile::ReadGroup | QFile::WriteGroup
                                                          | QFile::ReadUser | QFile::WriteUser);
            db::Connection copy;
            copy.open(backup);
            const db::Checkup check = db::checkDatabase(copy);
            QVERIFY2(check.intact, qPrintable(check.verdict));
            // Whole transactions only, in the order they were made.
            const qint64 entries = count(backup, "LISTA");
            QCOMPARE((entries - before) % 10, 0);
            QVERIFY(entries >= previous);
            previous = entries;
        }
        QVERIFY(count(backups.last(), "LISTA") <= count(path, "LISTA"));
        // Encrypted like the original: nothing readable in it.
        const QByteArray bytes = contents(backups.first());
        QVERIFY(!bytes.startsWith("SQLite format 3"));
        QVERIFY(!bytes.contains("Szem"));
        QVERIFY(!bytes.contains(QStringLiteral("Várakozás").toUtf8()));
    }

    // The tool as the nightly job and IT use it, on whichever engine holds the data: the
    // backup is made while the data stays open for work, checked, for owner and group only;
    // restored into a place without data, it gives back the data as it was at the backup.
    void backupOfWorkingDataRestoresIntoAnEmptyDatabase()
    {
        AdminFixture fixture;
        db::Connection working;
        fixture.dir.connect(working);
        QCOMPARE(fixture.run({u"listak"_qs}), 0);
        const QString listsAtBackup = fixture.out;
        db::setFixedNow(QDateTime(QDate(2026, 12, 9), QTime(2, 30)));
        const int made = fixture.run({u"mentes"_qs});
        db::setFixedNow({});
        QCOMPARE(made, 0);
        QVERIFY2(fixture.out.contains(u"elkészült és ellenőrizve"_qs), qPrintable(fixture.out));
        const QString backup = onlyBackup(fixture);
        QVERIFY2(QFileInfo(backup).fileName().startsWith(u"Vazuvede-20261209-023000."_qs),
                 qPrintable(backup));
        QVERIFY(fixture.out.contains(QDir::toNativeSeparators(backup)));
        QCOMPARE(QFileInfo(backup).permissions(), QFile::ReadOwner | QFile::WriteOwner
                                                      | QFile::ReadGroup | QFile::WriteGroup
                                                      | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(fixture.run({u"lista-uj"_qs, u"21"_qs, u"Később felvett"_qs, u"V"_qs}), 0);

        EmptyTarget target;
        QCOMPARE(fixture.run({u"--mappa"_qs, target.dir.path(), u"visszaallitas"_qs, backup}), 0);
        QVERIFY2(fixture.out.contains(u"visszaállítva és ellenőrizve"_qs), qPrintable(fixture.out));
        QCOMPARE(fixture.run({u"--mappa"_qs, target.dir.path(), u"listak"_qs}), 0);
        QCOMPARE(fixture.out, listsAtBackup);
        QCOMPARE(fixture.run({u"--mappa"_qs, target.dir.path(), u"ellenorzes"_qs}), 0);
        // New entries go on after the numbers of the backup.
        db::Connection restored;
        target.dir.connect(restored);
        QCOMPARE(insertEntry(restored, 3, u"444444440"_qs, u"Új Ödön"_qs, QDate(2026, 12, 9)), 4);
    }

    // A backup that cannot be restored whole is not restored at all.
    void restoreRefusesAndChangesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a backup") << u"text"_qs << u"nem állítható vissza"_qs;
        QTest::newRow("missing") << u"missing"_qs << u"nem található"_qs;
        QTest::newRow("cut short") << u"cut"_qs << u"nem állítható vissza"_qs;
        // The file's restore replaces the data, keeping it beside; the server's never mixes.
        if (serverEngine())
            QTest::newRow("into data") << u"into data"_qs << u"nem üres"_qs;
    }

    void restoreRefusesAndChangesNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        AdminFixture fixture;
        QCOMPARE(fixture.run({u"mentes"_qs}), 0);
        const QString whole = onlyBackup(fixture);
        QString backup = fixture.dir.path() + QStringLiteral("rossz.mentes");
        if (kind == u"text") {
            QFile file(backup);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        } else if (kind == u"cut") {
            QFile file(backup);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // Its beginning, which says what it holds, is whole; the last rows are gone.
            file.write(contents(whole).chopped(64));
        } else if (kind == u"into data") {
            backup = whole;
        }
        QCOMPARE(fixture.run({u"listak"_qs}), 0);
        const QString lists = fixture.out;

        EmptyTarget target;
        const QString folder = kind == u"into data" ? fixture.dir.path() : target.dir.path();
        QCOMPARE(fixture.run({u"--mappa"_qs, folder, u"visszaallitas"_qs, backup}), 1);
        QVERIFY2(fixture.err.contains(message), qPrintable(fixture.err));
        QVERIFY(target.isStillEmpty());
        QCOMPARE(fixture.run({u"listak"_qs}), 0);
        QCOMPARE(fixture.out, lists);
    }

    void restoreRefusesWhileTheFileIsInUse()
    {
        AdminFixture fixture;
        const QString path = fixture.dir.databasePath();
        QCOMPARE(fixture.run({u"mentes"_qs}), 0);
        const QString backup = QDir(fixture.dir.path() + QStringLiteral("Mentesek"))
                                   .entryInfoList(QDir::Files)
                                   .value(0)
                                   .absoluteFilePath();
        QCOMPARE(fixture.run({u"lista-uj"_qs, u"21"_qs, u"Később felvett"_qs, u"V"_qs}), 0);
        const QByteArray current = contents(path);
        const auto leftovers = [&] {
            return QDir(fixture.dir.path()).entryList({QStringLiteral("Vazuvede.adat?*")});
        };

        {
            // A program instance on another "computer": its own process holds the lock too.
            QWidget mainWidget;
            ui::MainState program(&mainWidget, fixture.dir.path());
            program.connect();
            const Run refused
                = runTool({u"--mappa"_qs, fixture.dir.path(), u"visszaallitas"_qs, backup});
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(refused.err.contains(u"most is használja valaki"_qs), qPrintable(refused.err));
            // And in this process the same.
            QCOMPARE(fixture.run({u"visszaallitas"_qs, backup}), 1);
            QCOMPARE(contents(path), current);
            QCOMPARE(leftovers(), QStringList{u"Vazuvede.adat-zar"_qs});
        }

        db::setFixedNow(QDateTime(QDate(2026, 12, 9), QTime(23, 30)));
        QCOMPARE(fixture.run({u"visszaallitas"_qs, backup}), 0);
        db::setFixedNow({});
        QVERIFY2(fixture.out.contains(u"visszaállítva és ellenőrizve"_qs), qPrintable(fixture.out));
        const QString kept = path + QStringLiteral(".regi-20261209-233000");
        QVERIFY(fixture.out.contains(QDir::toNativeSeparators(kept)));
        QCOMPARE(contents(kept), current);
        QCOMPARE(contents(path), contents(backup));
        QCOMPARE(count(path, "BEAV_TIP") + 1, count(kept, "BEAV_TIP"));
        QVERIFY(!QFile::exists(path + QStringLiteral("-uj")));
    }

    void programWaitsOutARestore()
    {
        AdminFixture fixture;
        db::Connection restoring;
        restoring.openDepartment(fixture.dir.path(), db::Connection::Use::Restore);
        QWidget mainWidget;
        ui::MainState program(&mainWidget, fixture.dir.path());
        QVERIFY(dbErrorOf([&] { program.connect(); }).contains(u"visszaállítják"_qs));
        QCOMPARE(fixture.run({u"listak"_qs}), 1);
        QVERIFY(fixture.err.contains(u"visszaállítják"_qs));
        restoring.close();
        program.connect();
        QVERIFY(program.connection().isOpen());
    }

    void restoreRefusesABadBackupAndKeepsTheFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("damaged page") << u"damaged"_qs;
        QTest::newRow("not a database") << u"text"_qs;
        QTest::newRow("missing") << u"missing"_qs;
    }

    void restoreRefusesABadBackupAndKeepsTheFile()
    {
        QFETCH(QString, kind);
        AdminFixture fixture;
        const QString path = fixture.dir.databasePath();
        const QString backup = fixture.dir.path() + QStringLiteral("rossz.adat");
        if (kind == u"damaged") {
            QVERIFY(QFile::copy(path, backup));
            damage(backup, 3000);
        } else if (kind == u"text") {
            QFile file(backup);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        }
        const QByteArray current = contents(path);
        QCOMPARE(fixture.run({u"visszaallitas"_qs, backup}), 1);
        QVERIFY(!fixture.err.isEmpty());
        QCOMPARE(contents(path), current);
        QCOMPARE(QDir(fixture.dir.path()).entryList({QStringLiteral("Vazuvede.adat?*")}),
                 QStringList{u"Vazuvede.adat-zar"_qs});
    }

    void checkGivesAPlainVerdict_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("intact") << u"intact"_qs << 0 << u"Az adatbázis ép:"_qs;
        QTest::newRow("damaged page") << u"damaged"_qs << 1 << u"Az adatbázis SÉRÜLT:"_qs;
        QTest::newRow("not a database") << u"text"_qs << 1 << u"Az adatbázis NEM HASZNÁLHATÓ:"_qs;
        QTest::newRow("missing") << u"missing"_qs << 1 << u"Az adatbázis NEM HASZNÁLHATÓ:"_qs;
    }

    void checkGivesAPlainVerdict()
    {
        QFETCH(QString, kind);
        QFETCH(int, exitCode);
        QFETCH(QString, verdict);
        AdminFixture fixture;
        const QString path = fixture.dir.path() + QStringLiteral("vizsgalt.adat");
        if (kind == u"text") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        } else if (kind != u"missing") {
            QVERIFY(QFile::copy(fixture.dir.databasePath(), path));
            if (kind == u"damaged")
                damage(path, 3000);
        }
        const Run run = runTool({u"ellenorzes"_qs, path});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? run.out : run.err).startsWith(verdict),
                 qPrintable(run.out + run.err));
    }

    void passwordComesFromStandardInput()
    {
        AdminFixture fixture;
        const QStringList args = {u"--mappa"_qs, fixture.dir.path(), u"jelszo"_qs};
        const Run mismatch = runTool(args, "uj-jel1\nuj-jel2\n");
        QCOMPARE(mismatch.exitCode, 1);
        QVERIFY(mismatch.err.contains(u"nem egyezik"_qs));
        const Run accepted = runTool(args, "uj-jel1\nuj-jel1\n");
        QCOMPARE(accepted.exitCode, 0);
        QVERIFY(!(accepted.out + accepted.err).contains(u"uj-jel1"_qs));
        db::Connection connection;
        fixture.dir.connect(connection);
        QCOMPARE(connection.scalar(QStringLiteral("SELECT JELSZO FROM OSZTALY")).toString(),
                 u"uj-jel1"_qs);
    }

    void exitStatusesOfTheProcess()
    {
        const Run help = runTool({u"--help"_qs});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith(u"Használat: vazuvede-admin"_qs));
        const Run unknown = runTool({u"ismeretlen"_qs});
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY(unknown.err.contains(admin::message::unknownCommand.arg(u"ismeretlen")));
        TempProgramDir empty(false);
        const Run missing = runTool({u"--mappa"_qs, empty.path(), u"listak"_qs});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.err.contains(u"Az adatbázisfájl nem található"_qs),
                 qPrintable(missing.err));
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
