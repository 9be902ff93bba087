#include "course/inifile.h"
#include "course/staletempfiles.h"
#include "datafiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <limits>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

// Learner actions in one session: the last note of level 1, which completes
// the level's first step, then on to level 2 and through its first note.
constexpr int kActions = 64;

int envOr(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// One state the INI files passed through in the reference session.
struct State
{
    QString phase; // "hook": just before a replacement; "end": after an action
    int done = 0;  // actions complete at that moment
    int records = 0;
    QString digest;
};

struct KillRun
{
    int kill = 0;
    QString folder;
    int delay = 0;          // ms after the run's start-up was over, or its start
    qint64 sessionAt = -1;  // when this run's journal said so, on the pair's clock
    bool inStartUp = false; // counted from the run's start, within its start-up
    QProcess *driver = nullptr;
};

struct Tally
{
    int starting = 0;  // killed before start-up was over
    int inSession = 0; // killed between start-up and the session's end
    int changed = 0;   // the action under way had already replaced a file
    int stray = 0;     // temporary files the kill left
};

// The journal's lines: "done N T", N actions complete T ms into the run.
QList<QByteArray> lastJournalLine(const QString &journal)
{
    const QList<QByteArray> lines = DataFiles::readAll(journal).trimmed().split('\n');
    const QList<QByteArray> fields = lines.constLast().split(' ');
    return fields.size() == 3 && fields[0] == "done" ? fields : QList<QByteArray>();
}

int lastDone(const QString &journal)
{
    const QList<QByteArray> fields = lastJournalLine(journal);
    return fields.isEmpty() ? -1 : fields[1].toInt();
}

int firstTime(const QString &journal)
{
    const QList<QByteArray> lines = DataFiles::readAll(journal).trimmed().split('\n');
    const QList<QByteArray> fields = lines.constFirst().split(' ');
    return fields.size() == 3 ? fields[2].toInt() : 0;
}

} // namespace

// The program killed at random moments while it writes a learner's progress:
// every INI file must then hold exactly what it held before the write under
// way or after it, the log only whole records in order, and nothing saved
// earlier may be gone. The versions come from a reference run of the same
// session, which records every state the files pass through; the killed run's
// journal says how far it had certainly come.
class TestCrashSafety : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void sessionChangesEveryFile();
    void checkerSeesDamage_data();
    void checkerSeesDamage();
    void killedAtRandomMoments();
    void leftoversRemovedAtStart_data();
    void leftoversRemovedAtStart();
    void leftoversOfThisRunStay();

private:
    QString path(const QString &name) const { return m_work.filePath(name); }
    QString verify(const QString &folder, int done) const;
    QString endDigest(int done) const;
    void killInSession(QList<KillRun> &runs, const QElapsedTimer &clock);
    void checkKilled(const KillRun &run, Tally &tally);
    QString restartAndClose(const QString &folder);
    QProcess *startDriver(const QStringList &args);
    void timeSession();

    QTemporaryDir m_work;
    QList<State> m_states;
    QStringList m_referenceLog;
    qint64 m_sessionMs = 0; // the reference run, from its start to its end
    qint64 m_startupMs = 0; // until its window was up
};

QProcess *TestCrashSafety::startDriver(const QStringList &args)
{
    auto *process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QStringLiteral(NK_PROGRESS_DRIVER), args);
    return process;
}

// Kills are spread over the session's writes, from the end of start-up. The
// reference run records every state and so runs slower than a killed one:
// the spread is taken from a run like theirs, the quickest of three, as a busy
// machine only ever slows a run down.
void TestCrashSafety::timeSession()
{
    m_sessionMs = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 3; ++round) {
        const QString folder = path(u"timing"_s);
        QDir(folder).removeRecursively();
        QVERIFY(RigFolder::copyTree(path(u"template"_s), folder));
        const QString journal = path(u"timing.journal"_s);
        QFile::remove(journal);
        QElapsedTimer clock;
        clock.start();
        QProcess *driver = startDriver({folder, journal, QString::number(kActions), u"close"_s});
        QVERIFY(driver->waitForFinished(300000));
        const qint64 total = clock.elapsed();
        QCOMPARE(driver->exitCode(), 0);
        delete driver;
        if (total >= m_sessionMs)
            continue;
        m_sessionMs = total;
        const int session = lastJournalLine(journal).value(2).toInt() - firstTime(journal);
        m_startupMs = qBound<qint64>(0, m_sessionMs - session, m_sessionMs / 2);
    }
}

