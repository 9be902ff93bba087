#include "history/historyreader.h"

#include "course/timbre.h"
#include "history/sqlitestatement.h"

#include <QDateTime>
#include <QIODevice>
#include <QMap>
#include <QStringList>
#include <algorithm>
#include <sqlite3.h>

namespace nk {

namespace {

// Every figure is a sum over the running totals the store keeps per level and
// learner's day (see the layout), never a pass over all the answers.
QByteArray levelFilter(const char *keyword, int level)
{
    return level > 0 ? QByteArray(" ") + keyword + " level = " + QByteArray::number(level)
                     : QByteArray();
}

HistoryNote noteAt(const SqliteStatement &row, int column)
{
    return {qint32(row.integer(column)), quint8(row.integer(column + 1))};
}

// Runs a query and hands every row to `take`; SQLITE_OK when all were read.
template <typename Take> int eachRow(sqlite3 *db, const QByteArray &sql, Take take)
{
    SqliteStatement query(db, sql.constData());
    int code = query.step();
    for (; code == SQLITE_ROW; code = query.step())
        take(query);
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

int readLevels(sqlite3 *db, int level, HistorySummary &s)
{
    const QByteArray sql = "SELECT level, sum(right), sum(answers) FROM day_answers" +
                           levelFilter("WHERE", level) + " GROUP BY level ORDER BY level";
    return eachRow(db, sql, [&s](const SqliteStatement &row) {
        const HistorySummary::LevelAccuracy entry{int(row.integer(0)), int(row.integer(1)),
                                                  int(row.integer(2))};
        s.levels.append(entry);
        s.answers += entry.total;
        s.rightAnswers += entry.right;
    });
}

int readConfusions(sqlite3 *db, int level, HistorySummary &s)
{
    const QByteArray sql = "SELECT played_octave, played_pitch, answered_octave, answered_pitch,"
                           " sum(positions) FROM confusions" +
                           levelFilter("WHERE", level) + " GROUP BY 1, 2, 3, 4 ORDER BY 1, 2, 3, 4";
    return eachRow(db, sql, [&s](const SqliteStatement &row) {
        s.confusions.append({noteAt(row, 0), noteAt(row, 2), int(row.integer(4))});
    });
}

int readAccuracy(sqlite3 *db, int level, HistorySummary &s)
{
    const QByteArray sql = "SELECT day, played_octave, played_pitch, sum(right), sum(positions)"
                           " FROM day_accuracy" +
                           levelFilter("WHERE", level) + " GROUP BY 1, 2, 3 ORDER BY 1, 2, 3";
    return eachRow(db, sql, [&s](const SqliteStatement &row) {
        s.accuracy.append({QDate::fromString(row.text(0), Qt::ISODate), noteAt(row, 1),
                           int(row.integer(3)), int(row.integer(4))});
    });
}

int readStages(sqlite3 *db, int level, HistorySummary &s)
{
    const QByteArray sql = "SELECT day, max(max_stage) FROM day_answers"
                           " WHERE max_stage IS NOT NULL" +
                           levelFilter("AND", level) + " GROUP BY 1 ORDER BY 1";
    return eachRow(db, sql, [&s](const SqliteStatement &row) {
        s.stages.append({QDate::fromString(row.text(0), Qt::ISODate), int(row.integer(1))});
    });
}

int readTimes(sqlite3 *db, int level, HistorySummary &s)
{
    const QByteArray sql = "SELECT played_octave, played_pitch, CAST(sum(total_ms) AS REAL) /"
                           " sum(answers), sum(answers) FROM note_times" +
                           levelFilter("WHERE", level) + " GROUP BY 1, 2 ORDER BY 1, 2";
    return eachRow(db, sql, [&s](const SqliteStatement &row) {
        s.times.append({noteAt(row, 0), row.real(2), int(row.integer(3))});
    });
}

int readTimbres(sqlite3 *db, int level, HistorySummary &s)
{
    const QByteArray sql = "SELECT timbre, sum(right), sum(answers) FROM timbre_answers" +
                           levelFilter("WHERE", level) + " GROUP BY 1 ORDER BY 1";
    return eachRow(db, sql, [&s](const SqliteStatement &row) {
        s.timbres.append({row.text(0), int(row.integer(1)), int(row.integer(2))});
    });
}

bool before(const HistoryNote &a, const HistoryNote &b)
{
    return a.Octave != b.Octave ? a.Octave < b.Octave : a.Pitch < b.Pitch;
}

} // namespace

int HistoryReader::read(sqlite3 *db, int level, HistorySummary &summary)
{
    int code = sqliteExec(db, "BEGIN");
    for (auto part :
         {readLevels, readConfusions, readAccuracy, readStages, readTimes, readTimbres}) {
        if (code == SQLITE_OK)
            code = part(db, level, summary);
    }
    sqliteExec(db, code == SQLITE_OK ? "COMMIT" : "ROLLBACK");
    summary.mostConfused = mostConfused(summary.confusions);
    return code;
}

// The level's one-note answers newest first, along the index of the level's
// answers by time, until every note asked for has its share: a long history
// of one level is never read whole for a few notes.
// The notes of these that were ever played on the level, from its running totals:
// one never played would otherwise have the whole level read in search of it.
static QList<HistoryNote> everPlayed(sqlite3 *db, int level, const QList<HistoryNote> &notes)
{
    SqliteStatement query(db, "SELECT DISTINCT played_octave, played_pitch FROM confusions"
                              " WHERE level = ?1 AND positions > 0");
    query.bind(1, qint64(level));
    QList<HistoryNote> played;
    while (query.step() == SQLITE_ROW) {
        const HistoryNote note = noteAt(query, 0);
        if (notes.contains(note))
            played.append(note);
    }
    return played;
}

int HistoryReader::readNoteRecords(sqlite3 *db, int level, int perNote,
                                   const QList<HistoryNote> &requested, QList<NoteRecord> &records)
{
    const QList<HistoryNote> notes =
        requested.isEmpty() ? requested : everPlayed(db, level, requested);
    if (!requested.isEmpty() && notes.isEmpty()) {
        records.clear();
        return SQLITE_OK;
    }
    SqliteStatement query(
        db,
        "SELECT n.played_octave, n.played_pitch,"
        " n.answered_octave = n.played_octave AND n.answered_pitch = n.played_pitch, a.answer_ms"
        " FROM answers a JOIN answer_notes n ON n.answer_id = a.id AND n.position = 1"
        " WHERE a.level = ?1 AND a.kind IN (1, 7) AND n.answered_octave IS NOT NULL"
        " AND NOT EXISTS (SELECT 1 FROM answer_notes m"
        "                 WHERE m.answer_id = a.id AND m.position = 2)"
        " ORDER BY a.at_ms DESC");
    query.bind(1, qint64(level));
    QMap<int, NoteRecord> byNote; // octave * 16 + pitch
    qsizetype full = 0;
    int code = query.step();
    for (; code == SQLITE_ROW && (notes.isEmpty() || full < notes.size()); code = query.step()) {
        const HistoryNote note = noteAt(query, 0);
        NoteRecord &record = byNote[note.Octave * 16 + note.Pitch];
        record.note = note;
        if (record.answers.size() >= perNote)
            continue;
        record.answers.append({query.integer(2) != 0, query.isNull(3) ? -1 : query.integer(3)});
        if (record.answers.size() == perNote && notes.contains(note))
            ++full;
    }
    records = byNote.values();
    return code == SQLITE_DONE || code == SQLITE_ROW ? SQLITE_OK : code;
}

QList<HistorySummary::ConfusedPair>
HistoryReader::mostConfused(const QList<HistorySummary::Confusion> &confusions)
{
    using Pair = HistorySummary::ConfusedPair;
    auto key = [](const HistoryNote &n) { return n.Octave * 16 + n.Pitch; };
    QMap<int, int> played; // positions where a note was played
    QMap<QPair<int, int>, Pair> pairs;
    for (const HistorySummary::Confusion &c : confusions) {
        played[key(c.played)] += c.count;
        if (c.played == c.answered)
            continue;
        const bool ordered = before(c.played, c.answered);
        const HistoryNote a = ordered ? c.played : c.answered;
        const HistoryNote b = ordered ? c.answered : c.played;
        Pair &pair = pairs[{key(a), key(b)}];
        pair.a = a;
        pair.b = b;
        pair.confused += c.count;
    }
    QList<Pair> list;
    for (Pair pair : pairs) {
        pair.outOf = played.value(key(pair.a)) + played.value(key(pair.b));
        list.append(pair);
    }
    // The most confusions first; of equals, the larger share, then the lower notes.
    std::stable_sort(list.begin(), list.end(), [](const Pair &x, const Pair &y) {
        if (x.confused != y.confused)
            return x.confused > y.confused;
        return qint64(x.confused) * y.outOf > qint64(y.confused) * x.outOf;
    });
    return list.mid(0, 3);
}

QString HistoryReader::kindName(int kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("тренировка");
    case 2:
        return QStringLiteral("повтор после сравнения");
    case 3:
        return QStringLiteral("мелодия");
    case 4:
        return QStringLiteral("аккорды на чёрных и белых");
    case 5:
        return QStringLiteral("мелодии на чёрных и белых");
    case 6:
        return QStringLiteral("ноты на чёрных и белых");
    case 7:
        return QStringLiteral("работа над ошибками");
    default:
        return QString::number(kind);
    }
}

namespace {

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString optionalNumber(const SqliteStatement &row, int column)
{
    return row.isNull(column) ? QString() : QString::number(row.integer(column));
}

QString choiceName(const SqliteStatement &row, int column)
{
    if (row.isNull(column))
        return QString();
    return row.integer(column) == 1 ? QStringLiteral("первыми чёрные")
                                    : QStringLiteral("первыми белые");
}

// An answer's notes as the course files write keys: octave digit, then the
// pitch number (510 is ЛЯ# of the first octave).
struct NoteColumns
{
    QStringList played;
    QStringList answered;
};

QString token(const SqliteStatement &row, int column)
{
    return QString::number(row.integer(column)) + QString::number(row.integer(column + 1));
}

// The pitch tests' trials as rows of the export, after the answers: no
// level, the exercise "проверка слуха", the answer in the octave heard.
int writeTrialsCsv(sqlite3 *db, QIODevice &out)
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
            optionalNumber(query, 6),
            QStringLiteral("1"),
            QString(),
            QString::number(query.integer(1) / 60),
            csvField(Timbre::nameOf(query.text(4)))};
        if (out.write((row.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8()) < 0)
            return SQLITE_IOERR;
    }
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

} // namespace

