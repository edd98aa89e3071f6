// The statement texts and the saved queries: every text runs as it stands on both engines, and
// the queries give what the windows and the report show: who is on a list and in which order,
// the TAJ search's counts, the list summaries, the report's rows, and the indexes the big ones
// need.
#include "support/serverdatabase.h"
#include "support/tempdatabase.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/adminstatements.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/statement.h"
#include "db/statements.h"
#include "db/writetransaction.h"

#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using testsupport::insertEntry;
using testsupport::rows;
using testsupport::TempProgramDir;

namespace {

QList<QVariantList> table(std::initializer_list<QVariantList> rows)
{
    return QList<QVariantList>(rows);
}

QString plan(db::Connection &connection, const QString &sql)
{
    QStringList steps;
    for (const QVariantList &row : rows(connection, QStringLiteral("EXPLAIN QUERY PLAN ") + sql))
        steps << row.last().toString();
    return steps.join(u'\n');
}

} // namespace

class TestStatements : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempProgramDir> m_dir;
    db::Connection m_connection;

private Q_SLOTS:
    void init()
    {
        // Query plans are the file's own.
        if (testsupport::serverEngine()
            && QByteArrayView(QTest::currentTestFunction()) == "bigQueriesUseTheirIndexes")
            QSKIP("the file engine's own behaviour");
        m_dir = std::make_unique<TempProgramDir>(db::schema::Contents::WithSampleLists);
        m_dir->connect(m_connection);
    }
    void cleanup()
    {
        m_connection.close();
        m_dir.reset();
    }

    void statementTextsRunAsTheyStand_data()
    {
        QTest::addColumn<QString>("sql");
        namespace st = db::statements;
        const std::pair<const char *, QString> texts[] = {
            {"insertDepartmentRow", st::insertDepartmentRow()},
            {"insertEntryRow", st::insertEntryRow()},
            {"insertLogRow", st::insertLogRow()},
            {"insertEventRow", st::insertEventRow()},
            {"insertListRow", st::insertListRow()},
            {"listName", st::listName()},
            {"entryEvent", st::entryEvent()},
            {"memberHistory", st::memberHistory()},
            {"eventsWithUse", st::eventsWithUse()},
            {"eventWithUse", st::eventWithUse()},
            {"eventsNamed", st::eventsNamed()},
            {"eventName", st::eventName()},
            {"renameEvent", st::renameEvent()},
            {"deleteEvent", st::deleteEvent()},
            {"eventCodes", st::eventCodes()},
            {"listsWithCounts", st::listsWithCounts()},
            {"listsNamed", st::listsNamed()},
            {"renameList", st::renameList()},
            {"changeListKind", st::changeListKind()},
            {"deleteList", st::deleteList()},
            {"listEntryCounts", st::listEntryCounts()},
            {"listKinds", st::listKinds()},
            {"department", st::department()},
            {"updateDepartment", st::updateDepartment()},
            {"updatePassword", st::updatePassword()},
            {"departmentRows", st::departmentRows()},
        };
        for (const auto &[name, sql] : texts)
            QTest::newRow(name) << sql;
        for (const db::schema::SavedQuery &query : db::schema::savedQueries())
            QTest::newRow(query.name) << QString::fromLatin1(query.select);
    }
    // Every text but the fixed ones of the windows is written so that both engines read it
    // alike: nothing for an adapter to rewrite, and the engine of this run takes it as it
    // stands (a refused value is fine here, a text the engine cannot read is not).
    void statementTextsRunAsTheyStand()
    {
        QFETCH(QString, sql);
        static const QRegularExpression fileOnly(
            QStringLiteral("\\browid\\b|\\bIS\\s+(NOT\\s+)?('|\\?)|\""),
            QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(!fileOnly.match(sql).hasMatch(), qPrintable(sql));
        db::WriteTransaction transaction(m_connection);
        db::Statement statement(m_connection, sql);
        for (int index = 1; index <= statement.parameterCount(); ++index)
            statement.bind(index, QStringLiteral("1"));
        try {
            while (statement.step()) {
            }
        } catch (const db::Error &error) {
            QVERIFY2(error.kind() != db::ErrorKind::Statement, qPrintable(sql));
        }
    }

    void memberQueryListsWhoIsOnTheList()
    {
        const qint64 later = insertEntry(m_connection, 2, QStringLiteral("111111110"),
                                         QStringLiteral("Később"), QDate(2006, 1, 12));
        const qint64 earlier = insertEntry(m_connection, 2, QStringLiteral("222222220"),
                                           QStringLiteral("Korábban"), QDate(2005, 12, 1));
        const qint64 sameDay = insertEntry(m_connection, 2, QStringLiteral("333333330"),
                                           QStringLiteral("Ugyanaznap"), QDate(2006, 1, 12),
                                           QStringLiteral("A"), QStringLiteral("HAL"));
        insertEntry(m_connection, 2, QStringLiteral("444444440"), QStringLiteral("Megműtve"),
                    QDate(2004, 1, 1), QStringLiteral("H"), QStringLiteral("BEA"));
        insertEntry(m_connection, 3, QStringLiteral("555555550"), QStringLiteral("Másik lista"),
                    QDate(2004, 1, 1));

        db::Dataset members(QStringLiteral("aqListaAdatok"));
        members.setConnection(&m_connection);
        members.setFields(db::fields::members());
        members.setSql(db::statements::memberQuery());
        members.setParameter(QStringLiteral("Aktbeavtip"), 2);
        members.open();
        QList<qint64> order;
        for (; !members.eof(); members.next())
            order << members.asInteger(QStringLiteral("HIV_SZAM"));
        QCOMPARE(order, (QList<qint64>{earlier, later, sameDay}));
        members.first();
        QCOMPARE(members.asText(QStringLiteral("ES_NEV")), QStringLiteral("Várakozás"));
        QCOMPARE(members.asDateTime(QStringLiteral("LISTARA_DATUM")).date(), QDate(2005, 12, 1));

        members.setParameter(QStringLiteral("Aktbeavtip"), QVariant());
        members.open();
        QCOMPARE(members.recordCount(), 0);
    }

    void tajSearchCountsEntriesOnTheirLists()
    {
        const QString taj = QStringLiteral("123456782");
        insertEntry(m_connection, 1, taj, QStringLiteral("Beteg"), QDate(2006, 1, 1));
        insertEntry(m_connection, 1, taj, QStringLiteral("Beteg"), QDate(2006, 2, 1),
                    QStringLiteral("H"), QStringLiteral("HAL"));
        insertEntry(m_connection, 3, taj, QStringLiteral("Beteg"), QDate(2006, 1, 1),
                    QStringLiteral("H"), QStringLiteral("KER"));
        insertEntry(m_connection, 12, taj, QStringLiteral("Beteg"), QDate(2006, 1, 1));
        insertEntry(m_connection, 12, QStringLiteral("999999990"), QStringLiteral("Más"),
                    QDate(2006, 1, 1));
        insertEntry(m_connection, 77, taj, QStringLiteral("Lista nélkül"), QDate(2006, 1, 1));
        QCOMPARE(rows(m_connection, db::statements::tajSearch(taj) + QStringLiteral(" ORDER BY 1")),
                 table({{qint64(1), QStringLiteral("Csípőprotézis beültetése"), qint64(2)},
                        {qint64(12), QStringLiteral("Sebészeti felvétel"), qint64(1)}}));
    }

    void summariesShowEveryListOfTheirKind_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QList<QVariantList>>("expected");
        QTest::newRow("waiting lists")
            << "QZAZADOROZDB"
            << table({{qint64(1), QStringLiteral("Csípőprotézis beültetése"), qint64(2)},
                      {qint64(2), QStringLiteral("Térdprotézis beültetése"), qint64(0)},
                      {qint64(3), QStringLiteral("Szürkehályog-műtét"), qint64(0)},
                      {qint64(4), QStringLiteral("Epehólyag-eltávolítás"), qint64(0)},
                      {qint64(5), QStringLiteral("Lágyéksérv-műtét"), qint64(1)}});
        QTest::newRow("patient admission")
            << "QBETFORGLISTADB"
            << table({{qint64(11), QStringLiteral("Belgyógyászati felvétel"), qint64(0)},
                      {qint64(12), QStringLiteral("Sebészeti felvétel"), qint64(1)},
                      {qint64(13), QStringLiteral("Nőgyógyászati felvétel"), qint64(0)}});
    }
    void summariesShowEveryListOfTheirKind()
    {
        QFETCH(QString, view);
        QFETCH(QList<QVariantList>, expected);
        insertEntry(m_connection, 1, QStringLiteral("111111110"), QStringLiteral("A"),
                    QDate(2006, 1, 1));
        insertEntry(m_connection, 1, QStringLiteral("222222220"), QStringLiteral("B"),
                    QDate(2006, 1, 1), QStringLiteral("H"), QStringLiteral("HAL"));
        insertEntry(m_connection, 1, QStringLiteral("333333330"), QStringLiteral("C"),
                    QDate(2006, 1, 1), QStringLiteral("H"), QStringLiteral("ELH"));
        // A list whose only entry left it still shows, counted 0.
        insertEntry(m_connection, 2, QStringLiteral("444444440"), QStringLiteral("D"),
                    QDate(2006, 1, 1), QStringLiteral("H"), QStringLiteral("BEA"));
        insertEntry(m_connection, 5, QStringLiteral("555555550"), QStringLiteral("E"),
                    QDate(2006, 1, 1));
        insertEntry(m_connection, 12, QStringLiteral("666666660"), QStringLiteral("F"),
                    QDate(2006, 1, 1));
        insertEntry(m_connection, 0, QStringLiteral("777777770"), QStringLiteral("G"),
                    QDate(2006, 1, 1));

        db::Dataset summary;
        summary.setConnection(&m_connection);
        summary.setFields(db::fields::listSummary());
        summary.setTableName(view);
        summary.open();
        QList<QVariantList> read;
        for (; !summary.eof(); summary.next())
            read << QVariantList{summary.value(QStringLiteral("BEAVTIP_KOD")),
                                 summary.value(QStringLiteral("BEAVTIP_NEV")),
                                 summary.value(QStringLiteral("Listatagok"))};
        QCOMPARE(read, expected);
    }

    void reportHoldsEveryEntryOnItsList()
    {
        testsupport::insertDepartment(m_connection, QStringLiteral("1234"),
                                      QStringLiteral("123456789"), QStringLiteral("F"),
                                      QStringLiteral("Sebészet"), QStringLiteral("x"));
        const qint64 b = insertEntry(m_connection, 3, QStringLiteral("111111110"),
                                     QStringLiteral("B"), QDate(2006, 2, 1), QStringLiteral("A"),
                                     QStringLiteral("HAL"), QDate(2006, 3, 1));
        const qint64 a = insertEntry(m_connection, 3, QStringLiteral("222222220"),
                                     QStringLiteral("A"), QDate(2005, 12, 1));
        const qint64 c = insertEntry(m_connection, 3, QStringLiteral("333333330"),
                                     QStringLiteral("C"), QDate(2006, 2, 1));
        insertEntry(m_connection, 3, QStringLiteral("444444440"), QStringLiteral("D"),
                    QDate(2006, 1, 1), QStringLiteral("H"), QStringLiteral("NJE"));
        const qint64 first = insertEntry(m_connection, 0, QStringLiteral("555555550"),
                                         QStringLiteral("E"), QDate(2007, 1, 1));
        const QString code = QStringLiteral("1234");
        const QString fin = QStringLiteral("123456789");
        const QString var = QStringLiteral("VAR");
        const QString h = QStringLiteral("H");
        const QList<QVariantList> expected
            = table({{code, fin, qint64(0), QStringLiteral("2007-01-01"), first, h, var,
                      QStringLiteral("2007-01-01")},
                     {code, fin, qint64(3), QStringLiteral("2005-12-01"), a, h, var,
                      QStringLiteral("2005-12-01")},
                     {code, fin, qint64(3), QStringLiteral("2006-02-01"), b, QStringLiteral("A"),
                      QStringLiteral("HAL"), QStringLiteral("2006-03-01")},
                     {code, fin, qint64(3), QStringLiteral("2006-02-01"), c, h, var,
                      QStringLiteral("2006-02-01")}});
        QCOMPARE(rows(m_connection, QStringLiteral("SELECT * FROM QJELENTES")), expected);

        db::Dataset report;
        report.setConnection(&m_connection);
        report.setFields(db::fields::report());
        report.setTableName(QStringLiteral("QJELENTES"));
        report.open();
        QCOMPARE(report.columnCount(), 8);
        for (int column = 0; column < 8; ++column)
            QCOMPARE(report.columnName(column), db::fields::report().at(column).name);

        // Without a department row the entries are still reported, with empty codes.
        m_connection.execute(QStringLiteral("DELETE FROM OSZTALY"));
        const QList<QVariantList> bare
            = rows(m_connection, QStringLiteral("SELECT * FROM QJELENTES"));
        QCOMPARE(bare.size(), 4);
        QVERIFY(bare.first().at(0).isNull() && bare.first().at(1).isNull());
    }

    void bigQueriesUseTheirIndexes()
    {
        const QString members
            = plan(m_connection, QString(db::statements::memberQuery())
                                     .replace(QStringLiteral(":Aktbeavtip"), QStringLiteral("3")));
        QVERIFY2(members.contains(QStringLiteral("COVERING INDEX LISTA_TAGOK")),
                 qPrintable(members));
        QVERIFY2(!members.contains(QStringLiteral("TEMP B-TREE")), qPrintable(members));

        const QString search
            = plan(m_connection, db::statements::tajSearch(QStringLiteral("123456782")));
        QVERIFY2(search.contains(QStringLiteral("INDEX LISTA_TAJ")), qPrintable(search));

        for (const QString &view :
             {QStringLiteral("QZAZADOROZDB"), QStringLiteral("QBETFORGLISTADB"),
              QStringLiteral("QJELENTES")}) {
            const QString summary = plan(m_connection, QStringLiteral("SELECT * FROM ") + view);
            QVERIFY2(!summary.contains(QStringLiteral("SCAN TABLE LISTA\n"))
                         && !summary.endsWith(QStringLiteral("SCAN TABLE LISTA"))
                         && !summary.contains(QStringLiteral("TEMP B-TREE")),
                     qPrintable(summary));
        }
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
