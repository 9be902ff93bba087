#pragma once

#include "app/globalstate.h"
#include "widgets/windowcontrols.h"

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QMenu;
class QSystemTrayIcon;

namespace nk {

class ClickLabel;
class MainTray;
class CoursePages;
class Exercises;
class GradientButton;
class Keyboard;
class InfoPages;
class OneShotTimers;
class Page;
class ReportPages;
class SettingsPage;
class StatsPage;
class RestBreak;
struct StepContext;

// The one window of the program: the fixed menu column on the left, the page
// area to its right and the keyboard panel below, revealed by growing the
// window. It owns the global state of the run, the exercises and every widget
// and timer.
class TMainForm : public QWidget, public WindowControls
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 779;
    static constexpr int HiddenHeight = 383;
    static constexpr int ShownHeight = 635;

    // Pages owned by other parts of the program, reached through this table;
    // the wiring place fills it in. An empty entry does nothing.
    struct Routes
    {
        std::function<void()> showInstructionPage;
        std::function<void()> showAboutPage;
        std::function<void(int)> showPartPage;
        std::function<void(int)> showLevelPage;
        std::function<void(const QString &)> openSite;
        std::function<void()> releaseAllKeys;
    };

    explicit TMainForm(const BasePath &base, QWidget *parent = nullptr);
    ~TMainForm() override;

    GlobalState &state() { return *m_state; }
    Routes &routes() { return m_routes; }
    Page &page() { return *m_page; }
    OneShotTimers &timers() { return *m_timers; }
    RestBreak &restBreak() { return *m_rest; }
    CoursePages &course() { return *m_course; }
    Keyboard &keyboard() { return *m_keyboard; }
    StepContext &steps() { return *m_steps; }
    Exercises &exercises() { return *m_exercises; }
    InfoPages &infoPages() { return *m_info; }
    ReportPages &reports() { return *m_reports; }
    StatsPage &statistics() { return *m_stats; }
    SettingsPage &settingsPage() { return *m_settingsPage; }

    void EnablePartButtons() override;
    void DisableMenu() override;
    void EnableMenu() override;
    void DisableAllControls() override;
    void EnableAllControls() override;
    bool KeyboardIsShown() const override;
    void SlideKeyboard() override;

    // Hides into the tray where the desktop has one, else minimises normally,
    // so the window can never become unreachable.
    void minimizeToTray() override;
    void restoreFromTray() override;
    bool hasTray() const;

    QWidget *keyboardPicture() const;
    // The check on the keyboard panel that draws the computer keys' letters.
    QCheckBox *keyLettersToggle() const;
    // None until a tray can take it (see MainTray); the menu is always there.
    QSystemTrayIcon *trayIcon() const;
    QMenu *trayMenu() const;

    // A click or double click on the tray icon, or its menu's "Открыть": the
    // window comes back, except during a rest.
    void CoolTrayIcon1DblClick();
    void btExitClick();
    // The session is ending (logout, shutdown, a signal): closes as the exit
    // button does, once a playback loop under way has ended.
    void endSession();

Q_SIGNALS:
    // The window has agreed to close and logged it. It may have been hidden in
    // the tray, where closing it would not end the message loop by itself.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormCreate(const BasePath &base);
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    void createWindow();
    void createKeyboardPicture();
    void createKeyLettersToggle();
    void createLogo();
    void createMenuLinks();
    void createPartButtons();
    void createExitButton();
    void createTrayIcon();
    void createSoundNotice();
    ClickLabel *createLink(const QString &name, const QString &text, const QRect &geometry,
                           const QFont &font, const QColor &color);
    void openMakerSite();
    void showPart(int part);
    void writeLogSafely(const QString &message);
    void tell(const QString &text);
    void keepOnScreen(int growth);
    void clearLeftovers();

    std::unique_ptr<GlobalState> m_state;
    Routes m_routes;
    Page *m_page = nullptr;
    OneShotTimers *m_timers = nullptr;
    std::unique_ptr<RestBreak> m_rest;
    std::unique_ptr<CoursePages> m_course;
    std::unique_ptr<Keyboard> m_keyboard;
    std::unique_ptr<StepContext> m_steps;
    // Declared after the state, rest break, keyboard and step context they refer
    // to, so they are freed before them; the page and timers go later still, with
    // the window's children.
    std::unique_ptr<Exercises> m_exercises;
    MainTray *m_tray = nullptr;
    std::unique_ptr<InfoPages> m_info;
    std::unique_ptr<ReportPages> m_reports;
    std::unique_ptr<StatsPage> m_stats;
    std::unique_ptr<SettingsPage> m_settingsPage;
    bool m_closing = false;
    bool m_closed = false;
    int m_liftedBy = 0;           // how far the keyboard's slide raised the window
    bool m_sessionEnding = false; // no message boxes from here on
    QDateTime m_startedAt;        // what a killed run left is older than this
    bool m_leftoversCleared = false;
};

} // namespace nk
