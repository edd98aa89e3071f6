// Two workstations on one entry: a member dialog whose entry was changed elsewhere since it
// opened saves nothing, says what the entry holds now and shows it; a second OK then saves the
// choice knowingly, and the log holds every change with the values truly replaced.
#include "department.h"
#include "dialogsteps.h"
#include "messagerecorder.h"
#include "typing.h"

#include "db/clock.h"
#include "db/connection.h"
#include "db/statement.h"
#include "lists/listselection.h"
#include "lists/membersave.h"
#include "lists/ufrmAdatok.h"
#include "rules/member.h"
#include "ui/mainstate.h"
#include "ui/modal.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);
const QDate listed(2026, 2, 1);

void chooseEvent(QDialog *d, const QString &name)
{
    auto *event = child<QComboBox>(d, u"cbEsemenynev"_s);
    event->setCurrentIndex(event->findText(name));
    QVERIFY(event->currentIndex() >= 0);
}

QString logText(db::Connection &connection)
{
    QStringList lines;
    for (const QVariantList &row :
         rows(connection, u"SELECT MEZO, REGI_ERTEK, UJ_ERTEK FROM LOG ORDER BY SORSZAM"_s))
        lines << u"%1 %2 %3"_s.arg(row.value(0).toString(), row.value(1).toString(),
                                   row.value(2).toString());
    return lines.join(u'|');
}

QVariantList storedEntry(db::Connection &connection, qint64 hiv)
{
    return rows(connection, u"SELECT TAJ, NEV, LISTARA_DATUM, SURGOSSEG, ESEM_KOD, ESEM_DATUM "
                            u"FROM LISTA WHERE HIV_SZAM = "_s
                                + QString::number(hiv))
        .value(0);
}

// A second instance of the program on the same data: its own run state and connection.
struct Workstation
{
    explicit Workstation(const TempProgramDir &dir)
        : state(&mainWidget, dir.path())
    {
        state.connect();
        state.grantAccess();
        state.setAktBeavtip(1);
    }
    QWidget mainWidget;
    ui::MainState state;
};

// The member dialogs of every workstation, driven in the order they open (one inside
// another's modal loop as well).
class MemberDialogs
{
public:
    MemberDialogs()
    {
        m_driver.on(u"frmAdatok"_s, [this](QDialog *d) {
            const std::function<void(QDialog *)> steps = m_pending.takeFirst();
            steps(d);
        });
    }

    // Opens the member dialog for the entry on the workstation, filled as the list manager
    // fills it from the row it shows, and lets steps drive it inside its modal loop.
    void recordEvent(ui::MainState &state, qint64 hiv, const std::function<void(QDialog *)> &steps)
    {
        const std::optional<rules::ShownEntry> shown = lists::storedEntry(state.acZazadoroz(), hiv);
        QVERIFY(shown);
        TfrmAdatok dialog(state, state.mainWidget());
        dialog.fill(rules::eventFill(*shown, db::today()));
        m_pending.append(steps);
        ui::execModal(&dialog);
    }

private:
    ModalDriver m_driver;
    QList<std::function<void(QDialog *)>> m_pending;
};

void changeElsewhere(const TempProgramDir &dir, const QString &column, const QVariant &value,
                     qint64 hiv)
{
    db::Connection other;
    dir.connect(other);
    db::Statement change(other, u"UPDATE LISTA SET %1 = :v WHERE HIV_SZAM = :h"_s.arg(column));
    change.bind(u":v"_s, value);
    change.bind(u":h"_s, hiv);
    change.step();
}
} // namespace

class TestEventMeanwhile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(8, 0))); }
    void cleanup() { db::setFixedNow({}); }
    void secondDialogIsToldAndSavesOnlyKnowingly();
    void anyShownValueChangedStopsTheSave_data();
    void anyShownValueChangedStopsTheSave();
    void entryGoneMeanwhileWritesNothing();
};

