#include "history/historystore.h"

#include "course/basepath.h"
#include "course/programclock.h"
#include "course/writefailure.h"
#include "history/historyreader.h"
#include "history/historyschema.h"
#include "history/logging.h"
#include "history/sqlitestatement.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace nk {

namespace {

// A write waits this long for another program's transaction before the
// answer is given up: the learner must never wait for the history.
constexpr int BusyTimeoutMs = 100;

const char *const InsertAnswer =
    "INSERT INTO answers(at_ms, utc_offset, level, kind, right, answer_ms, note_count, choice,"
    " timbre) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)";
const char *const SetAnswerTime = "UPDATE answers SET answer_ms = ?1 WHERE id = ?2";
const char *const InsertNote =
    "INSERT INTO answer_notes(answer_id, position, played_octave, played_pitch,"
    " answered_octave, answered_pitch) VALUES(?1, ?2, ?3, ?4, ?5, ?6)";
const char *const InsertRepetition =
    "INSERT INTO repetitions(at_ms, utc_offset, level, octave, pitch, seconds)"
    " VALUES(?1, ?2, ?3, ?4, ?5, ?6)";
const char *const InsertRest =
    "INSERT INTO rests(at_ms, utc_offset, level, kind) VALUES(?1, ?2, ?3, ?4)";

void bindTime(SqliteStatement &insert, const QDateTime &at)
{
    insert.bind(1, at.toMSecsSinceEpoch());
    insert.bind(2, qint64(at.offsetFromUtc()));
}

bool isBroken(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool isBusy(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

int insertNotes(sqlite3 *db, qint64 id, const HistoryAnswer &answer)
{
    SqliteStatement insert(db, InsertNote);
    for (qsizetype i = 0; i < answer.played.size(); ++i) {
        insert.reset();
        insert.bind(1, id);
        insert.bind(2, qint64(i + 1));
        insert.bind(3, qint64(answer.played[i].Octave));
        insert.bind(4, qint64(answer.played[i].Pitch));
        if (i < answer.answered.size()) {
            insert.bind(5, qint64(answer.answered[i].Octave));
            insert.bind(6, qint64(answer.answered[i].Pitch));
        }
        if (const int code = insert.finish(); code != SQLITE_OK)
            return code;
    }
    return insert.ok() || answer.played.isEmpty() ? SQLITE_OK : insert.prepareCode();
}

int insertAnswer(sqlite3 *db, const HistoryAnswer &answer)
{
    SqliteStatement insert(db, InsertAnswer);
    bindTime(insert, answer.at);
    insert.bind(3, qint64(answer.level));
    insert.bind(4, qint64(answer.kind));
    insert.bind(5, qint64(answer.right ? 1 : 0));
    insert.bindNull(6); // the time follows the notes, see below
    insert.bindOptional(7, answer.noteCount > 0 ? answer.noteCount : -1);
    insert.bindOptional(8, answer.choice > 0 ? answer.choice : -1);
    insert.bind(9, answer.timbre);
    if (const int code = insert.finish(); code != SQLITE_OK)
        return code;
    const qint64 id = sqlite3_last_insert_rowid(db);
    if (const int code = insertNotes(db, id, answer); code != SQLITE_OK || answer.answerMs < 0)
        return code;
    // Written once the notes are in: the file counts a note's time only
    // from an answer of that one note.
    SqliteStatement time(db, SetAnswerTime);
    time.bind(1, answer.answerMs);
    time.bind(2, id);
    return time.finish();
}

} // namespace

HistoryStore::HistoryStore(const BasePath &base) : HistoryStore(fileIn(base)) {}

HistoryStore::HistoryStore(QString file) : m_path(std::move(file)) {}

HistoryStore::~HistoryStore()
{
    close();
}

QString HistoryStore::fileIn(const BasePath &base)
{
    return base.folder() + QStringLiteral("/levels/history.db");
}

void HistoryStore::close() const
{
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

// WAL keeps a killed program from ever breaking the file, and with it the
// NORMAL setting loses no committed answer to a crash of the program: only a
// power cut can take the last few, never the file. A newer program's file is
// not switched to WAL either: it is left byte for byte.
int HistoryStore::connect() const
{
    const QString file = m_readOnly ? readableCopy() : m_path;
    if (file.isEmpty())
        return SQLITE_CANTOPEN;
    int code =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db,
                        SQLITE_OPEN_READWRITE | (m_readOnly ? 0 : SQLITE_OPEN_CREATE), nullptr);
    if (code == SQLITE_OK) {
        sqlite3_busy_timeout(m_db, BusyTimeoutMs);
        if (HistorySchema::version(m_db, &code) > HistorySchema::CurrentVersion) {
            close();
            m_newer = true;
            return SQLITE_OK;
        }
    }
    if (code == SQLITE_OK)
        code = sqliteExec(m_db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
    HistorySchema::Result schema = HistorySchema::Result::Failed;
    if (code == SQLITE_OK)
        schema = HistorySchema::upgrade(m_db, &code);
    if (schema == HistorySchema::Result::Ready) {
        code = sqliteExec(m_db, "PRAGMA foreign_keys = ON");
        if (code == SQLITE_OK)
            code = HistorySchema::repairTotals(m_db);
        if (code == SQLITE_OK)
            return SQLITE_OK;
    }
    close();
    if (schema == HistorySchema::Result::Newer) {
        m_newer = true;
        return SQLITE_OK;
    }
    return code == SQLITE_OK ? SQLITE_ERROR : code;
}

// Opened at the first use, so a start never waits for it, and a file that is
// locked or unwritable now is tried again at the next answer.
bool HistoryStore::open(const char *doing) const
{
    for (int attempt = 0; attempt < 2 && !m_db && !m_newer; ++attempt) {
        const int code = connect();
        if (m_newer) {
            m_newerNote = QStringLiteral("История ответов записана более новой версией программы: "
                                         "эта версия её не показывает и не дополняет.");
            qCWarning(lcHistory) << m_path << "has a newer layout; left as it is";
            tell(m_newerNote);
        } else if (code != SQLITE_OK && !(attempt == 0 && isBroken(code) && moveAside())) {
            failed(code, doing);
            return false;
        }
    }
    return m_db != nullptr;
}

// The file and what SQLite keeps beside it, copied together: reading the
// copy, even bringing it to this layout, leaves the learner's file untouched.
QString HistoryStore::readableCopy() const
{
    if (!m_copy) {
        auto folder = std::make_unique<QTemporaryDir>();
        const QString copy = folder->filePath(QStringLiteral("history.db"));
        bool copied = folder->isValid() && QFile::copy(m_path, copy);
        if (copied && QFileInfo::exists(m_path + u"-wal"))
            copied = QFile::copy(m_path + u"-wal", copy + u"-wal");
        if (!copied) {
            qCWarning(lcHistory) << "history" << m_path << "could not be copied for reading";
            return {};
        }
        m_copy = std::move(folder);
    }
    return m_copy->filePath(QStringLiteral("history.db"));
}

// Renamed, never deleted: the learner's answers may still be read out of it.
// What SQLite keeps beside the file goes first: should the program be killed
// between the renames, a fresh file never meets the old file's journal.
bool HistoryStore::moveAside() const
{
    if (m_readOnly)
        return false;
    close();
    const QString stem =
        m_path + QStringLiteral(".broken-") + ProgramClock::now().toString(u"yyyy-MM-dd");
    QString target = stem;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo::exists(target + u"-wal"); ++n)
        target = stem + QLatin1Char('-') + QString::number(n);
    const QLatin1String beside[] = {QLatin1String("-wal"), QLatin1String("-shm")};
    for (const QLatin1String suffix : beside) {
        if (QFileInfo::exists(m_path + suffix))
            QFile::rename(m_path + suffix, target + suffix);
    }
    if (!QFile::rename(m_path, target)) {
        for (const QLatin1String suffix : beside) {
            if (QFileInfo::exists(target + suffix))
                QFile::rename(target + suffix, m_path + suffix);
        }
        qCWarning(lcHistory) << "broken history" << m_path << "could not be moved aside";
        return false;
    }
    const QString name = QFileInfo(target).fileName();
    m_brokenNote = QStringLiteral("История ответов была повреждена: она сохранена как ") + name +
                   QStringLiteral(", начата новая.");
    qCWarning(lcHistory) << "broken history moved aside as" << target;
    tell(m_brokenNote);
    return true;
}

QString HistoryStore::reason(int code) const
{
    const QString system = QString::fromUtf8(sqlite3_errstr(code));
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("её держит другая программа");
    case SQLITE_FULL:
        return QStringLiteral("на диске нет места");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("файл повреждён");
    default:
        break;
    }
    for (const QLatin1String suffix : {QLatin1String("-wal"), QLatin1String("-shm")}) {
        if (QFileInfo(m_path + suffix).isDir())
            return QStringLiteral("на месте её служебного файла ") +
                   QFileInfo(m_path + suffix).fileName() + QStringLiteral(" папка");
    }
    return WriteFailure::reason(m_path, system);
}

void HistoryStore::failed(int code, const char *doing) const
{
    const bool reading = m_readOnly || qstrcmp(doing, "read") == 0 || qstrcmp(doing, "export") == 0;
    // Kept apart: a failed write must not hide figures that read well.
    QString &problem = reading ? m_readProblem : m_writeProblem;
    problem = QStringLiteral("История ответов (levels/history.db) ") +
              (reading ? QStringLiteral("не читается: ") : QStringLiteral("не сохраняется: ")) +
              reason(code) + QLatin1Char('.');
    qCWarning(lcHistory) << "history" << doing << "failed:" << m_path << code
                         << sqlite3_errstr(code);
    tell(problem);
}

void HistoryStore::tell(const QString &problem) const
{
    if (m_told)
        return;
    m_told = true;
    if (m_message)
        m_message(problem);
}

// One transaction per event. A locked file keeps its connection for the next
// event; any other failure closes it, so the next event starts afresh.
bool HistoryStore::write(const std::function<int(sqlite3 *)> &rows)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open())
            return false;
        int code = sqliteExec(m_db, "BEGIN IMMEDIATE");
        if (code == SQLITE_OK)
            code = rows(m_db);
        if (code == SQLITE_OK)
            code = sqliteExec(m_db, "COMMIT");
        if (code == SQLITE_OK) {
            m_writeProblem.clear();
            return true;
        }
        sqliteExec(m_db, "ROLLBACK");
        if (attempt == 0 && isBroken(code) && moveAside())
            continue;
        failed(code, "write");
        if (!isBusy(code))
            close();
        return false;
    }
    return false;
}