void TestCrashSafety::initTestCase()
{
    QVERIFY(m_work.isValid());
    QVERIFY(RigFolder::make(DataFiles::folderSetup(), path(u"template"_s)));
    // The learner has described three of level 1's four notes.
    IniFile(path(u"template/levels/settings.dat"_s)).writeInteger(u"main"_s, u"learnnote"_s, 4);
    IniFile(path(u"template/levels/01/level.dat"_s)).writeBool(u"step1"_s, u"used"_s, true);
    QVERIFY(RigFolder::copyTree(path(u"template"_s), path(u"reference"_s)));
    QElapsedTimer clock;
    clock.start();
    QProcess *driver = startDriver({path(u"reference"_s), path(u"reference.journal"_s),
                                    QString::number(kActions), u"record"_s, path(u"states"_s)});
    QVERIFY(driver->waitForFinished(300000));
    QCOMPARE(driver->exitStatus(), QProcess::NormalExit);
    QCOMPARE(driver->exitCode(), 0);
    timeSession();
    for (const QByteArray &line : DataFiles::readAll(path(u"states"_s)).trimmed().split('\n')) {
        const QStringList f = QString::fromUtf8(line).split(u' ');
        QVERIFY(f.size() == 3 + DataFiles::iniFiles().size());
        m_states.append({f[0], f[1].toInt(), f[2].toInt(), f.mid(3).join(u' ')});
    }
    const DataFiles::Log log = DataFiles::readLog(path(u"reference"_s));
    QVERIFY2(log.whole, qPrintable(log.error));
    m_referenceLog = log.messages;
    qInfo("reference session: %d actions, %d file states, %lld ms, %lld of them starting", kActions,
          int(m_states.size()), m_sessionMs, m_startupMs);
}

// The session is worth killing: it keeps changing every file.
void TestCrashSafety::sessionChangesEveryFile()
{
    for (int file = 0; file < DataFiles::iniFiles().size(); ++file) {
        QSet<QString> versions;
        for (const State &s : std::as_const(m_states))
            versions.insert(s.digest.split(u' ').at(file));
        QVERIFY2(versions.size() >= 3, qPrintable(DataFiles::iniFiles().at(file)));
    }
    QCOMPARE(m_states.constLast().done, kActions);
    for (const QString &message : {u"Активирован шаг 2 уровня 1"_s, u"Загружен уровень 2"_s})
        QVERIFY2(m_referenceLog.contains(message), qPrintable(message));
    QVERIFY(
        !m_referenceLog.filter(QRegularExpression(u"^Сохранён ответ a1=ответ \\d+ для ноты ЛЯ$"_s))
             .isEmpty());
    const IniFile notes(path(u"reference/levels/02/notes.dat"_s));
    QVERIFY(notes.readString(u"note1", u"v3", {}).startsWith(u"ответ "_s));
}

QString TestCrashSafety::endDigest(int done) const
{
    for (const State &s : m_states) {
        if (s.phase == u"end"_s && s.done == done)
            return s.digest;
    }
    return {};
}

