// The list manager: which entries it shows and in what order, its two buttons and keys, and
// how it fills the member dialog for each mode.
#include "department.h"
#include "gridtext.h"
#include "messagerecorder.h"
#include "typing.h"

#include "db/clock.h"
#include "lists/listselection.h"
#include "lists/ufrmListakezelo.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <algorithm>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QString managerName = QStringLiteral("frmListakezelo");
const QString memberDialogName = QStringLiteral("frmAdatok");
const QDate today(2026, 3, 10);

QAbstractItemView *grid(QDialog *d)
{
    return child<QAbstractItemView>(d, QStringLiteral("dbgLista"));
}

QPushButton *button(QDialog *d, const char *name)
{
    return child<QPushButton>(d, QString::fromLatin1(name));
}

// What the member dialog shows, control by control in tab order; "-" marks a disabled one.
QString memberDialogText(QDialog *d)
{
    QStringList parts;
    const auto add = [&parts](QWidget *w, const QString &text) {
        parts << (w->isEnabled() ? text : u'-' + text);
    };
    add(child<QLineEdit>(d, u"eHivSzam"_s), child<QLineEdit>(d, u"eHivSzam"_s)->text());
    add(child<QLineEdit>(d, u"eTaj"_s), child<QLineEdit>(d, u"eTaj"_s)->displayText());
    add(child<QLineEdit>(d, u"eNev"_s), child<QLineEdit>(d, u"eNev"_s)->text());
    auto *listara = child<QDateEdit>(d, u"dtpListara"_s);
    add(listara, listara->date().toString(Qt::ISODate));
    const int surgos = child<QRadioButton>(d, u"rgSurgos0"_s)->isChecked()   ? 0
                       : child<QRadioButton>(d, u"rgSurgos1"_s)->isChecked() ? 1
                                                                             : -1;
    add(child<QWidget>(d, u"rgSurgos"_s), QString::number(surgos));
    auto *event = child<QComboBox>(d, u"cbEsemenynev"_s);
    add(event, event->currentIndex() < 0 ? QString() : event->currentText());
    auto *esemDatum = child<QDateEdit>(d, u"dtpEsemDatum"_s);
    add(esemDatum, esemDatum->date().toString(Qt::ISODate));
    return parts.join(u'|');
}
} // namespace

class TestListakezelo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(9, 30))); }
    void cleanup()
    {
        db::setFixedNow({});
        QCOMPARE(ui::takeForcedCloses(), 0);
    }
    void showsListMembersOldestFirst_data();
    void showsListMembersOldestFirst();
    void columnsAndDates();
    void buttonsFillMemberDialogForMode_data();
    void buttonsFillMemberDialogForMode();
    void keysOfTheWindow_data();
    void keysOfTheWindow();
    void opensSizedForColumnsAndRows();
    void wideningWidensNameAndEvent();
};

void TestListakezelo::showsListMembersOldestFirst_data()
{
    // Entries as "list taj yyyy-MM-dd event", in the order they are put into LISTA.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("oldest entry first")
        << QStringList{u"1 300000000 2026-03-09 VAR"_s, u"1 100000000 2025-12-31 VAR"_s,
                       u"1 200000000 2026-01-02 VAR"_s}
        << QStringList{u"100000000"_s, u"200000000"_s, u"300000000"_s};
    QTest::newRow("same day by reference number")
        << QStringList{u"1 300000000 2026-03-07 VAR"_s, u"1 100000000 2026-03-07 HAL"_s,
                       u"1 200000000 2026-03-07 VAR"_s, u"1 400000000 2026-03-06 VAR"_s}
        << QStringList{u"400000000"_s, u"300000000"_s, u"100000000"_s, u"200000000"_s};
    QTest::newRow("events that take the entry off the list")
        << QStringList{u"1 100000000 2026-03-01 BEA"_s, u"1 200000000 2026-03-02 KER"_s,
                       u"1 300000000 2026-03-03 ELH"_s, u"1 400000000 2026-03-04 ATH"_s,
                       u"1 500000000 2026-03-05 NJE"_s, u"1 600000000 2026-03-06 HAL"_s}
        << QStringList{u"600000000"_s};
    QTest::newRow("other lists") << QStringList{u"2 100000000 2026-03-01 VAR"_s,
                                                u"0 200000000 2026-03-01 VAR"_s,
                                                u"1 300000000 2026-03-01 VAR"_s}
                                 << QStringList{u"300000000"_s};
    QTest::newRow("empty list") << QStringList{u"2 100000000 2026-03-01 VAR"_s} << QStringList{};
}

