#include "datafiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace nk::test;
using namespace Qt::StringLiterals;

// The session ends from outside (logout, shutdown, kill, Ctrl+C, a closed
// terminal) while the program runs as it ships: it must close as the exit
// button closes it, even in the middle of a playback loop or a rest.
class TestSessionEnd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void signalClosesAsExitButton_data();
    void signalClosesAsExitButton();
};

void TestSessionEnd::signalClosesAsExitButton_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("savedSetting");    // a line only the close writes
    QTest::addColumn<QStringList>("lastRecords"); // the log's end
    QTest::addColumn<QString>("then");            // what the driver does once there

    const QString closed = u"Программа закрыта"_s;
    const QStringList onPage{u"Загружен уровень 1"_s, closed};
    QTest::newRow("page, SIGTERM") << u"page"_s << SIGTERM << u"part=1"_s << onPage << QString();
    QTest::newRow("page, SIGINT") << u"page"_s << SIGINT << u"part=1"_s << onPage << QString();
    QTest::newRow("page, SIGHUP") << u"page"_s << SIGHUP << u"part=1"_s << onPage << QString();
    QTest::newRow("rest, SIGTERM")
        << u"rest"_s << SIGTERM << u"step=2"_s << QStringList{u"relax 2"_s, closed} << QString();
    // The loop ends at its next wait: no rest follows the cut repetition.
    const QStringList cut{u"Запоминаем ноты )"_s, closed};
    QTest::newRow("memorising, SIGTERM")
        << u"memorise"_s << SIGTERM << u"step=2"_s << cut << QString();
    QTest::newRow("memorising, SIGHUP")
        << u"memorise"_s << SIGHUP << u"step=2"_s << cut << QString();
    // A logout asks the program to quit while the window is in the tray.
    QTest::newRow("hidden, asked to quit") << u"page"_s << 0 << u"part=1"_s << onPage << u"quit"_s;
    QTest::newRow("memorising, hidden, asked to quit")
        << u"memorise"_s << 0 << u"step=2"_s << cut << u"quit"_s;
    // The box of a failing action, the only window left, closed: the program runs on.
    QTest::newRow("hidden, a box accepted, then SIGTERM")
        << u"page"_s << SIGTERM << u"part=1"_s << onPage << u"box"_s;
}

void TestSessionEnd::signalClosesAsExitButton()
{
    QFETCH(QString, where);
    QFETCH(int, signal);
    QFETCH(QString, savedSetting);
    QFETCH(QStringList, lastRecords);
    QFETCH(QString, then);
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"prog"_s);
    QVERIFY(RigFolder::make(DataFiles::folderSetup(), folder));

    QProcess driver;
    driver.start(QStringLiteral(NK_SESSION_DRIVER), {folder, where, then});
    const QByteArray arrived = then == u"box" ? "box closed\n" : "ready\n";
    QByteArray out;
    while (!out.contains(arrived) && driver.waitForReadyRead(30000))
        out += driver.readAllStandardOutput();
    QVERIFY2(out.contains(arrived), out.constData());
    if (signal != 0)
        QCOMPARE(::kill(pid_t(driver.processId()), signal), 0);
    QVERIFY(driver.waitForFinished(30000));
    out += driver.readAllStandardOutput();

    QCOMPARE(driver.exitStatus(), QProcess::NormalExit);
    QCOMPARE(driver.exitCode(), 0);
    QVERIFY2(!out.contains("message:"), out.constData());
    const QString settings =
        QString::fromLatin1(DataFiles::readAll(folder + u"/levels/settings.dat"_s));
    QVERIFY2(settings.split(u"\r\n"_s).contains(savedSetting), qPrintable(settings));
    const DataFiles::Log log = DataFiles::readLog(folder);
    QVERIFY2(log.whole, qPrintable(log.error));
    QCOMPARE(log.messages.mid(log.messages.size() - lastRecords.size()), lastRecords);
}

QTEST_GUILESS_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
