#include "history/pitchtesthistory.h"

#include "history/sqlitestatement.h"

#include <sqlite3.h>

namespace nk {

namespace {

const char *const InsertTrial =
    "INSERT INTO pitch_trials(at_ms, utc_offset, sitting, octave, pitch, timbre, answered,"
    " answer_ms) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
const char *const InsertTest =
    "INSERT OR REPLACE INTO pitch_tests(at_ms, utc_offset, sitting, trials, right,"
    " mean_error_tenths, one_off, fast_right) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";

void bindTime(SqliteStatement &insert, const QDateTime &at, qint64 sitting)
{
    insert.bind(1, at.toMSecsSinceEpoch());
    insert.bind(2, qint64(at.offsetFromUtc()));
    insert.bind(3, sitting);
}

QDateTime localTime(qint64 ms, qint64 offsetSeconds)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, int(offsetSeconds));
}

} // namespace

int PitchTestHistory::insertTrial(sqlite3 *db, const PitchTrialRecord &trial)
{
    SqliteStatement insert(db, InsertTrial);
    bindTime(insert, trial.at, trial.sitting);
    insert.bind(4, qint64(trial.octave));
    insert.bind(5, qint64(trial.pitch));
    insert.bind(6, trial.timbre);
    insert.bind(7, qint64(trial.answered));
    insert.bindOptional(8, trial.answerMs);
    return insert.finish();
}

int PitchTestHistory::insertTest(sqlite3 *db, const PitchTestRecord &test)
{
    SqliteStatement insert(db, InsertTest);
    bindTime(insert, test.at, test.sitting);
    insert.bind(4, qint64(test.trials));
    insert.bind(5, qint64(test.right));
    insert.bind(6, qint64(test.meanErrorTenths));
    insert.bind(7, qint64(test.oneOff));
    insert.bind(8, qint64(test.fastRight));
    return insert.finish();
}

int PitchTestHistory::readTests(sqlite3 *db, QList<PitchTestRecord> &tests)
{
    SqliteStatement query(db, "SELECT sitting, at_ms, utc_offset, trials, right,"
                              " mean_error_tenths, one_off, fast_right FROM pitch_tests"
                              " ORDER BY at_ms");
    int code = query.step();
    for (; code == SQLITE_ROW; code = query.step()) {
        tests.append({query.integer(0), localTime(query.integer(1), query.integer(2)),
                      int(query.integer(3)), int(query.integer(4)), int(query.integer(5)),
                      int(query.integer(6)), int(query.integer(7))});
    }
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

} // namespace nk
