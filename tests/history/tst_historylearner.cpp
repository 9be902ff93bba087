#include "app/coursepages.h"
#include "app/exercises.h"
#include "course/cp1251.h"
#include "course/inifile.h"
#include "course/levels.h"
#include "course/programclock.h"
#include "drills/blackwhitedrills.h"
#include "history/historystore.h"
#include "keyboard/keyboardlayout.h"
#include "report/reportpages.h"
#include "stats/confusionmap.h"
#include "stats/statslinks.h"
#include "steps/melodypages.h"
#include "steps/step2.h"
#include "steps/trainingpages.h"
#include "windowrig.h"

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimeZone>
#include <sqlite3.h>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

// The program's clocks, moved by the learner script alone: every answer time
// below is exact. The steady one times answers, the date only dates them.
QDateTime g_now;
qint64 g_steadyMs = 0;

void wait(qint64 ms)
{
    g_now = g_now.addMSecs(ms);
    g_steadyMs += ms;
}

const QTimeZone Moscow(3 * 3600);

QStringList rows(const QString &file, const char *sql)
{
    QStringList out;
    sqlite3 *db = nullptr;
    sqlite3_stmt *query = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql, -1, &query, nullptr) == SQLITE_OK) {
        while (sqlite3_step(query) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(query, 0)));
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return out;
}

bool runSql(const QString &file, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(file).constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Runs the installed program without any display.
QString runProgram(const QStringList &arguments)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    program.setProcessEnvironment(env);
    program.start(qEnvironmentVariable("NK_PROGRAM_DIR") + u"/notoklyuv"_s, arguments);
    if (!program.waitForFinished(30000) || program.exitCode() != 0)
        return u"failed: "_s + QString::fromUtf8(program.readAllStandardError());
    return QString::fromUtf8(program.readAllStandardOutput());
}

QStringList historyMessages()
{
    return WindowRig::messages().filter(u"История ответов"_s);
}

} // namespace

// A scripted learner on the real window answers a known sequence in training,
// melodies and the chords drill; the history then holds exactly those answers,
// and its summary and `notoklyuv --stats` show the figures worked out by hand.
// Bad history files never stop the exercise.
class TestHistoryLearner : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void knownSequence();
    void answerTimes_data();
    void answerTimes();
    void memorisationAndRest();
    void reportUploadLeavesTheHistory();
    void badStore_data();
    void badStore();

private:
    void pressKey(int octave, int pitch);
    void openStep(int level, int step, int introLink);
    // Listens to `question`, names it with `keys` (octave * 100 + pitch), the
    // last key `ms` after the listen ended; returns whether it was judged right.
    bool answerTraining(const QString &question, const QList<int> &keys, int ms);
    bool answerMelody(const QList<int> &keys, int ms);
    bool answerChords(bool right, int ms);
    // The keys of the question's two chords as chords.dat names them, in the order they play.
    QString chordPair() const;
    void sendDrillToQuestion();

    std::unique_ptr<WindowRig> m_rig;
};

void TestHistoryLearner::init()
{
    g_now = QDateTime(QDate(2026, 12, 9), QTime(23, 59, 50), Moscow);
    ProgramClock::setNowSource([] { return g_now; });
    ProgramClock::setMonotonicSource([] { return g_steadyMs; });
    m_rig = std::make_unique<WindowRig>(QStringList{u"04"_s, u"05"_s});
    m_rig->writeText(u"levels/settings.dat"_s, u"[main]\r\nfirstrun=0\r\nnotecount=2\r\n"_s);
    m_rig->writeText(u"levels/05/melody.dat"_s,
                     u"[melody]\r\nm1=150 152 154\r\nm2=155 157\r\nm3=150\r\n"_s);
}

void TestHistoryLearner::cleanup()
{
    m_rig.reset();
    ProgramClock::setNowSource({});
    ProgramClock::setMonotonicSource({});
}

void TestHistoryLearner::pressKey(int octave, int pitch)
{
    QTest::mousePress(m_rig->form().keyboardPicture(), Qt::LeftButton, {},
                      KeyboardLayout::seed(octave, pitch));
}

