// The list manager after a reading of its members that fails for real (another workstation
// holds the whole data locked past the wait): the rows read before stay usable, the count line
// and a Hungarian message say so, and the next reading that succeeds clears the note.
#include "department.h"
#include "dialogsteps.h"
#include "messagerecorder.h"
#include "serverdatabase.h"
#include "typing.h"

#include "dataset/dataset.h"
#include "db/clock.h"
#include "db/connection.h"
#include "lists/listselection.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

// Another workstation that keeps every reader of the entries out until it lets go.
class Locker
{
public:
    explicit Locker(const TempProgramDir &dir)
    {
        dir.connect(m_connection);
        if (serverEngine()) {
            m_connection.execute(u"BEGIN"_s);
            m_connection.execute(u"LOCK TABLE LISTA IN ACCESS EXCLUSIVE MODE"_s);
        } else {
            m_connection.execute(u"BEGIN EXCLUSIVE"_s);
        }
    }
    void release() { m_connection.execute(u"ROLLBACK"_s); }

private:
    db::Connection m_connection;
};

struct Seen
{
    int rows = -1;
    QString firstName;
    bool eventEnabled = false;
    QString status;
};

Seen look(QDialog *d)
{
    Seen seen;
    auto *grid = child<QAbstractItemView>(d, u"dbgLista"_s);
    seen.rows = grid->model()->rowCount();
    seen.firstName = grid->model()->index(0, 2).data().toString();
    seen.eventEnabled = child<QPushButton>(d, u"bbEsem"_s)->isEnabled();
    seen.status = child<QLabel>(d, u"lblAllapot"_s)->text();
    return seen;
}
} // namespace

class TestRereadFailure : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(today, QTime(8, 0))); }
    void cleanup() { db::setFixedNow({}); }
    void lockedDataKeepsTheRowsReadBefore();
    void unreadDataIsRefusedInWords();
};

void TestRereadFailure::lockedDataKeepsTheRowsReadBefore()
{
    Department dep;
    dep.state.setAktBeavtip(1);
    dep.entry(1, u"123456788"_s, QDate(2026, 2, 1), u"VAR"_s, u"Őri Ágnes"_s);
    dep.entry(1, u"111111110"_s, QDate(2026, 2, 2), u"VAR"_s, u"Kiss Ödön"_s);
    MessageRecorder recorder;
    ModalDriver driver;
    std::optional<Locker> locker;
    QStringList memberDialogTaj;
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        memberDialogTaj << child<QLineEdit>(d, u"eTaj"_s)->displayText();
        // Taken while the dialog is open: the reading after it waits, then gives up.
        if (!locker && memberDialogTaj.size() == 1)
            locker.emplace(dep.dir);
        press(d, u"btnCancel"_s);
    });
    Seen afterFailure;
    QStringList messagesAfterFailure;
    Seen afterRecovery;
    driver.on(u"frmListakezelo"_s, [&](QDialog *d) {
        press(d, u"bbEsem"_s);
        afterFailure = look(d);
        messagesAfterFailure = recorder.texts();
        locker->release();
        // The rows kept are usable: an event goes to the member shown.
        press(d, u"bbEsem"_s);
        afterRecovery = look(d);
        press(d, u"bbOK"_s);
    });
    lists::OpenListManager(dep.state);

    QCOMPARE(memberDialogTaj, (QStringList{u"123-456-788"_s, u"123-456-788"_s}));
    QCOMPARE(messagesAfterFailure.size(), 1);
    const QStringList lines = messagesAfterFailure.value(0).split(u'\n');
    QCOMPARE(lines.value(0),
             u"A lista tagjait nem sikerült újra beolvasni, ezért a táblázat a legutóbb "
             u"beolvasott adatokat mutatja, amelyek azóta változhattak."_s);
    // The server's lock wait is told in its lead alone; the file adds the engine's words.
    if (serverEngine())
        QCOMPARE(lines.value(1), u"Az adatot egy másik munkaállomás éppen módosítja, és nem "
                                 u"engedte el időben; próbálja újra később."_s);
    else
        QVERIFY2(lines.value(1).startsWith(u"Az adatbázist egy másik felhasználó éppen zárolja, "
                                           u"próbálja újra később: "_s),
                 qPrintable(lines.value(1)));
    QCOMPARE(lines.size(), 2);

    QCOMPARE(afterFailure.rows, 2);
    QCOMPARE(afterFailure.firstName, u"Őri Ágnes"_s);
    QVERIFY(afterFailure.eventEnabled);
    QVERIFY2(afterFailure.status.endsWith(u"   (nem friss: az újraolvasás nem sikerült)"_s),
             qPrintable(afterFailure.status));

    QCOMPARE(recorder.count(), 1);
    QCOMPARE(afterRecovery.rows, 2);
    QVERIFY(afterRecovery.eventEnabled);
    QVERIFY2(!afterRecovery.status.contains(u"nem friss"_s), qPrintable(afterRecovery.status));
}

void TestRereadFailure::unreadDataIsRefusedInWords()
{
    // What a member's read says when the member query holds no rows at all: a sentence for
    // the clerk, never the name of a component.
    db::Dataset members(u"aqListaAdatok"_s);
    QCOMPARE(dbErrorOf([&] { members.asText(u"TAJ"_s); }),
             u"Az adatokat nem sikerült beolvasni az adatbázisból"_s);
}

QTEST_MAIN(TestRereadFailure)
#include "tst_rereadfailure.moc"
