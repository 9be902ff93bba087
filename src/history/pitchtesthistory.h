#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

struct sqlite3;

namespace nk {

// One trial of a pitch test as the history keeps it. A sitting is named by
// the moment it began; its trials are kept as they are answered, whether or
// not it is finished.
struct PitchTrialRecord
{
    qint64 sitting = 0; // UTC milliseconds of the sitting's start
    QDateTime at;
    int octave = 5;
    int pitch = 0;
    QString timbre = QStringLiteral("piano");
    int answered = -1; // the pitch class named
    qint64 answerMs = -1;
};

// A finished test: only those are scored.
struct PitchTestRecord
{
    qint64 sitting = 0;
    QDateTime at;
    int trials = 0;
    int right = 0;
    int meanErrorTenths = 0;
    int oneOff = 0;
    int fastRight = 0;
};

// The pitch tests' rows of the history database. Each returns SQLite's result
// code; they keep out of the answers' running totals, so the level and course
// figures never count a test.
class PitchTestHistory
{
public:
    static int insertTrial(sqlite3 *db, const PitchTrialRecord &trial);
    static int insertTest(sqlite3 *db, const PitchTestRecord &test);
    // Oldest first.
    static int readTests(sqlite3 *db, QList<PitchTestRecord> &tests);
};

} // namespace nk
