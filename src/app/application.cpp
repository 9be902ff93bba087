#include "app/application.h"

#include "app/sessionend.h"
#include "app/tmainform.h"
#include "app/wiring.h"
#include "course/basepath.h"
#include "course/fileerror.h"
#include "widgets/messagebox.h"

namespace nk {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("notoklyuv"));
    // Not the display name: on X11 Qt appends that to every window's caption,
    // and the main window's caption is its own.
    MessageBox::setTitle(QStringLiteral("Нотоклюв v5.0"));
    setApplicationVersion(QStringLiteral("5.0"));
}

int Application::run(const QString &folder)
{
    int code = 0;
    {
        TMainForm form(folder.isEmpty() ? BasePath::ofApplication() : BasePath(folder));
        Wiring::connect(form);
        QObject::connect(&form, &TMainForm::closed, this, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        const SessionEnd sessionEnd([&form] { form.endSession(); });
        form.show();
        code = exec();
    } // the window and its state go only after the message loop has ended
    return code;
}

void Application::showError(const QString &text)
{
    MessageBox::show(activeWindow(), text);
}

namespace {
int g_escaped = 0;
}

int Application::escapedFailures()
{
    return g_escaped;
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const FileError &error) {
        ++g_escaped;
        showError(error.text());
    } catch (const std::exception &error) {
        ++g_escaped;
        showError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace nk