void TestListakezelo::showsListMembersOldestFirst()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, shown);
    Department dep;
    for (const QString &entry : std::as_const(entries)) {
        const QStringList f = entry.split(u' ');
        dep.entry(f[0].toInt(), f[1], QDate::fromString(f[2], Qt::ISODate), f[3]);
    }
    dep.state.setAktBeavtip(1);
    MessageRecorder messages;
    ModalDriver driver;
    QStringList tajs;
    bool esemEnabled = false;
    bool ujTagEnabled = false;
    QString current;
    driver.on(managerName, [&](QDialog *d) {
        tajs = gridColumn(grid(d), QStringLiteral("TAJ"));
        esemEnabled = button(d, "bbEsem")->isEnabled();
        ujTagEnabled = button(d, "bbUjTag")->isEnabled();
        const QModelIndex selected = grid(d)->currentIndex();
        current = selected.isValid() ? tajs.value(selected.row()) : QString();
        QCOMPARE(d->focusWidget(), button(d, "bbOK"));
        QTest::mouseClick(button(d, "bbOK"), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(tajs, shown);
    QCOMPARE(esemEnabled, !shown.isEmpty());
    QVERIFY(ujTagEnabled);
    QCOMPARE(current, shown.value(0));
    QVERIFY(dep.mainWidget.findChildren<QDialog *>().isEmpty());
    QVERIFY(messages.texts().isEmpty());
}

void TestListakezelo::columnsAndDates()
{
    Department dep;
    dep.entry(1, QStringLiteral("123456788"), QDate(2026, 1, 12), QStringLiteral("HAL"),
              QStringLiteral("O'Brien Éva"), QStringLiteral("A"));
    dep.state.setAktBeavtip(1);
    TfrmListakezelo window(dep.state, &dep.mainWidget);
    window.readMembers();
    const QAbstractItemModel *model = grid(&window)->model();
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{u"Hiv. Szám"_s, u"TAJ"_s, u"Név"_s, u"Listárakerülés"_s,
                                  u"Sürgős"_s, u"Esemény"_s, u"Esemény dátum"_s}));
    QStringList row;
    for (int c = 0; c < model->columnCount(); ++c)
        row << model->index(0, c).data().toString();
    const QString shortDate = QLocale().toString(QDate(2026, 1, 12), QLocale::ShortFormat);
    QCOMPARE(row, (QStringList{QStringLiteral("1"), QStringLiteral("123456788"),
                               QStringLiteral("O'Brien Éva"), shortDate, QStringLiteral("A"),
                               QStringLiteral("Halasztva a beteg kérésére"), shortDate}));
    // The hidden event code is still read from the query.
    QCOMPARE(window.aqListaAdatok().asText(QStringLiteral("ESEM_KOD")), QStringLiteral("HAL"));
}

void TestListakezelo::buttonsFillMemberDialogForMode_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("surgosseg");
    QTest::addColumn<QString>("shown"); // "#" stands for the selected entry's reference number
    QTest::newRow("new entry") << "bbUjTag"
                               << "A"
                               << "-|000-000-000||2026-03-10|-1|-Várakozás|2026-03-10";
    QTest::newRow("event for an acute entry")
        << "bbEsem"
        << "A"
        << "-#|-123-456-788|-Szűcs Ágnes|-2026-02-01|-0||2026-03-10";
    QTest::newRow("event, lower-case a is deferrable")
        << "bbEsem"
        << "a"
        << "-#|-123-456-788|-Szűcs Ágnes|-2026-02-01|-1||2026-03-10";
}

