#include "course/randomsource.h"
#include "steps/practicedraw.h"

#include <QTest>

using namespace nk;

namespace {

const HistoryNote Do{5, 0};
const HistoryNote Sol{5, 7};
const HistoryNote La{5, 9};

NoteRecord record(HistoryNote note, int wrong, int right)
{
    NoteRecord r{note, {}};
    for (int i = 0; i < wrong; ++i)
        r.answers.append({false, 1500});
    for (int i = 0; i < right; ++i)
        r.answers.append({true, 1500});
    return r;
}

// A learner who always took ЛЯ for СОЛЬ and always named ДО and СОЛЬ right.
QList<NoteRecord> laTakenForSol()
{
    return {record(Do, 0, 30), record(Sol, 0, 30), record(La, 30, 0)};
}

} // namespace

// Which note a practice question asks, from the learner's own answers.
class PracticeDrawTest : public QObject
{
    Q_OBJECT
private slots:
    void weight_data();
    void weight();
    void frequenciesFollowTheFormula();
    void runAsksTheMissedNote();
    void confusionComesBack_data();
    void confusionComesBack();
    void noReturnWithoutConfusion_data();
    void noReturnWithoutConfusion();
};

void PracticeDrawTest::weight_data()
{
    QTest::addColumn<int>("wrong"); // the newest answers
    QTest::addColumn<int>("right"); // older ones
    QTest::addColumn<double>("expected");
    QTest::newRow("never asked") << 0 << 0 << 0.5;
    QTest::newRow("never missed in 30") << 0 << 30 << 1.0 / 32;
    QTest::newRow("always missed in 30") << 30 << 0 << 31.0 / 32;
    QTest::newRow("1 of 2 missed") << 1 << 1 << 0.5;
    QTest::newRow("10 of 30 missed") << 10 << 20 << 11.0 / 32;
    QTest::newRow("misses older than 30 answers") << 0 << 40 << 1.0 / 32;
    QTest::newRow("30 newest missed of 45") << 30 << 15 << 31.0 / 32;
    QTest::newRow("25 missed then older right") << 25 << 10 << 26.0 / 32;
}

void PracticeDrawTest::weight()
{
    QFETCH(int, wrong);
    QFETCH(int, right);
    QFETCH(double, expected);
    const PracticeDraw draw({Do, La}, {record(La, wrong, right)});
    QCOMPARE(draw.weight(La), expected);
    QCOMPARE(draw.weight(Do), 0.5);                // no answers yet
    QCOMPARE(draw.weight(HistoryNote{6, 0}), 0.0); // not a note of the level
}

// Weights 1/32, 1/32, 31/32: ЛЯ is asked 31 times in 33, ДО once in 33.
void PracticeDrawTest::frequenciesFollowTheFormula()
{
    for (quint32 seed : {1u, 77u, 2024u}) {
        RandomSource::seed(seed);
        const PracticeDraw draw({Do, Sol, La}, laTakenForSol());
        QMap<int, int> seen;
        constexpr int Draws = 10'000;
        for (int i = 0; i < Draws; ++i)
            ++seen[draw.drawWeighted().Pitch];
        QVERIFY2(qAbs(seen[9] / double(Draws) - 31.0 / 33) < 0.02,
                 qPrintable(QString::number(seen[9])));
        QVERIFY2(qAbs(seen[0] / double(Draws) - 1.0 / 33) < 0.02,
                 qPrintable(QString::number(seen[0])));
        QVERIFY2(qAbs(seen[7] / double(Draws) - 1.0 / 33) < 0.02,
                 qPrintable(QString::number(seen[7])));
        QCOMPARE(seen[0] + seen[7] + seen[9], Draws);
    }
    // Equal records give equal shares.
    RandomSource::seed(5);
    const PracticeDraw even({Do, La}, {record(Do, 3, 7), record(La, 7, 3)});
    int las = 0;
    for (int i = 0; i < 10'000; ++i)
        las += even.drawWeighted() == La;
    // 8/12 against 4/12: two thirds ЛЯ.
    QVERIFY2(qAbs(las / 10'000.0 - 2.0 / 3) < 0.02, qPrintable(QString::number(las)));
}

// The learner now names every note right; ЛЯ still fills the run.
void PracticeDrawTest::runAsksTheMissedNote()
{
    for (quint32 seed = 1; seed <= 20; ++seed) {
        RandomSource::seed(seed);
        PracticeDraw draw({Do, Sol, La}, laTakenForSol());
        int las = 0;
        while (!draw.finished()) {
            const HistoryNote note = draw.next();
            las += note == La;
            draw.answered(note, note);
        }
        QCOMPARE(draw.asked(), PracticeDraw::Questions);
        QVERIFY2(las >= 14, qPrintable(QStringLiteral("seed %1: %2 of 20").arg(seed).arg(las)));
    }
}

void PracticeDrawTest::confusionComesBack_data()
{
    QTest::addColumn<int>("question"); // the one answered wrong
    QTest::newRow("first") << 1;
    QTest::newRow("middle") << 9;
    QTest::newRow("near the end") << 17;
}

void PracticeDrawTest::confusionComesBack()
{
    QFETCH(int, question);
    for (quint32 seed = 1; seed <= 200; ++seed) {
        RandomSource::seed(seed);
        PracticeDraw draw({Do, Sol, La}, laTakenForSol());
        for (int q = 1; q < question; ++q) {
            const HistoryNote note = draw.next();
            draw.answered(note, note);
        }
        draw.next();
        draw.answered(La, Sol);
        const QList<int> at = draw.returns().keys();
        QCOMPARE(at.size(), 2);
        const int la = draw.returns().key(La), sol = draw.returns().key(Sol);
        for (int q : {la, sol})
            QVERIFY2(q >= question + 2 && q <= question + 5, qPrintable(QString::number(q)));
        QVERIFY2(qAbs(la - sol) >= 2, "the two notes are never asked back to back");
        // The questions then ask them where they were placed.
        QMap<int, HistoryNote> asked;
        for (int q = question + 1; q <= question + 5; ++q) {
            asked.insert(q, draw.next());
            draw.answered(asked[q], asked[q]);
        }
        QCOMPARE(asked[la], La);
        QCOMPARE(asked[sol], Sol);
        QVERIFY(draw.returns().isEmpty());
    }
}

void PracticeDrawTest::noReturnWithoutConfusion_data()
{
    QTest::addColumn<int>("givenOctave");
    QTest::addColumn<int>("givenPitch");
    QTest::newRow("right") << 5 << 9;
    QTest::newRow("a note outside the level") << 6 << 2;
}

void PracticeDrawTest::noReturnWithoutConfusion()
{
    QFETCH(int, givenOctave);
    QFETCH(int, givenPitch);
    PracticeDraw draw({Do, Sol, La}, {});
    draw.next();
    draw.answered(La, HistoryNote{givenOctave, quint8(givenPitch)});
    QVERIFY(draw.returns().isEmpty());
}

QTEST_GUILESS_MAIN(PracticeDrawTest)
#include "tst_practicedraw.moc"
