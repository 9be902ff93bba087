#include "history/pitchtesthistory.h"

#include "course/timbre.h"
#include "history/sqlitestatement.h"

#include <QIODevice>
#include <sqlite3.h>

namespace nk {

namespace {

const char *const InsertTrial =
    "INSERT INTO pitch_trials(at_ms, utc_offset, sitting, octave, pitch, timbre, answered,"
    " answer_ms) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
const char *const InsertTest =
    "INSERT OR REPLACE INTO pitch_tests(at_ms, utc_offset, sitting, trials, right,"
    " mean_error_tenths, one_off, fast_right) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";

int finish(SqliteStatement &statement)
{
    const int code = statement.step();
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

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
    return finish(insert);
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
    return finish(insert);
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

int PitchTestHistory::writeTrialsCsv(sqlite3 *db, QIODevice &out)
{
    SqliteStatement query(db, "SELECT at_ms, utc_offset, octave, pitch, timbre, answered,"
                              " answer_ms FROM pitch_trials ORDER BY id");
    int code = query.step();
    for (; code == SQLITE_ROW; code = query.step()) {
        const QString octave = QString::number(query.integer(2));
        const qint64 pitch = query.integer(3);
        const qint64 answered = query.integer(5);
        const QStringList row = {
            QDateTime::fromMSecsSinceEpoch(query.integer(0), Qt::UTC).toString(Qt::ISODateWithMs),
            QString(),
            QStringLiteral("проверка слуха"),
            answered == pitch ? QStringLiteral("да") : QStringLiteral("нет"),
            octave + QString::number(pitch),
            answered >= 0 ? octave + QString::number(answered) : QString(),
            query.isNull(6) ? QString() : QString::number(query.integer(6)),
            QStringLiteral("1"),
            QString(),
            QString::number(query.integer(1) / 60),
            Timbre::nameOf(query.text(4))};
        if (out.write((row.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8()) < 0)
            return SQLITE_IOERR;
    }
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

} // namespace nk
