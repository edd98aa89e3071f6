#include "support/privileged.h"
#include "support/tempdatabase.h"

#include "db/clock.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/sqltext.h"
#include "db/statements.h"
#include "db/writetransaction.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <atomic>
#include <thread>

using testsupport::TempProgramDir;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A proper SQLCipher file, only under another key, made by the stock client.
void makeFileWithOtherKey(const QString &path)
{
    const QString cli = QStringLiteral(SQLCIPHER_CLI);
    if (cli.isEmpty())
        QSKIP("the sqlcipher command-line client is not installed");
    QProcess process;
    process.start(cli, {path});
    QVERIFY(process.waitForStarted());
    process.write("PRAGMA key='masikKulcs';\nCREATE TABLE T (A);\nINSERT INTO T VALUES (1);\n");
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
}

void setVersion(const QString &path, int version)
{
    db::Connection connection;
    connection.open(path, db::Connection::Mode::ExistingAnyVersion);
    connection.execute(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

// A journal as a crash leaves it: the engine writes the header's magic only once the journal
// is synced, so a journal caught mid-transaction gets it here.
void leaveHotJournal(const QString &path)
{
    const QString journal = path + QStringLiteral("-journal");
    const QString kept = path + QStringLiteral("-megtartott");
    {
        db::Connection connection;
        connection.open(path);
        connection.execute(QStringLiteral("BEGIN"));
        testsupport::insertEntry(connection, 1, QStringLiteral("123456782"),
                                 QStringLiteral("Félbemaradt"), QDate(2006, 1, 1));
        QVERIFY(QFile::copy(journal, kept));
        connection.execute(QStringLiteral("ROLLBACK"));
    }
    QVERIFY(QFile::rename(kept, journal));
    QFile file(journal);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.write(QByteArray::fromHex("d9d505f920a163d7ffffffff"));
}

constexpr QFileDevice::Permissions everyoneReadsAndWrites
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
      | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { db::setFixedNow({}); }

    void refusesWhatItCannotUse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << "missing" << QStringLiteral("nem található");
        QTest::newRow("not a database") << "garbage" << QStringLiteral("nem a program adatbázisa");
        QTest::newRow("wrong key") << "otherkey" << QStringLiteral("más jelszó");
        QTest::newRow("empty file") << "empty" << QStringLiteral("nincsenek a program táblái");
        QTest::newRow("newer version") << "v99" << QStringLiteral("ismeretlen változatú (99.");
        QTest::newRow("older version") << "v1" << QStringLiteral("vazuvede-init --upgrade");
        QTest::newRow("a folder") << "folder" << QStringLiteral("nem fájl");
    }
    void refusesWhatItCannotUse()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        TempProgramDir dir(kind.startsWith(u'v'));
        const QString path = dir.databasePath();
        if (kind == QStringLiteral("garbage"))
            writeFile(path, QByteArray(4096, '\x5a'));
        else if (kind == QStringLiteral("otherkey"))
            makeFileWithOtherKey(path);
        else if (kind == QStringLiteral("empty"))
            writeFile(path, {});
        else if (kind == QStringLiteral("v99"))
            setVersion(path, 99);
        else if (kind == QStringLiteral("v1"))
            setVersion(path, 1);
        else if (kind == QStringLiteral("folder"))
            QVERIFY(QDir(dir.path()).mkdir(QString::fromLatin1(db::databaseFileName)));

        db::Connection connection;
        const QString message = testsupport::dbErrorOf([&] { connection.open(path); });
        QVERIFY2(message.contains(expected), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QVERIFY(!connection.isOpen());
        if (kind == QStringLiteral("missing"))
            QVERIFY(!QFile::exists(path));
    }

    void createRefusesAnExistingFile()
    {
        TempProgramDir dir(false);
        const QString path = dir.databasePath();
        writeFile(path, QByteArrayLiteral("not ours"));
        const QString message = testsupport::dbErrorOf([&] { db::schema::createDatabase(path); });
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArrayLiteral("not ours"));
    }

    void anotherClientReadsTheFile()
    {
        const QString cli = QStringLiteral(SQLCIPHER_CLI);
        if (cli.isEmpty())
            QSKIP("the sqlcipher command-line client is not installed");
        TempProgramDir dir(db::schema::Contents::WithSampleLists);
        {
            db::Connection connection;
            dir.connect(connection);
            db::statements::NewEntry entry;
            entry.beavtipKod = 3;
            entry.taj = QStringLiteral("123456782");
            entry.nev = QStringLiteral("O'Brien Győző");
            entry.listaraDatum = QDate(2006, 1, 12);
            entry.surgosseg = QStringLiteral("H");
            entry.esemKod = QStringLiteral("VAR");
            entry.esemDatum = QDate(2006, 3, 7);
            entry.insDate = QDate(2006, 1, 12);
            connection.execute(db::statements::insertLista(entry));
        }
        QProcess process;
        process.start(cli, {dir.databasePath()});
        QVERIFY(process.waitForStarted());
        process.write("PRAGMA key='hJumbeli';\n"
                      "SELECT NEV, LISTARA_DATUM, ESEM_DATUM FROM LISTA;\n"
                      "SELECT Listatagok FROM QZAZADOROZDB WHERE BEAVTIP_KOD = 3;\n");
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        const QString output = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(output, QStringLiteral("O'Brien Győző|2006-01-12|2006-03-07\n1\n"));
    }

    void writerWaitsForAnotherInstancesLock()
    {
        TempProgramDir dir;
        std::atomic<bool> locked = false;
        std::atomic<bool> committing = false;
        std::thread other([&] {
            db::Connection connection;
            dir.connect(connection);
            db::WriteTransaction transaction(connection);
            testsupport::insertDepartment(connection, QStringLiteral("1234"),
                                          QStringLiteral("123456789"), QStringLiteral("F"),
                                          QStringLiteral("Sebészet"), QStringLiteral("titok"));
            locked = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            // Set before the commit: the other writer can only get in after it.
            committing = true;
            transaction.commit();
        });
        while (!locked)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));

        db::Connection connection;
        dir.connect(connection);
        QString message;
        bool waitedForTheOther = false;
        try {
            db::WriteTransaction transaction(connection);
            waitedForTheOther = committing;
            connection.execute(db::statements::insertOsztaly(
                QStringLiteral("5678"), QStringLiteral("987654321"), QStringLiteral("J"),
                QStringLiteral("Belgyógyászat"), QStringLiteral("jelszo")));
            transaction.commit();
        } catch (const db::Error &error) {
            message = error.message();
        }
        other.join();
        QVERIFY2(message.isEmpty(), qPrintable(message));
        QVERIFY(waitedForTheOther);
        QCOMPARE(connection.scalar(QStringLiteral("SELECT count(*) FROM OSZTALY")).toLongLong(), 2);
    }

    // A workstation that keeps the file locked beyond the wait gets the other a message, not
    // an endless wait, and nothing of either is lost or half-written.
    void aWaitBeyondTheLimitEndsWithAMessage()
    {
        TempProgramDir dir;
        db::Connection holder;
        holder.open(dir.databasePath());
        db::WriteTransaction held(holder);
        testsupport::insertDepartment(holder, QStringLiteral("1234"), QStringLiteral("123456789"),
                                      QStringLiteral("F"), QStringLiteral("Sebészet"),
                                      QStringLiteral("titok"));

        db::Connection waiter;
        waiter.open(dir.databasePath());
        const auto insertOther = [&] {
            db::WriteTransaction transaction(waiter);
            waiter.execute(db::statements::insertOsztaly(
                QStringLiteral("5678"), QStringLiteral("987654321"), QStringLiteral("J"),
                QStringLiteral("Belgyógyászat"), QStringLiteral("jelszo")));
            transaction.commit();
        };
        db::ErrorKind kind = db::ErrorKind::Other;
        QString message;
        try {
            insertOther();
        } catch (const db::Error &error) {
            kind = error.kind();
            message = error.message();
        }
        QCOMPARE(kind, db::ErrorKind::Busy);
        QVERIFY2(message.contains(QStringLiteral("másik felhasználó")), qPrintable(message));

        held.commit();
        insertOther();
        QCOMPARE(waiter.scalar(QStringLiteral("SELECT count(*) FROM OSZTALY")).toLongLong(), 2);
    }

    void nowIsTheProgramsLocalClock()
    {
        TempProgramDir dir;
        db::Connection connection;
        dir.connect(connection);
        db::setFixedNow(QDateTime(QDate(2006, 3, 7), QTime(9, 5, 3)));
        connection.execute(db::statements::insertLogEventCode(
            QStringLiteral("17"), QStringLiteral("VAR"), QStringLiteral("BEA")));
        connection.execute(db::statements::insertLogEventDate(
            QStringLiteral("17"), QDate(2006, 3, 7), QDate(2006, 3, 9)));
        const QList<QVariantList> expected{
            {QStringLiteral("2006-03-07 09:05:03"), qint64(17), QStringLiteral("ESEM_KOD"),
             QStringLiteral("VAR"), QStringLiteral("BEA")},
            {QStringLiteral("2006-03-07 09:05:03"), qint64(17), QStringLiteral("ESEM_DATUM"),
             QStringLiteral("3/7/2006"), QStringLiteral("3/9/2006")}};
        QCOMPARE(testsupport::rows(
                     connection,
                     QStringLiteral("SELECT DATUM, HIV_SZAM, MEZO, REGI_ERTEK, UJ_ERTEK FROM LOG "
                                    "ORDER BY SORSZAM")),
                 expected);
    }

    void failedStatementsSayWhatTheEngineSaid()
    {
        TempProgramDir dir;
        db::Connection connection;
        dir.connect(connection);
        const QString message = testsupport::dbErrorOf(
            [&] { connection.execute(QStringLiteral("SELECT * FROM NINCS")); });
        QVERIFY2(message.startsWith(QStringLiteral("Hibás adatbázis-utasítás")),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("no such table: NINCS")), qPrintable(message));
    }

    // The engine keeps its journal beside the database: a folder the user may not write
    // refuses every save, and the user is told so, with the engine's words after ours.
    void aFolderTheUserCannotWriteIsNamed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("folderWritable");
        QTest::newRow("save, writable folder") << "write" << true;
        QTest::newRow("save, read-only folder") << "write" << false;
        QTest::newRow("crash journal, read-only folder") << "open" << false;
    }
    void aFolderTheUserCannotWriteIsNamed()
    {
        QFETCH(QString, kind);
        QFETCH(bool, folderWritable);
        if (!testsupport::runningAsRoot())
            QSKIP("Needs root to act as another user whose folder is read-only");
        TempProgramDir dir;
        const QString path = dir.databasePath();
        const QString journal = path + QStringLiteral("-journal");
        const bool crashed = kind == QStringLiteral("open");
        if (crashed) {
            leaveHotJournal(path);
            QVERIFY(QFile::setPermissions(journal, everyoneReadsAndWrites));
        }
        QVERIFY(QFile::setPermissions(path, everyoneReadsAndWrites));
        QVERIFY(QFile::setPermissions(
            dir.path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                | QFileDevice::ReadOther | QFileDevice::ExeOther
                | (folderWritable ? QFileDevice::WriteOther : QFileDevice::Permissions{})));

        QString output;
        const int code = testsupport::runAsNobody(QStringLiteral(DBPROBE), {path, kind}, &output);
        db::Connection connection;
        if (folderWritable) {
            QCOMPARE(code, 0);
            connection.open(path);
            QCOMPARE(connection.scalar(QStringLiteral("SELECT count(*) FROM LISTA")).toLongLong(),
                     1);
            return;
        }
        QVERIFY2(code == 1, qPrintable(output));
        QVERIFY2(
            output.contains(QStringLiteral("a program minden felhasználója számára írhatónak")),
            qPrintable(output));
        QVERIFY2(output.contains(QDir::toNativeSeparators(QFileInfo(path).absolutePath())),
                 qPrintable(output));
        QVERIFY2(output.contains(crashed ? QStringLiteral("disk I/O error")
                                         : QStringLiteral("unable to open database file")),
                 qPrintable(output));
        // Nothing was written, and the crash journal waits for a user who may roll it back.
        QCOMPARE(QFile::exists(journal), crashed);
        connection.open(path);
        QVERIFY(!QFile::exists(journal));
        QCOMPARE(connection.scalar(QStringLiteral("SELECT count(*) FROM LISTA")).toLongLong(), 0);
    }

    void failedTransactionLeavesNothing()
    {
        TempProgramDir dir;
        db::Connection connection;
        dir.connect(connection);
        const QString message = testsupport::dbErrorOf([&] {
            db::WriteTransaction transaction(connection);
            testsupport::insertEntry(connection, 1, QStringLiteral("123456782"),
                                     QStringLiteral("Első"), QDate(2006, 1, 1));
            testsupport::insertEntry(connection, 1, QStringLiteral("1234567890"),
                                     QStringLiteral("Túl hosszú TAJ"), QDate(2006, 1, 1));
            transaction.commit();
        });
        QVERIFY(message.contains(QStringLiteral("CHECK constraint failed")));
        QVERIFY(!connection.inTransaction());
        QCOMPARE(connection.scalar(QStringLiteral("SELECT count(*) FROM LISTA")).toLongLong(), 0);
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
