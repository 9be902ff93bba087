#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

// The program killed while it writes answers: the history file must stay
// whole, and every answer reported committed must still be in it.
class TestHistoryKill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedWhileWriting();

private:
    struct Check
    {
        QString integrity;
        qint64 missing = -1;    // reported answers not in the file
        qint64 incomplete = -1; // answers without all three notes
        qint64 last = -1;       // the highest answer in the file
        qint64 offTotals = -1;  // running totals that disagree with the answers
    };
    static Check check(const QString &file, qint64 from, qint64 to);
};

TestHistoryKill::Check TestHistoryKill::check(const QString &file, qint64 from, qint64 to)
{
    Check c;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return c;
    }
    auto query = [db](const QByteArray &sql, auto take) {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            take(s);
        sqlite3_finalize(s);
    };
    query("PRAGMA integrity_check", [&c](sqlite3_stmt *s) {
        c.integrity = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    });
    const QByteArray range = QByteArray::number(from) + " AND " + QByteArray::number(to);
    query("SELECT " + QByteArray::number(to - from + 1) +
              " - count(DISTINCT answer_ms) FROM answers WHERE answer_ms BETWEEN " + range,
          [&c](sqlite3_stmt *s) { c.missing = sqlite3_column_int64(s, 0); });
    query("SELECT count(*) FROM answers a WHERE (SELECT count(*) FROM answer_notes n"
          " WHERE n.answer_id = a.id AND n.answered_octave IS NOT NULL) <> 3",
          [&c](sqlite3_stmt *s) { c.incomplete = sqlite3_column_int64(s, 0); });
    query("SELECT (SELECT count(*) FROM answers) - (SELECT sum(answers) FROM day_answers)"
          " + (SELECT count(*) FROM answer_notes) - (SELECT sum(positions) FROM confusions)",
          [&c](sqlite3_stmt *s) { c.offTotals = sqlite3_column_int64(s, 0); });
    query("SELECT coalesce(max(answer_ms), -1) FROM answers",
          [&c](sqlite3_stmt *s) { c.last = sqlite3_column_int64(s, 0); });
    sqlite3_close(db);
    return c;
}

// Each round waits for a random number of committed answers (the writer
// keeps writing meanwhile), so the kill lands anywhere in a transaction.
void TestHistoryKill::killedWhileWriting()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"history.db"_s);
    const QString writer = qEnvironmentVariable("NK_HISTORY_WRITER");
    QVERIFY(QFileInfo::exists(writer));
    qint64 next = 1;
    constexpr int Kills = 120;
    for (int round = 0; round < Kills; ++round) {
        QProcess process;
        process.start(writer, {file, QString::number(next)});
        QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
        const int wanted = QRandomGenerator::global()->bounded(1, 40);
        qint64 reported = next - 1;
        for (int lines = 0; lines < wanted;) {
            if (!process.canReadLine())
                QVERIFY2(process.waitForReadyRead(10000), "the writer stopped writing");
            while (process.canReadLine() && lines < wanted) {
                reported = process.readLine().trimmed().toLongLong();
                ++lines;
            }
        }
        process.kill(); // SIGKILL
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        const Check c = check(file, 1, reported);
        QCOMPARE(c.integrity, u"ok"_s);
        QCOMPARE(c.missing, 0);
        QCOMPARE(c.incomplete, 0);
        QCOMPARE(c.offTotals, 0);
        QVERIFY(c.last >= reported);
        next = c.last + 1;
    }
}

QTEST_GUILESS_MAIN(TestHistoryKill)
#include "tst_historykill.moc"
