// The ward's package keeps the database in the data folder and reaches it from the program
// folder through a link. The program folder is not writable by the ward's users, so the
// journal of a write must go beside the file itself, never beside the link.
#include "tempdatabase.h"

#include "db/connection.h"
#include "db/writetransaction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestDataLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void journalGoesBesideTheFileNotTheLink()
    {
        testsupport::TempProgramDir data;
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString link = program.filePath(QString::fromLatin1(db::databaseFileName));
        QVERIFY(QFile::link(data.databasePath(), link));

        db::Connection connection;
        connection.open(link);
        db::WriteTransaction transaction(connection);
        testsupport::insertEntry(connection, 0, QStringLiteral("123456782"),
                                 QStringLiteral("Kiss Ödön"), QDate(2026, 3, 7));
        // The rollback journal exists from the first change until the commit.
        QVERIFY(QFile::exists(data.databasePath() + QStringLiteral("-journal")));
        QCOMPARE(QDir(program.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
                 QStringList{QString::fromLatin1(db::databaseFileName)});
        transaction.commit();
        connection.close();

        db::Connection reader;
        reader.open(data.databasePath());
        QCOMPARE(reader.scalar(QStringLiteral("SELECT count(*) FROM LISTA")).toLongLong(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDataLink)
#include "tst_datalink.moc"
