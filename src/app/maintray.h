#pragma once

#include <QObject>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QTimer;
class QWidget;

namespace nk {

// The program's icon in the notification area, hint "Нотоклюв", with its
// menu "Открыть" / "Выход". Qt settles, as an icon is made, whether a
// StatusNotifierItem host serves it, and never looks again: where a session
// bus runs with no tray on it yet, the icon is made once a tray is there, and
// a tray that comes up after the program (a panel started later) is looked
// for until it is.
class MainTray : public QObject
{
    Q_OBJECT
public:
    explicit MainTray(QWidget *window);
    ~MainTray() override;

    // From the first showing on: the icon appears as soon as a tray is there.
    void showWhenThere();
    void hide();
    // Whether the icon really shows now: only then may the window hide in it.
    bool shown() const;
    // The balloon of a refused restore during a rest.
    void tellToRest();

    QSystemTrayIcon *icon() const { return m_icon; } // none until a tray can take it
    QMenu *menu() const { return m_menu.get(); }

Q_SIGNALS:
    // A click or double click on the icon, or the menu's "Открыть".
    void restoreAsked();
    void exitAsked();

private:
    void createMenu();
    void makeIcon();
    bool trayIsThere();

    std::unique_ptr<QMenu> m_menu; // a popup of its own, not a control of the window
    QSystemTrayIcon *m_icon = nullptr;
    QTimer *m_watch = nullptr;
};

} // namespace nk
