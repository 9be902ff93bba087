#pragma once

#include <QApplication>
#include <functional>

namespace nk {

// The program's application object. Every action catches its own failures
// (ActionBoundary); should one still escape an event handler, it ends only that
// user action: its text is shown and the program goes on.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv);

    // Shows the main window on the program folder `folder` (empty: the
    // executable's own folder) and runs until it closes.
    int run(const QString &folder = {});

    bool notify(QObject *receiver, QEvent *event) override;

    // How many failures got past every action's own boundary: each one has
    // unwound through the window system. Tests expect none.
    static int escapedFailures();

    static void showError(const QString &text);

protected:
    // A logout reaches the program as a request to quit: it closes the window
    // by the path of a session's end, saving and logging, wherever it is.
    bool event(QEvent *event) override;

private:
    static void warmUp();
    void endSession();

    std::function<void()> m_endSession; // while the window has not closed
};

} // namespace nk
