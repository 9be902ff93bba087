#include "history/historyschema.h"

#include "history/sqlitestatement.h"

#include <array>
#include <sqlite3.h>

namespace nk {

namespace {

// Layout 1. Times are UTC milliseconds with the learner's offset from UTC at
// that moment, so a day is the learner's own day whatever the zone later is.
// An answer's notes are one row per position: played and, for note answers,
// answered, so confusions are a GROUP BY.
const char *const Version1 = R"sql(
CREATE TABLE answers(
    id INTEGER PRIMARY KEY,
    at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL,
    level INTEGER NOT NULL,
    kind INTEGER NOT NULL,
    right INTEGER NOT NULL,
    answer_ms INTEGER,
    note_count INTEGER,
    choice INTEGER);
CREATE INDEX answers_by_level ON answers(level, at_ms);
CREATE TABLE answer_notes(
    answer_id INTEGER NOT NULL REFERENCES answers(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    played_octave INTEGER NOT NULL,
    played_pitch INTEGER NOT NULL,
    answered_octave INTEGER,
    answered_pitch INTEGER,
    PRIMARY KEY(answer_id, position)) WITHOUT ROWID;
CREATE TABLE repetitions(
    id INTEGER PRIMARY KEY,
    at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL,
    level INTEGER NOT NULL,
    octave INTEGER NOT NULL,
    pitch INTEGER NOT NULL,
    seconds REAL NOT NULL);
CREATE TABLE rests(
    id INTEGER PRIMARY KEY,
    at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL,
    level INTEGER NOT NULL,
    kind INTEGER NOT NULL);
)sql";

// Layout 2: running totals per level and learner's day, kept by triggers in
// the transaction of each answer, so the page's figures are sums over a few
// thousand rows however long the learner has practised. The answers above
// stay the record; the totals of a file of layout 1 are worked out from them.
const char *const Version2 = R"sql(
CREATE TABLE day_answers(
    level INTEGER NOT NULL,
    day TEXT NOT NULL,
    answers INTEGER NOT NULL,
    right INTEGER NOT NULL,
    max_stage INTEGER,
    PRIMARY KEY(level, day)) WITHOUT ROWID;
CREATE TABLE day_accuracy(
    level INTEGER NOT NULL,
    day TEXT NOT NULL,
    played_octave INTEGER NOT NULL,
    played_pitch INTEGER NOT NULL,
    right INTEGER NOT NULL,
    positions INTEGER NOT NULL,
    PRIMARY KEY(level, day, played_octave, played_pitch)) WITHOUT ROWID;
CREATE TABLE confusions(
    level INTEGER NOT NULL,
    played_octave INTEGER NOT NULL,
    played_pitch INTEGER NOT NULL,
    answered_octave INTEGER NOT NULL,
    answered_pitch INTEGER NOT NULL,
    positions INTEGER NOT NULL,
    PRIMARY KEY(level, played_octave, played_pitch, answered_octave, answered_pitch))
    WITHOUT ROWID;
CREATE TABLE note_times(
    level INTEGER NOT NULL,
    played_octave INTEGER NOT NULL,
    played_pitch INTEGER NOT NULL,
    total_ms INTEGER NOT NULL,
    answers INTEGER NOT NULL,
    PRIMARY KEY(level, played_octave, played_pitch)) WITHOUT ROWID;

CREATE TRIGGER answers_total AFTER INSERT ON answers BEGIN
    INSERT INTO day_answers(level, day, answers, right, max_stage)
    VALUES(NEW.level, date(NEW.at_ms / 1000 + NEW.utc_offset, 'unixepoch'), 1, NEW.right,
           NEW.note_count)
    ON CONFLICT(level, day) DO UPDATE SET
        answers = answers + 1,
        right = right + excluded.right,
        max_stage = coalesce(max(max_stage, excluded.max_stage), max_stage, excluded.max_stage);
END;
CREATE TRIGGER notes_total AFTER INSERT ON answer_notes WHEN NEW.answered_octave IS NOT NULL
BEGIN
    INSERT INTO day_accuracy(level, day, played_octave, played_pitch, right, positions)
    SELECT a.level, date(a.at_ms / 1000 + a.utc_offset, 'unixepoch'), NEW.played_octave,
           NEW.played_pitch, NEW.answered_octave = NEW.played_octave
                             AND NEW.answered_pitch = NEW.played_pitch, 1
    FROM answers a WHERE a.id = NEW.answer_id
    ON CONFLICT(level, day, played_octave, played_pitch)
    DO UPDATE SET right = right + excluded.right, positions = positions + 1;
    INSERT INTO confusions(level, played_octave, played_pitch, answered_octave, answered_pitch,
                           positions)
    SELECT a.level, NEW.played_octave, NEW.played_pitch, NEW.answered_octave,
           NEW.answered_pitch, 1
    FROM answers a WHERE a.id = NEW.answer_id
    ON CONFLICT(level, played_octave, played_pitch, answered_octave, answered_pitch)
    DO UPDATE SET positions = positions + 1;
    INSERT INTO note_times(level, played_octave, played_pitch, total_ms, answers)
    SELECT a.level, NEW.played_octave, NEW.played_pitch, a.answer_ms, 1
    FROM answers a WHERE a.id = NEW.answer_id AND a.answer_ms IS NOT NULL
        AND NOT EXISTS (SELECT 1 FROM answer_notes n WHERE n.answer_id = NEW.answer_id
                        AND n.position < NEW.position AND n.answered_octave IS NOT NULL
                        AND n.played_octave = NEW.played_octave
                        AND n.played_pitch = NEW.played_pitch)
    ON CONFLICT(level, played_octave, played_pitch)
    DO UPDATE SET total_ms = total_ms + excluded.total_ms, answers = answers + 1;
END;

INSERT INTO day_answers
SELECT level, date(at_ms / 1000 + utc_offset, 'unixepoch'), count(*), sum(right), max(note_count)
FROM answers GROUP BY 1, 2;
INSERT INTO day_accuracy
SELECT a.level, date(a.at_ms / 1000 + a.utc_offset, 'unixepoch'), n.played_octave,
       n.played_pitch,
       sum(n.answered_octave = n.played_octave AND n.answered_pitch = n.played_pitch), count(*)
FROM answers a JOIN answer_notes n ON n.answer_id = a.id
WHERE n.answered_octave IS NOT NULL GROUP BY 1, 2, 3, 4;
INSERT INTO confusions
SELECT a.level, n.played_octave, n.played_pitch, n.answered_octave, n.answered_pitch, count(*)
FROM answers a JOIN answer_notes n ON n.answer_id = a.id
WHERE n.answered_octave IS NOT NULL GROUP BY 1, 2, 3, 4, 5;
INSERT INTO note_times
SELECT level, o, p, sum(ms), count(*) FROM (
    SELECT DISTINCT a.id, a.level, a.answer_ms AS ms, n.played_octave AS o, n.played_pitch AS p
    FROM answers a JOIN answer_notes n ON n.answer_id = a.id
    WHERE n.answered_octave IS NOT NULL AND a.answer_ms IS NOT NULL)
GROUP BY level, o, p;
)sql";

// Step n takes a file of layout n to layout n + 1; step 0 makes a new file.
const std::array<const char *, HistorySchema::CurrentVersion> Steps = {Version1, Version2};

} // namespace

