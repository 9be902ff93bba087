#include "widgets/messagebox.h"

#include <QMessageBox>
#include <QPointer>

namespace nk {

namespace {
MessageBox::Hook g_hook = nullptr;
QString g_title;
QPointer<QWidget> g_mainWindow;
} // namespace

void MessageBox::setTitle(const QString &title)
{
    g_title = title;
}

void MessageBox::setMainWindow(QWidget *window)
{
    g_mainWindow = window;
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
    QMessageBox box(QMessageBox::NoIcon, g_title, text, QMessageBox::Ok,
                    parent ? parent : g_mainWindow.data());
    box.exec();
}

} // namespace nk
