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

// Step n takes a file of layout n to layout n + 1; step 0 makes a new file.
const std::array<const char *, HistorySchema::CurrentVersion> Steps = {Version1};

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