void TestHistoryLearner::openStep(int level, int step, int introLink)
{
    m_rig->form().course().ShowLevelPage(level);
    m_rig->form().course().OpenStep(level, step);
    if (introLink > 0 && m_rig->link(introLink))
        QVERIFY(m_rig->clickLink(introLink));
}

bool TestHistoryLearner::answerTraining(const QString &question, const QList<int> &keys, int ms)
{
    m_rig->state().Step3Set.QuestionText = question;
    if (!m_rig->clickButton(TrainingPages::ListenTag) ||
        !m_rig->clickButton(TrainingPages::AnswerTag))
        return false;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i == keys.size() - 1)
            wait(ms);
        pressKey(keys[i] / 100, keys[i] % 100);
    }
    return m_rig->link(TrainingPages::NextLinkTag) != nullptr;
}

bool TestHistoryLearner::answerMelody(const QList<int> &keys, int ms)
{
    if (!m_rig->clickButton(MelodyPages::ListenTag) || !m_rig->clickButton(MelodyPages::AnswerTag))
        return false;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i == keys.size() - 1)
            wait(ms);
        pressKey(keys[i] / 100, keys[i] % 100);
    }
    return m_rig->link(MelodyPages::NextLinkTag) != nullptr;
}

bool TestHistoryLearner::answerChords(bool right, int ms)
{
    KeysDrill &drill = m_rig->form().exercises().drills().chords();
    const DrillTags &tags = drill.description().tags;
    if (!m_rig->clickButton(tags.listenPair) || !m_rig->clickButton(tags.answer))
        return false;
    wait(ms);
    const bool whiteFirst = m_rig->state().ChordSet.FirstColour == KeysDrill::White;
    m_rig->clickButton(whiteFirst == right ? tags.whiteFirst : tags.blackFirst);
    return m_rig->link(tags.next) != nullptr;
}

QString TestHistoryLearner::chordPair() const
{
    const IniFile chords(m_rig->path(u"levels/04/chords.dat"_s));
    const TChordSet &set = m_rig->state().ChordSet;
    const QString black = chords.readString(u"black"_s, u"n%1"_s.arg(set.BlackItem), u"?"_s);
    const QString white = chords.readString(u"white"_s, u"n%1"_s.arg(set.WhiteItem), u"?"_s);
    return set.FirstColour == KeysDrill::Black ? black + u' ' + white : white + u' ' + black;
}

