#include "audio/linebreaks.h"
#include "audio/notenames.h"

#include <QTest>

using namespace nk;
using namespace Qt::StringLiterals;

class TestNoteNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pitchName_data();
    void pitchName();
    void normalizePitch_data();
    void normalizePitch();
    void blackKeys();
    void expandLineBreaks_data();
    void expandLineBreaks();
};

void TestNoteNames::pitchName_data()
{
    QTest::addColumn<int>("pitch");
    QTest::addColumn<QString>("name");
    const QStringList names = {u"ДО"_s,  u"ДО#"_s,  u"РЕ"_s,    u"РЕ#"_s, u"МИ"_s,  u"ФА"_s,
                               u"ФА#"_s, u"СОЛЬ"_s, u"СОЛЬ#"_s, u"ЛЯ"_s,  u"ЛЯ#"_s, u"СИ"_s};
    for (int pitch = 0; pitch < names.size(); ++pitch)
        QTest::addRow("%d", pitch) << pitch << names[pitch];
    for (int pitch : {12, 13, 200, 255})
        QTest::addRow("%d out of range", pitch) << pitch << u"нет данных"_s;
}

void TestNoteNames::pitchName()
{
    QFETCH(int, pitch);
    QFETCH(QString, name);
    QCOMPARE(PitchName(quint8(pitch)), name);
}

void TestNoteNames::normalizePitch_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("pitch");
    for (int value = 0; value <= 11; ++value)
        QTest::addRow("%d kept", value) << value << value;
    const int outside[] = {12, 13, 255, 256, 1000, -1, -11, -12, INT_MIN, INT_MAX};
    for (int value : outside)
        QTest::addRow("%d to ДО", value) << value << 0;
}

void TestNoteNames::normalizePitch()
{
    QFETCH(int, value);
    QFETCH(int, pitch);
    QCOMPARE(int(NormalizePitch(value)), pitch);
}

void TestNoteNames::blackKeys()
{
    QList<int> black;
    for (int pitch = -1; pitch <= 12; ++pitch) {
        if (isBlackKey(pitch))
            black << pitch;
    }
    QCOMPARE(black, (QList<int>{1, 3, 6, 8, 10}));
}

void TestNoteNames::expandLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expanded");
    const QChar cr(13);
    QTest::newRow("a&b&&c") << u"a&b&&c"_s << (u"a"_s + cr + u"b"_s + cr + cr + u"c"_s);
    QTest::newRow("no marker") << u"Какая это нота?"_s << u"Какая это нота?"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("edges") << u"&x&"_s << (cr + u"x"_s + cr);
    QTest::newRow("line feed kept") << u"a\nb&c"_s << (u"a\nb"_s + cr + u"c"_s);
}

void TestNoteNames::expandLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, expanded);
    const QString result = ExpandLineBreaks(text);
    QCOMPARE(result, expanded);
    QVERIFY(!result.contains(QLatin1Char('&')));
}

QTEST_GUILESS_MAIN(TestNoteNames)
#include "tst_notenames.moc"