QString TestCrashSafety::verify(const QString &folder, int done) const
{
    for (const QString &name : DataFiles::iniFiles()) {
        QString error;
        if (!DataFiles::isIniText(DataFiles::readAll(folder + u'/' + name), &error))
            return name + u": "_s + error;
    }
    const QString digest = DataFiles::digest(folder);
    bool known = false;
    int low = done < 0 ? 0 : -1;
    int high = -1;
    for (const State &s : m_states) {
        const bool before = s.done == qMax(done, 0) && (done >= 0 || s.phase == u"end"_s);
        const bool after = done >= 0 && s.done == done + 1 && s.phase == u"end"_s;
        if (!before && !after)
            continue;
        known = known || s.digest == digest;
        if (s.phase == u"end"_s && before && low < 0)
            low = s.records;
        if (s.phase == u"end"_s)
            high = qMax(high, s.records);
    }
    if (!known)
        return u"the files are in no state between action %1 and the next: %2"_s.arg(done).arg(
            digest);
    const DataFiles::Log log = DataFiles::readLog(folder);
    if (!log.whole)
        return u"log: "_s + log.error;
    const int records = int(log.messages.size());
    if (records < low || records > high)
        return u"the log holds %1 records, expected %2 to %3"_s.arg(records).arg(low).arg(high);
    if (log.messages != m_referenceLog.mid(0, records))
        return u"the log's records differ from the session's"_s;
    return {};
}

// The check itself fails on each kind of damage a kill could do.
void TestCrashSafety::checkerSeesDamage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("cut");        // bytes cut off the end
    QTest::addColumn<QByteArray>("add"); // bytes added at the end
    QTest::newRow("undamaged") << u"levels/log.dat"_s << 0 << QByteArray();
    QTest::newRow("notes cut short") << u"levels/02/notes.dat"_s << 7 << QByteArray();
    QTest::newRow("settings emptied") << u"levels/settings.dat"_s << -1 << QByteArray();
    QTest::newRow("level flag lost") << u"levels/01/level.dat"_s << 0 << QByteArray("x=1\r\n");
    QTest::newRow("half a log record") << u"levels/log.dat"_s << 0 << QByteArray("09.12.2026 1:");
    QTest::newRow("log record lost") << u"levels/log.dat"_s << 20 << QByteArray("\n\r");
}

void TestCrashSafety::checkerSeesDamage()
{
    QFETCH(QString, file);
    QFETCH(int, cut);
    QFETCH(QByteArray, add);
    const QString folder = path(u"damaged"_s);
    QVERIFY(RigFolder::copyTree(path(u"reference"_s), folder));
    QByteArray bytes = DataFiles::readAll(folder + u'/' + file);
    bytes = (cut < 0 ? QByteArray() : bytes.chopped(cut)) + add;
    QFile out(folder + u'/' + file);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
    out.close();
    const bool damaged = cut != 0 || !add.isEmpty();
    QCOMPARE(verify(folder, kActions).isEmpty(), !damaged);
}

// The program starts on what the kill left, shows no message and closes
// normally; the learner's files come through untouched.
QString TestCrashSafety::restartAndClose(const QString &folder)
{
    QStringList before;
    for (const QString &name : DataFiles::iniFiles().mid(1))
        before << QString::fromLatin1(DataFiles::readAll(folder + u'/' + name).toHex());
    const QStringList logBefore = DataFiles::readLog(folder).messages;
    QProcess *driver = startDriver({folder, path(u"restart.journal"_s), u"0"_s, u"close"_s});
    const bool finished = driver->waitForFinished(60000);
    driver->deleteLater();
    if (!finished || driver->exitStatus() != QProcess::NormalExit || driver->exitCode() != 0)
        return u"the program did not start and close normally on the killed folder"_s;
    QStringList after;
    for (const QString &name : DataFiles::iniFiles().mid(1))
        after << QString::fromLatin1(DataFiles::readAll(folder + u'/' + name).toHex());
    if (after != before)
        return u"a start and close changed the learner's level files"_s;
    const QStringList expected =
        logBefore +
        QStringList{u"Программа запущена"_s, u"Загружен уровень 1"_s, u"Программа закрыта"_s};
    if (DataFiles::readLog(folder).messages != expected)
        return u"the log after a restart is not the old log and the new records"_s;
    if (!DataFiles::strayFiles(folder).isEmpty())
        return u"left-over files after a start: "_s + DataFiles::strayFiles(folder).join(u", "_s);
    return {};
}

