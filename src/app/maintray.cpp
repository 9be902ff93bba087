#include "app/maintray.h"

#include "app/artwork.h"
#include "app/traypresence.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace nk {

namespace {
// How often a tray not there at the start is looked for.
constexpr int kTrayLookMs = 2000;
} // namespace

MainTray::MainTray(QWidget *window) : QObject(window)
{
    createMenu();
    if (TrayPresence::qtCanDecide())
        makeIcon();
}

MainTray::~MainTray()
{
    delete m_icon; // before its menu, which it may still point to
}

void MainTray::createMenu()
{
    m_menu = std::make_unique<QMenu>();
    m_menu->setObjectName(QStringLiteral("CoolTrayIcon1Menu"));
    connect(m_menu->addAction(QStringLiteral("Открыть")), &QAction::triggered, this,
            &MainTray::restoreAsked);
    connect(m_menu->addAction(QStringLiteral("Выход")), &QAction::triggered, this,
            &MainTray::exitAsked);
}

void MainTray::makeIcon()
{
    // The window's icon is the same bird: drawn once.
    const auto *window = qobject_cast<QWidget *>(parent());
    m_icon = new QSystemTrayIcon(window && !window->windowIcon().isNull() ? window->windowIcon()
                                                                          : Artwork::trayIcon(),
                                 this);
    m_icon->setObjectName(QStringLiteral("CoolTrayIcon1"));
    m_icon->setToolTip(QStringLiteral("Нотоклюв"));
    // Where the tray is a StatusNotifierItem host (most desktops now) a click
    // arrives as Trigger and a double click never does: both must restore.
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    Q_EMIT restoreAsked();
            });
    m_icon->setContextMenu(m_menu.get());
}

void MainTray::showWhenThere()
{
    if (trayIsThere()) {
        m_icon->show();
        return;
    }
    if (!m_watch) {
        m_watch = new QTimer(this);
        m_watch->setInterval(kTrayLookMs);
        connect(m_watch, &QTimer::timeout, this, [this] {
            if (!trayIsThere())
                return;
            m_watch->stop();
            m_icon->show();
        });
    }
    m_watch->start();
}

bool MainTray::trayIsThere()
{
    if (!m_icon && TrayPresence::qtCanDecide())
        makeIcon();
    return m_icon && TrayPresence::available();
}

void MainTray::hide()
{
    if (m_watch)
        m_watch->stop();
    if (m_icon)
        m_icon->hide();
}

// Asked anew: a panel that has gone would leave a hidden window unreachable.
bool MainTray::shown() const
{
    return m_icon && m_icon->isVisible() && TrayPresence::available();
}

void MainTray::tellToRest()
{
    if (m_icon)
        m_icon->showMessage(QStringLiteral("Отдыхайте!"),
                            QStringLiteral("Сказано отдыхать 7 минут - отдыхайте 7 минут."),
                            QSystemTrayIcon::Warning, 10000);
}

} // namespace nk
