// The one safe save under real failures: a small disk that is full or fills up midway, a
// read-only disk, a link at the name, another writer's file, and a save abandoned halfway.
#include "folderfiles.h"
#include "privileged.h"

#include "db/error.h"
#include "files/safesave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Bytes that differ from line to line, so that a file cut or shifted anywhere shows.
QByteArray lines(int count, const char *word)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += QByteArray(word) + ';' + QByteArray::number(i) + "\r\n";
    return bytes;
}

// Writes as the program's writers do: in pieces of a few hundred bytes, then commits.
void writeInPieces(const QString &path, const QByteArray &bytes)
{
    files::SafeSave file(path);
    file.start();
    for (qsizetype at = 0; at < bytes.size(); at += 300)
        file.write(bytes.mid(at, 300));
    file.commit();
}

// The error text of a save that must fail, or a note that it did not.
template<class F> QString failureOf(F &&save)
{
    try {
        save();
    } catch (const db::Error &e) {
        return e.message();
    }
    return u"<no failure>"_s;
}

// A folder on a tmpfs of its own, for root only.
struct SmallDisk
{
    explicit SmallDisk(qint64 bytes)
        : mount(dir.path(), bytes)
    {
    }
    QString file(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    TmpfsMount mount;
};

} // namespace

class TestSafeSave : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fullDiskKeepsTheEarlierFile_data();
    void fullDiskKeepsTheEarlierFile();
    void readOnlyDiskIsNamed();
    void linkAtTheNameIsReplacedNotFollowed();
    void rightsOfTheEarlierFileOrTheGivenOnes();
    void anotherWritersFileIsPutInPlace();
    void abandonedSaveLeavesNoTrace();
    void impossibleNamesAreRefusedWithTheirReason_data();
    void impossibleNamesAreRefusedWithTheirReason();
};

void TestSafeSave::fullDiskKeepsTheEarlierFile_data()
{
    QTest::addColumn<int>("earlierLines");
    QTest::addColumn<int>("newLines");
    QTest::addColumn<int>("leaveFree"); // bytes left free before the new save, in KB
    QTest::addColumn<bool>("whole");    // written in one piece rather than many
    // A few hundred bytes sit in the save's buffer until the commit: Qt's own save file
    // reported such a file as saved while writing nothing.
    QTest::newRow("small, nothing free") << 10 << 20 << 0 << false;
    QTest::newRow("small in one piece, nothing free") << 10 << 20 << 0 << true;
    QTest::newRow("large, nothing free") << 20000 << 30000 << 0 << false;
    QTest::newRow("large, full in the middle") << 20000 << 30000 << 200 << false;
    QTest::newRow("large in one piece, full in the middle") << 20000 << 30000 << 200 << true;
}

void TestSafeSave::fullDiskKeepsTheEarlierFile()
{
    QFETCH(int, earlierLines);
    QFETCH(int, newLines);
    QFETCH(int, leaveFree);
    QFETCH(bool, whole);
    if (!runningAsRoot())
        QSKIP("A full disk needs a tmpfs mounted by root; run the tests as root to include it.");
    SmallDisk disk(qint64(2) * 1024 * 1024);
    QVERIFY2(disk.mount.isMounted(), qPrintable(disk.mount.error()));
    const QString path = disk.file(u"lista.csv"_s);

    const QByteArray earlier = lines(earlierLines, "Kovács Éva");
    writeInPieces(path, earlier);
    QCOMPARE(fileBytes(path), earlier);

    const QByteArray next = lines(newLines, "Nagy Ödön");
    QVERIFY(next.size() > qint64(leaveFree) * 1024);
    const QString filler = fillDisk(disk.dir.path(), qint64(leaveFree) * 1024);
    QVERIFY(!filler.isEmpty());
    const QString shown = failureOf([&] {
        if (whole)
            files::saveWhole(path, next);
        else
            writeInPieces(path, next);
    });
    QCOMPARE(shown,
             u"A(z) %1 fájl nem írható: megtelt a lemez"_s.arg(QDir::toNativeSeparators(path)));
    QCOMPARE(fileBytes(path), earlier);
    QCOMPARE(folderEntries(disk.dir.path()),
             (QStringList{u"lista.csv"_s, QFileInfo(filler).fileName()}));

    // Room again: the same save goes through.
    QVERIFY(QFile::remove(filler));
    writeInPieces(path, next);
    QCOMPARE(fileBytes(path), next);
    QCOMPARE(folderEntries(disk.dir.path()), QStringList{u"lista.csv"_s});
}

