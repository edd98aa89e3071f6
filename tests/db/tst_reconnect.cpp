// A server that goes away under an open connection: after a restart the next statement goes
// on, while the server is down nothing changes, and nothing is ever half-written or written
// twice. The throw-away cluster is stopped and started under the running test.
#include "support/serverdatabase.h"

#include "db/connection.h"
#include "db/messages.h"
#include "db/server/serverdialect.h"
#include "db/statement.h"
#include "db/writetransaction.h"

#include <QTest>

#include <functional>

using namespace testsupport;
using namespace Qt::StringLiterals;
using db::serverdialect::Role;

Q_DECLARE_METATYPE(db::serverdialect::Role)

namespace {

db::Error errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const db::Error &error) {
        return error;
    }
    return db::Error(QString());
}

// A server database with one table of two rows' worth of columns and one row in it.
void openWithOneRow(db::Connection &session)
{
    session.openServer(newServerDatabase(), db::Connection::Mode::ExistingAnyVersion);
    session.execute(u"CREATE TABLE varo (nap date, nev text); "
                    u"INSERT INTO varo VALUES ('3/7/2006', 'Ödön')"_s);
}

void insertRow(db::Connection &session, const QString &nap, const QString &nev)
{
    db::Statement insert(session, u"INSERT INTO varo VALUES (:nap, :nev)"_s);
    insert.bind(u":nap"_s, nap);
    insert.bind(u":nev"_s, nev);
    insert.step();
}

QStringList names(db::Connection &session)
{
    QStringList result;
    db::Statement select(session, u"SELECT nev FROM varo ORDER BY nap"_s);
    while (select.step())
        result << select.text(0);
    return result;
}

QString unreachable(const db::Connection &session)
{
    return db::message::serverUnreachable.toString().arg(session.path()) + u". "_s
           + db::message::nothingChanged.toString();
}

} // namespace

class TestReconnect : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rolesOfTexts_data();
    void rolesOfTexts();
    void restartedServerIsUsedAgain_data();
    void restartedServerIsUsedAgain();
    void unreachableServerChangesNothing();
    void brokenTransactionWritesNothing();
    void lostAnswerIsNeverSentAgain_data();
    void lostAnswerIsNeverSentAgain();
    void brokenReadIsSentAgain();
};

void TestReconnect::rolesOfTexts_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<Role>("role");
    QTest::newRow("a read") << "SELECT * FROM LISTA" << Role::Rerunnable;
    QTest::newRow("lower case, leading space") << "  select 1" << Role::Rerunnable;
    QTest::newRow("a comment line first") << "-- a hét napjai\nSELECT 1" << Role::Rerunnable;
    QTest::newRow("begin") << "BEGIN" << Role::Rerunnable;
    QTest::newRow("session settings") << "SET a = 1; SET b = 'x;y'" << Role::Rerunnable;
    QTest::newRow("a read with a named part")
        << "WITH x AS (SELECT 1) SELECT * FROM x" << Role::Rerunnable;
    QTest::newRow("a delete hidden in WITH")
        << "WITH gone AS (DELETE FROM LOG RETURNING *) SELECT count(*) FROM gone" << Role::Write;
    QTest::newRow("an insert whose text reads SELECT")
        << "INSERT INTO LOG (MEZO) VALUES ('SELECT')" << Role::Write;
    QTest::newRow("a read, then a write") << "SELECT 1; DELETE FROM LOG" << Role::Write;
    QTest::newRow("';' inside a text value") << "SELECT 'a;DELETE FROM LOG'" << Role::Rerunnable;
    QTest::newRow("an update") << "UPDATE LISTA SET NEV = 'x'" << Role::Write;
    QTest::newRow("nothing") << "" << Role::Write;
    QTest::newRow("commit") << "COMMIT" << Role::Commit;
    QTest::newRow("end") << "end;" << Role::Commit;
    QTest::newRow("commit with more") << "COMMIT; BEGIN" << Role::Write;
    QTest::newRow("rollback") << "ROLLBACK" << Role::Rollback;
    QTest::newRow("rollback to a savepoint")
        << "ROLLBACK TO naplosor; RELEASE naplosor" << Role::Write;
}

void TestReconnect::rolesOfTexts()
{
    QFETCH(QString, sql);
    QFETCH(Role, role);
    QCOMPARE(db::serverdialect::role(sql), role);
}

void TestReconnect::restartedServerIsUsedAgain_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("a read") << "read" << QStringList{u"Ödön"_s};
    QTest::newRow("a streamed read") << "stream" << QStringList{u"Ödön"_s};
    QTest::newRow("a write transaction") << "transaction" << QStringList{u"Ödön"_s, u"Ábel"_s};
    QTest::newRow("a single write") << "write" << QStringList{u"Ödön"_s, u"Ábel"_s};
}

