#pragma once

struct sqlite3;

namespace nk {

// The layout of levels/history.db and the way an older file is brought up to
// it. The file's layout number lives in PRAGMA user_version; each layout after
// the first is one step from the one before, so a file of any older layout is
// carried forward step by step, and a new layout is one more step at the end.
class HistorySchema
{
public:
    static constexpr int CurrentVersion = 5;

    enum class Result
    {
        Ready,
        Newer, // written by a newer program: left as it is
        Failed // SQLite's result code is in *code
    };

    // Brings the open database to CurrentVersion in one transaction.
    static Result upgrade(sqlite3 *db, int *code);
    static int version(sqlite3 *db, int *code);
    // Works the running totals out afresh when they no longer add up to the
    // answers, as after an edit by hand; returns SQLite's result code.
    static int repairTotals(sqlite3 *db);
};

} // namespace nk
