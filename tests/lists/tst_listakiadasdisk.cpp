// The list manager's CSV and PDF files on a small disk that is full or fills up while the
// file is written, and with a link standing at the chosen name: the earlier file stays as it
// was, and the person is told why.
#include "department.h"
#include "folderfiles.h"
#include "isolateduser.h"
#include "messagerecorder.h"
#include "privileged.h"

#include "db/clock.h"
#include "lists/listselection.h"
#include "ui/messagetexts.h"
#include "ui/modal.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

void addMembers(Department &dep, int count)
{
    for (int i = 0; i < count; ++i)
        dep.entry(1, u"5%1"_s.arg(i, 8, 10, QLatin1Char('0')), QDate(2026, 1, 1 + i % 28), u"VAR"_s,
                  u"Kovácsné Tóth Ilona %1"_s.arg(i));
}

// Opens the list manager, saves through the button into path, and returns what was said.
QStringList save(Department &dep, const QString &button, const QString &path)
{
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(u"dlgMentes"_s, [path](QDialog *d) {
        qobject_cast<QFileDialog *>(d)->selectFile(path);
        d->accept();
    });
    // The earlier file is replaced: the person says so.
    driver.on(u"dlgFelulir"_s, [](QDialog *d) {
        QTest::mouseClick(d->findChild<QPushButton *>(u"btnIgen"_s), Qt::LeftButton);
    });
    driver.on(u"frmListakezelo"_s, [button](QDialog *d) {
        QTest::mouseClick(d->findChild<QPushButton *>(button), Qt::LeftButton);
        QTest::mouseClick(d->findChild<QPushButton *>(u"bbOK"_s), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    return messages.texts();
}

} // namespace

class TestListakiadasDisk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_user.emplace();
        db::setFixedNow(QDateTime(QDate(2026, 3, 10), QTime(9, 30)));
    }
    void cleanup()
    {
        db::setFixedNow({});
        m_user.reset();
        QCOMPARE(ui::takeForcedCloses(), 0);
    }
    void fullDiskKeepsTheEarlierFile_data();
    void fullDiskKeepsTheEarlierFile();
    void linkAtTheNameIsReplacedNotFollowed_data();
    void linkAtTheNameIsReplacedNotFollowed();

private:
    std::optional<IsolatedUser> m_user;
};

void TestListakiadasDisk::fullDiskKeepsTheEarlierFile_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("members");   // on the list at the first save; twice as many later
    QTest::addColumn<int>("leaveFree"); // KB free for the second save
    QTest::newRow("CSV, small, nothing free") << u"btnCsv"_s << u"lista.csv"_s << 3 << 0;
    QTest::newRow("CSV, large, nothing free") << u"btnCsv"_s << u"lista.csv"_s << 400 << 0;
    QTest::newRow("CSV, large, full in the middle") << u"btnCsv"_s << u"lista.csv"_s << 400 << 24;
    QTest::newRow("PDF, small, nothing free") << u"btnPdf"_s << u"lista.pdf"_s << 3 << 0;
    QTest::newRow("PDF, large, nothing free") << u"btnPdf"_s << u"lista.pdf"_s << 400 << 0;
    QTest::newRow("PDF, large, full in the middle") << u"btnPdf"_s << u"lista.pdf"_s << 400 << 24;
}

void TestListakiadasDisk::fullDiskKeepsTheEarlierFile()
{
    QFETCH(QString, button);
    QFETCH(QString, name);
    QFETCH(int, members);
    QFETCH(int, leaveFree);
    if (!runningAsRoot())
        QSKIP("A full disk needs a tmpfs mounted by root; run the tests as root to include it.");
    QTemporaryDir folder;
    TmpfsMount disk(folder.path(), qint64(2) * 1024 * 1024);
    QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
    const QString path = folder.filePath(name);
    const QString ready = ui::message::fileReady.toString() + path;

    Department dep;
    addMembers(dep, members);
    dep.state.setAktBeavtip(1);
    QCOMPARE(save(dep, button, path), QStringList{ready});
    const QByteArray earlier = fileBytes(path);
    QVERIFY(!earlier.isEmpty());

    addMembers(dep, members);
    const QString filler = fillDisk(folder.path(), qint64(leaveFree) * 1024);
    QVERIFY(!filler.isEmpty());
    QCOMPARE(save(dep, button, path),
             QStringList{u"A(z) %1 fájl nem írható: megtelt a lemez."_s.arg(path)});
    QCOMPARE(fileBytes(path), earlier);
    QCOMPARE(folderEntries(folder.path()), (QStringList{name, QFileInfo(filler).fileName()}));

    // Room again: the whole list goes into the file.
    QVERIFY(QFile::remove(filler));
    QCOMPARE(save(dep, button, path), QStringList{ready});
    QVERIFY(fileBytes(path).size() > earlier.size());
    if (leaveFree > 0)
        QVERIFY(fileBytes(path).size() > qint64(leaveFree) * 1024);
}

void TestListakiadasDisk::linkAtTheNameIsReplacedNotFollowed_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name");
    QTest::newRow("CSV") << u"btnCsv"_s << u"lista.csv"_s;
    QTest::newRow("PDF") << u"btnPdf"_s << u"lista.pdf"_s;
}

void TestListakiadasDisk::linkAtTheNameIsReplacedNotFollowed()
{
    QFETCH(QString, button);
    QFETCH(QString, name);
    QTemporaryDir folder;
    const QString path = folder.filePath(name);
    const QString outside = folder.filePath(u"mas.txt"_s);
    QFile other(outside);
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("nem a lista");
    other.close();
    QVERIFY(QFile::link(outside, path));

    Department dep;
    addMembers(dep, 2);
    dep.state.setAktBeavtip(1);
    QCOMPARE(save(dep, button, path), QStringList{ui::message::fileReady.toString() + path});
    QVERIFY(!QFileInfo(path).isSymLink());
    QVERIFY(fileBytes(path).contains(button == u"btnCsv" ? "Kovácsné Tóth Ilona 1" : "%PDF"));
    QCOMPARE(fileBytes(outside), QByteArray("nem a lista"));
}

QTEST_MAIN(TestListakiadasDisk)
#include "tst_listakiadasdisk.moc"
