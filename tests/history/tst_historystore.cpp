#include "history/historyreader.h"
#include "history/historystore.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <sqlite3.h>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {

HistoryNote n(int octave, int pitch)
{
    return {octave, quint8(pitch)};
}

HistoryAnswer answer(const QDateTime &at, int level, HistoryKind kind, QList<HistoryNote> played,
                     QList<HistoryNote> answered, qint64 ms, int noteCount = 0)
{
    HistoryAnswer a;
    a.at = at;
    a.level = level;
    a.kind = kind;
    a.played = played;
    a.answered = answered;
    a.right = played == answered;
    a.answerMs = ms;
    a.noteCount = noteCount;
    return a;
}

// The layout version 1 files have, frozen here: whatever layouts come later,
// a file of this one must still open with its answers.
const char *const VersionOneFile = R"sql(
CREATE TABLE answers(id INTEGER PRIMARY KEY, at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL, level INTEGER NOT NULL, kind INTEGER NOT NULL,
    right INTEGER NOT NULL, answer_ms INTEGER, note_count INTEGER, choice INTEGER);
CREATE INDEX answers_by_level ON answers(level, at_ms);
CREATE TABLE answer_notes(answer_id INTEGER NOT NULL REFERENCES answers(id) ON DELETE CASCADE,
    position INTEGER NOT NULL, played_octave INTEGER NOT NULL, played_pitch INTEGER NOT NULL,
    answered_octave INTEGER, answered_pitch INTEGER,
    PRIMARY KEY(answer_id, position)) WITHOUT ROWID;
CREATE TABLE repetitions(id INTEGER PRIMARY KEY, at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL, level INTEGER NOT NULL, octave INTEGER NOT NULL,
    pitch INTEGER NOT NULL, seconds REAL NOT NULL);
CREATE TABLE rests(id INTEGER PRIMARY KEY, at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL, level INTEGER NOT NULL, kind INTEGER NOT NULL);
INSERT INTO answers VALUES(1, 1765270800000, 10800, 3, 1, 0, 1200, 1, NULL);
INSERT INTO answer_notes VALUES(1, 1, 5, 5, 5, 7);
INSERT INTO answers VALUES(2, 1765270860000, 10800, 3, 4, 1, 800, NULL, 2);
PRAGMA user_version = 1;
)sql";

bool runSql(const QString &file, const char *sql)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(file).constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

qint64 scalar(const QString &file, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *query = nullptr;
    qint64 value = -1;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql, -1, &query, nullptr) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW)
        value = sqlite3_column_int64(query, 0);
    sqlite3_finalize(query);
    sqlite3_close(db);
    return value;
}

} // namespace

// The store on its own: the figures of a summary worked out by hand, the
// export, and a file of the first layout.
class TestHistoryStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void summaryFigures_data();
    void summaryFigures();
    void mostConfusedPairs();
    void csvExport();
    void versionOneFileOpens();
    void repetitionsAndRests();
    void handEditedFile_data();
    void handEditedFile();

private:
    void fill(HistoryStore &store);
    QTemporaryDir m_dir;
    QString m_file;
};

void TestHistoryStore::init()
{
    m_file = m_dir.filePath(u"history-%1-%2.db"_s.arg(QLatin1String(QTest::currentTestFunction()),
                                                      QLatin1String(QTest::currentDataTag())));
}

// Two answers of level 5 a minute apart across the learner's midnight (UTC
// +3, so the same UTC day), one of level 7, one drill answer without notes.
void TestHistoryStore::fill(HistoryStore &store)
{
    const QTimeZone moscow(3 * 3600);
    const QDateTime lateEvening(QDate(2026, 12, 9), QTime(23, 59, 30), moscow);
    const QDateTime earlyMorning(QDate(2026, 12, 10), QTime(0, 0, 30), moscow);
    QVERIFY(store.recordAnswer(answer(lateEvening, 5, HistoryKind::Training, {n(5, 5), n(5, 7)},
                                      {n(5, 5), n(5, 5)}, 1000, 2)));
    QVERIFY(store.recordAnswer(answer(earlyMorning, 5, HistoryKind::Comparison,
                                      {n(5, 5), n(5, 7), n(5, 5)}, {n(5, 5), n(5, 7), n(5, 7)},
                                      3000, 3)));
    HistoryAnswer melody = answer(earlyMorning, 7, HistoryKind::Melody, {n(4, 11)}, {n(4, 11)}, -1);
    melody.timbre = u"guitar"_s;
    QVERIFY(store.recordAnswer(melody));
    HistoryAnswer drill = answer(earlyMorning, 5, HistoryKind::ChordsDrill, {}, {}, 500);
    drill.right = true;
    drill.choice = 1;
    drill.timbre = u"organ"_s;
    QVERIFY(store.recordAnswer(drill));
}

