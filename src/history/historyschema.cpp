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

// Layout 3: an answer's id is never given again, so a row deleted by hand
// cannot leave notes for the next answer to collide with; deleting keeps the
// totals; and a note's answer time counts only from answers of that one
// note, the time being written after the notes so the trigger can count them.
// Run with foreign keys off: dropping the old table must not take the notes.
const char *const Version3 = R"sql(
DROP TRIGGER notes_total;
CREATE TABLE answers_v3(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL,
    level INTEGER NOT NULL,
    kind INTEGER NOT NULL,
    right INTEGER NOT NULL,
    answer_ms INTEGER,
    note_count INTEGER,
    choice INTEGER);
INSERT INTO answers_v3 SELECT id, at_ms, utc_offset, level, kind, right, answer_ms, note_count,
    choice FROM answers;
DROP TABLE answers;
ALTER TABLE answers_v3 RENAME TO answers;
CREATE INDEX answers_by_level ON answers(level, at_ms);

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
END;
CREATE TRIGGER answer_time AFTER UPDATE OF answer_ms ON answers
WHEN OLD.answer_ms IS NULL AND NEW.answer_ms IS NOT NULL
    AND (SELECT count(*) FROM answer_notes WHERE answer_id = NEW.id) = 1
BEGIN
    INSERT INTO note_times(level, played_octave, played_pitch, total_ms, answers)
    SELECT NEW.level, n.played_octave, n.played_pitch, NEW.answer_ms, 1
    FROM answer_notes n WHERE n.answer_id = NEW.id AND n.answered_octave IS NOT NULL
    ON CONFLICT(level, played_octave, played_pitch)
    DO UPDATE SET total_ms = total_ms + excluded.total_ms, answers = answers + 1;
END;
CREATE TRIGGER answer_removed BEFORE DELETE ON answers BEGIN
    UPDATE note_times SET total_ms = total_ms - OLD.answer_ms, answers = answers - 1
    WHERE OLD.answer_ms IS NOT NULL AND level = OLD.level
        AND (played_octave, played_pitch) = (SELECT played_octave, played_pitch
                                             FROM answer_notes WHERE answer_id = OLD.id
                                             AND answered_octave IS NOT NULL)
        AND (SELECT count(*) FROM answer_notes WHERE answer_id = OLD.id) = 1;
    DELETE FROM note_times WHERE answers <= 0;
    DELETE FROM answer_notes WHERE answer_id = OLD.id;
    UPDATE day_answers SET answers = answers - 1, right = right - OLD.right,
        max_stage = (SELECT max(note_count) FROM answers a WHERE a.level = OLD.level
                     AND a.id <> OLD.id
                     AND date(a.at_ms / 1000 + a.utc_offset, 'unixepoch') = day)
    WHERE level = OLD.level AND day = date(OLD.at_ms / 1000 + OLD.utc_offset, 'unixepoch');
    DELETE FROM day_answers WHERE answers <= 0;
END;
CREATE TRIGGER note_removed AFTER DELETE ON answer_notes WHEN OLD.answered_octave IS NOT NULL
BEGIN
    UPDATE day_accuracy SET positions = positions - 1,
        right = right - (OLD.answered_octave = OLD.played_octave
                         AND OLD.answered_pitch = OLD.played_pitch)
    WHERE (level, day) = (SELECT a.level, date(a.at_ms / 1000 + a.utc_offset, 'unixepoch')
                          FROM answers a WHERE a.id = OLD.answer_id)
        AND played_octave = OLD.played_octave AND played_pitch = OLD.played_pitch;
    DELETE FROM day_accuracy WHERE positions <= 0;
    UPDATE confusions SET positions = positions - 1
    WHERE level = (SELECT level FROM answers WHERE id = OLD.answer_id)
        AND played_octave = OLD.played_octave AND played_pitch = OLD.played_pitch
        AND answered_octave = OLD.answered_octave AND answered_pitch = OLD.answered_pitch;
    DELETE FROM confusions WHERE positions <= 0;
END;
)sql";

// Layout 4: the timbre an answer was played in, by folder, with running
// totals per level and timbre. Answers of older files were all played in the
// course's first timbre.
const char *const Version4 = R"sql(
ALTER TABLE answers ADD COLUMN timbre TEXT NOT NULL DEFAULT 'piano';
CREATE TABLE timbre_answers(
    level INTEGER NOT NULL,
    timbre TEXT NOT NULL,
    answers INTEGER NOT NULL,
    right INTEGER NOT NULL,
    PRIMARY KEY(level, timbre)) WITHOUT ROWID;
CREATE TRIGGER timbre_total AFTER INSERT ON answers BEGIN
    INSERT INTO timbre_answers(level, timbre, answers, right)
    VALUES(NEW.level, NEW.timbre, 1, NEW.right)
    ON CONFLICT(level, timbre) DO UPDATE SET
        answers = answers + 1, right = right + excluded.right;
