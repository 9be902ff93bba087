#pragma once

namespace nk {

// What the pages may do to the window around them: slide the keyboard panel,
// switch the menu column or every control off and on, go to the tray and back.
class WindowControls
{
public:
    virtual ~WindowControls() = default;

    virtual void EnablePartButtons() = 0;
    virtual void DisableMenu() = 0;
    virtual void EnableMenu() = 0;
    virtual void DisableAllControls() = 0;
    virtual void EnableAllControls() = 0;
    virtual bool KeyboardIsShown() const = 0;
    // The caller first sets the keyboard flag of the settings: 0 to show, 1 to hide.
    virtual void SlideKeyboard() = 0;
    virtual void minimizeToTray() = 0;
    virtual void restoreFromTray() = 0;
};

// Every control off for the life of a scope, and on again however it is left.
class AllControlsDisabled
{
public:
    explicit AllControlsDisabled(WindowControls &window) : m_window(window)
    {
        m_window.DisableAllControls();
    }
    ~AllControlsDisabled() { m_window.EnableAllControls(); }
    AllControlsDisabled(const AllControlsDisabled &) = delete;
    AllControlsDisabled &operator=(const AllControlsDisabled &) = delete;

private:
    WindowControls &m_window;
};

// The menu column off for the life of a scope, and on again however it is left.
class MenuDisabled
{
public:
    explicit MenuDisabled(WindowControls &window) : m_window(window) { m_window.DisableMenu(); }
    ~MenuDisabled() { m_window.EnableMenu(); }
    MenuDisabled(const MenuDisabled &) = delete;
    MenuDisabled &operator=(const MenuDisabled &) = delete;

private:
    WindowControls &m_window;
};

} // namespace nk