void TestHistoryStore::summaryFigures_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QList<int>>("counts");  // answers, right
    QTest::addColumn<QString>("confusions"); // played>answered:count, by played then answered
    QTest::addColumn<QString>("accuracy");   // day note right/total
    QTest::addColumn<QString>("stages");     // day:stage
    QTest::addColumn<QString>("times");      // note:average/answers, of one-note answers
    QTest::addColumn<QString>("levels");     // level:right/total
    QTest::addColumn<QString>("timbres");    // folder:right/total
    QTest::newRow("level 5") << 5 << QList<int>{3, 1} << u"55>55:2 55>57:1 57>55:1 57>57:1"_s
                             << u"2026-12-09 55 1/1, 2026-12-09 57 0/1, "
                                "2026-12-10 55 1/2, 2026-12-10 57 1/1"_s
                             << u"2026-12-09:2 2026-12-10:3"_s << QString() << u"5:1/3"_s
                             << u"organ:1/1 piano:0/2"_s;
    QTest::newRow("whole course") << 0 << QList<int>{4, 2}
                                  << u"411>411:1 55>55:2 55>57:1 57>55:1 57>57:1"_s
                                  << u"2026-12-09 55 1/1, 2026-12-09 57 0/1, 2026-12-10 411 1/1, "
                                     "2026-12-10 55 1/2, 2026-12-10 57 1/1"_s
                                  << u"2026-12-09:2 2026-12-10:3"_s << QString() << u"5:1/3 7:1/1"_s
                                  << u"guitar:1/1 organ:1/1 piano:0/2"_s;
    QTest::newRow("a level without answers") << 9 << QList<int>{0, 0} << QString() << QString()
                                             << QString() << QString() << QString() << QString();
}

void TestHistoryStore::summaryFigures()
{
    QFETCH(int, level);
    QFETCH(QList<int>, counts);
    HistoryStore store(m_file);
    fill(store);
    const HistorySummary s = store.summary(level);
    QCOMPARE(s.problem, QString());
    QCOMPARE(s.level, level);
    QCOMPARE((QList<int>{s.answers, s.rightAnswers}), counts);
    auto name = [](const HistoryNote &note) { return u"%1%2"_s.arg(note.Octave).arg(note.Pitch); };
    QStringList confusions, accuracy, stages, times, levels, timbres;
    for (const auto &c : s.confusions)
        confusions << name(c.played) + u'>' + name(c.answered) + u':' + QString::number(c.count);
    for (const auto &a : s.accuracy)
        accuracy << a.day.toString(Qt::ISODate) + u' ' + name(a.note) +
                        u" %1/%2"_s.arg(a.right).arg(a.total);
    for (const auto &d : s.stages)
        stages << d.day.toString(Qt::ISODate) + u':' + QString::number(d.noteCount);
    for (const auto &t : s.times)
        times << name(t.note) + u":%1/%2"_s.arg(t.averageMs).arg(t.answers);
    for (const auto &l : s.levels)
        levels << u"%1:%2/%3"_s.arg(l.level).arg(l.right).arg(l.total);
    for (const auto &t : s.timbres)
        timbres << u"%1:%2/%3"_s.arg(t.timbre).arg(t.right).arg(t.total);
    QTEST(confusions.join(u' '), "confusions");
    QTEST(accuracy.join(u", "_s), "accuracy");
    QTEST(stages.join(u' '), "stages");
    QTEST(times.join(u' '), "times");
    QTEST(levels.join(u' '), "levels");
    QTEST(timbres.join(u' '), "timbres");
}

