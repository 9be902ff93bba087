#include "app/application.h"
#include "app/tmainform.h"
#include "course/fileerror.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QMenu>
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
} // namespace

// An exception escaping an event handler ends only that action: its text is
// shown in the program's message box and the message loop goes on.
class TestApplication : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void errorInHandlerIsShownAndLoopGoesOn();
    void closedFromTrayEndsRun();
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
                for (QAction *action : form->trayIcon()->contextMenu()->actions()) {
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

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
