// What a level's statistics, level page and practice run read of the history
// beyond its summary: each note's latest one-note answers, and the mastered
// notes worked out from them, with 100,000 answers in the store. Two shapes:
// answers spread over the levels as a learner goes through the course, and all
// of them on one level, the worst a learner can make it.
//
//   bench_practice [folder]   the stores are made in a new folder under `folder`
//                             (default: the current folder, so the disk is real)

#include "figures.h"
#include "history/historystore.h"
#include "history/notemastery.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace nk;
using nk::bench::Figures;

namespace {

constexpr int StoredAnswers = 100'000;
constexpr int Levels = 28;
constexpr int TimedReads = 30;

void bindAll(sqlite3_stmt *statement, std::initializer_list<qint64> values)
{
    int column = 1;
    for (qint64 value : values)
        sqlite3_bind_int64(statement, column++, value);
    sqlite3_step(statement);
    sqlite3_reset(statement);
}

// One answer in four has two notes; one in five is a practice answer; a note
// is named as its neighbour one time in five.
void insertRandom(sqlite3 *db, sqlite3_stmt *answer, sqlite3_stmt *note, QRandomGenerator &random,
                  qint64 atMs, int level)
{
    const int notes = random.bounded(4) == 0 ? 2 : 1;
    const qint64 kind =
        random.bounded(5) == 0 ? qint64(HistoryKind::Practice) : qint64(HistoryKind::Training);
    bool right = true;
    QList<std::array<qint64, 4>> rows;
    for (int i = 0; i < notes; ++i) {
        const qint64 octave = random.bounded(4, 7), pitch = random.bounded(12);
        const bool miss = random.bounded(5) == 0;
        right = right && !miss;
        rows.append({octave, pitch, octave, miss ? (pitch + 1) % 12 : pitch});
    }
    bindAll(answer, {atMs, level, kind, right, random.bounded(300, 6000), notes});
    const qint64 id = sqlite3_last_insert_rowid(db);
    for (qsizetype p = 0; p < rows.size(); ++p)
        bindAll(note, {id, p + 1, rows[p][0], rows[p][1], rows[p][2], rows[p][3]});
}

bool fill(const QString &file, bool oneLevel)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(file).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *answer = nullptr;
    sqlite3_stmt *note = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO answers(at_ms, utc_offset, level, kind, right, answer_ms,"
                       " note_count) VALUES(?, 10800, ?, ?, ?, ?, ?)",
                       -1, &answer, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO answer_notes VALUES(?, ?, ?, ?, ?, ?)", -1, &note, nullptr);
    QRandomGenerator random(30);
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - qint64(340) * 86'400'000;
    for (int i = 0; i < StoredAnswers; ++i) {
        const int level = oneLevel ? 5 : 1 + i * Levels / StoredAnswers;
        insertRandom(db, answer, note, random, start + qint64(i) * 288'000, level);
    }
    sqlite3_finalize(answer);
    sqlite3_finalize(note);
    const bool ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

double msSince(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

QList<HistoryNote> allNotes()
{
    QList<HistoryNote> notes;
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch)
            notes.append({octave, quint8(pitch)});
    }
    return notes;
}

bool measure(const QString &file, bool oneLevel)
{
    {
        HistoryStore schema(file); // the store makes its own layout
        HistoryAnswer first;
        first.at = QDateTime::currentDateTime();
        first.level = 1;
        if (!schema.recordAnswer(first))
            return false;
    }
    if (!fill(file, oneLevel))
        return false;
    HistoryStore store(file);
    store.noteRecords(5, 30); // opening the file is the summary's cost, measured there
    std::vector<double> records, mastery, unanswered;
    int mastered = 0;
    for (int i = 0; i < TimedReads; ++i) {
        QElapsedTimer clock;
        clock.start();
        const QList<NoteRecord> last30 = store.noteRecords(5, 30, allNotes());
        records.push_back(msSince(clock));
        clock.restart();
        mastered =
            NoteMastery::count(allNotes(), store.noteRecords(5, NoteMastery::Window, allNotes()));
        mastery.push_back(msSince(clock));
        // A note of the level never played there: its totals say so, and the
        // reading stops as if it were not asked.
        clock.restart();
        store.noteRecords(5, 30, allNotes() + QList<HistoryNote>{{7, 0}});
        unanswered.push_back(msSince(clock));
        if (last30.isEmpty())
            return false;
    }
    std::printf("%s (%d mastered)\n",
                oneLevel ? "all 100,000 answers on level 5" : "100,000 answers over 28 levels",
                mastered);
    Figures::printSpread("  each note's last 30 answers of level 5 (the practice draw)", "reads",
                         records, 2);
    Figures::printSpread("  mastered notes of level 5 (statistics and level page)", "reads",
                         mastery, 2);
    Figures::printSpread("  the same with a note never played on the level", "reads", unanswered,
                         2);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString under = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir(under + QStringLiteral("/bench-practice-XXXXXX"));
    for (bool oneLevel : {false, true}) {
        const QString file =
            dir.filePath(oneLevel ? QStringLiteral("one-level.db") : QStringLiteral("levels.db"));
        if (!measure(file, oneLevel))
            return 1;
    }
    return 0;
}