bool HistoryStore::recordAnswer(const HistoryAnswer &answer)
{
    return write([&answer](sqlite3 *db) { return insertAnswer(db, answer); });
}

bool HistoryStore::recordRepetition(const QDateTime &at, int level, HistoryNote note,
                                    double seconds)
{
    return write([&](sqlite3 *db) {
        SqliteStatement insert(db, InsertRepetition);
        bindTime(insert, at);
        insert.bind(3, qint64(level));
        insert.bind(4, qint64(note.Octave));
        insert.bind(5, qint64(note.Pitch));
        insert.bind(6, seconds);
        return insert.finish();
    });
}

bool HistoryStore::recordRest(const QDateTime &at, int level, HistoryRest kind)
{
    return write([&](sqlite3 *db) {
        SqliteStatement insert(db, InsertRest);
        bindTime(insert, at);
        insert.bind(3, qint64(level));
        insert.bind(4, qint64(kind));
        return insert.finish();
    });
}

bool HistoryStore::recordPitchTrial(const PitchTrialRecord &trial)
{
    return write([&](sqlite3 *db) { return PitchTestHistory::insertTrial(db, trial); });
}

bool HistoryStore::recordPitchTest(const PitchTestRecord &test)
{
    return write([&](sqlite3 *db) { return PitchTestHistory::insertTest(db, test); });
}

