#include "widgets/messagebox.h"

#include "widgets/afterfirstpaint.h"

#include <QMessageBox>
#include <QPointer>

namespace nk {

namespace {
MessageBox::Hook g_hook = nullptr;
QString g_title;
QPointer<QWidget> g_mainWindow;
QPointer<QWidget> g_holdingFor; // a window not yet painted
QStringList g_held;

void releaseHeld()
{
    g_holdingFor = nullptr;
    for (const QString &text : std::exchange(g_held, {}))
        MessageBox::show(nullptr, text);
}
} // namespace

void MessageBox::setTitle(const QString &title)
{
    g_title = title;
}

void MessageBox::setMainWindow(QWidget *window)
{
    g_mainWindow = window;
}

void MessageBox::holdUntilPainted(QWidget *window)
{
    g_holdingFor = window;
    g_held.clear();
    AfterFirstPaint::schedule(window, [window] {
        if (g_holdingFor == window)
            releaseHeld();
    });
}

void MessageBox::setHook(Hook hook)
{
    g_hook = hook;
}

void MessageBox::show(QWidget *parent, const QString &text)
{
    if (g_hook) {
        g_hook(text);
        return;
    }
    if (g_holdingFor) {
        g_held.append(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, g_title, text, QMessageBox::Ok,
                    parent ? parent : g_mainWindow.data());
    box.exec();
}

} // namespace nk
