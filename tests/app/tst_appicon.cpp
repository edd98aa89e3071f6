// The program's icon: drawn in every size of the icon theme, set by the application object
// itself, and so carried by the main window and by every dialog and message box.
#include "messagerecorder.h"
#include "tempdatabase.h"

#include "app/application.h"
#include "app/ufrmMainZazadoroz.h"

#include <QDialog>
#include <QImage>
#include <QTest>

class TestAppIcon : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everySizeIsDrawn_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%d", size) << size;
    }
    void everySizeIsDrawn()
    {
        QFETCH(int, size);
        const QIcon icon = Application::programIcon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // Drawn, not blank: the middle of the picture is opaque.
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    }

    void everyWindowCarriesTheIcon()
    {
        QVERIFY(!QApplication::windowIcon().isNull());
        const QImage programImage = Application::programIcon().pixmap(32).toImage();

        testsupport::TempProgramDir dir;
        testsupport::ModalDriver driver;
        QImage dialogImage;
        driver.on(QStringLiteral("frmOsztaly"), [&dialogImage](QDialog *d) {
            dialogImage = d->windowIcon().pixmap(32).toImage();
            d->reject();
        });
        TfrmMainZazadoroz window(dir.path());
        QCOMPARE(window.windowIcon().pixmap(32).toImage(), programImage);
        QCOMPARE(dialogImage, programImage);
    }
};

// The application object under test is the program's own, not the one QTEST_MAIN makes.
int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestAppIcon test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_appicon.moc"
