// Moving a department up from its database file to the database server through the
// administration tool, and the tool's commands on a folder that names the server.
#include "adminfixture.h"
#include "serverdatabase.h"

#include "db/server/connectionfile.h"
#include "db/statement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

const QString workstationRole = QStringLiteral("vazuvede_munka");

qint64 serverNumber(const QString &connection, const QString &sql)
{
    db::Connection session;
    session.openServer(connection, db::Connection::Mode::ExistingAnyVersion);
    db::Statement statement(session, sql);
    return statement.step() ? statement.int64(0) : -1;
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        QFAIL(qPrintable(path));
}

// A program folder holding a department's file: the department, three entries (one whose
// number was given back) and one change-log row.
struct FileFolder
{
    FileFolder()
    {
        db::schema::createDatabase(databasePath(), db::schema::Contents::WithSampleLists);
        db::Connection file;
        file.open(databasePath());
        insertDepartment(file, QStringLiteral("1234"), QStringLiteral("123456789"),
                         QStringLiteral("F"), QStringLiteral("Szemészet"), QStringLiteral("titok"));
        for (int i = 0; i < 4; ++i)
            insertEntry(file, 3, QStringLiteral("11111111%1").arg(i), QStringLiteral("Őri Ágnes"),
                        QDate(2006, 2, 1 + i));
        file.execute(QStringLiteral("DELETE FROM LISTA WHERE HIV_SZAM = 4"));
        file.execute(QStringLiteral("INSERT INTO LOG (DATUM, HIV_SZAM, MEZO, REGI_ERTEK, "
                                    "UJ_ERTEK) VALUES ('2006-03-07 10:11:12', 2, 'ESEM_KOD', "
                                    "'VAR', 'HAL')"));
    }
    QString path() const { return dir.path() + u'/'; }
    QString databasePath() const { return path() + QStringLiteral("Vazuvede.adat"); }
    void nameServer(const QString &connection) const
    {
        writeText(path() + QString::fromLatin1(db::connectionfile::fileName), connection.toUtf8());
    }

    int run(const QStringList &arguments)
    {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        admin::AdminCommand command(outStream, errStream, passwords, path());
        return command.run(arguments);
    }

    QTemporaryDir dir;
    ScriptedPasswords passwords;
    QString out;
    QString err;
};

} // namespace

class TestAdminServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Passwords only through libpq's password file, as at the department: the cluster's
        // own login moves there too, so that nothing else supplies one.
        QVERIFY(m_secrets.isValid());
        const QString passFile = m_secrets.filePath(QStringLiteral("pgpass"));
        writeText(passFile, QStringLiteral("*:*:*:%1:%2\n*:*:*:%3:munka\n")
                                .arg(qEnvironmentVariable("PGUSER"),
                                     qEnvironmentVariable("PGPASSWORD"), workstationRole)
                                .toUtf8());
        QFile::setPermissions(passFile, QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PGPASSFILE", passFile.toLocal8Bit());
        qunsetenv("PGPASSWORD");
        db::Connection admin;
        admin.openServer(maintenanceDatabase(), db::Connection::Mode::ExistingAnyVersion);
        admin.execute(QStringLiteral("DO $$BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE "
                                     "rolname = '%1') THEN CREATE ROLE %1 LOGIN PASSWORD "
                                     "'munka'; END IF; END$$")
                          .arg(workstationRole));
    }

    void movedDepartmentWorksOnTheServer()
    {
        FileFolder folder;
        const QString server = newServerDatabase();
        QCOMPARE(folder.run({QStringLiteral("kiszolgalora"), QStringLiteral("--szerep"),
                             workstationRole, server}),
                 0);
        QVERIFY2(folder.out.contains(QStringLiteral("Minden tábla sorainak száma egyezik")),
                 qPrintable(folder.out));
        QVERIFY2(folder.out.contains(QStringLiteral("LISTA              3 sor")),
                 qPrintable(folder.out));
        QCOMPARE(serverNumber(server, QStringLiteral("SELECT count(*) FROM LOG")), 1);
        QCOMPARE(serverNumber(server, QStringLiteral("SELECT max(HIV_SZAM) FROM LISTA")), 3);

        // The workstations' role, its password from the password file alone.
        const QString workstation = server + QStringLiteral(" user=") + workstationRole;
        folder.nameServer(workstation);
        QCOMPARE(folder.run({QStringLiteral("lista-uj"), QStringLiteral("40"),
                             QStringLiteral("Próba lista"), QStringLiteral("V")}),
                 0);
        QCOMPARE(folder.run({QStringLiteral("listak")}), 0);
        QVERIFY2(folder.out.contains(QStringLiteral("Próba lista")), qPrintable(folder.out));
        QCOMPARE(serverNumber(server, QStringLiteral("SELECT count(*) FROM BEAV_TIP WHERE "
                                                     "BEAVTIP_KOD = 40")),
                 1);
        db::Connection file;
        file.open(folder.databasePath());
        QCOMPARE(file.scalar(QStringLiteral("SELECT count(*) FROM BEAV_TIP WHERE BEAVTIP_KOD = "
                                            "40"))
                     .toLongLong(),
                 0);

        db::Connection program;
        program.openServer(workstation);
        program.execute(QStringLiteral("INSERT INTO LISTA (BEAVTIP_KOD, TAJ) VALUES (3, '1')"));
        // The number given back in the file is never given again.
        QCOMPARE(program.lastInsertRowId(), 5);
        QVERIFY(!dbErrorOf([&] { program.execute(QStringLiteral("DROP TABLE LOG")); }).isEmpty());

        // The nightly backup runs with the workstations' role and backs the server up.
        QCOMPARE(folder.run({QStringLiteral("mentes")}), 0);
        const QFileInfoList backups
            = QDir(folder.path() + QStringLiteral("Mentesek")).entryInfoList(QDir::Files);
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.first().suffix(), QStringLiteral("dump"));
        const QString backup = backups.first().absoluteFilePath();

        // Only the owner of a database restores into it: the workstations' role is refused
        // and leaves it empty; the owner gets the data back with every right and number.
        const QString empty = newServerDatabase();
        QCOMPARE(folder.run({QStringLiteral("visszaallitas"), backup,
                             empty + QStringLiteral(" user=") + workstationRole}),
                 1);
        QVERIFY2(folder.err.contains(QStringLiteral("tulajdonosa")), qPrintable(folder.err));
        QVERIFY(isEmptyServerDatabase(empty));
        QCOMPARE(folder.run({QStringLiteral("visszaallitas"), backup, empty}), 0);
        QCOMPARE(serverNumber(empty, QStringLiteral("SELECT count(*) FROM LISTA")), 4);
        db::Connection restored;
        restored.openServer(empty + QStringLiteral(" user=") + workstationRole);
        restored.execute(QStringLiteral("INSERT INTO LISTA (BEAVTIP_KOD, TAJ) VALUES (3, '2')"));
        QCOMPARE(restored.lastInsertRowId(), 6);
    }

    void refusedMoveChangesNothing_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("server database holds data") << "full" << 1 << "nem üres";
        QTest::newRow("a program instance uses the file") << "busy" << 1 << "használja";
        QTest::newRow("no server named") << "none" << 2 << "Nincs megadva a kiszolgáló";
        QTest::newRow("password on the command line") << "password" << 1 << "jelszót";
        QTest::newRow("role the server does not know") << "role" << 1 << "nincs_ilyen";
        QTest::newRow("server out of reach") << "unreachable" << 1 << "nem érhető el";
    }

    void refusedMoveChangesNothing()
    {
        QFETCH(QString, situation);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        FileFolder folder;
        QString server = newServerDatabase();
        QStringList arguments{QStringLiteral("kiszolgalora")};
        db::Connection instance;
        qint64 serverRows = 0;
        if (situation == u"full") {
            FileFolder other;
            QCOMPARE(other.run({QStringLiteral("kiszolgalora"), server}), 0);
            db::Connection session;
            session.openServer(server);
            serverRows = programRows(session);
        } else if (situation == u"busy") {
            instance.openDepartment(folder.path());
        } else if (situation == u"password") {
            server += QStringLiteral(" password=titok");
        } else if (situation == u"role") {
            arguments << QStringLiteral("--szerep") << QStringLiteral("nincs_ilyen");
        } else if (situation == u"unreachable") {
            server = QStringLiteral("host=127.0.0.1 port=1 connect_timeout=5");
        }
        if (situation != u"none")
            arguments << server;
        QCOMPARE(folder.run(arguments), exitCode);
        QVERIFY2(folder.err.contains(message), qPrintable(folder.err));
        if (situation != u"unreachable") {
            const QString bare = server.section(QStringLiteral(" password="), 0, 0);
            db::Connection session;
            session.openServer(bare, db::Connection::Mode::ExistingAnyVersion);
            QCOMPARE(programRows(session), serverRows);
            if (situation != u"full")
                QVERIFY(isEmptyServerDatabase(bare));
        }
        db::Connection file;
        file.open(folder.databasePath());
        QCOMPARE(file.scalar(QStringLiteral("SELECT count(*) FROM LISTA")).toLongLong(), 3);
    }

private:
    QTemporaryDir m_secrets;
};

QTEST_GUILESS_MAIN(TestAdminServer)
#include "tst_adminserver.moc"