// Two programs run side by side, each on its own copy, each killed at its own
// moment: the machine's two cores halve the time the kills take. Most moments
// are counted from the end of that run's own start-up, which its journal
// tells: a start-up that a busy machine makes slower then never swallows the
// kills meant for the session's writes.
void TestCrashSafety::killedAtRandomMoments()
{
    const int kills = envOr("NK_CRASH_KILLS", 200);
    const quint32 seed = quint32(envOr("NK_CRASH_SEED", int(QRandomGenerator::global()->bounded(
                                                            1, std::numeric_limits<int>::max()))));
    qInfo("kill moments from seed %u (NK_CRASH_SEED=%u repeats them)", seed, seed);
    QRandomGenerator random(seed);
    Tally tally;
    for (int kill = 1; kill <= kills; kill += 2) {
        QList<KillRun> runs;
        for (int k = kill; k <= qMin(kill + 1, kills); ++k) {
            const QString run = path(u"run%1"_s.arg(k - kill));
            QVERIFY(RigFolder::copyTree(path(u"template"_s), run));
            QFile::remove(run + u".journal"_s);
            // One kill in five lands in start-up, which is never quicker than the quickest.
            const bool inStartUp = k % 5 == 0;
            const qint64 delay = inStartUp ? random.bounded(int(m_startupMs + 1))
                                           : random.bounded(int(m_sessionMs - m_startupMs + 1));
            runs.append({k, run, int(delay), -1, inStartUp, nullptr});
        }
        QElapsedTimer clock;
        clock.start();
        for (KillRun &r : runs)
            r.driver = startDriver({r.folder, r.folder + u".journal"_s, QString::number(kActions)});
        killInSession(runs, clock);
        if (QTest::currentTestFailed())
            return;
        for (KillRun &r : runs) {
            delete r.driver;
            checkKilled(r, tally);
            if (QTest::currentTestFailed())
                return;
        }
    }
    qInfo("%d kills: %d during start-up, %d inside the session, %d of them after the action "
          "under way had replaced a file; %d temporary files left",
          kills, tally.starting, tally.inSession, tally.changed, tally.stray);
    QVERIFY2(tally.inSession * 2 >= kills, "too few kills landed while the session wrote");
}

// Kills each run its delay after its journal's first line, watching both at once.
void TestCrashSafety::killInSession(QList<KillRun> &runs, const QElapsedTimer &clock)
{
    QList<KillRun *> alive;
    for (KillRun &r : runs)
        alive.append(&r);
    while (!alive.isEmpty()) {
        for (KillRun *r : alive) {
            QVERIFY2(r->driver->state() != QProcess::NotRunning, "the program ended by itself");
            if (r->sessionAt < 0 && lastDone(r->folder + u".journal"_s) >= 0)
                r->sessionAt = clock.elapsed();
        }
        QVERIFY2(clock.elapsed() < 120000, "no session began within two minutes");
        const auto killAt = [](const KillRun *r) {
            if (r->inStartUp)
                return qint64(r->delay);
            return r->sessionAt < 0 ? std::numeric_limits<qint64>::max() : r->sessionAt + r->delay;
        };
        KillRun *next = *std::min_element(alive.begin(), alive.end(),
                                          [&](auto *a, auto *b) { return killAt(a) < killAt(b); });
        if (clock.elapsed() >= killAt(next)) {
            next->driver->kill();
            QVERIFY(next->driver->waitForFinished(30000));
            alive.removeOne(next);
            continue;
        }
        // A short wait, which also sees the program ending by itself.
        const qint64 left = qBound<qint64>(1, killAt(next) - clock.elapsed(), qint64(2));
        QVERIFY2(!next->driver->waitForFinished(int(left)), "the program ended by itself");
    }
}