void TestHistoryStore::mostConfusedPairs()
{
    using C = HistorySummary::Confusion;
    // ДО↔РЕ 4 of 9 and МИ→ФА 4 of 6 (the larger share first), ДО→МИ 1 of 11; СОЛЬ only right.
    const QList<C> table = {{n(5, 0), n(5, 0), 3}, {n(5, 0), n(5, 2), 3}, {n(5, 0), n(5, 4), 1},
                            {n(5, 2), n(5, 0), 1}, {n(5, 2), n(5, 2), 1}, {n(5, 4), n(5, 5), 4},
                            {n(5, 5), n(5, 5), 2}, {n(5, 7), n(5, 7), 9}};
    const QList<HistorySummary::ConfusedPair> pairs = HistoryReader::mostConfused(table);
    QList<QList<int>> got;
    for (const auto &p : pairs)
        got.append({p.a.Pitch, p.b.Pitch, p.confused, p.outOf});
    QCOMPARE(got, (QList<QList<int>>{{4, 5, 4, 6}, {0, 2, 4, 9}, {0, 4, 1, 11}}));
}

void TestHistoryStore::csvExport()
{
    HistoryStore store(m_file);
    fill(store);
    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(store.writeCsv(out));
    const QStringList lines = QString::fromUtf8(out.data()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], u"время (UTC),уровень,упражнение,верно,сыграно,отвечено,"
                       "\"время ответа, мс\",нот в вопросе,выбор,\"смещение от UTC, мин\",тембр"_s);
    QCOMPARE(lines[1],
             u"2026-12-09T20:59:30.000Z,5,тренировка,нет,55 57,55 55,1000,2,,180,Фортепиано"_s);
    QCOMPARE(lines[2], u"2026-12-09T21:00:30.000Z,5,повтор после сравнения,нет,55 57 55,55 57 57,"
                       "3000,3,,180,Фортепиано"_s);
    QCOMPARE(lines[3], u"2026-12-09T21:00:30.000Z,7,мелодия,да,411,411,,,,180,Гитара"_s);
    QCOMPARE(lines[4], u"2026-12-09T21:00:30.000Z,5,аккорды на чёрных и белых,да,,,500,,"
                       "первыми чёрные,180,Орган"_s);
}

void TestHistoryStore::versionOneFileOpens()
{
    QVERIFY(runSql(m_file, VersionOneFile));
    HistoryStore store(m_file);
    HistorySummary s = store.summary(3);
    QCOMPARE(s.problem, QString());
    QCOMPARE((QList<int>{s.answers, s.rightAnswers}), (QList<int>{2, 1}));
    QCOMPARE(s.confusions.size(), 1);
    QCOMPARE(s.confusions[0].answered, n(5, 7));
    QVERIFY(store.recordAnswer(answer(QDateTime::currentDateTime(), 3, HistoryKind::Training,
                                      {n(5, 5)}, {n(5, 5)}, 900, 1)));
    QCOMPARE(store.summary(3).answers, 3);
    QCOMPARE(scalar(m_file, "PRAGMA user_version"), 5);
    // A pitch test is kept in a file carried forward from the first layout.
    QVERIFY(store.recordPitchTest({1, QDateTime::currentDateTime(), 36, 3, 30, 6, 3}));
    QCOMPARE(store.pitchTests().size(), 1);
    QCOMPARE(store.summary(3).times.size(), 1); // the first answer's, of one note
    // The older answers were played in the piano; the new one was too, by default.
    const HistorySummary after = store.summary(3);
    QCOMPARE(after.timbres.size(), 1);
    QCOMPARE(after.timbres[0].timbre, u"piano"_s);
    QCOMPARE(after.timbres[0].total, 3);
    QCOMPARE(scalar(m_file, "SELECT count(*) FROM answers WHERE timbre = 'piano'"), 3);
}

