#include "course/randomsource.h"
#include "drills/blackwhitedrills.h"
#include "keyboard/keyboard.h"
#include "widgets/oneshottimers.h"
#include "widgets/tyesbutton.h"
#include "windowrig.h"

#include <QFile>
#include <QSet>
#include <QTest>

using namespace nk;
using namespace nk::test;

namespace {

using KeyList = QList<QPoint>; // x octave, y pitch

QString chordsText(const QString &blackKeys)
{
    QString text = QStringLiteral("[black]\r\n");
    if (!blackKeys.isEmpty())
        text += QStringLiteral("n1=") + blackKeys + QStringLiteral("\r\n");
    return text + QStringLiteral("p1=sound\\chords\\black1.wav\r\n[white]\r\nn1=50 54 57\r\n"
                                 "p1=sound\\chords\\white1.wav\r\n");
}

bool keyboardAtRest(WindowRig &rig)
{
    return rig.form().keyboard().picture().convertToFormat(QImage::Format_RGB32) ==
           Keyboard::restingPicture().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class DrillItemsTest : public QObject
{
    Q_OBJECT
private slots:
    void chordLightsItsKeys_data();
    void chordLightsItsKeys();
    void pairsDrawnFromData_data();
    void pairsDrawnFromData();
    void missingItemIsToldOnce_data();
    void missingItemIsToldOnce();
    void drillPassesWithoutItsFile_data();
    void drillPassesWithoutItsFile();
};

void DrillItemsTest::chordLightsItsKeys_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("pending");
    QTest::addColumn<KeyList>("lit");
    const KeyList sharps{{4, 1}, {4, 6}, {4, 10}};
    QTest::newRow("small-octave sharps") << QStringLiteral("41 46 410") << false << sharps;
    QTest::newRow("highlight already pending") << QStringLiteral("41 46 410") << true << sharps;
    QTest::newRow("no keys given: first-octave do") << QString() << false << KeyList{{5, 0}};
    QTest::newRow("token that is no key skipped")
        << QStringLiteral("x1  51 6") << false << KeyList{{5, 1}};
}

// The keys go back 2 s after the first lighting, by the keyboard's one reset
// timer; a reset already pending is not joined by a second one.
void DrillItemsTest::chordLightsItsKeys()
{
    QFETCH(QString, keys);
    QFETCH(bool, pending);
    QFETCH(KeyList, lit);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.writeText(QStringLiteral("levels/04/chords.dat"), chordsText(keys));
    rig.state().Settings.HighlightPending = pending;
    const int timers = rig.form().timers().pendingCount();
    QVERIFY(rig.drill(WindowRig::Chords).PlayDrillItem(KeysDrill::Black, 1));
    int litCount = 0;
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            const bool expected = lit.contains(QPoint(octave, pitch));
            QCOMPARE(rig.keyLit(octave, pitch), expected);
            litCount += expected ? 1 : 0;
        }
    }
    QCOMPARE(litCount, lit.size());
    QVERIFY(rig.messages().isEmpty());
    if (pending) {
        QCOMPARE(rig.form().timers().pendingCount(), timers);
        return;
    }
    QCOMPARE(rig.form().timers().pendingCount(), timers + 1);
    QVERIFY(rig.state().Settings.HighlightPending);
    QTRY_VERIFY(keyboardAtRest(rig));
    QVERIFY(!rig.state().Settings.HighlightPending);
}

void DrillItemsTest::pairsDrawnFromData_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pairs"); // every "black-white" pair a draw can give
    const auto all = [](int black, int white) {
        QStringList pairs;
        for (int b = 1; b <= black; ++b) {
            for (int w = 1; w <= white; ++w)
                pairs.append(QStringLiteral("%1-%2").arg(b).arg(w));
        }
        return pairs;
    };
    // Keys that are no item numbers, and the chord keys, do not count.
    QTest::newRow("three chords of each colour")
        << int(WindowRig::Chords) << QStringLiteral("chords.dat")
        << QStringLiteral("[black]\r\nn1=41\r\nn2=43\r\nn3=46\r\nn4=48\r\np1=a\r\np2=b\r\np3=c\r\n"
                          "p0=z\r\npx=z\r\n[white]\r\np1=a\r\np2=b\r\np3=c\r\n")
        << all(3, 3);
    QTest::newRow("chords: the smaller colour counts")
        << int(WindowRig::Chords) << QStringLiteral("chords.dat")
        << QStringLiteral("[black]\r\np1=a\r\np2=b\r\n[white]\r\np1=a\r\np2=b\r\np3=c\r\n")
        << all(2, 2);
    QTest::newRow("no chords file")
        << int(WindowRig::Chords) << QString() << QString() << all(1, 1);
    QTest::newRow("melodies share their number")
        << int(WindowRig::Melodies) << QStringLiteral("melody.dat")
        << QStringLiteral("[black]\r\nm1=150\r\nm2=150\r\nm3=150\r\n[white]\r\nm1=150\r\n"
                          "m2=150\r\nm3=150\r\nm4=150\r\n")
        << QStringList{QStringLiteral("1-1"), QStringLiteral("2-2"), QStringLiteral("3-3")};
    QTest::newRow("single notes count each colour")
        << int(WindowRig::Notes) << QStringLiteral("notes.dat")
        << QStringLiteral("[step]\r\nname=x\r\n[black]\r\nn1=451\r\nn2=453\r\n[white]\r\n"
                          "n1=450\r\nn2=452\r\nn3=454\r\n")
        << all(2, 3);
}

