// The grid model over a dataset's fetched rows, and the grid that keeps its selection and the
// dataset's current row in step.
#include "tempdatabase.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/connection.h"
#include "db/statements.h"
#include "ui/datasetmodel.h"
#include "ui/datasource.h"
#include "ui/dbgrid.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLocale>
#include <QTest>

#include <memory>

using namespace testsupport;

namespace {
// A member query on its own connection over a fresh database.
struct Members
{
    Members()
    {
        dir.connect(connection);
        dataset.setConnection(&connection);
        dataset.setSql(db::statements::memberQuery());
        dataset.setFields(db::fields::members());
    }
    void open(int list)
    {
        dataset.close();
        dataset.setParameter(QStringLiteral("Aktbeavtip"), list);
        dataset.open();
    }
    void add(int list, const QString &taj, QDate day = QDate(2026, 3, 7))
    {
        insertEntry(connection, list, taj, QStringLiteral("Kovács Ödön"), day);
    }

    TempProgramDir dir;
    db::Connection connection;
    db::Dataset dataset;
};

QList<ui::GridColumn> columns()
{
    return {{QStringLiteral("TAJ"), QStringLiteral("TAJ"), 9},
            {QStringLiteral("ESEM_KOD"), QStringLiteral("ESEM_KOD"), 3, 0, true},
            {QStringLiteral("LISTARA_DATUM"), QStringLiteral("Listárakerülés"), 10},
            {QStringLiteral("HIV_SZAM"), QStringLiteral("Hiv. Szám"), 10}};
}

QStringList column(const QAbstractItemModel &model, int c)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, c).data().toString();
    return texts;
}
} // namespace

class TestDatasetModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void staysConsistentThroughOpenCloseAndRebind();
    void displayText_data();
    void displayText();
    void rowIndicatorMarksCurrentRow();
    void gridSelectionAndCurrentRowFollowEachOther();
};

void TestDatasetModel::staysConsistentThroughOpenCloseAndRebind()
{
    Members m;
    m.add(1, QStringLiteral("100000000"), QDate(2026, 3, 8));
    m.add(1, QStringLiteral("200000000"), QDate(2026, 3, 6));
    m.add(2, QStringLiteral("300000000"));
    ui::DataSource source;
    ui::DatasetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns(columns());
    model.setDataSource(&source);
    QCOMPARE(model.rowCount(), 0);

    source.setDataset(&m.dataset);
    QCOMPARE(model.rowCount(), 0); // bound but not open
    m.open(1);
    QCOMPARE(model.columnCount(), 3); // the hidden event code is left out
    QCOMPARE(column(model, 0),
             (QStringList{QStringLiteral("200000000"), QStringLiteral("100000000")}));
    m.open(2);
    QCOMPARE(column(model, 0), QStringList{QStringLiteral("300000000")});
    m.dataset.close();
    QCOMPARE(model.rowCount(), 0);

    auto other = std::make_unique<db::Dataset>();
    other->setConnection(&m.connection);
    other->setSql(db::statements::memberQuery());
    other->setParameter(QStringLiteral("Aktbeavtip"), 1);
    other->open();
    source.setDataset(other.get());
    QCOMPARE(model.rowCount(), 2);
    other.reset(); // a dataset that goes away takes its rows out of the view
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.dataset());
}

void TestDatasetModel::displayText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("null") << QVariant() << QString();
    QTest::newRow("integer") << QVariant(qint64(1234567)) << QStringLiteral("1234567");
    QTest::newRow("text as stored")
        << QVariant(QStringLiteral("O'Brien Őrs")) << QStringLiteral("O'Brien Őrs");
    // Stored wall-clock fields: a late hour must not slip into the next day in local time.
    QTest::newRow("date, late in the day")
        << QVariant(QDateTime(QDate(2006, 3, 7), QTime(23, 30), Qt::UTC))
        << QLocale().toString(QDate(2006, 3, 7), QLocale::ShortFormat);
    QTest::newRow("day of January, short format")
        << QVariant(QDateTime(QDate(2006, 1, 12), QTime(0, 0), Qt::UTC))
        << QLocale().toString(QDate(2006, 1, 12), QLocale::ShortFormat);
}

void TestDatasetModel::displayText()
{
    QFETCH(QVariant, value);
    QFETCH(QString, shown);
    QCOMPARE(ui::DatasetModel::displayText(value), shown);
}

void TestDatasetModel::rowIndicatorMarksCurrentRow()
{
    Members m;
    for (int i = 1; i <= 3; ++i)
        m.add(1, QStringLiteral("%1").arg(i * 111111110));
    ui::DataSource source;
    source.setDataset(&m.dataset);
    ui::DatasetModel model;
    model.setColumns(columns());
    model.setDataSource(&source);
    m.open(1);
    const auto marked = [&model] {
        QList<int> rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            if (!model.headerData(row, Qt::Vertical).toString().isEmpty())
                rows << row;
        }
        return rows;
    };
    QCOMPARE(marked(), QList<int>{0});
    QVERIFY(m.dataset.locate(QStringLiteral("TAJ"), QStringLiteral("333333330")));
    QCOMPARE(marked(), QList<int>{2});
}

void TestDatasetModel::gridSelectionAndCurrentRowFollowEachOther()
{
    Members m;
    for (int i = 1; i <= 4; ++i)
        m.add(1, QStringLiteral("%1").arg(i * 111111110));
    m.add(2, QStringLiteral("999999990"));
    ui::DataSource source;
    source.setDataset(&m.dataset);
    ui::DbGrid grid(QStringLiteral("grid"));
    grid.setColumns(columns());
    grid.setDataSource(&source);
    grid.show();
    m.open(1);
    QCOMPARE(grid.currentIndex().row(), 0);

    // A locate moves the selection.
    QVERIFY(m.dataset.locate(QStringLiteral("TAJ"), QStringLiteral("333333330")));
    QCOMPARE(grid.currentIndex().row(), 2);
    QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
    QCOMPARE(grid.selectionModel()->selectedRows().constFirst().row(), 2);

    // Moving the selection moves the current row.
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(m.dataset.currentRow(), 3);
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(m.dataset.currentRow(), 0);
    const QRect cell = grid.visualRect(grid.model()->index(1, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m.dataset.currentRow(), 1);
    QCOMPARE(m.dataset.asText(QStringLiteral("TAJ")), QStringLiteral("222222220"));
    // Ctrl+click on the selected row leaves it selected: there is always a current row.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
    QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
    QCOMPARE(m.dataset.currentRow(), 1);

    // Reopened on another list: the grid starts again on the first row.
    m.open(2);
    QCOMPARE(grid.model()->rowCount(), 1);
    QCOMPARE(grid.currentIndex().row(), 0);
    m.dataset.close();
    QCOMPARE(grid.model()->rowCount(), 0);
    QVERIFY(!grid.currentIndex().isValid());
}

QTEST_MAIN(TestDatasetModel)
#include "tst_datasetmodel.moc"