void TestHistoryStore::repetitionsAndRests()
{
    HistoryStore store(m_file);
    const QDateTime at(QDate(2026, 12, 9), QTime(12, 0), QTimeZone(0));
    QVERIFY(store.recordRepetition(at, 2, n(5, 4), 91.5));
    QVERIFY(store.recordRest(at, 2, HistoryRest::Memorisation));
    QVERIFY(store.recordRest(at, 3, HistoryRest::Training));
    QCOMPARE(scalar(m_file, "SELECT count(*) FROM repetitions WHERE level = 2 AND octave = 5"
                            " AND pitch = 4 AND seconds = 91.5"),
             1);
    QCOMPARE(scalar(m_file, "SELECT count(*) FROM rests WHERE (level, kind) IN (VALUES (2, 2),"
                            " (3, 1))"),
             2);
    QCOMPARE(store.summary(0).answers, 0); // neither is an answer
}

void TestHistoryStore::handEditedFile_data()
{
    QTest::addColumn<QByteArray>("edit"); // run by another program between two sessions
    QTest::addColumn<QString>("figures"); // answers right, confusions, note times, after one more
    QTest::newRow("newest answer deleted")
        << QByteArray("DELETE FROM answers WHERE id = (SELECT max(id) FROM answers)")
        << u"2 2, 55>55:2, 55:1500/2"_s;
    QTest::newRow("oldest answer deleted")
        << QByteArray("DELETE FROM answers WHERE id = (SELECT min(id) FROM answers)")
        << u"2 1, 55>55:1 55>57:1, 55:2250/2"_s;
    QTest::newRow("totals emptied")
        << QByteArray("DELETE FROM day_answers; DELETE FROM confusions; DELETE FROM note_times")
        << u"3 2, 55>55:2 55>57:1, 55:1833.33/3"_s;
    QTest::newRow("notes of an answer deleted")
        << QByteArray("DELETE FROM answer_notes WHERE answer_id = (SELECT max(id) FROM answers)")
        << u"3 2, 55>55:2, 55:1500/2"_s;
}

// ФА right in 1 s, then ФА heard as СОЛЬ in 2.5 s; the file edited by hand;
// then ФА right in 2.5 s, recorded by the next session.
void TestHistoryStore::handEditedFile()
{
    QFETCH(QByteArray, edit);
    const QDateTime at(QDate(2026, 12, 9), QTime(12, 0), QTimeZone(0));
    {
        HistoryStore store(m_file);
        QVERIFY(store.recordAnswer(
            answer(at, 5, HistoryKind::Training, {n(5, 5)}, {n(5, 5)}, 1000, 1)));
        QVERIFY(store.recordAnswer(
            answer(at, 5, HistoryKind::Training, {n(5, 5)}, {n(5, 7)}, 2500, 1)));
    }
    QVERIFY(runSql(m_file, edit.constData()));
    HistoryStore store(m_file);
    QVERIFY(store.recordAnswer(
        answer(at.addSecs(60), 5, HistoryKind::Training, {n(5, 5)}, {n(5, 5)}, 2000, 1)));
    const HistorySummary s = store.summary(5);
    QCOMPARE(s.problem, QString());
    QStringList confusions;
    for (const auto &c : s.confusions)
        confusions << u"%1%2>%3%4:%5"_s.arg(c.played.Octave)
                          .arg(c.played.Pitch)
                          .arg(c.answered.Octave)
                          .arg(c.answered.Pitch)
                          .arg(c.count);
    QStringList times;
    for (const auto &t : s.times)
        times
            << u"%1%2:%3/%4"_s.arg(t.note.Octave).arg(t.note.Pitch).arg(t.averageMs).arg(t.answers);
    int timbreTotal = 0;
    for (const auto &t : s.timbres)
        timbreTotal += t.total;
    QCOMPARE(timbreTotal, s.answers); // the timbres' totals follow the edit too
    const QString figures = u"%1 %2, "_s.arg(s.answers).arg(s.rightAnswers) +
                            confusions.join(u' ') + u", "_s + times.join(u' ');
    QTEST(figures, "figures");
}

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_historystore.moc"
