#include "course/randomsource.h"
#include "drills/pitchtestplan.h"
#include "drills/pitchtestschedule.h"
#include "drills/pitchtestscore.h"

#include <QSet>
#include <QTest>

using namespace nk;

// The pitch test's draw, its scoring against results worked out by hand, and
// the days of the retests.
class TestPitchTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyDrawHoldsItsRules();
    void maskingTonesAndSilence();
    void distanceAroundTheCircle_data();
    void distanceAroundTheCircle();
    void scores_data();
    void scores();
    void resultTexts();
    void unansweredTrialsAreNotScored();
    void retestDays();
    void due_data();
    void due();
};

void TestPitchTest::everyDrawHoldsItsRules()
{
    const QStringList timbres{QStringLiteral("piano"), QStringLiteral("organ")};
    QSet<int> octaves;
    QSet<QString> heard;
    for (quint32 seed = 1; seed <= 300; ++seed) {
        RandomSource::seed(seed);
        const QList<TestNote> trials = PitchTestPlan::draw(timbres);
        QCOMPARE(trials.size(), 36);
        std::array<int, 12> count{};
        for (qsizetype i = 0; i < trials.size(); ++i) {
            const TestNote &t = trials[i];
            QVERIFY2(t.pitch >= 0 && t.pitch < 12, qPrintable(QString::number(seed)));
            QVERIFY(t.octave >= 3 && t.octave <= 7);
            QVERIFY(timbres.contains(t.timbre));
            if (i > 0)
                QVERIFY2(t.pitch != trials[i - 1].pitch, qPrintable(QString::number(seed)));
            ++count[size_t(t.pitch)];
            octaves.insert(t.octave);
            heard.insert(t.timbre);
        }
        for (int c : count)
            QCOMPARE(c, 3);
    }
    QCOMPARE(octaves.size(), 5);
    QCOMPARE(heard.size(), 2);
    RandomSource::seed(7);
    for (const TestNote &t : PitchTestPlan::draw({}))
        QCOMPARE(t.timbre, QStringLiteral("piano"));
}

void TestPitchTest::maskingTonesAndSilence()
{
    int shortest = 10000;
    int longest = 0;
    QSet<int> pitches;
    for (quint32 seed = 1; seed <= 200; ++seed) {
        RandomSource::seed(seed);
        const MaskingSequence m = MaskingSequence::draw({QStringLiteral("flute")});
        QCOMPARE(m.tones.size(), 10);
        QVERIFY(m.silenceMs >= 1000 && m.silenceMs <= 3000);
        shortest = std::min(shortest, m.silenceMs);
        longest = std::max(longest, m.silenceMs);
        for (const TestNote &t : m.tones) {
            QVERIFY(t.octave >= 3 && t.octave <= 7);
            QCOMPARE(t.timbre, QStringLiteral("flute"));
            pitches.insert(t.pitch);
        }
    }
    QVERIFY(shortest < 1100 && longest > 2900);
    QCOMPARE(pitches.size(), 12);
}

void TestPitchTest::distanceAroundTheCircle_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("distance");
    QTest::newRow("same") << 3 << 3 << 0;
    QTest::newRow("tritone") << 0 << 6 << 6;
    QTest::newRow("fifth is a fourth round") << 0 << 7 << 5;
    QTest::newRow("СИ to ДО") << 11 << 0 << 1;
    QTest::newRow("ДО to СИ") << 0 << 11 << 1;
    QTest::newRow("РЕ to ЛЯ#") << 2 << 10 << 4;
}

void TestPitchTest::distanceAroundTheCircle()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, distance);
    QCOMPARE(PitchTestScore::distance(a, b), distance);
}

namespace {
// Trials of the twelve classes three times, in order, in the first octave.
QList<PitchTrial> fullTest(const std::function<int(int)> &answer, qint64 ms)
{
    QList<PitchTrial> trials;
    for (int round = 0; round < 3; ++round) {
        for (int pitch = 0; pitch < 12; ++pitch)
            trials.append({{5, pitch, QStringLiteral("piano")}, answer(pitch), ms});
    }
    return trials;
}

PitchTrial trial(int pitch, int answered, qint64 ms = 1000)
{
    return {{4, pitch, QStringLiteral("piano")}, answered, ms};
}
} // namespace

