#include "app/commandline.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
