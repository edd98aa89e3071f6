// vazuvede-admin statisztika: the statistics window's figures as text and as its CSV, of one
// list or of the whole department, with the usual exit statuses.
#include "statsfixture.h"
#include "tempdatabase.h"

#include "admin/admincommand.h"
#include "admin/messages.h"
#include "admin/passwordsource.h"
#include "db/clock.h"
#include "db/connection.h"
#include "stats/scope.h"
#include "stats/statistics.h"
#include "stats/tableexport.h"

#include <QTest>
#include <QTextStream>

using namespace testsupport;

namespace {

class NoPasswords : public admin::PasswordSource
{
public:
    std::optional<QString> read(const QString &) override { return std::nullopt; }
};

} // namespace

class TestAdminStatistics : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void oneListAsText();
    void csvIsTheWindowsCsv();
    void wholeDepartmentKindByKind();
    void badRequests_data();
    void badRequests();

private:
    int run(const QStringList &arguments);

    std::unique_ptr<TempProgramDir> m_dir;
    QString m_out;
    QString m_err;
};

void TestAdminStatistics::init()
{
    db::setFixedNow(QDateTime(statsToday(), QTime(23, 30)));
    m_dir = std::make_unique<TempProgramDir>(db::schema::Contents::WithSampleLists);
    db::Connection connection;
    m_dir->connect(connection);
    fillStatsDepartment(connection);
}

void TestAdminStatistics::cleanup()
{
    m_dir.reset();
    db::setFixedNow({});
}

int TestAdminStatistics::run(const QStringList &arguments)
{
    m_out.clear();
    m_err.clear();
    QTextStream out(&m_out);
    QTextStream err(&m_err);
    NoPasswords passwords;
    admin::AdminCommand command(out, err, passwords, m_dir->path());
    return command.run(QStringList{QStringLiteral("--mappa"), m_dir->path()} + arguments);
}

void TestAdminStatistics::oneListAsText()
{
    QCOMPARE(run({QStringLiteral("statisztika"), QStringLiteral("--lista"), QStringLiteral("1")}),
             0);
    QVERIFY2(m_err.isEmpty(), qPrintable(m_err));
    const QStringList lines = m_out.split(u'\n');
    QCOMPARE(lines.first(), QStringLiteral("1 – Csípőprotézis beültetése – 2024. 03. 15."));
    // Columns aligned, numbers to the right, no figure as "–".
    const QString deferrable = QStringLiteral("Halasztható               5           252         "
                                              "           496                496                "
                                              "   3                    3                    1     "
                                              "                 0");
    QVERIFY2(lines.contains(deferrable), qPrintable(m_out));
    // Each number ends where its column's title does.
    const QString &titles = lines.at(3);
    QCOMPARE(deferrable.indexOf(QStringLiteral("5")) + 1,
             titles.indexOf(QStringLiteral("Listatagok")) + 10);
    QVERIFY(lines.contains(QStringLiteral("2024. február     2024. 02. 29.           7")));
    QVERIFY(m_out.contains(QStringLiteral("Lekerült: Nem jelent meg")));
}

void TestAdminStatistics::csvIsTheWindowsCsv()
{
    QCOMPARE(run({QStringLiteral("statisztika"), QStringLiteral("--csv"), QStringLiteral("--lista"),
                  QStringLiteral("2")}),
             0);
    db::Connection connection;
    m_dir->connect(connection);
    const QList<stats::Scope> choices = stats::scopeChoices(connection);
    const stats::Figures figures
        = stats::computeFigures(connection, *stats::findList(choices, 2), statsToday());
    QCOMPARE(m_out.toUtf8(), stats::csvDocument({figures}));
}

void TestAdminStatistics::wholeDepartmentKindByKind()
{
    QCOMPARE(run({QStringLiteral("statisztika")}), 0);
    QStringList headings;
    for (const QString &line : m_out.split(u'\n')) {
        if (line.endsWith(QStringLiteral(" – 2024. 03. 15.")))
            headings << line;
    }
    QCOMPARE(headings, (QStringList{QStringLiteral("Minden várólista – 2024. 03. 15."),
                                    QStringLiteral("Minden betegfogadási lista – 2024. 03. 15."),
                                    QStringLiteral("0 – Járóbeteg-ellátás – 2024. 03. 15.")}));
}

void TestAdminStatistics::badRequests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such list") << QStringList{QStringLiteral("--lista"), QStringLiteral("99")}
                                  << 1 << QStringLiteral("Nincs 99 kódú lista.");
    QTest::newRow("code missing") << QStringList{QStringLiteral("--lista")} << 2
                                  << admin::message::listCodeMissing.toString();
    QTest::newRow("code not a number")
        << QStringList{QStringLiteral("--lista"), QStringLiteral("egy")} << 2
        << admin::message::listCodeMissing.toString();
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--xml")} << 2 << QStringLiteral("„--xml”");
    QTest::newRow("twice") << QStringList{QStringLiteral("--csv"), QStringLiteral("--csv")} << 2
                           << QStringLiteral("„--csv”");
}

void TestAdminStatistics::badRequests()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QCOMPARE(run(QStringList{QStringLiteral("statisztika")} + arguments), status);
    QVERIFY2(m_err.contains(message), qPrintable(m_err));
    QVERIFY(m_out.isEmpty());
}

QTEST_GUILESS_MAIN(TestAdminStatistics)
#include "tst_adminstatistics.moc"
