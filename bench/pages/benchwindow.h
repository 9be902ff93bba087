#pragma once

#include "app/tmainform.h"
#include "widgets/page.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace nk {
class TArrowLabel;
class TYesButton;
} // namespace nk

namespace nk::bench {

// The real main window over a program folder, wired as the program wires it
// and shown. Messages are counted instead of shown, so nothing waits for a
// learner to press OK. Clicks are real mouse events on the page widgets.
class BenchWindow
{
public:
    explicit BenchWindow(const QString &programFolder);
    ~BenchWindow();

    TMainForm &form() { return *m_form; }
    Page &page() { return m_form->page(); }
    static QStringList &messages();

    TYesButton *button(int tag) const;
    TArrowLabel *link(int tag) const;
    template <typename W> W *first() const;

    static void click(QWidget *widget, QPoint at = {-1, -1});
    bool clickButton(int tag);
    bool clickLink(int tag);
    bool clickMenu(const QString &objectName);
    // A key of the on-screen keyboard, pressed with the mouse.
    void pressKey(int octave, int pitch);

    // Runs the message loop until the condition holds; false after timeoutMs.
    static bool waitFor(const std::function<bool()> &condition, int timeoutMs);

private:
    std::unique_ptr<TMainForm> m_form;
};

template <typename W> W *BenchWindow::first() const
{
    for (QWidget *w : m_form->page().pageWidgets()) {
        if (auto *typed = qobject_cast<W *>(w))
            return typed;
    }
    return nullptr;
}

} // namespace nk::bench
