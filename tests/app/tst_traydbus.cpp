#include "app/tmainform.h"
#include "skiporfail.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QLoggingCategory>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace nk;
using namespace Qt::StringLiterals;

// The tray of current desktops as the session bus offers it: a watcher with a
// host registered. Where one answers, Qt shows the icon as a StatusNotifierItem,
// which reports a click on it as Trigger and never as a double click. It lives
// on a thread and a connection of its own, so the window's thread may call it
// and wait for the answer.
class SniWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const
    {
        QMutexLocker lock(&m_mutex);
        return m_items;
    }

public Q_SLOTS:
    // An item names its bus name, or only its object path on the caller's one.
    void RegisterStatusNotifierItem(const QString &item, const QDBusMessage &message)
    {
        const QString address =
            item.startsWith(u'/') ? message.service() + item : item + u"/StatusNotifierItem"_s;
        QMutexLocker lock(&m_mutex);
        m_items << address;
    }
    void RegisterStatusNotifierHost(const QString &) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString &item);
    void StatusNotifierItemUnregistered(const QString &item);
    void StatusNotifierHostRegistered();

private:
    mutable QMutex m_mutex;
    QStringList m_items;
};

// The program's tray icon on a desktop whose tray is a StatusNotifierItem host,
// over a private session bus: the learner's click brings the window back.
class TestTrayDBus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void trayThatComesLater();
    void clickRestoresFromTray();

private:
    bool activate(const QString &item);
    bool registerHost();

    QThread m_thread;
    SniWatcher *m_watcher = nullptr;
    std::unique_ptr<QDBusConnection> m_bus;
};

void TestTrayDBus::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        NK_SKIP_OR_FAIL(QStringLiteral("needs a real X display"));
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty())
        NK_SKIP_OR_FAIL(QStringLiteral("needs a private session bus (run under dbus-run-session)"));
    QLoggingCategory::setFilterRules(u"notoklyuv.audio.warning=false"_s); // no recordings here
    m_bus =
        std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, u"sni-watcher"_s));
    QVERIFY(m_bus->isConnected());
    m_watcher = new SniWatcher;
    QVERIFY(m_bus->registerObject(u"/StatusNotifierWatcher"_s, m_watcher,
                                  QDBusConnection::ExportAllSlots |
                                      QDBusConnection::ExportAllSignals |
                                      QDBusConnection::ExportAllProperties));
    m_watcher->moveToThread(&m_thread); // with what the registration made
    m_thread.start();
}

// The panel comes up: its watcher and host appear on the bus.
bool TestTrayDBus::registerHost()
{
    const QString watcher = u"org.kde.StatusNotifierWatcher"_s;
    if (m_bus->interface()->isServiceRegistered(watcher))
        return true;
    return m_bus->registerService(watcher) &&
           m_bus->registerService(
               u"org.kde.StatusNotifierHost-%1"_s.arg(QCoreApplication::applicationPid()));
}

// The panel starts after the program (autostart, a restored session): the
// icon appears once it is there, and only then does minimising hide the window.
void TestTrayDBus::trayThatComesLater()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"levels"_s));
    TMainForm form{BasePath(dir.path())};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(!form.hasTray());
    form.minimizeToTray();
    QVERIFY(form.isMinimized() && !form.isHidden()); // still reachable
    form.restoreFromTray();

    QVERIFY(registerHost());
    QTRY_VERIFY_WITH_TIMEOUT(form.hasTray(), 10000);
    QTRY_COMPARE(m_watcher->items().size(), 1);
    form.minimizeToTray();
    QVERIFY(form.isHidden());
}

void TestTrayDBus::cleanupTestCase()
{
    if (!m_bus)
        return;
    m_bus->unregisterObject(u"/StatusNotifierWatcher"_s);
    m_watcher->deleteLater(); // in its own thread, before that ends
    m_thread.quit();
    m_thread.wait();
    QDBusConnection::disconnectFromBus(u"sni-watcher"_s);
}

// The host's call when the learner clicks the icon; true once it was handled.
bool TestTrayDBus::activate(const QString &item)
{
    const qsizetype slash = item.indexOf(u'/');
    QDBusMessage call = QDBusMessage::createMethodCall(
        item.left(slash), item.mid(slash), u"org.kde.StatusNotifierItem"_s, u"Activate"_s);
    call << 10 << 10;
    const QDBusPendingCall reply = m_bus->asyncCall(call);
    return QTest::qWaitFor([&] { return reply.isFinished(); }) && !reply.isError();
}

void TestTrayDBus::clickRestoresFromTray()
{
    QVERIFY(registerHost());
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"levels"_s));
    TMainForm form{BasePath(dir.path())};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(form.hasTray(), "Qt did not take the StatusNotifierItem tray");
    // The item of this window: the one registered last.
    QTRY_VERIFY(!m_watcher->items().isEmpty());
    const QString item = m_watcher->items().constLast();

    form.minimizeToTray(); // as the rest break does
    QVERIFY(form.isHidden());
    form.state().Resting = true;
    QVERIFY(activate(item));
    QVERIFY(form.isHidden()); // a rest is not cut short
    form.state().Resting = false;
    QVERIFY(activate(item));
    QTRY_VERIFY(form.isVisible());
    QVERIFY(!form.isMinimized());
}

QTEST_MAIN(TestTrayDBus)
#include "tst_traydbus.moc"
