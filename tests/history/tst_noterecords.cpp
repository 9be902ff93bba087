#include "history/historystore.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {

const HistoryNote Do{5, 0};
const HistoryNote Re{5, 2};
const HistoryNote La{5, 9};

HistoryAnswer answer(int second, int level, HistoryKind kind, QList<HistoryNote> played,
                     QList<HistoryNote> answered, qint64 ms)
{
    HistoryAnswer a;
    a.at = QDateTime(QDate(2026, 12, 10), QTime(10, 0), Qt::UTC).addSecs(second);
    a.level = level;
    a.kind = kind;
    a.played = played;
    a.answered = answered;
    a.right = played == answered;
    a.answerMs = ms;
    a.noteCount = kind == HistoryKind::Training ? int(played.size()) : 0;
    return a;
}

QString describe(const QList<NoteAnswer> &answers)
{
    QStringList parts;
    for (const NoteAnswer &a : answers)
        parts << (a.right ? u"+"_s : u"-"_s) + QString::number(a.answerMs);
    return parts.join(u' ');
}

} // namespace

// Each note's own recent answers, as the practice draw and mastery read them.
class NoteRecordsTest : public QObject
{
    Q_OBJECT
private slots:
    void onlyOneNoteAnswersOfTheLevel();
    void newestFirstAndLimited();
    void practiceAnswersInTheExport();
    void noFileReadsEmpty();

private:
    QTemporaryDir m_dir;
};

void NoteRecordsTest::onlyOneNoteAnswersOfTheLevel()
{
    HistoryStore store(m_dir.filePath(u"kinds.db"_s));
    QVERIFY(store.recordAnswer(answer(0, 4, HistoryKind::Training, {Do}, {Do}, 1000)));
    QVERIFY(store.recordAnswer(answer(1, 4, HistoryKind::Practice, {La}, {Re}, 2000)));
    QVERIFY(store.recordAnswer(answer(2, 4, HistoryKind::Training, {Do, La}, {Do, La}, 3000)));
    QVERIFY(store.recordAnswer(answer(3, 4, HistoryKind::Comparison, {Do}, {Do}, 4000)));
    QVERIFY(store.recordAnswer(answer(4, 4, HistoryKind::Melody, {La}, {La}, 5000)));
    QVERIFY(store.recordAnswer(answer(5, 5, HistoryKind::Training, {Do}, {Re}, 6000)));
    QVERIFY(store.recordAnswer(answer(6, 4, HistoryKind::Training, {La}, {La}, -1)));
    const QList<NoteRecord> records = store.noteRecords(4, 30);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].note, Do);
    QCOMPARE(describe(records[0].answers), u"+1000"_s);
    QCOMPARE(records[1].note, La);
    QCOMPARE(describe(records[1].answers), u"+-1 -2000"_s);
    QCOMPARE(store.noteRecords(5, 30).size(), 1);
    QVERIFY(store.noteRecords(6, 30).isEmpty());
}

void NoteRecordsTest::newestFirstAndLimited()
{
    HistoryStore store(m_dir.filePath(u"limit.db"_s));
    // 25 answers of ДО: the first ten missed, then right, slower each time.
    for (int i = 0; i < 25; ++i)
        QVERIFY(store.recordAnswer(
            answer(i, 2, HistoryKind::Training, {Do}, {i < 10 ? Re : Do}, 100 * (i + 1))));
    const QList<NoteRecord> records = store.noteRecords(2, 20);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0].answers.size(), 20);
    QCOMPARE(records[0].answers.first().answerMs, 2500);
    QCOMPARE(records[0].answers.last().answerMs, 600);
    const auto misses = std::count_if(records[0].answers.begin(), records[0].answers.end(),
                                      [](const NoteAnswer &a) { return !a.right; });
    QCOMPARE(misses, 5); // answers 6 to 10 of the first ten
    // РЕ answered before all of them: asked for, it is read to the end.
    QVERIFY(store.recordAnswer(answer(-5, 2, HistoryKind::Training, {Re}, {Re}, 700)));
    QVERIFY(store.recordAnswer(answer(-6, 2, HistoryKind::Training, {Re}, {La}, 800)));
    const QList<NoteRecord> both = store.noteRecords(2, 20, {Do, Re});
    QCOMPARE(both.size(), 2);
    QCOMPARE(both[0].answers.size(), 20);
    QCOMPARE(describe(both[1].answers), u"+700 -800"_s);
    const QList<NoteRecord> doOnly = store.noteRecords(2, 20, {Do});
    QCOMPARE(doOnly.first().answers.size(), 20);
    QCOMPARE(doOnly.first().answers.first().answerMs, 2500);
    // ЛЯ was never played on the level: the others are read as if it were not asked.
    const QList<NoteRecord> withLa = store.noteRecords(2, 20, {Do, Re, La});
    QCOMPARE(withLa.size(), 2);
    QCOMPARE(describe(withLa[1].answers), u"+700 -800"_s);
    QVERIFY(store.noteRecords(2, 20, {La}).isEmpty());
}

void NoteRecordsTest::practiceAnswersInTheExport()
{
    HistoryStore store(m_dir.filePath(u"export.db"_s));
    QVERIFY(store.recordAnswer(answer(0, 3, HistoryKind::Practice, {La}, {Re}, 1700)));
    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(store.writeCsv(out));
    const QStringList lines = QString::fromUtf8(out.data()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1],
             u"2026-12-10T10:00:00.000Z,3,работа над ошибками,нет,59,52,1700,,,0,Фортепиано"_s);
    // They count in the level's figures like any answer.
    const HistorySummary summary = store.summary(3);
    QCOMPARE(summary.answers, 1);
    QCOMPARE(summary.rightAnswers, 0);
    QVERIFY(summary.stages.isEmpty());
}

void NoteRecordsTest::noFileReadsEmpty()
{
    HistoryStore store(m_dir.filePath(u"new.db"_s));
    QVERIFY(store.noteRecords(1, 30).isEmpty());
    QVERIFY(store.problem().isEmpty());
}

QTEST_GUILESS_MAIN(NoteRecordsTest)
#include "tst_noterecords.moc"
