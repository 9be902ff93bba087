#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace nk {

// One prepared statement of the history database, finalized with its scope.
// Every call keeps SQLite's own result code, so the store can tell a locked
// file from a full disk or a broken one.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const char *sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    int prepareCode() const { return m_code; }
    bool ok() const { return m_statement != nullptr; }

    void bind(int index, qint64 value);
    void bindNull(int index);
    void bind(int index, double value);
    void bind(int index, const QString &text); // as UTF-8
    // Optional numbers are stored as NULL when absent (negative).
    void bindOptional(int index, qint64 value);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // A statement without results, stepped once: SQLITE_OK when it is done.
    int finish();
    void reset();

    qint64 integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;
    QString text(int column) const;

private:
    sqlite3_stmt *m_statement = nullptr;
    int m_code = 0;
};

// Runs statements without results; returns SQLite's result code.
int sqliteExec(sqlite3 *db, const char *sql);

} // namespace nk
