// The main window's "Jelentés elkészítése" button, pressed after a real login.
#include "messagerecorder.h"
#include "tempdatabase.h"
#include "typing.h"

#include "app/ufrmMainZazadoroz.h"
#include "db/clock.h"
#include "db/connection.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testsupport;

namespace {

// A department registered in an earlier run, a few patients on its lists, and the main
// window opened past the login.
struct Started
{
    explicit Started(bool withReportDir, int entries = 2)
        : dir(true, withReportDir)
    {
        db::Connection connection;
        connection.open(dir.databasePath());
        insertDepartment(connection, QStringLiteral("1234"), QStringLiteral("123456789"),
                         QStringLiteral("F"), QStringLiteral("Szemészet"), QStringLiteral("titok"));
        for (int i = 0; i < entries; ++i)
            insertEntry(connection, 3, QStringLiteral("111111110"), QStringLiteral("Őri Ágnes"),
                        QDate(2006, 2, 1));
        driver.on(QStringLiteral("frmBejel"), [](QDialog *d) {
            typeText(child<QLineEdit>(d, QStringLiteral("ePassword")), QStringLiteral("titok"));
            QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btnOK")), Qt::LeftButton);
        });
        window = std::make_unique<TfrmMainZazadoroz>(dir.path());
        window->show();
    }

    void pressReport()
    {
        messages.clear();
        QTest::mouseClick(child<QPushButton>(window.get(), QStringLiteral("bbJelent")),
                          Qt::LeftButton);
    }

    QString file(const char *day) const
    {
        return dir.reportDirPath() + QStringLiteral("123456789_") + QLatin1String(day)
               + QStringLiteral(".xml");
    }

    QStringList reportFolder() const
    {
        return QDir(dir.reportDirPath()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    TempProgramDir dir;
    MessageRecorder messages;
    ModalDriver driver;
    std::unique_ptr<TfrmMainZazadoroz> window;
};

const QString ready = QStringLiteral("A jelentés elkészült. Az elkészített állomány: \n\r");

} // namespace

class TestBbJelent : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(QDate(2006, 3, 7), QTime(8, 0))); }
    void cleanup() { db::setFixedNow({}); }
    void sameDayReplacesAnotherDayAdds();
    void missingFolderThenMadeFolder();
    void noListMembers();
    void unreadableQueryGoesToTheErrorDisplay();
};

void TestBbJelent::sameDayReplacesAnotherDayAdds()
{
    Started program(true);
    program.pressReport();
    QCOMPARE(program.messages.texts(),
             QStringList{ready + QDir::toNativeSeparators(program.file("20060307"))});
    program.pressReport();
    QCOMPARE(program.reportFolder(), QStringList{QStringLiteral("123456789_20060307.xml")});

    db::setFixedNow(QDateTime(QDate(2006, 3, 8), QTime(0, 0, 1)));
    program.pressReport();
    QCOMPARE(program.messages.texts(),
             QStringList{ready + QDir::toNativeSeparators(program.file("20060308"))});
    QCOMPARE(program.reportFolder(), (QStringList{QStringLiteral("123456789_20060307.xml"),
                                                  QStringLiteral("123456789_20060308.xml")}));
}

void TestBbJelent::missingFolderThenMadeFolder()
{
    Started program(false);
    program.pressReport();
    const QString folder = QDir::toNativeSeparators(program.dir.reportDirPath());
    QCOMPARE(program.messages.texts(),
             QStringList{QStringLiteral("Hiba a jelentés elkészítése közben, talán a ") + folder
                         + QStringLiteral(" könyvtár nem létezik, vagy nem írható\n\r"
                                          "Nem hozható létre a jelentés állománya: ")
                         + QDir::toNativeSeparators(program.file("20060307"))
                         + QStringLiteral(" (a könyvtár nem létezik)")});
    QCOMPARE(program.messages.messages().front().kind, ui::MessageKind::Plain);

    QVERIFY(QDir(program.dir.path()).mkdir(QStringLiteral("Jelentesek")));
    program.pressReport();
    QCOMPARE(program.messages.texts(),
             QStringList{ready + QDir::toNativeSeparators(program.file("20060307"))});
}

void TestBbJelent::noListMembers()
{
    Started program(true, 0);
    program.pressReport();
    QCOMPARE(program.messages.texts(),
             QStringList{QStringLiteral("Nincs egyik listán sem listatag!")});
    QCOMPARE(program.reportFolder(), QStringList());
}

void TestBbJelent::unreadableQueryGoesToTheErrorDisplay()
{
    Started program(true);
    program.window->state().connection().execute(QStringLiteral("DROP VIEW QJELENTES"));
    program.pressReport();
    QCOMPARE(program.messages.count(), 1);
    QCOMPARE(program.messages.messages().front().kind, ui::MessageKind::Error);
    QVERIFY2(program.messages.last().contains(QStringLiteral("QJELENTES")),
             qPrintable(program.messages.last()));
    QCOMPARE(program.reportFolder(), QStringList());
    QVERIFY(!program.window->state().atJelentes().isOpen());
}

QTEST_MAIN(TestBbJelent)
#include "tst_bbjelent.moc"
