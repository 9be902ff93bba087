#include "widgets/messagebox.h"

#include <QMessageBox>

namespace nk {

namespace {
MessageBox::Hook g_hook = nullptr;
QString g_title;
} // namespace

void MessageBox::setTitle(const QString &title)
{
    g_title = title;
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
    QMessageBox box(QMessageBox::NoIcon, g_title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace nk