int HistorySchema::version(sqlite3 *db, int *code)
{
    SqliteStatement query(db, "PRAGMA user_version");
    *code = query.step();
    if (*code != SQLITE_ROW)
        return -1;
    *code = SQLITE_OK;
    return int(query.integer(0));
}

// Read and changed in one write transaction: two programs opening a new file
// at once must not both create the tables.
HistorySchema::Result HistorySchema::upgrade(sqlite3 *db, int *code)
{
    const int found = version(db, code);
    if (found == CurrentVersion)
        return Result::Ready; // nothing to write: a read-only file still reads
    if (found > CurrentVersion)
        return Result::Newer;
    if (found < 0)
        return Result::Failed;
    *code = sqliteExec(db, "BEGIN IMMEDIATE");
    if (*code != SQLITE_OK)
        return Result::Failed;
    int from = version(db, code);
    if (from < 0 || from > CurrentVersion) {
        sqliteExec(db, "ROLLBACK");
        return from < 0 ? Result::Failed : Result::Newer;
    }
    for (; from < CurrentVersion; ++from) {
        *code = sqliteExec(db, Steps[std::size_t(from)]);
        if (*code != SQLITE_OK) {
            sqliteExec(db, "ROLLBACK");
            return Result::Failed;
        }
    }
    const QByteArray set = "PRAGMA user_version = " + QByteArray::number(CurrentVersion);
    *code = sqliteExec(db, set.constData());
    if (*code == SQLITE_OK)
        *code = sqliteExec(db, "COMMIT");
    if (*code != SQLITE_OK) {
        sqliteExec(db, "ROLLBACK");
        return Result::Failed;
    }
    return Result::Ready;
}

} // namespace nk