void TestSafeSave::readOnlyDiskIsNamed()
{
    if (!runningAsRoot())
        QSKIP("A read-only disk needs a tmpfs mounted by root.");
    SmallDisk disk(qint64(256) * 1024);
    QVERIFY2(disk.mount.isMounted(), qPrintable(disk.mount.error()));
    const QString path = disk.file(u"lista.pdf"_s);
    files::saveWhole(path, "earlier");
    QVERIFY(disk.mount.remount(true));
    const QString shown = failureOf([&] { files::saveWhole(path, "next"); });
    QVERIFY(disk.mount.remount(false));
    QVERIFY2(shown.endsWith(u": a lemez csak olvasható"_s), qPrintable(shown));
    QCOMPARE(fileBytes(path), QByteArray("earlier"));
}

void TestSafeSave::linkAtTheNameIsReplacedNotFollowed()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lista.csv"_s);
    const QString outside = dir.filePath(u"mas.txt"_s);
    put(outside, "nem a lista");
    QVERIFY(QFile::link(outside, path));
    files::saveWhole(path, "a lista");
    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(fileBytes(path), QByteArray("a lista"));
    QCOMPARE(fileBytes(outside), QByteArray("nem a lista"));

    // A link to nowhere: replaced, and nothing is made where it pointed.
    const QString nowhere = dir.filePath(u"sehol.csv"_s);
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::link(nowhere, path));
    files::saveWhole(path, "a lista");
    QVERIFY(!QFileInfo(path).isSymLink());
    QVERIFY(!QFileInfo::exists(nowhere));
}

void TestSafeSave::rightsOfTheEarlierFileOrTheGivenOnes()
{
    QTemporaryDir dir;
    const ScopedUmask umask(0077);
    const QString kept = dir.filePath(u"megtartott.csv"_s);
    put(kept, "earlier");
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                               | QFileDevice::ReadUser | QFileDevice::WriteUser;
    const QFileDevice::Permissions withGroup
        = ownerOnly | QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    QVERIFY(QFile::setPermissions(kept, withGroup));
    files::saveWhole(kept, "next");

    // The department's rights despite a umask that would take the group's away.
    const QString given = dir.filePath(u"jelentes.xml"_s);
    files::SaveOptions options;
    options.permissions = withGroup;
    files::saveWhole(given, "report", options);

    const QString fresh = dir.filePath(u"uj.csv"_s);
    files::saveWhole(fresh, "new");
    QCOMPARE(QFile::permissions(kept), withGroup);
    QCOMPARE(QFile::permissions(given), withGroup);
    QCOMPARE(QFile::permissions(fresh), ownerOnly);
}

void TestSafeSave::anotherWritersFileIsPutInPlace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Vazuvede.adat"_s);
    put(path, "earlier");
    {
        files::SafeSave save(path);
        save.startForOtherWriter();
        QVERIFY(QFileInfo(save.temporaryPath()).isFile());
        QCOMPARE(QFileInfo(save.temporaryPath()).absolutePath(), QFileInfo(path).absolutePath());
        QVERIFY(files::SafeSave::isTemporaryName(QFileInfo(save.temporaryPath()).fileName()));
        put(save.temporaryPath(), "the engine's copy");
        save.commit();
    }
    QCOMPARE(fileBytes(path), QByteArray("the engine's copy"));
    QCOMPARE(folderEntries(dir.path()), QStringList{u"Vazuvede.adat"_s});
}

void TestSafeSave::abandonedSaveLeavesNoTrace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lista.csv"_s);
    put(path, "earlier");
    {
        files::SafeSave save(path);
        save.start();
        save.write(lines(20000, "félbehagyva"));
    }
    {
        files::SafeSave save(path);
        save.startForOtherWriter();
        put(save.temporaryPath(), "abandoned");
    }
    QCOMPARE(fileBytes(path), QByteArray("earlier"));
    QCOMPARE(folderEntries(dir.path()), QStringList{u"lista.csv"_s});
}

void TestSafeSave::impossibleNamesAreRefusedWithTheirReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder missing") << u"nincs/lista.csv"_s << u"a könyvtár nem létezik"_s;
    QTest::newRow("under a file") << u"fajl/lista.csv"_s << u"a könyvtár nem létezik"_s;
    QTest::newRow("a folder at the name") << u"mappa"_s << u"ezen a néven könyvtár áll"_s;
}

void TestSafeSave::impossibleNamesAreRefusedWithTheirReason()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    put(dir.filePath(u"fajl"_s), "x");
    QVERIFY(QDir(dir.path()).mkdir(u"mappa"_s));
    const QStringList before = folderEntries(dir.path());
    const QString path = dir.filePath(name);
    QCOMPARE(failureOf([&] { files::saveWhole(path, "x"); }),
             u"A(z) %1 fájl nem írható: %2"_s.arg(QDir::toNativeSeparators(path), reason));
    QCOMPARE(folderEntries(dir.path()), before);
}

QTEST_MAIN(TestSafeSave)
#include "tst_safesave.moc"
