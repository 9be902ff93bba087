#pragma once

#include "history/historysummary.h"
#include "history/notemastery.h"

class QIODevice;
struct sqlite3;

namespace nk {

// Reads the history database: the summary the statistics page and the command
// line show, every figure an SQL aggregate, and the CSV export. Each returns
// SQLite's result code; one read transaction keeps all figures of a summary
// from the same moment.
class HistoryReader
{
public:
    static int read(sqlite3 *db, int level, HistorySummary &summary);
    // `notes`: the reading stops once each has `perNote` answers (notes never
    // played on the level are not looked for, and other notes' records may be
    // left out); empty: all notes.
    static int readNoteRecords(sqlite3 *db, int level, int perNote, const QList<HistoryNote> &notes,
                               QList<NoteRecord> &records);
    // SQLITE_IOERR when the output refused the text.
    static int writeCsv(sqlite3 *db, QIODevice &out);
    static bool writeHeader(QIODevice &out);

    // The three pairs confused most often, from the confusion table.
    static QList<HistorySummary::ConfusedPair>
    mostConfused(const QList<HistorySummary::Confusion> &confusions);

    // "тренировка", "мелодия", … as the export names the kinds.
    static QString kindName(int kind);
};

} // namespace nk