void TestListakezelo::buttonsFillMemberDialogForMode()
{
    QFETCH(QString, button);
    QFETCH(QString, surgosseg);
    QFETCH(QString, shown);
    Department dep;
    dep.entry(1, u"111111110"_s, QDate(2026, 1, 5));
    const qint64 second
        = dep.entry(1, u"123456788"_s, QDate(2026, 2, 1), u"HAL"_s, u"Szűcs Ágnes"_s, surgosseg);
    dep.state.setAktBeavtip(1);
    MessageRecorder messages;
    ModalDriver driver;
    QString filled;
    driver.on(memberDialogName, [&](QDialog *d) {
        filled = memberDialogText(d);
        QTest::mouseClick(child<QPushButton>(d, u"btnCancel"_s), Qt::LeftButton);
    });
    int currentAfterDialog = -1;
    driver.on(managerName, [&](QDialog *d) {
        QTest::keyClick(grid(d), Qt::Key_Down);
        QTest::mouseClick(child<QPushButton>(d, button), Qt::LeftButton);
        // A cancelled dialog still reads the list again, back on its first row.
        currentAfterDialog = grid(d)->currentIndex().row();
        QTest::mouseClick(child<QPushButton>(d, u"bbOK"_s), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(driver.shown(), (QStringList{managerName, memberDialogName}));
    QCOMPARE(filled, shown.replace(u'#', QString::number(second)));
    QCOMPARE(currentAfterDialog, 0);
    QVERIFY(messages.texts().isEmpty());
}

void TestListakezelo::keysOfTheWindow_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("memberMode"); // what opened: "" none, "new" or "event"
    QTest::newRow("Enter on the grid closes") << "dbgLista" << int(Qt::Key_Return) << "";
    QTest::newRow("Enter on bbOK closes") << "bbOK" << int(Qt::Key_Enter) << "";
    QTest::newRow("Enter on bbEsem presses it") << "bbEsem" << int(Qt::Key_Return) << "event";
    QTest::newRow("Esc on the grid adds a member") << "dbgLista" << int(Qt::Key_Escape) << "new";
    QTest::newRow("Esc on bbEsem adds a member") << "bbEsem" << int(Qt::Key_Escape) << "new";
    QTest::newRow("Enter in the search box closes") << "eKereses" << int(Qt::Key_Return) << "";
    QTest::newRow("Esc in the search box adds a member")
        << "eKereses" << int(Qt::Key_Escape) << "new";
}

void TestListakezelo::keysOfTheWindow()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, memberMode);
    Department dep;
    dep.entry(1, QStringLiteral("123456788"));
    dep.state.setAktBeavtip(1);
    MessageRecorder messages;
    ModalDriver driver;
    QString opened;
    driver.on(memberDialogName, [&](QDialog *d) {
        opened = child<QLineEdit>(d, QStringLiteral("eHivSzam"))->text().isEmpty()
                     ? QStringLiteral("new")
                     : QStringLiteral("event");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    bool closedByKey = false;
    driver.on(managerName, [&](QDialog *d) {
        QWidget *target = child<QWidget>(d, focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        closedByKey = !d->isVisible();
        if (d->isVisible())
            QTest::mouseClick(button(d, "bbOK"), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(opened, memberMode);
    QCOMPARE(closedByKey, memberMode.isEmpty());
    QVERIFY(messages.texts().isEmpty());
}

void TestListakezelo::opensSizedForColumnsAndRows()
{
    Department dep;
    for (int i = 0; i < 60; ++i)
        dep.entry(1, QStringLiteral("123456788"));
    dep.state.setAktBeavtip(1);
    TfrmListakezelo window(dep.state, &dep.mainWidget);
    window.readMembers();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect desktop = window.screen()->availableGeometry();
    QVERIFY2(desktop.contains(window.frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(window.frameGeometry().x())
                            .arg(window.frameGeometry().y())
                            .arg(window.frameGeometry().width())
                            .arg(window.frameGeometry().height())));
    auto *table = child<QTableView>(&window, QStringLiteral("dbgLista"));
    // Every column in sight, or as wide as the desktop where they do not all fit.
    QVERIFY2(table->horizontalHeader()->length() <= table->viewport()->width()
                 || window.frameGeometry().width() >= desktop.width() - 16,
             qPrintable(QString::number(table->horizontalHeader()->length())));
    // Most of the rows a screen could hold.
    const int rowHeight = table->verticalHeader()->defaultSectionSize();
    QVERIFY2(table->viewport()->height() / rowHeight >= desktop.height() / rowHeight * 6 / 10,
             qPrintable(QString::number(table->viewport()->height())));
}

void TestListakezelo::wideningWidensNameAndEvent()
{
    Department dep;
    dep.entry(1, QStringLiteral("123456788"));
    dep.state.setAktBeavtip(1);
    TfrmListakezelo window(dep.state, &dep.mainWidget);
    window.readMembers();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *table = child<QTableView>(&window, QStringLiteral("dbgLista"));
    const auto widths = [table] {
        QList<int> w;
        for (int c = 0; c < table->model()->columnCount(); ++c)
            w << table->columnWidth(c);
        return w;
    };
    const QList<int> before = widths();
    const int startWidth = window.width();
    // Wide enough for every column, and 100 pixels more.
    const int hidden
        = std::max(0, table->horizontalHeader()->length() - table->viewport()->width());
    window.resize(startWidth + hidden + 100, window.height());
    QTRY_COMPARE(table->horizontalHeader()->length(), table->viewport()->width());
    const QList<int> after = widths();
    const int name = 2;
    const int event = 5;
    QVERIFY(after.at(name) > before.at(name));
    QVERIFY(after.at(event) > before.at(event));
    QCOMPARE(after.at(name) - before.at(name) + after.at(event) - before.at(event), 100);
    for (int c : {0, 1, 3, 4, 6})
        QCOMPARE(after.at(c), before.at(c));
    // Narrowing gives the width back, and the columns stay resizable by hand.
    window.resize(startWidth, window.height());
    QTRY_COMPARE(widths(), before);
    QCOMPARE(table->horizontalHeader()->sectionResizeMode(name), QHeaderView::Interactive);
}

QTEST_MAIN(TestListakezelo)
#include "tst_listakezelo.moc"
