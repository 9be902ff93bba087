#include "app/commandline.h"
#include "history/historystore.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <sqlite3.h>

using namespace nk;

namespace {

// A file of the first layout, as the first program wrote it.
const char *const VersionOneFile = R"sql(
CREATE TABLE answers(id INTEGER PRIMARY KEY, at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL, level INTEGER NOT NULL, kind INTEGER NOT NULL,
    right INTEGER NOT NULL, answer_ms INTEGER, note_count INTEGER, choice INTEGER);
CREATE INDEX answers_by_level ON answers(level, at_ms);
CREATE TABLE answer_notes(answer_id INTEGER NOT NULL REFERENCES answers(id) ON DELETE CASCADE,
    position INTEGER NOT NULL, played_octave INTEGER NOT NULL, played_pitch INTEGER NOT NULL,
    answered_octave INTEGER, answered_pitch INTEGER,
    PRIMARY KEY(answer_id, position)) WITHOUT ROWID;
CREATE TABLE repetitions(id INTEGER PRIMARY KEY, at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL, level INTEGER NOT NULL, octave INTEGER NOT NULL,
    pitch INTEGER NOT NULL, seconds REAL NOT NULL);
CREATE TABLE rests(id INTEGER PRIMARY KEY, at_ms INTEGER NOT NULL,
    utc_offset INTEGER NOT NULL, level INTEGER NOT NULL, kind INTEGER NOT NULL);
INSERT INTO answers VALUES(1, 1765270800000, 10800, 3, 1, 0, 1200, 1, NULL);
INSERT INTO answer_notes VALUES(1, 1, 5, 5, 5, 7);
INSERT INTO answers VALUES(2, 1765270860000, 10800, 3, 4, 1, 800, NULL, 2);
PRAGMA user_version = 1;
)sql";

bool runSql(const QString &file, const QByteArray &sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(file).constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Every file of the folder with its bytes.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files.insert(file.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return files;
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The built program without any display.
Run runProgram(const QStringList &arguments, const QString &outputFile = {})
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(env);
    if (!outputFile.isEmpty())
        program.setStandardOutputFile(outputFile);
    program.start(qEnvironmentVariable("NK_PROGRAM_DIR") + QStringLiteral("/notoklyuv"), arguments);
    Run run;
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = program.exitCode();
    run.out = QString::fromUtf8(program.readAllStandardOutput());
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

} // namespace

// The command line read before the window opens: --folder names the program
// folder, --help and --version stop with their text, Qt's own options pass by.
class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void arguments_data();
    void arguments();
    void relativeFolderIsTakenFromTheCurrentDirectory();
    void statsNeedNoWindow_data();
    void statsNeedNoWindow();
    void statsLeaveTheHistory_data();
    void statsLeaveTheHistory();
    void statsListThePitchTests();
    void unwritableOutputFails_data();
    void unwritableOutputFails();

private:
    QTemporaryDir m_dir;
    QString m_folder;
};

