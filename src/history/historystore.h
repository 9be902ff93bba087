#pragma once

#include "history/historysummary.h"
#include "history/notemastery.h"
#include "history/pitchtesthistory.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QIODevice;
class QTemporaryDir;
struct sqlite3;

namespace nk {

class BasePath;

// What kind of exercise an answer was given in.
enum class HistoryKind
{
    Training = 1,
    Comparison = 2, // the training question asked again after its comparison
    Melody = 3,
    ChordsDrill = 4,
    MelodiesDrill = 5,
    NotesDrill = 6,
    Practice = 7, // a practice run of the notes the learner misses
};

enum class HistoryRest
{
    Training = 1,
    Memorisation = 2,
};

// One judged answer as the history keeps it.
struct HistoryAnswer
{
    QDateTime at;
    int level = 0;
    HistoryKind kind = HistoryKind::Training;
    bool right = false;
    QList<HistoryNote> played;                // in order
    QList<HistoryNote> answered;              // in order; empty for a drill's choice
    qint64 answerMs = -1;                     // end of the last listen to the last key; -1 unknown
    int noteCount = 0;                        // the training stage; 0 outside training
    int choice = 0;                           // drills: 1 black first, 2 white first
    QString timbre = QStringLiteral("piano"); // the folder of the timbre it was played in
};

// levels/history.db: every judged answer, memorisation repetition and rest of
// the learner, kept for the statistics page and `notoklyuv --stats`.
// The history is the learner's own record beside the course: a failure of it
// never stops an exercise. A locked, read-only or full file, or one of a newer
// program, is told once (through the message hook) and logged, and the
// exercise goes on without the row; a broken file is moved aside as
// history.db.broken-<date> and a new one is started.
class HistoryStore
{
public:
    explicit HistoryStore(const BasePath &base);
    explicit HistoryStore(QString file);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    static QString fileIn(const BasePath &base);
    const QString &path() const { return m_path; }

    // Reads a copy of the file and never writes to the file itself, nor
    // moves a broken one aside: for a look from outside the course.
    void setReadOnly() { m_readOnly = true; }

    // How the learner is told about the first failure; empty: only the log line.
    void setMessageHook(std::function<void(const QString &)> hook) { m_message = std::move(hook); }

    // Each returns whether the row is in the file.
    bool recordAnswer(const HistoryAnswer &answer);
    bool recordRepetition(const QDateTime &at, int level, HistoryNote note, double seconds);
    bool recordRest(const QDateTime &at, int level, HistoryRest kind);

    bool recordPitchTrial(const PitchTrialRecord &trial);
    bool recordPitchTest(const PitchTestRecord &test);
    // The finished pitch tests, oldest first; empty when there are none or the
    // history cannot be read.
    QList<PitchTestRecord> pitchTests() const;

    // The answer's time runs from the end of the last listen to its last key,
    // both on the program's steady clock; over LongestAnswerMs it is unknown.
    static constexpr qint64 LongestAnswerMs = 60000;
    void listenEnded();
    void answerKey();
    qint64 answerMs() const;

    HistorySummary summary(int level) const;
    // Each note's last `perNote` one-note answers of training and practice on
    // `level`, the newest first, by octave and pitch; what the practice draw
    // and mastery work from. Given the level's notes, only theirs are sure to
    // be complete, and the reading ends sooner.
    QList<NoteRecord> noteRecords(int level, int perNote,
                                  const QList<HistoryNote> &notes = {}) const;
    // UTF-8, a header row, one row per answer in the order given.
    bool writeCsv(QIODevice &out) const;
    // The header row alone: the export of a history that has no file yet.
    static bool writeCsvHeader(QIODevice &out);

    // Why the history cannot be kept or read now, in the learner's words; empty when it can.
    QString problem() const;

private:
    bool open(const char *doing = "open") const;
    int connect() const;
    void close() const;
    bool write(const std::function<int(sqlite3 *)> &rows);
    void failed(int code, const char *doing) const;
    bool moveAside() const;
    QString readableCopy() const;
    QString reason(int code) const;
    void tell(const QString &problem) const;

    QString m_path;
    std::function<void(const QString &)> m_message;
    mutable sqlite3 *m_db = nullptr;
    mutable QString m_newerNote;    // the file is of a newer program
    mutable QString m_readProblem;  // the last reading failed
    mutable QString m_writeProblem; // the last writing failed
    mutable QString m_brokenNote;   // a broken file was moved aside in this run
    mutable bool m_told = false;
    mutable bool m_newer = false;
    bool m_readOnly = false;
    mutable std::unique_ptr<QTemporaryDir> m_copy; // what a read-only store reads
    qint64 m_listenEndMs = -1;                     // on the program's steady clock
    qint64 m_lastKeyMs = -1;
};

} // namespace nk
