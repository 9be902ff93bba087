// The learner's history at its size after years of practice: the cost of one
// answer's row (with the synchronous setting the program ships) and of the
// summary the statistics page opens with, with 100,000 answers in the store.
//
//   bench_history [folder]   the store is made in a new folder under `folder`
//                            (default: the current folder, so the disk is real)

#include "figures.h"
#include "history/historystore.h"

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
constexpr int TimedRows = 1000;
constexpr int TimedSummaries = 30;

HistoryAnswer randomAnswer(QRandomGenerator &random, const QDateTime &at, int level)
{
    HistoryAnswer answer;
    answer.at = at;
    answer.level = level;
    answer.kind = HistoryKind(random.bounded(1, 4));
    answer.noteCount = random.bounded(1, 5);
    answer.answerMs = random.bounded(300, 8000);
    for (int i = 0; i < answer.noteCount; ++i) {
        const HistoryNote played{random.bounded(4, 7), quint8(random.bounded(12))};
        answer.played.append(played);
        // One note in five is named as its neighbour.
        answer.answered.append(random.bounded(5) == 0
                                   ? HistoryNote{played.Octave, quint8((played.Pitch + 1) % 12)}
                                   : played);
    }
    answer.right = answer.played == answer.answered;
    return answer;
}

// The bulk of the history goes in through SQL in one transaction: it is the
// same rows the store writes, in seconds rather than the minutes one
// transaction per answer would take.
bool fill(const QString &file, int answers)
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
    QRandomGenerator random(18);
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-340);
    for (int i = 0; i < answers; ++i) {
        // A learner goes through the levels in order, about 300 answers a day,
        // and now and then goes back to an earlier one.
        const int current = 1 + i * Levels / answers;
        const int level = random.bounded(10) == 0 ? random.bounded(1, current + 1) : current;
        const HistoryAnswer a = randomAnswer(random, start.addSecs(i * 288), level);
        sqlite3_bind_int64(answer, 1, a.at.toMSecsSinceEpoch());
        for (int c = 0; c < 5; ++c)
            sqlite3_bind_int64(answer, c + 2,
                               std::array<qint64, 5>{a.level, qint64(a.kind), a.right, a.answerMs,
                                                     a.noteCount}[std::size_t(c)]);
        sqlite3_step(answer);
        sqlite3_reset(answer);
        const qint64 id = sqlite3_last_insert_rowid(db);
        for (qsizetype p = 0; p < a.played.size(); ++p) {
            const std::array<qint64, 6> values = {id,
                                                  p + 1,
                                                  a.played[p].Octave,
                                                  a.played[p].Pitch,
                                                  a.answered[p].Octave,
                                                  a.answered[p].Pitch};
            for (int c = 0; c < 6; ++c)
                sqlite3_bind_int64(note, c + 1, values[std::size_t(c)]);
            sqlite3_step(note);
            sqlite3_reset(note);
        }
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString under = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir(under + QStringLiteral("/bench-history-XXXXXX"));
    const QString file = dir.filePath(QStringLiteral("history.db"));
    {
        HistoryStore schema(file); // the store makes its own layout
        if (!schema.recordAnswer(
                randomAnswer(*QRandomGenerator::global(), QDateTime::currentDateTime(), 1)))
            return 1;
    }
    QElapsedTimer clock;
    clock.start();
    if (!fill(file, StoredAnswers))
        return 1;
    std::printf("history of %d answers made in %.0f ms (%s)\n", StoredAnswers + 1, msSince(clock),
                qPrintable(file));

    HistoryStore store(file);
    clock.restart();
    HistorySummary first = store.summary(5);
    std::printf("first summary of level 5 (opening the file): %.1f ms, %d answers\n",
                msSince(clock), first.answers);
    for (int level : {5, 0}) {
        std::vector<double> ms;
        for (int i = 0; i < TimedSummaries; ++i) {
            clock.restart();
            const HistorySummary s = store.summary(level);
            ms.push_back(msSince(clock));
            if (s.answers == 0)
                return 1;
        }
        Figures::printSpread(level == 0 ? "summary of the whole course (100,000 answers)"
                                        : "summary of one level (about 3,600 answers)",
                             "summaries", ms, 2);
    }
    std::vector<double> rows;
    QRandomGenerator random(7);
    for (int i = 0; i < TimedRows; ++i) {
        const HistoryAnswer answer =
            randomAnswer(random, QDateTime::currentDateTime(), random.bounded(1, Levels + 1));
        clock.restart();
        if (!store.recordAnswer(answer))
            return 1;
        rows.push_back(msSince(clock));
    }
    Figures::printSpread("one answer's row (WAL, synchronous NORMAL)", "answers", rows, 3);
    return 0;
}