void TestCommandLine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_folder = m_dir.path() + QStringLiteral("/моя папка");
    QVERIFY(QDir().mkpath(m_folder));
    QFile file(m_dir.path() + QStringLiteral("/file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestCommandLine::arguments_data()
{
    QTest::addColumn<QStringList>("args"); // after the program name; @ stands for the folder
    QTest::addColumn<bool>("runs");
    QTest::addColumn<bool>("folderGiven");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("textHas");
    auto row = [](const char *name, QStringList args, bool runs, bool folder, int code,
                  const char *text) {
        QTest::newRow(name) << args << runs << folder << code << QString::fromUtf8(text);
    };
    const QString f = QStringLiteral("--folder");
    const QString at = QStringLiteral("@");
    row("nothing: the executable's folder", {}, true, false, 0, "");
    row("folder", {f, at}, true, true, 0, "");
    row("folder=", {QStringLiteral("--folder=@")}, true, true, 0, "");
    row("Qt options pass by", {QStringLiteral("-platform"), QStringLiteral("offscreen"), f, at},
        true, true, 0, "");
    row("-reverse is Qt's, not -v", {QStringLiteral("-reverse")}, true, false, 0, "");
    row("help", {QStringLiteral("--help")}, false, false, 0, "Usage: notoklyuv [options]");
    row("help names the folder option", {QStringLiteral("--help")}, false, false, 0,
        "--folder <папка>");
    row("-h", {QStringLiteral("-h"), f, at}, false, false, 0, "--folder <папка>");
    row("version", {QStringLiteral("--version")}, false, false, 0, "notoklyuv 5.0");
    row("-v", {QStringLiteral("-v")}, false, false, 0, "notoklyuv 5.0");
    row("folder without a value", {f}, false, false, 2, "--folder");
    row("missing folder", {f, at + QStringLiteral("/нет")}, false, false, 2, "не найдена");
    row("a file is no folder", {f, m_dir.path() + QStringLiteral("/file")}, false, false, 2,
        "не найдена");
    row("empty folder name", {QStringLiteral("--folder=")}, false, false, 2, "не найдена");
    row("the last folder counts", {f, QStringLiteral("/nonexistent"), f, at}, true, true, 0, "");
}

void TestCommandLine::arguments()
{
    QFETCH(QStringList, args);
    QFETCH(bool, runs);
    QFETCH(bool, folderGiven);
    QFETCH(int, exitCode);
    QFETCH(QString, textHas);
    args.replaceInStrings(QStringLiteral("@"), m_folder);
    args.prepend(QStringLiteral("notoklyuv"));

    const CommandLine line(args);
    QCOMPARE(line.action() == CommandLine::Action::Run, runs);
    QCOMPARE(line.folder(), folderGiven ? m_folder : QString());
    if (!runs) {
        QCOMPARE(line.exitCode(), exitCode);
        QVERIFY2(line.text().contains(textHas), qPrintable(line.text()));
    }
}

void TestCommandLine::relativeFolderIsTakenFromTheCurrentDirectory()
{
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    const CommandLine line(
        {QStringLiteral("notoklyuv"), QStringLiteral("--folder"), QStringLiteral("моя папка")});
    QDir::setCurrent(before);
    QCOMPARE(line.action(), CommandLine::Action::Run);
    QCOMPARE(line.folder(), m_folder);
}

void TestCommandLine::statsNeedNoWindow_data()
{
    QTest::addColumn<QStringList>("args"); // @ stands for the folder
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("csv");
    const QString stats = QStringLiteral("--stats");
    const QString csv = QStringLiteral("--csv");
    const QString folder = QStringLiteral("--folder");
    const int statsAction = int(CommandLine::Action::Stats);
    QTest::newRow("stats") << QStringList{stats} << statsAction << false;
    QTest::newRow("stats as CSV of a folder")
        << QStringList{stats, csv, folder, QStringLiteral("@")} << statsAction << true;
    QTest::newRow("CSV alone runs the course")
        << QStringList{csv} << int(CommandLine::Action::Run) << false;
    QTest::newRow("stats of a missing folder")
        << QStringList{stats, folder, QStringLiteral("@/нет")} << int(CommandLine::Action::Stop)
        << false;
    QTest::newRow("help comes first")
        << QStringList{stats, QStringLiteral("--help")} << int(CommandLine::Action::Stop) << false;
}

void TestCommandLine::statsNeedNoWindow()
{
    QFETCH(QStringList, args);
    args.replaceInStrings(QStringLiteral("@"), m_folder);
    args.prepend(QStringLiteral("notoklyuv"));
    const CommandLine line(args);
    QTEST(int(line.action()), "action");
    QTEST(line.csv(), "csv");
}

void TestCommandLine::statsLeaveTheHistory_data()
{
    QTest::addColumn<QByteArray>("sql"); // makes levels/history.db; empty: `bytes` are the file
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed"); // the first line printed
    QTest::newRow("older layout") << QByteArray(VersionOneFile) << QByteArray() << 0
                                  << QStringLiteral("Всего ответов: 2, верно 1 (50%)");
    QTest::newRow("newer layout")
        << QByteArray("CREATE TABLE later(a); INSERT INTO later VALUES(1);"
                      " PRAGMA user_version = 99;")
        << QByteArray() << 1
        << QStringLiteral("История ответов записана более новой версией программы: эта версия "
                          "её не показывает и не дополняет.");
    QTest::newRow("broken file")
        << QByteArray() << QByteArray("SQLite format 3").append('\0').append(QByteArray(4080, 'x'))
        << 1 << QStringLiteral("История ответов (levels/history.db) не читается: файл повреждён.");
    QTest::newRow("current layout") << QByteArray("store") << QByteArray() << 0
                                    << QStringLiteral("Всего ответов: 1, верно 1 (100%)");
}

// A look at the figures from the command line never changes a byte of the
// learner's history, whatever state it is in, and prints no "no answers yet"
// after a problem.
void TestCommandLine::statsLeaveTheHistory()
{
    QFETCH(QByteArray, sql);
    QFETCH(QByteArray, bytes);
    QTemporaryDir folder;
    QVERIFY(QDir().mkpath(folder.filePath(QStringLiteral("levels"))));
    const QString file = folder.filePath(QStringLiteral("levels/history.db"));
    if (sql == "store") {
        HistoryStore store(file);
        HistoryAnswer answer;
        answer.at = QDateTime(QDate(2026, 12, 9), QTime(12, 0), QTimeZone(0));
        answer.level = 5;
        answer.right = true;
        answer.played = answer.answered = {HistoryNote{5, 5}};
        QVERIFY(store.recordAnswer(answer));
    } else if (!sql.isEmpty()) {
        QVERIFY(runSql(file, sql));
    } else {
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write(bytes) == bytes.size());
    }
    const QMap<QString, QByteArray> before = snapshot(folder.path());
    const Run run =
        runProgram({QStringLiteral("--stats"), QStringLiteral("--folder"), folder.path()});
    QTEST(run.exitCode, "exitCode");
    QTEST(run.out.section(QLatin1Char('\n'), 0, 0), "printed");
    QVERIFY2(!run.out.contains(QStringLiteral("Ответов пока нет")), qPrintable(run.out));
    QCOMPARE(snapshot(folder.path()), before);
}

// One line for each finished test, on the learner's own day, after the answers.
void TestCommandLine::statsListThePitchTests()
{
    QTemporaryDir folder;
    QVERIFY(QDir().mkpath(folder.filePath(QStringLiteral("levels"))));
    HistoryStore store(folder.filePath(QStringLiteral("levels/history.db")));
    const QTimeZone moscow(3 * 3600);
    const QDateTime late(QDate(2026, 12, 9), QTime(23, 30), moscow); // 20:30 UTC
    QVERIFY(store.recordPitchTest({1, late, 36, 3, 30, 6, 3}));
    QVERIFY(store.recordPitchTest({2, late.addDays(7), 36, 20, 14, 9, 12}));
    const Run run =
        runProgram({QStringLiteral("--stats"), QStringLiteral("--folder"), folder.path()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.endsWith(
                 QStringLiteral("Проверка слуха 09.12.2026: верно 3 из 36, средняя ошибка 3,0 "
                                "полутона\nПроверка слуха 16.12.2026: верно 20 из 36, средняя "
                                "ошибка 1,4 полутона\n")),
             qPrintable(run.out));
}

void TestCommandLine::unwritableOutputFails_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("history");
    const QString stats = QStringLiteral("--stats");
    const QString csv = QStringLiteral("--csv");
    QTest::newRow("CSV of no history") << QStringList{stats, csv} << false;
    QTest::newRow("CSV of a history") << QStringList{stats, csv} << true;
    QTest::newRow("figures") << QStringList{stats} << true;
}

// Output to a full disk: the program says so and exits with a failure.
void TestCommandLine::unwritableOutputFails()
{
    QFETCH(QStringList, args);
    QFETCH(bool, history);
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    QTemporaryDir folder;
    QVERIFY(QDir().mkpath(folder.filePath(QStringLiteral("levels"))));
    if (history)
        QVERIFY(runSql(folder.filePath(QStringLiteral("levels/history.db")), VersionOneFile));
    const Run run = runProgram(args << QStringLiteral("--folder") << folder.path(),
                               QStringLiteral("/dev/full"));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("Не удалось вывести историю ответов")),
             qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