void TestReconnect::restartedServerIsUsedAgain()
{
    QFETCH(QString, action);
    QFETCH(QStringList, after);
    db::Connection session;
    openWithOneRow(session);
    stopServer();
    startServer();
    if (action == u"read") {
        QCOMPARE(session.scalar(u"SELECT nap FROM varo"_s).toString(), u"2006-03-07"_s);
    } else if (action == u"stream") {
        db::Statement select(session, u"SELECT nap FROM varo"_s);
        select.setStreaming(true);
        QVERIFY(select.step());
        QCOMPARE(select.text(0), u"2006-03-07"_s);
        QVERIFY(!select.step());
    } else if (action == u"transaction") {
        db::WriteTransaction transaction(session);
        insertRow(session, u"4/1/2006"_s, u"Ábel"_s);
        transaction.commit();
    } else {
        insertRow(session, u"4/1/2006"_s, u"Ábel"_s);
    }
    QCOMPARE(names(session), after);
    // The new session reads days and waits for locks as the first one did.
    QCOMPARE(session.scalar(u"SHOW lock_timeout"_s).toString(), u"8s"_s);
    QCOMPARE(session.scalar(u"SELECT DATE '4/1/2006'"_s).toString(), u"2006-04-01"_s);
}

void TestReconnect::unreachableServerChangesNothing()
{
    db::Connection session;
    openWithOneRow(session);
    StoppedServer down;
    const QList<std::function<void()>> actions{
        [&] { session.scalar(u"SELECT count(*) FROM varo"_s); },
        [&] { insertRow(session, u"4/1/2006"_s, u"Ábel"_s); },
        [&] {
            db::WriteTransaction transaction(session);
            insertRow(session, u"4/2/2006"_s, u"Béla"_s);
            transaction.commit();
        },
    };
    for (const auto &action : actions) {
        const db::Error error = errorOf(action);
        QCOMPARE(error.kind(), db::ErrorKind::Disconnected);
        QCOMPARE(error.message(), unreachable(session));
        QVERIFY(!session.inTransaction());
    }
    down.start();
    QCOMPARE(names(session), QStringList{u"Ödön"_s});
    insertRow(session, u"4/1/2006"_s, u"Ábel"_s);
    QCOMPARE(names(session), (QStringList{u"Ödön"_s, u"Ábel"_s}));
}

void TestReconnect::brokenTransactionWritesNothing()
{
    db::Connection session;
    openWithOneRow(session);
    {
        db::WriteTransaction transaction(session);
        insertRow(session, u"4/1/2006"_s, u"Ábel"_s);
        stopServer();
        startServer();
        const db::Error broken = errorOf([&] { insertRow(session, u"4/2/2006"_s, u"Béla"_s); });
        QCOMPARE(broken.kind(), db::ErrorKind::Disconnected);
        QCOMPARE(broken.message(), db::message::connectionLost.toString());
        // Nothing goes on as if the transaction were whole, not even on a new session.
        QCOMPARE(errorOf([&] { insertRow(session, u"4/3/2006"_s, u"Cecil"_s); }).message(),
                 db::message::connectionLost.toString());
        QCOMPARE(errorOf([&] { session.scalar(u"SELECT count(*) FROM varo"_s); }).message(),
                 db::message::connectionLost.toString());
        QVERIFY(session.inTransaction());
        QVERIFY(!transaction.isOpen());
        QVERIFY(!errorOf([&] { transaction.commit(); }).message().isEmpty());
    }
    QVERIFY(!session.inTransaction());
    QCOMPARE(names(session), QStringList{u"Ödön"_s});
    {
        db::WriteTransaction transaction(session);
        insertRow(session, u"4/2/2006"_s, u"Béla"_s);
        transaction.commit();
    }
    QCOMPARE(names(session), (QStringList{u"Ödön"_s, u"Béla"_s}));
}

void TestReconnect::lostAnswerIsNeverSentAgain_data()
{
    QTest::addColumn<bool>("inTransaction");
    QTest::newRow("the commit of a transaction") << true;
    QTest::newRow("a write of its own") << false;
}

void TestReconnect::lostAnswerIsNeverSentAgain()
{
    QFETCH(bool, inTransaction);
    db::Connection session;
    openWithOneRow(session);
    // A transaction's trigger runs at its COMMIT: the session ends while the server commits.
    breakSessionOnce(session, u"megszakad"_s, u"AFTER INSERT ON varo"_s, inTransaction);
    const db::Error lost = errorOf([&] {
        std::optional<db::WriteTransaction> transaction;
        if (inTransaction)
            transaction.emplace(session);
        insertRow(session, u"4/1/2006"_s, u"Ábel"_s);
        if (transaction)
            transaction->commit();
    });
    QCOMPARE(lost.kind(), db::ErrorKind::Disconnected);
    QCOMPARE(lost.message(), db::message::saveOutcomeUnknown.toString());
    // Sent once: a second try would have gone through the trigger and stored the row.
    QCOMPARE(breaks(session, u"megszakad"_s), 1);
    QCOMPARE(names(session), QStringList{u"Ödön"_s});
}

void TestReconnect::brokenReadIsSentAgain()
{
    db::Connection session;
    openWithOneRow(session);
    // The server ends the session in the middle of the first read, not before it.
    session.execute(u"CREATE SEQUENCE olvasas; "
                    u"CREATE FUNCTION nevek() RETURNS SETOF text LANGUAGE plpgsql AS $$BEGIN "
                    u"IF nextval('olvasas') = 1 THEN "
                    u"PERFORM pg_terminate_backend(pg_backend_pid()); END IF; "
                    u"RETURN QUERY SELECT nev FROM varo; END$$"_s);
    QCOMPARE(session.scalar(u"SELECT * FROM nevek()"_s).toString(), u"Ödön"_s);
    QCOMPARE(session.scalar(u"SELECT last_value FROM olvasas"_s).toLongLong(), 2);
}

QTEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"
