#include "app/application.h"
#include "app/tmainform.h"
#include "course/fileerror.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QStringDecoder>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace nk;

namespace {
QStringList g_messages;
void recordMessage(const QString &text)
{
    g_messages.append(text);
}

TMainForm *mainForm()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<TMainForm *>(w))
            return form;
    }
    return nullptr;
}

// A program folder a start may open: the later-start settings, no log yet.
bool makeFolder(const QTemporaryDir &dir)
{
    QFile settings(dir.filePath(QStringLiteral("levels/settings.dat")));
    return QDir(dir.path()).mkdir(QStringLiteral("levels")) &&
           settings.open(QIODevice::WriteOnly) && settings.write("[main]\r\nfirstrun=0\r\n") > 0;
}

QString logOf(const QTemporaryDir &dir)
{
    QFile log(dir.filePath(QStringLiteral("levels/log.dat")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QStringDecoder("windows-1251").decode(log.readAll());
}

// The program as it ships, started on the folder.
void startProgram(QProcess &program, const QTemporaryDir &dir)
{
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(NK_PROGRAM), {QStringLiteral("--folder"), dir.path()});
}

const QString kStarted = QStringLiteral("Программа запущена");
} // namespace

// An exception escaping an event handler ends only that action: its text is
// shown in the program's message box and the message loop goes on.
class TestApplication : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void errorInHandlerIsShownAndLoopGoesOn();
    void closedFromTrayEndsRun();
    void secondStartShowsFirst_data();
    void secondStartShowsFirst();
    void startAfterKilledProgram();
    void lockOfAnOlderVersionHolds();
};

void TestApplication::errorInHandlerIsShownAndLoopGoesOn()
{
    MessageBox::setHook(&recordMessage);
    bool laterRan = false;
    QTimer::singleShot(0, [] { throw FileError(QStringLiteral("Не удалось записать журнал")); });
    QTimer::singleShot(0, [] { throw std::runtime_error("plain failure"); });
    QTimer::singleShot(1, [&] {
        laterRan = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    QVERIFY(laterRan);
    QCOMPARE(g_messages, (QStringList{QStringLiteral("Не удалось записать журнал"),
                                      QStringLiteral("plain failure")}));
    MessageBox::setHook(nullptr);
}

// A window hidden in the tray (as during a rest) that is closed from the tray
// menu: the program ends, although no visible window was closed.
void TestApplication::closedFromTrayEndsRun()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("levels")));
    MessageBox::setHook(&recordMessage); // the empty folder has no instruction text to show
    QTimer::singleShot(0, [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *form = qobject_cast<TMainForm *>(w)) {
                form->hide();
                for (QAction *action : form->trayMenu()->actions()) {
                    if (action->text() == QStringLiteral("Выход"))
                        action->trigger();
                }
            }
        }
    });
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    stillRunning.start(10000);
    QCOMPARE(static_cast<Application *>(qApp)->run(dir.path()), 0);
    MessageBox::setHook(nullptr);
}

void TestApplication::secondStartShowsFirst_data()
{
    QTest::addColumn<bool>("resting");
    QTest::addColumn<bool>("shown"); // the first program's window after the second start
    QTest::newRow("in the tray") << false << true;
    QTest::newRow("in the tray during a rest") << true << false;
}

// The program started again on the folder while it runs with its window in
// the tray: the running one shows its window, as a click on the tray icon
// does, and the second start ends at once without touching the folder.
void TestApplication::secondStartShowsFirst()
{
    QFETCH(bool, resting);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    QVERIFY(makeFolder(dir));
    MessageBox::setHook(&recordMessage);
    QProcess second;
    bool visibleAfter = !shown;
    QTimer::singleShot(0, [&] {
        TMainForm *form = mainForm();
        form->hide();
        form->state().Resting = resting;
        startProgram(second, dir);
    });
    connect(&second, &QProcess::finished, [&] {
        TMainForm *form = mainForm();
        visibleAfter = form->isVisible();
        form->state().Resting = false;
        form->close();
    });
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    stillRunning.start(30000);
    QCOMPARE(static_cast<Application *>(qApp)->run(dir.path()), 0);
    MessageBox::setHook(nullptr);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(visibleAfter, shown);
    QCOMPARE(logOf(dir).count(kStarted), 1);
}

// A program killed outright leaves its lock behind: the next start takes it.
void TestApplication::startAfterKilledProgram()
{
    QTemporaryDir dir;
    QVERIFY(makeFolder(dir));
    QProcess first;
    startProgram(first, dir);
    QTRY_COMPARE_WITH_TIMEOUT(logOf(dir).count(kStarted), 1, 30000);
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    QProcess next;
    startProgram(next, dir);
    QTRY_COMPARE_WITH_TIMEOUT(logOf(dir).count(kStarted), 2, 30000);
    next.terminate(); // as a logout ends it
    QVERIFY(next.waitForFinished(10000));
    QCOMPARE(next.exitCode(), 0);
    QVERIFY(logOf(dir).trimmed().endsWith(QStringLiteral("Программа закрыта")));
}

// A start of an earlier version holds the folder with a Qt lock file: a start
// now sees it held, asks that one for its window and ends without a word.
void TestApplication::lockOfAnOlderVersionHolds()
{
    QTemporaryDir dir;
    QVERIFY(makeFolder(dir));
    QLockFile older(dir.filePath(QStringLiteral("levels/notoklyuv.lock")));
    QVERIFY(older.tryLock(0));
    QProcess next;
    startProgram(next, dir);
    QVERIFY(next.waitForFinished(30000));
    QCOMPARE(next.exitStatus(), QProcess::NormalExit);
    QCOMPARE(next.exitCode(), 0);
    QCOMPARE(logOf(dir).count(kStarted), 0);
}

int main(int argc, char *argv[])
{
    // The course folders hold no recordings; the started programs inherit it.
    qputenv("QT_LOGGING_RULES", "notoklyuv.audio.warning=false;notoklyuv.midi.info=false");
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