void TestHistoryLearner::knownSequence()
{
    HistoryStore &history = m_rig->state().history;
    openStep(5, 3, TrainingPages::ContinueLinkTag);
    // ДО МИ right, 1.5 s, late on the 9th; after midnight ФА СОЛЬ as ФА ФА,
    // 2 s, then, after the comparison, right in 1 s.
    QVERIFY(answerTraining(u"450 454"_s, {500, 504}, 1500));
    QVERIFY(m_rig->clickLink(TrainingPages::NextLinkTag));
    g_now = QDateTime(QDate(2026, 12, 10), QTime(0, 0, 10), Moscow);
    QVERIFY(!answerTraining(u"455 457"_s, {505, 505}, 2000));
    QVERIFY(m_rig->clickLink(TrainingPages::CompareLinkTag));
    QTRY_VERIFY(m_rig->button(TrainingPages::ListenTag) != nullptr);
    QVERIFY(answerTraining(u"455 457"_s, {505, 507}, 1000));
    // Melodies: ДО РЕ МИ right in 3 s, then ФА СОЛЬ as СОЛЬ СОЛЬ in 2.5 s.
    openStep(5, 4, MelodyPages::ContinueLinkTag);
    QVERIFY(answerMelody({500, 502, 504}, 3000));
    QVERIFY(m_rig->clickLink(MelodyPages::NextLinkTag));
    QVERIFY(!answerMelody({507, 507}, 2500));
    // The chords drill of level 4: right in 4 s, wrong in 0.5 s.
    openStep(4, 1, 0);
    const int first = m_rig->state().ChordSet.FirstColour;
    const QString firstPair = chordPair();
    QVERIFY(answerChords(true, 4000));
    QVERIFY(m_rig->clickLink(m_rig->form().exercises().drills().chords().description().tags.next));
    const int second = m_rig->state().ChordSet.FirstColour;
    const QString secondPair = chordPair();
    QVERIFY(!answerChords(false, 500));

    const QStringList expected = {
        u"5 1 1 1500 2 0 50>50 54>54"_s,
        u"5 1 0 2000 2 0 55>55 57>55"_s,
        u"5 2 1 1000 2 0 55>55 57>57"_s,
        u"5 3 1 3000 0 0 50>50 52>52 54>54"_s,
        u"5 3 0 2500 0 0 55>57 57>57"_s,
        u"4 4 1 4000 0 %1 "_s.arg(first) + firstPair,
        u"4 4 0 500 0 %1 "_s.arg(3 - second) + secondPair,
    };
    QCOMPARE(
        rows(history.path(),
             "SELECT level || ' ' || kind || ' ' || right || ' ' || answer_ms || ' ' ||"
             " coalesce(note_count, 0) || ' ' || coalesce(choice, 0) || ' ' ||"
             " coalesce((SELECT group_concat(x, ' ') FROM (SELECT played_octave ||"
             " played_pitch || coalesce('>' || answered_octave || answered_pitch, '') AS x FROM"
             " answer_notes WHERE answer_id = a.id ORDER BY position)), '')"
             " FROM answers a ORDER BY id"),
        expected);

    const HistorySummary level5 = history.summary(5);
    QCOMPARE((QList<int>{level5.answers, level5.rightAnswers}), (QList<int>{5, 3}));
    QStringList times;
    for (const auto &t : level5.times)
        times << u"%1%2:%3/%4"_s.arg(t.note.Octave)
                     .arg(t.note.Pitch)
                     .arg(t.averageMs, 0, 'f', 1)
                     .arg(t.answers);
    // Every answer above has several notes: none tells how long one of them took.
    QCOMPARE(times.join(u' '), QString());
    QCOMPARE(level5.mostConfused.size(), 1);
    const HistorySummary::ConfusedPair pair = level5.mostConfused.first();
    QCOMPARE((QList<int>{pair.a.Pitch, pair.b.Pitch, pair.confused, pair.outOf}),
             (QList<int>{5, 7, 2, 6}));
    QCOMPARE(history.summary(0).levels.size(), 2);

    // The statistics page of level 5, reached as the learner reaches it, shows the same.
    m_rig->form().course().ShowLevelPage(5);
    QVERIFY(m_rig->clickLink(StatsLinks::FromLevelTag));
    QCOMPARE(m_rig->labelText(36), u"Ответов: 5, верных: 3 (60%)"_s);
    QCOMPARE(m_rig->labelText(52), u"Чаще всего вы путаете ФА и СОЛЬ: 2 раза из 6"_s);
    const auto *map = m_rig->form().findChild<ConfusionMap *>();
    QVERIFY(map);
    QList<int> cells; // played ДО РЕ МИ ФА СОЛЬ down, answered across
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column)
            cells << map->count(row, column);
    QCOMPARE(cells, (QList<int>{2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 2, 0, 0, //
                                0, 0, 0, 2, 1, 0, 0, 0, 1, 2}));

    const QString folder = m_rig->path(QString());
    QCOMPARE(runProgram({u"--stats"_s, u"--folder"_s, folder}),
             u"Всего ответов: 7, верно 4 (57%)\n"
             "Уровень 4: верно 1 из 2 (50%)\n"
             "Уровень 5: верно 3 из 5 (60%)\n"
             "Освоено нот: 0 из 2\n"
             "Чаще всего вы путаете ФА и СОЛЬ: 2 раза из 6\n"_s);
    const QStringList csv = runProgram({u"--stats"_s, u"--csv"_s, u"--folder"_s, folder})
                                .split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(csv.size(), 8);
    QCOMPARE(csv[2],
             u"2026-12-09T21:00:12.000Z,5,тренировка,нет,55 57,55 55,2000,2,,180,Фортепиано"_s);
    QCOMPARE(historyMessages(), QStringList());
}

