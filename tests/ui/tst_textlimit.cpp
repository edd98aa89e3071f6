// The text fields of every dialog: characters counted as the database counts them, no
// control character let in, whether typed, pasted or set.
#include "db/textlimit.h"
#include "ui/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;

class TestTextLimit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void editKeepsWhatTheDatabaseTakes_data();
    void editKeepsWhatTheDatabaseTakes();
};

void TestTextLimit::editKeepsWhatTheDatabaseTakes_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    const QString emoji = u"\U0001F469\u200D\U0001F52C"_s; // three characters joined
    QTest::newRow("plain text under the limit") << 8 << u"Ödön"_s << u"Ödön"_s;
    QTest::newRow("cut at the limit") << 4 << u"123456789"_s << u"1234"_s;
    QTest::newRow("an emoji is one character") << 5 << u"abcd\U0001F600"_s << u"abcd\U0001F600"_s;
    QTest::newRow("never half an emoji") << 5 << u"abcde\U0001F600"_s << u"abcde"_s;
    QTest::newRow("joined emoji counted per character") << 3 << emoji << emoji;
    QTest::newRow("NUL") << 30 << u"tit\0ok"_s << u"titok"_s;
    QTest::newRow("tab, line feed, carriage return") << 30 << u"a\tb\nc\rd"_s << u"abcd"_s;
    QTest::newRow("DEL and C1 controls") << 30 << u"a\u007fb\u0085c"_s << u"abc"_s;
    QTest::newRow("line separator") << 30 << u"a\u2028b\u2029c"_s << u"abc"_s;
    QTest::newRow("lone surrogate") << 30 << u"a"_s + QChar(0xD83D) + u"b"_s << u"ab"_s;
    QTest::newRow("controls do not count") << 3 << u"\t\t\tabc"_s << u"abc"_s;
}

void TestTextLimit::editKeepsWhatTheDatabaseTakes()
{
    QFETCH(int, limit);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QWidget window;
    auto *label = new QLabel(u"Név:"_s, &window);
    QLineEdit *edit = ui::edit(u"eProba"_s, limit, label, &window);
    edit->insert(pasted);
    QCOMPARE(edit->text(), kept);
    QCOMPARE(db::characterCount(edit->text()), int(kept.toUcs4().size()));
    QVERIFY(db::characterCount(edit->text()) <= limit);

    edit->clear();
    edit->setText(pasted);
    QCOMPARE(edit->text(), kept);
}

QTEST_MAIN(TestTextLimit)
#include "tst_textlimit.moc"
