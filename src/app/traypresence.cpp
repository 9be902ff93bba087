#include "app/traypresence.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <xcb/xcb.h>

namespace nk {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
// A bus that does not answer at once must not hold up the window.
constexpr int kBusTimeoutMs = 300;

} // namespace

bool TrayPresence::available()
{
    if (!notifierHostRegistered() && !x11TrayOwned())
        return false;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayPresence::qtCanDecide()
{
    return !QDBusConnection::sessionBus().isConnected() || notifierHostRegistered() ||
           x11TrayOwned();
}

bool TrayPresence::notifierHostRegistered()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kWatcher))
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kBusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

bool TrayPresence::x11TrayOwned()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const char name[] = "_NET_SYSTEM_TRAY_S0";
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    free(owner);
    return owned;
}

} // namespace nk