void DrillItemsTest::pairsDrawnFromData()
{
    QFETCH(int, which);
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QStringList, pairs);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    const QString name = file.isEmpty() ? QStringLiteral("chords.dat") : file;
    if (file.isEmpty())
        QVERIFY(QFile::remove(rig.path(QStringLiteral("levels/04/") + name)));
    else
        rig.writeText(QStringLiteral("levels/04/") + file, text);
    RandomSource::seed(7);
    QSet<QString> seen;
    QSet<int> colours;
    for (int draw = 0; draw < 300; ++draw) {
        rig.drill(which).PickPair();
        const QString pair = QStringLiteral("%1-%2")
                                 .arg(rig.drillField(which, WindowRig::BlackItem))
                                 .arg(rig.drillField(which, WindowRig::WhiteItem));
        QVERIFY2(pairs.contains(pair), qPrintable(pair));
        seen.insert(pair);
        colours.insert(rig.drillField(which, WindowRig::FirstColour));
    }
    QCOMPARE(seen.size(), pairs.size());
    QCOMPARE(colours, (QSet<int>{KeysDrill::Black, KeysDrill::White}));
}

void DrillItemsTest::missingItemIsToldOnce_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    // The second black item is missing though two are counted.
    QTest::newRow("chord") << int(WindowRig::Chords) << QStringLiteral("chords.dat")
                           << QStringLiteral("[black]\r\nn2=41\r\np1=sound\\chords\\black1.wav\r\n"
                                             "p3=sound\\chords\\black3.wav\r\n[white]\r\n"
                                             "p1=sound\\chords\\white1.wav\r\n"
                                             "p2=sound\\chords\\white2.wav\r\n")
                           << QStringLiteral("Нет данных для упражнения: levels\\04\\chords.dat, "
                                             "раздел black, ключ p2");
    QTest::newRow("melody") << int(WindowRig::Melodies) << QStringLiteral("melody.dat")
                            << QStringLiteral("[black]\r\nm1=251\r\nm3=251\r\n[white]\r\n"
                                              "m1=250\r\nm2=250\r\n")
                            << QStringLiteral("Нет данных для упражнения: levels\\04\\melody.dat, "
                                              "раздел black, ключ m2");
    QTest::newRow("single note") << int(WindowRig::Notes) << QStringLiteral("notes.dat")
                                 << QStringLiteral("[black]\r\nn1=451\r\nn3=453\r\n[white]\r\n"
                                                   "n1=450\r\n")
                                 << QStringLiteral(
                                        "Нет данных для упражнения: levels\\04\\notes.dat, "
                                        "раздел black, ключ n2");
    QTest::newRow("melody that is no note sequence")
        << int(WindowRig::Melodies) << QStringLiteral("melody.dat")
        << QStringLiteral("[black]\r\nm1=251\r\nm2=251 x5\r\n[white]\r\nm1=250\r\nm2=250\r\n")
        << QStringLiteral("Ошибка в записи нот: «x5»");
}

// The learner hears the item that is there and is told once per press what
// is missing; the question can be answered and the repetition run goes on to
// the next question.
void DrillItemsTest::missingItemIsToldOnce()
{
    QFETCH(int, which);
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QString, message);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.writeText(QStringLiteral("levels/04/") + file, text);
    rig.openDrill(which);
    const DrillDescription &d = rig.description(which);
    rig.drillField(which, WindowRig::FirstColour) = KeysDrill::Black;
    rig.drillField(which, WindowRig::BlackItem) = 2;
    rig.drillField(which, WindowRig::WhiteItem) = 1;
    QVERIFY(rig.clickButton(d.tags.listenPair));
    QCOMPARE(rig.messages(), QStringList{message});
    QVERIFY(rig.button(d.tags.answer)->isEnabled());

    rig.messages().clear();
    rig.drill(which).ShowDrillWrong();
    QVERIFY(rig.clickLink(d.tags.remember));
    QTRY_VERIFY(rig.questionShown(which));
    QCOMPARE(rig.messages(), (QStringList{message, QStringLiteral("Продолжим ;)")}));
    QVERIFY(!rig.state().Settings.Busy);
    QVERIFY(rig.menuEnabled());
}

void DrillItemsTest::drillPassesWithoutItsFile_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("file");
    QTest::newRow("no chords") << int(WindowRig::Chords) << QStringLiteral("chords.dat");
    QTest::newRow("no melodies") << int(WindowRig::Melodies) << QStringLiteral("melody.dat");
    QTest::newRow("no single notes") << int(WindowRig::Notes) << QStringLiteral("notes.dat");
}

// Every item missing: each question still leads on, and five right answers
// pass the drill.
void DrillItemsTest::drillPassesWithoutItsFile()
{
    QFETCH(int, which);
    QFETCH(QString, file);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    QFile::remove(rig.path(QStringLiteral("levels/04/") + file));
    rig.openDrill(which);
    const DrillDescription &d = rig.description(which);
    for (int question = 1; question <= KeysDrill::StreakToPass; ++question) {
        QVERIFY(rig.clickButton(d.tags.listenPair));
        QVERIFY(rig.clickButton(d.tags.answer));
        const bool whiteFirst = rig.drillField(which, WindowRig::FirstColour) == KeysDrill::White;
        QVERIFY(rig.clickButton(whiteFirst ? d.tags.whiteFirst : d.tags.blackFirst));
        QVERIFY(rig.clickLink(d.tags.next));
    }
    QVERIFY(rig.levelPageShown());
    QCOMPARE(rig.messages().last(), d.passMessage);
    QCOMPARE(rig.messages().size(), 2 * KeysDrill::StreakToPass + 1); // both items, each press
    QVERIFY(rig.stepFlag(4, d.passStep, "active"));
}

QTEST_MAIN(DrillItemsTest)
#include "tst_drillitems.moc"