bool HistoryReader::writeHeader(QIODevice &out)
{
    const QStringList header = {QStringLiteral("время (UTC)"),
                                QStringLiteral("уровень"),
                                QStringLiteral("упражнение"),
                                QStringLiteral("верно"),
                                QStringLiteral("сыграно"),
                                QStringLiteral("отвечено"),
                                QStringLiteral("время ответа, мс"),
                                QStringLiteral("нот в вопросе"),
                                QStringLiteral("выбор"),
                                QStringLiteral("смещение от UTC, мин"),
                                QStringLiteral("тембр")};
    QStringList fields;
    for (const QString &name : header)
        fields.append(csvField(name));
    return out.write((fields.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8()) >= 0;
}

int HistoryReader::writeCsv(sqlite3 *db, QIODevice &out)
{
    int code = sqliteExec(db, "BEGIN");
    // Newer columns come last, so readers of the older ones find them where they were.
    SqliteStatement answers(db, "SELECT id, at_ms, level, kind, right, answer_ms, note_count,"
                                " choice, utc_offset, timbre FROM answers ORDER BY id");
    SqliteStatement notes(db, "SELECT answer_id, played_octave, played_pitch, answered_octave,"
                              " answered_pitch FROM answer_notes ORDER BY answer_id, position");
    if (code == SQLITE_OK && !writeHeader(out))
        code = SQLITE_IOERR;
    int noteCode = code == SQLITE_OK ? notes.step() : code;
    int answerCode = code == SQLITE_OK ? answers.step() : code;
    for (; answerCode == SQLITE_ROW && code == SQLITE_OK; answerCode = answers.step()) {
        const qint64 id = answers.integer(0);
        NoteColumns columns;
        for (; noteCode == SQLITE_ROW && notes.integer(0) <= id; noteCode = notes.step()) {
            if (notes.integer(0) < id)
                continue;
            columns.played.append(token(notes, 1));
            if (!notes.isNull(3))
                columns.answered.append(token(notes, 3));
        }
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(answers.integer(1), Qt::UTC);
        const QStringList row = {at.toString(Qt::ISODateWithMs),
                                 QString::number(answers.integer(2)),
                                 csvField(kindName(int(answers.integer(3)))),
                                 answers.integer(4) ? QStringLiteral("да") : QStringLiteral("нет"),
                                 columns.played.join(QLatin1Char(' ')),
                                 columns.answered.join(QLatin1Char(' ')),
                                 optionalNumber(answers, 5),
                                 optionalNumber(answers, 6),
                                 choiceName(answers, 7),
                                 QString::number(answers.integer(8) / 60),
                                 csvField(Timbre::nameOf(answers.text(9)))};
        if (out.write((row.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8()) < 0)
            code = SQLITE_IOERR;
    }
    if (code == SQLITE_OK && answerCode != SQLITE_DONE)
        code = answerCode;
    if (code == SQLITE_OK && noteCode != SQLITE_DONE && noteCode != SQLITE_ROW)
        code = noteCode;
    if (code == SQLITE_OK)
        code = writeTrialsCsv(db, out);
    sqliteExec(db, "COMMIT");
    return code;
}

} // namespace nk
