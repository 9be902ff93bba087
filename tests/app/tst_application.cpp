#include "app/application.h"
#include "course/fileerror.h"
#include "widgets/messagebox.h"

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

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