void TestHistoryLearner::answerTimes_data()
{
    QTest::addColumn<qint64>("dateMs");   // the computer's date moves this far
    QTest::addColumn<qint64>("steadyMs"); // and the steady clock this far
    QTest::addColumn<QString>("stored");  // the second answer's time, "-" for unknown
    QTest::addColumn<QString>("average"); // the note's average and answers
    const qint64 hours8 = 8 * 3600 * 1000;
    QTest::newRow("date set forward") << hours8 << qint64(1500) << u"1500"_s << u"1750.0/2"_s;
    QTest::newRow("date set back") << -hours8 << qint64(1500) << u"1500"_s << u"1750.0/2"_s;
    QTest::newRow("computer asleep") << hours8 << hours8 << u"-"_s << u"2000.0/1"_s;
    QTest::newRow("a minute") << qint64(60000) << qint64(60000) << u"60000"_s << u"31000.0/2"_s;
    QTest::newRow("over a minute") << qint64(60001) << qint64(60001) << u"-"_s << u"2000.0/1"_s;
}

// ФА answered in 2 s, then again with the clocks moved between the listen
// and the key.
void TestHistoryLearner::answerTimes()
{
    QFETCH(qint64, dateMs);
    QFETCH(qint64, steadyMs);
    QFETCH(QString, stored);
    QFETCH(QString, average);
    openStep(5, 3, TrainingPages::ContinueLinkTag);
    QVERIFY(answerTraining(u"455"_s, {505}, 2000));
    QVERIFY(m_rig->clickLink(TrainingPages::NextLinkTag));
    m_rig->state().Step3Set.QuestionText = u"455"_s;
    QVERIFY(m_rig->clickButton(TrainingPages::ListenTag));
    QVERIFY(m_rig->clickButton(TrainingPages::AnswerTag));
    g_now = g_now.addMSecs(dateMs);
    g_steadyMs += steadyMs;
    pressKey(5, 5);
    QVERIFY(m_rig->link(TrainingPages::NextLinkTag));
    HistoryStore &history = m_rig->state().history;
    QCOMPARE(rows(history.path(), "SELECT coalesce(answer_ms, '-') FROM answers ORDER BY id"),
             (QStringList{u"2000"_s, stored}));
    const HistorySummary summary = history.summary(5);
    QCOMPARE(summary.times.size(), 1);
    const auto &fa = summary.times.first();
    QCOMPARE(fa.note.Pitch, 5);
    QCOMPARE(u"%1/%2"_s.arg(fa.averageMs, 0, 'f', 1).arg(fa.answers), average);
}

// One repetition of the first note of level 5 (ДО# of the first octave):
// 25 plays with at least 90 s of waits in the program's time, then a rest.
void TestHistoryLearner::memorisationAndRest()
{
    openStep(5, 2, Step2::ContinueLinkTag);
    QVERIFY(m_rig->clickButton(Step2::StartTag));
    const QString file = m_rig->state().history.path();
    QTRY_COMPARE(rows(file, "SELECT level || ' ' || kind FROM rests"), QStringList{u"5 2"_s});
    QCOMPARE(rows(file, "SELECT level || ' ' || octave || ' ' || pitch || ' ' || (seconds >= 90)"
                        " FROM repetitions"),
             QStringList{u"5 5 1 1"_s});
}

// The report carries the log alone: the history stays on the learner's disk.
void TestHistoryLearner::reportUploadLeavesTheHistory()
{
    openStep(5, 3, TrainingPages::ContinueLinkTag);
    QVERIFY(answerTraining(u"450 454"_s, {500, 504}, 1500));
    QTcpServer site;
    QVERIFY(site.listen(QHostAddress::LocalHost));
    QByteArray received;
    connect(&site, &QTcpServer::newConnection, this, [&site, &received] {
        QTcpSocket *peer = site.nextPendingConnection();
        connect(peer, &QTcpSocket::readyRead, peer, [peer, &received] {
            received += peer->readAll();
            const qsizetype headerEnd = received.indexOf("\r\n\r\n");
            const qsizetype at = received.toLower().indexOf("content-length:");
            if (headerEnd < 0 || at < 0)
                return;
            const qint64 length =
                received.mid(at + 15, received.indexOf('\r', at) - at - 15).trimmed().toLongLong();
            if (received.size() - headerEnd - 4 < length)
                return;
            peer->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK");
            peer->disconnectFromHost();
        });
    });
    m_rig->writeText(
        u"levels/settings.dat"_s,
        u"[main]\r\nfirstrun=0\r\nsite=http://127.0.0.1:%1\r\n"_s.arg(site.serverPort()));
    QVERIFY(m_rig->form().reports().SendReport());
    QByteArray logLine;
    QVERIFY(Cp1251::encode(u"Отправляем отчёт..."_s, logLine));
    QVERIFY(received.contains(logLine));
    QVERIFY(!received.contains("SQLite format 3"));
    QVERIFY(!received.contains("history.db"));
    QCOMPARE(rows(m_rig->state().history.path(), "SELECT count(*) FROM answers"),
             QStringList{u"1"_s});
}