void TestPitchTest::scores_data()
{
    QTest::addColumn<QList<PitchTrial>>("trials");
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("meanError");
    QTest::addColumn<int>("oneOff");
    QTest::addColumn<int>("fastRight");
    // 0+1+2+3+4+5+6+5+4+3+2+1 = 36 per round, 108 over 36 trials.
    QTest::newRow("everything ДО")
        << fullTest([](int) { return 0; }, 1000) << 3 << QStringLiteral("3,0") << 6 << 3;
    QTest::newRow("everything right, slowly")
        << fullTest([](int p) { return p; }, 3000) << 36 << QStringLiteral("0,0") << 0 << 0;
    QTest::newRow("everything a semitone up") << fullTest([](int p) { return (p + 1) % 12; }, 500)
                                              << 0 << QStringLiteral("1,0") << 36 << 0;
    QTest::newRow("6 and 1: 3,5") << QList<PitchTrial>{trial(0, 6), trial(11, 0)} << 0
                                  << QStringLiteral("3,5") << 1 << 0;
    QTest::newRow("4 over 3: 1,3") << QList<PitchTrial>{trial(0, 1), trial(5, 4), trial(7, 9)} << 0
                                   << QStringLiteral("1,3") << 2 << 0;
    QTest::newRow("1 over 20 rounds up to 0,1") << [] {
        QList<PitchTrial> t{trial(2, 3)};
        for (int i = 0; i < 19; ++i)
            t.append(trial(i % 12, i % 12, 2999));
        return t;
    }() << 19 << QStringLiteral("0,1") << 1 << 19;
}

void TestPitchTest::scores()
{
    QFETCH(QList<PitchTrial>, trials);
    const PitchTestScore score = PitchTestScore::of(trials);
    QTEST(score.right, "right");
    QTEST(PitchTestScore::tenths(score.meanErrorTenths), "meanError");
    QTEST(score.oneOff, "oneOff");
    QTEST(score.fastRight, "fastRight");
}

void TestPitchTest::resultTexts()
{
    const PitchTestScore score = PitchTestScore::of(fullTest([](int) { return 0; }, 1000));
    QCOMPARE(score.lines(), (QStringList{QStringLiteral("Верно: 3 из 36 (8%)"),
                                         QStringLiteral("Средняя ошибка: 3,0 полутона"),
                                         QStringLiteral("Ошибок на полутон: 6"),
                                         QStringLiteral("Верно быстрее 3 секунд: 3"),
                                         QStringLiteral("Наугад — около 3 из 36")}));
    QCOMPARE(
        score.summaryLine(QDate(2026, 12, 9)),
        QStringLiteral("Проверка слуха 09.12.2026: верно 3 из 36, средняя ошибка 3,0 полутона"));
    QCOMPARE(score.rightByPitch[0], 3);
    QCOMPARE(score.rightByPitch[6], 0);
    QCOMPARE(score.askedByPitch[6], 3);
}

void TestPitchTest::unansweredTrialsAreNotScored()
{
    const PitchTestScore score = PitchTestScore::of({trial(0, 0), trial(3, -1), trial(5, 6)});
    QCOMPARE(score.trials, 2);
    QCOMPARE(score.right, 1);
    QCOMPARE(PitchTestScore::tenths(score.meanErrorTenths), QStringLiteral("0,5"));
}

void TestPitchTest::retestDays()
{
    QCOMPARE(PitchTestSchedule::nextDates(QDate(2026, 1, 31)),
             (QList<QDate>{QDate(2026, 2, 7), QDate(2026, 2, 28), QDate(2026, 5, 31)}));
    QVERIFY(PitchTestSchedule::nextDates(QDate()).isEmpty());
}

void TestPitchTest::due_data()
{
    QTest::addColumn<QList<QDate>>("taken");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("due");
    const QDate first(2026, 1, 31);
    QTest::newRow("no test yet") << QList<QDate>{} << first << QDate();
    QTest::newRow("a day before the week") << QList<QDate>{first} << QDate(2026, 2, 6) << QDate();
    QTest::newRow("the week reached")
        << QList<QDate>{first} << QDate(2026, 2, 7) << QDate(2026, 2, 7);
    QTest::newRow("the week's test taken")
        << QList<QDate>{QDate(2026, 2, 8), first} << QDate(2026, 2, 20) << QDate();
    QTest::newRow("the month reached")
        << QList<QDate>{first, QDate(2026, 2, 8)} << QDate(2026, 3, 1) << QDate(2026, 2, 28);
    QTest::newRow("all missed: the latest")
        << QList<QDate>{first} << QDate(2026, 6, 1) << QDate(2026, 5, 31);
    QTest::newRow("every retest taken")
        << QList<QDate>{first, QDate(2026, 2, 7), QDate(2026, 3, 1), QDate(2026, 6, 1)}
        << QDate(2027, 1, 1) << QDate();
}

void TestPitchTest::due()
{
    QFETCH(QList<QDate>, taken);
    QFETCH(QDate, today);
    QTEST(PitchTestSchedule::due(taken, today), "due");
}

QTEST_MAIN(TestPitchTest)
#include "tst_pitchtest.moc"
