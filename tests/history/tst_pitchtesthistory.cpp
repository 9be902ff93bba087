#include "history/historystore.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace nk;
using namespace Qt::StringLiterals;

// The pitch tests in the history: kept apart from the answers' figures,
// read back, and exported after the answers.
class TestPitchTestHistory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void trialsAndTestsKeptApart();
    void exportedAfterTheAnswers();
    void aSittingLeftHasNoTest();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

namespace {
// Moscow time, three hours ahead of UTC.
QDateTime at(int minute)
{
    return QDateTime(QDate(2026, 12, 9), QTime(23, minute), QTimeZone(3 * 3600));
}

PitchTrialRecord trial(qint64 sitting, int minute, int octave, int pitch, int answered,
                       const QString &timbre)
{
    return {sitting, at(minute), octave, pitch, timbre, answered, 1500 + minute};
}

HistoryAnswer training(int minute)
{
    HistoryAnswer a;
    a.at = at(minute);
    a.level = 3;
    a.played = {{5, 9}};
    a.answered = {{5, 9}};
    a.right = true;
    a.answerMs = 900;
    return a;
}
} // namespace

void TestPitchTestHistory::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_file = m_dir->filePath(u"history.db"_s);
}

void TestPitchTestHistory::trialsAndTestsKeptApart()
{
    HistoryStore store(m_file);
    QVERIFY(store.recordAnswer(training(0)));
    const qint64 sitting = at(1).toMSecsSinceEpoch();
    QVERIFY(store.recordPitchTrial(trial(sitting, 2, 3, 9, 9, u"organ"_s)));
    QVERIFY(store.recordPitchTrial(trial(sitting, 3, 7, 0, 11, u"piano"_s)));
    QVERIFY(store.recordPitchTest({sitting, at(4), 36, 20, 14, 9, 12}));
    // Neither the level's nor the course's figures count the test.
    QCOMPARE(store.summary(3).answers, 1);
    QCOMPARE(store.summary(0).answers, 1);
    const QList<PitchTestRecord> tests = store.pitchTests();
    QCOMPARE(tests.size(), 1);
    const PitchTestRecord &t = tests[0];
    QCOMPARE(t.sitting, sitting);
    QCOMPARE(t.at, at(4));
    QCOMPARE(t.at.offsetFromUtc(), 3 * 3600);
    QCOMPARE((QList<int>{t.trials, t.right, t.meanErrorTenths, t.oneOff, t.fastRight}),
             (QList<int>{36, 20, 14, 9, 12}));
}

void TestPitchTestHistory::exportedAfterTheAnswers()
{
    HistoryStore store(m_file);
    QVERIFY(store.recordAnswer(training(0)));
    QVERIFY(store.recordPitchTrial(trial(7, 2, 3, 9, 9, u"organ"_s)));
    QVERIFY(store.recordPitchTrial(trial(7, 3, 7, 0, 11, u"piano"_s)));
    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(store.writeCsv(out));
    const QStringList lines = QString::fromUtf8(out.data()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[1], u"2026-12-09T20:00:00.000Z,3,тренировка,да,59,59,900,,,180,Фортепиано"_s);
    QCOMPARE(lines[2], u"2026-12-09T20:02:00.000Z,,проверка слуха,да,39,39,1502,1,,180,Орган"_s);
    QCOMPARE(lines[3],
             u"2026-12-09T20:03:00.000Z,,проверка слуха,нет,70,711,1503,1,,180,Фортепиано"_s);
}

void TestPitchTestHistory::aSittingLeftHasNoTest()
{
    HistoryStore store(m_file);
    for (int minute = 0; minute < 5; ++minute)
        QVERIFY(store.recordPitchTrial(trial(1, minute, 5, minute, 0, u"piano"_s)));
    QVERIFY(store.pitchTests().isEmpty());
}

QTEST_MAIN(TestPitchTestHistory)
#include "tst_pitchtesthistory.moc"