void TestEventMeanwhile::secondDialogIsToldAndSavesOnlyKnowingly()
{
    Department dep;
    dep.state.setAktBeavtip(1);
    const qint64 hiv = dep.entry(1, u"123456788"_s, listed);
    Workstation b(dep.dir);
    MessageRecorder recorder;
    MemberDialogs dialogs;
    bool openAfterFirstOk = false;
    QString afterFirstOk;
    QVariantList storedAfterFirstOk;
    QString choiceKept;
    bool closedAfterSecondOk = false;
    // A opens the entry and picks "deferred at the patient's request"; B opens the same entry,
    // records "did not turn up" and saves; then A presses OK.
    dialogs.recordEvent(dep.state, hiv, [&](QDialog *a) {
        chooseEvent(a, u"Halasztva a beteg kérésére"_s);
        dialogs.recordEvent(b.state, hiv, [&](QDialog *d) {
            chooseEvent(d, u"Nem jelent meg"_s);
            press(d, u"btnOK"_s);
        });
        press(a, u"btnOK"_s);
        openAfterFirstOk = a->isVisible();
        afterFirstOk = logText(dep.state.connection());
        storedAfterFirstOk = storedEntry(dep.state.connection(), hiv);
        choiceKept = child<QComboBox>(a, u"cbEsemenynev"_s)->currentText();
        press(a, u"btnOK"_s);
        closedAfterSecondOk = !a->isVisible();
        if (!closedAfterSecondOk)
            press(a, u"btnCancel"_s);
    });
    QCOMPARE(recorder.texts(),
             QStringList{u"A bejegyzést időközben máshol módosították, ezért a választott "
                         u"esemény nem került mentésre.\nA bejegyzés most: esemény: Nem jelent "
                         u"meg, 2026. 03. 10.; TAJ: 123456788; név: Kiss Ödön; listárakerülés: "
                         u"2026. 02. 01.; sürgősség: Halasztható.\nAz ablak már ezeket az "
                         u"adatokat mutatja; a választott esemény mentéséhez nyomja meg újra az "
                         u"OK gombot."_s});
    QVERIFY(openAfterFirstOk);
    QCOMPARE(afterFirstOk, u"ESEM_KOD VAR NJE|ESEM_DATUM 2/1/2026 3/10/2026"_s);
    QCOMPARE(storedAfterFirstOk.value(4), u"NJE"_s);
    QCOMPARE(choiceKept, u"Halasztva a beteg kérésére"_s);
    QVERIFY(closedAfterSecondOk);
    QCOMPARE(logText(dep.state.connection()),
             u"ESEM_KOD VAR NJE|ESEM_DATUM 2/1/2026 3/10/2026|ESEM_KOD NJE HAL"_s);
    QCOMPARE(storedEntry(b.state.connection(), hiv).value(4), u"HAL"_s);
}

void TestEventMeanwhile::anyShownValueChangedStopsTheSave_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("control"); // where the dialog shows the new value
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("nowPart"); // that value in the message
    QTest::newRow("name") << "NEV" << QVariant(u"Kiss Ödönné"_s) << "eNev" << u"Kiss Ödönné"_s
                          << u"név: Kiss Ödönné;"_s;
    QTest::newRow("TAJ") << "TAJ" << QVariant(u"111111110"_s) << "eTaj" << u"111-111-110"_s
                         << u"TAJ: 111111110;"_s;
    QTest::newRow("urgency") << "SURGOSSEG" << QVariant(u"A"_s) << "rgSurgos0" << u"true"_s
                             << u"sürgősség: Azonnali (Akut)."_s;
    QTest::newRow("listing day") << "LISTARA_DATUM" << QVariant(u"2026-01-15"_s) << "dtpListara"
                                 << u"2026-01-15"_s << u"listárakerülés: 2026. 01. 15.;"_s;
    QTest::newRow("event day") << "ESEM_DATUM" << QVariant(u"2026-03-02"_s) << ""
                               << "" << u"esemény: Várakozás, 2026. 03. 02.;"_s;
}