void TestCrashSafety::checkKilled(const KillRun &run, Tally &tally)
{
    const int done = lastDone(run.folder + u".journal"_s);
    const QString error = verify(run.folder, done);
    QVERIFY2(error.isEmpty(), qPrintable(u"kill %1 after %2 ms, %3 actions done: %4"_s.arg(run.kill)
                                             .arg(run.delay)
                                             .arg(done)
                                             .arg(error)));
    tally.starting += done < 0;
    tally.inSession += done >= 0 && done < kActions;
    tally.changed += done >= 0 && DataFiles::digest(run.folder) != endDigest(done);
    tally.stray += int(DataFiles::strayFiles(run.folder).size());
    if (run.kill % 10 == 0) {
        const QString restart = restartAndClose(run.folder);
        QVERIFY2(restart.isEmpty(), qPrintable(u"kill %1: %2"_s.arg(run.kill).arg(restart)));
    }
}

// What a kill can leave behind goes at the next start; nothing else does.
void TestCrashSafety::leftoversRemovedAtStart_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("removed");
    QTest::newRow("settings replacement") << u"levels/settings.dat.Ab12Cd.notoklyuv-tmp"_s << true;
    QTest::newRow("notes replacement") << u"levels/01/notes.dat.x9Y8z7.notoklyuv-tmp"_s << true;
    QTest::newRow("note picture replacement") << u"levels/01/ДО.bmp.a1B2c3.notoklyuv-tmp"_s << true;
    QTest::newRow("upload copy") << u"levels/DEMO_08.12.2026_7.29.26_log.dat"_s << true;
    QTest::newRow("upload copy in a level") << u"levels/01/DEMO_1_log.dat"_s << false;
    QTest::newRow("learner's backup") << u"levels/01/notes.dat.bak"_s << false;
    QTest::newRow("learner's six-letter backup") << u"levels/01/notes.dat.backup"_s << false;
    QTest::newRow("learner's settings copy") << u"levels/settings.dat.orig01"_s << false;
    QTest::newRow("six letters, no suffix") << u"levels/01/notes.dat.Ab12Cd"_s << false;
    QTest::newRow("suffix alone") << u"levels/01/notes.dat.notoklyuv-tmp"_s << false;
    QTest::newRow("seven letters") << u"levels/01/notes.dat.Ab12Cd7.notoklyuv-tmp"_s << false;
    QTest::newRow("note picture") << u"levels/01/ДО.bmp"_s << false;
    QTest::newRow("the log") << u"levels/log.dat"_s << false;
    QTest::newRow("outside levels") << u"sound/x.dat.Ab12Cd.notoklyuv-tmp"_s << false;
}

void TestCrashSafety::leftoversRemovedAtStart()
{
    QFETCH(QString, file);
    QFETCH(bool, removed);
    const QString folder = path(u"leftovers"_s);
    QVERIFY(RigFolder::copyTree(path(u"template"_s), folder));
    QVERIFY(QDir(folder).mkpath(QFileInfo(folder + u'/' + file).path()));
    QFile planted(folder + u'/' + file);
    QVERIFY(planted.open(QIODevice::WriteOnly) && planted.write("[main]\r\nx=1") > 0);
    planted.close();
    const QStringList gone = StaleTempFiles::remove(BasePath(folder));
    QCOMPARE(QFile::exists(folder + u'/' + file), !removed);
    QCOMPARE(gone.size(), removed ? 1 : 0);
    QVERIFY(QFile::exists(folder + u"/levels/01/notes.dat"_s));
}

// Cleared after the first paint, the leftovers go, but an upload copy this run
// has made since its start stays.
void TestCrashSafety::leftoversOfThisRunStay()
{
    const QString folder = path(u"own-leftovers"_s);
    QVERIFY(RigFolder::copyTree(path(u"template"_s), folder));
    const QString copy = folder + u"/levels/DEMO_08.12.2026_7.29.26_log.dat"_s;
    QFile planted(copy);
    QVERIFY(planted.open(QIODevice::WriteOnly) && planted.write("x") > 0);
    planted.close();
    const QDateTime made = QFileInfo(copy).lastModified();
    QVERIFY(StaleTempFiles::remove(BasePath(folder), made).isEmpty());
    QVERIFY(QFile::exists(copy));
    QCOMPARE(StaleTempFiles::remove(BasePath(folder), made.addMSecs(1)), QStringList{copy});
    QVERIFY(!QFile::exists(copy));
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