END;
CREATE TRIGGER timbre_removed BEFORE DELETE ON answers BEGIN
    UPDATE timbre_answers SET answers = answers - 1, right = right - OLD.right
    WHERE level = OLD.level AND timbre = OLD.timbre;
    DELETE FROM timbre_answers WHERE answers <= 0;
END;
)sql";

// Layout 5: the pitch tests, apart from the answers so that no level's or the
// course's figures count them: every trial answered, and one row for each
// test finished.
const char *const Version5 = R"sql(
CREATE TABLE pitch_trials(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL,
    sitting INTEGER NOT NULL,
    octave INTEGER NOT NULL,
    pitch INTEGER NOT NULL,
    timbre TEXT NOT NULL,
    answered INTEGER NOT NULL,
    answer_ms INTEGER);
CREATE TABLE pitch_tests(
    sitting INTEGER PRIMARY KEY,
    at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL,
    trials INTEGER NOT NULL,
    right INTEGER NOT NULL,
    mean_error_tenths INTEGER NOT NULL,
    one_off INTEGER NOT NULL,
    fast_right INTEGER NOT NULL);
)sql";

// The totals worked out afresh from the answers, after notes left without
// their answer are dropped: for a file edited by hand.
const char *const RebuildTotals = R"sql(
DELETE FROM answer_notes WHERE answer_id NOT IN (SELECT id FROM answers);
DELETE FROM day_answers;
DELETE FROM day_accuracy;
DELETE FROM confusions;
DELETE FROM note_times;
DELETE FROM timbre_answers;
INSERT INTO timbre_answers SELECT level, timbre, count(*), sum(right) FROM answers GROUP BY 1, 2;
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
SELECT a.level, n.played_octave, n.played_pitch, sum(a.answer_ms), count(*)
FROM answers a JOIN answer_notes n ON n.answer_id = a.id
WHERE n.answered_octave IS NOT NULL AND a.answer_ms IS NOT NULL
    AND (SELECT count(*) FROM answer_notes o WHERE o.answer_id = a.id) = 1
GROUP BY 1, 2, 3;
)sql";

// Whether the totals still add up to the rows: counts of answers, answered
// notes and timed one-note answers, and no notes without their answer.
const char *const TotalsAgree = R"sql(
SELECT (SELECT coalesce(sum(answers), 0) FROM day_answers) = (SELECT count(*) FROM answers)
   AND (SELECT coalesce(sum(positions), 0) FROM confusions)
       = (SELECT count(*) FROM answer_notes n JOIN answers a ON a.id = n.answer_id
          WHERE n.answered_octave IS NOT NULL)
   AND (SELECT coalesce(sum(positions), 0) FROM day_accuracy)
       = (SELECT coalesce(sum(positions), 0) FROM confusions)
   AND (SELECT coalesce(sum(answers), 0) FROM note_times)
       = (SELECT count(*) FROM answers a WHERE a.answer_ms IS NOT NULL
          AND (SELECT count(*) FROM answer_notes n WHERE n.answer_id = a.id) = 1
          AND EXISTS (SELECT 1 FROM answer_notes n WHERE n.answer_id = a.id
                      AND n.answered_octave IS NOT NULL))
   AND NOT EXISTS (SELECT 1 FROM answer_notes WHERE answer_id NOT IN (SELECT id FROM answers))
   AND (SELECT coalesce(sum(answers), 0) FROM timbre_answers) = (SELECT count(*) FROM answers)
)sql";

// Step n takes a file of layout n to layout n + 1; step 0 makes a new file.
const std::array<const char *, HistorySchema::CurrentVersion> Steps = {Version1, Version2, Version3,
                                                                       Version4, Version5};

int runSteps(sqlite3 *db, int from)
{
    for (; from < HistorySchema::CurrentVersion; ++from) {
        if (const int code = sqliteExec(db, Steps[std::size_t(from)]); code != SQLITE_OK)
            return code;
    }
    // Layout 3 counts note times in another way, and layout 4 adds totals:
    // the older totals are redone.
    return sqliteExec(db, RebuildTotals);
}

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
    *code = runSteps(db, from);
    if (*code != SQLITE_OK) {
        sqliteExec(db, "ROLLBACK");
        return Result::Failed;
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

// Cheap beside a session's answers, and done once a run: a file edited by
// hand gets its figures back.
int HistorySchema::repairTotals(sqlite3 *db)
{
    SqliteStatement agree(db, TotalsAgree);
    int code = agree.step();
    if (code != SQLITE_ROW)
        return code;
    const bool fine = agree.integer(0) != 0;
    agree.reset();
    if (fine)
        return SQLITE_OK;
    code = sqliteExec(db, "BEGIN IMMEDIATE");
    if (code == SQLITE_OK)
        code = sqliteExec(db, RebuildTotals);
    if (code == SQLITE_OK)
        code = sqliteExec(db, "COMMIT");
    if (code != SQLITE_OK)
        sqliteExec(db, "ROLLBACK");
    return code;
}

} // namespace nk
