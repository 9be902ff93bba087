#include "widgets/messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace nk {

namespace {
MessageBox::Hook g_hook = nullptr;
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
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

} // namespace nk