void TestHistoryLearner::badStore_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("problem"); // a part of what the learner is told
    QTest::addColumn<bool>("readable");   // the figures can still be shown
    QTest::newRow("locked by another connection") << u"locked"_s << u"другая программа"_s << false;
    QTest::newRow("answers refused, figures readable")
        << u"refusing"_s << u"не сохраняется"_s << true;
    QTest::newRow("read-only: a folder in place of its journal")
        << u"readonly"_s << u"history.db-wal папка"_s << false;
    QTest::newRow("not a database") << u"garbage"_s << u"history.db.broken-2026-12-10"_s << true;
    QTest::newRow("newer layout") << u"newer"_s << u"более новой версией"_s << false;
}

void TestHistoryLearner::badStore()
{
    QFETCH(QString, kind);
    QFETCH(QString, problem);
    g_now = QDateTime(QDate(2026, 12, 10), QTime(9, 0), Moscow);
    const QString file = m_rig->state().history.path();
    const QByteArray garbage = "This is the learner's old notebook, not a database.\n";
    sqlite3 *holder = nullptr;
    if (kind == u"garbage"_s) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(garbage);
    } else if (kind == u"newer"_s) {
        QVERIFY(runSql(file, "PRAGMA user_version = 99"));
    } else if (kind == u"refusing"_s) {
        QVERIFY(HistoryStore(file).recordRest(g_now, 5, HistoryRest::Training));
        QVERIFY(runSql(file, "CREATE TRIGGER refuse BEFORE INSERT ON answers"
                             " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    } else if (kind == u"readonly"_s) {
        QVERIFY(runSql(file, "CREATE TABLE t(x)"));
        QVERIFY(QDir().mkdir(file + u"-wal"_s));
    } else {
        QVERIFY(runSql(file, "PRAGMA journal_mode = WAL; CREATE TABLE t(x)"));
        QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &holder), SQLITE_OK);
        QCOMPARE(sqlite3_exec(holder, "BEGIN IMMEDIATE; INSERT INTO t VALUES(1)", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
    }
    openStep(5, 3, TrainingPages::ContinueLinkTag);
    QVERIFY(answerTraining(u"450 454"_s, {500, 504}, 700));
    QCOMPARE(m_rig->logLines().filter(u"Ноты угаданы правильно"_s).size(), 1);
    QTRY_COMPARE(historyMessages().size(), 1);
    QVERIFY2(historyMessages().first().contains(problem), qPrintable(historyMessages().first()));
    // A problem that leaves the file readable is a notice beside the figures.
    QFETCH(bool, readable);
    const HistorySummary first = m_rig->state().history.summary(5);
    QCOMPARE(first.problem.isEmpty(), readable);
    const QString told = readable ? first.notice : first.problem;
    QVERIFY2(told.contains(problem), qPrintable(told));

    // The exercise goes on, and the learner is not told again.
    QVERIFY(m_rig->clickLink(TrainingPages::NextLinkTag));
    if (holder)
        sqlite3_close(holder); // the other program lets go: the next answer is kept
    QVERIFY(answerTraining(u"455 457"_s, {505, 507}, 900));
    QCOMPARE(historyMessages().size(), 1);
    const HistorySummary after = m_rig->state().history.summary(5);
    if (kind == u"garbage"_s) {
        QFile aside(file + u".broken-2026-12-10"_s);
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), garbage);
        QCOMPARE(after.answers, 2);
    } else if (kind == u"locked"_s) {
        QCOMPARE(after.answers, 1);
        QCOMPARE(after.problem, QString());
    } else if (kind == u"newer"_s) {
        QCOMPARE(rows(file, "PRAGMA user_version"), QStringList{u"99"_s});
        QCOMPARE(rows(file, "SELECT name FROM sqlite_master"), QStringList());
    }
}

QTEST_MAIN(TestHistoryLearner)
#include "tst_historylearner.moc"