void TestEventMeanwhile::anyShownValueChangedStopsTheSave()
{
    QFETCH(QString, column);
    QFETCH(QVariant, value);
    QFETCH(QString, control);
    QFETCH(QString, shown);
    QFETCH(QString, nowPart);
    Department dep;
    dep.state.setAktBeavtip(1);
    const qint64 hiv = dep.entry(1, u"123456788"_s, listed);
    MessageRecorder recorder;
    MemberDialogs dialogs;
    QVariantList before;
    QString logAfterFirstOk;
    QString inControl;
    QDate dayKept;
    QVariantList storedAfterFirstOk;
    dialogs.recordEvent(dep.state, hiv, [&](QDialog *d) {
        chooseEvent(d, u"Beavatkozás megtörtént"_s);
        child<QDateEdit>(d, u"dtpEsemDatum"_s)->setDate(QDate(2026, 3, 5));
        // Another client writes while the dialog is open: nothing of the dialog locks the row.
        changeElsewhere(dep.dir, column, value, hiv);
        before = storedEntry(dep.state.connection(), hiv);
        press(d, u"btnOK"_s);
        logAfterFirstOk = logText(dep.state.connection());
        if (control == u"rgSurgos0")
            inControl = child<QRadioButton>(d, control)->isChecked() ? u"true"_s : u"false"_s;
        else if (control == u"dtpListara")
            inControl = child<QDateEdit>(d, control)->date().toString(Qt::ISODate);
        else if (!control.isEmpty())
            inControl = child<QLineEdit>(d, control)->displayText();
        dayKept = child<QDateEdit>(d, u"dtpEsemDatum"_s)->date();
        storedAfterFirstOk = storedEntry(dep.state.connection(), hiv);
        press(d, u"btnOK"_s);
    });
    QCOMPARE(recorder.count(), 1);
    QVERIFY2(recorder.last().contains(nowPart), qPrintable(recorder.last()));
    QCOMPARE(logAfterFirstOk, QString());
    QCOMPARE(storedAfterFirstOk, before);
    QCOMPARE(inControl, shown);
    QCOMPARE(dayKept, QDate(2026, 3, 5));
    // The second OK saved the event only, and logged against the entry as it was stored.
    const QString oldDay = column == u"ESEM_DATUM" ? u"3/2/2026"_s : u"2/1/2026"_s;
    QCOMPARE(logText(dep.state.connection()),
             u"ESEM_KOD VAR BEA|ESEM_DATUM %1 3/5/2026"_s.arg(oldDay));
    const QVariantList after = storedEntry(dep.state.connection(), hiv);
    QCOMPARE(after.mid(0, 4), before.mid(0, 4));
    QCOMPARE(after.mid(4), (QVariantList{u"BEA"_s, u"2026-03-05"_s}));
}

void TestEventMeanwhile::entryGoneMeanwhileWritesNothing()
{
    Department dep;
    dep.state.setAktBeavtip(1);
    const qint64 hiv = dep.entry(1, u"123456788"_s, listed);
    MessageRecorder recorder;
    MemberDialogs dialogs;
    bool closed = false;
    dialogs.recordEvent(dep.state, hiv, [&](QDialog *d) {
        chooseEvent(d, u"Elhunyt"_s);
        dep.state.connection().execute(u"DELETE FROM LISTA WHERE HIV_SZAM = "_s
                                       + QString::number(hiv));
        press(d, u"btnOK"_s);
        closed = !d->isVisible();
        if (!closed)
            press(d, u"btnCancel"_s);
    });
    QCOMPARE(recorder.texts(),
             QStringList{u"A bejegyzést időközben törölték, ezért az esemény nem került "
                         u"mentésre."_s});
    QVERIFY(closed);
    QCOMPARE(logText(dep.state.connection()), QString());
    QCOMPARE(rows(dep.state.connection(), u"SELECT count(*) FROM LISTA"_s).value(0).value(0),
             QVariant(qint64(0)));
}

QTEST_MAIN(TestEventMeanwhile)
#include "tst_eventmeanwhile.moc"