QList<PitchTestRecord> HistoryStore::pitchTests() const
{
    QList<PitchTestRecord> tests;
    if (!open("read"))
        return tests;
    if (const int code = PitchTestHistory::readTests(m_db, tests); code != SQLITE_OK) {
        failed(code, "read");
        tests.clear();
    }
    return tests;
}

void HistoryStore::listenEnded()
{
    m_listenEndMs = ProgramClock::monotonicMs();
    m_lastKeyMs = -1;
}

void HistoryStore::answerKey()
{
    m_lastKeyMs = ProgramClock::monotonicMs();
}

// Longer than a minute, the learner was not answering but away, or the
// computer slept: such a time would only spoil the note's average.
qint64 HistoryStore::answerMs() const
{
    if (m_listenEndMs < 0 || m_lastKeyMs < m_listenEndMs)
        return -1;
    const qint64 ms = m_lastKeyMs - m_listenEndMs;
    return ms > LongestAnswerMs ? -1 : ms;
}

HistorySummary HistoryStore::summary(int level) const
{
    HistorySummary summary;
    summary.level = level;
    m_readProblem.clear();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open("read"))
            break;
        const int code = HistoryReader::read(m_db, level, summary);
        if (code == SQLITE_OK)
            break;
        summary = HistorySummary();
        summary.level = level;
        if (attempt == 0 && isBroken(code) && moveAside())
            continue;
        failed(code, "read");
        close();
        break;
    }
    summary.problem = m_newer ? m_newerNote : m_readProblem;
    summary.notice = m_writeProblem.isEmpty() ? m_brokenNote : m_writeProblem;
    return summary;
}

QList<NoteRecord> HistoryStore::noteRecords(int level, int perNote,
                                            const QList<HistoryNote> &notes) const
{
    QList<NoteRecord> records;
    if (!open())
        return records;
    const int code = HistoryReader::readNoteRecords(m_db, level, perNote, notes, records);
    if (code != SQLITE_OK) {
        records.clear();
        failed(code, "read");
    }
    return records;
}

bool HistoryStore::writeCsvHeader(QIODevice &out)
{
    return HistoryReader::writeHeader(out);
}

bool HistoryStore::writeCsv(QIODevice &out) const
{
    if (!open("export"))
        return false;
    const int code = HistoryReader::writeCsv(m_db, out);
    if (code != SQLITE_OK && code != SQLITE_IOERR)
        failed(code, "export");
    return code == SQLITE_OK;
}

QString HistoryStore::problem() const
{
    for (const QString *text : {&m_newerNote, &m_readProblem, &m_writeProblem, &m_brokenNote}) {
        if (!text->isEmpty())
            return *text;
    }
    return {};
}

} // namespace nk
