#include "app/application.h"

#include "app/sessionend.h"
#include "app/singleinstance.h"
#include "app/tmainform.h"
#include "app/wiring.h"
#include "course/basepath.h"
#include "course/fileerror.h"
#include "widgets/actionboundary.h"
#include "widgets/fonts.h"
#include "widgets/messagebox.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QSessionManager>
#include <thread>

namespace nk {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("notoklyuv"));
    // Not the display name: on X11 Qt appends that to every window's caption,
    // and the main window's caption is its own.
    MessageBox::setTitle(QStringLiteral("Нотоклюв v5.0"));
    setApplicationVersion(QStringLiteral("5.0"));
    // The window hides in the tray and message boxes come and go: the program
    // ends when its window has closed, never because no window is left.
    setQuitOnLastWindowClosed(false);
}

int Application::run(const QString &folder)
{
    const BasePath base = folder.isEmpty() ? BasePath::ofApplication() : BasePath(folder);
    SingleInstance instance(base);
    if (!instance.start())
        return 0; // the folder's program shows its window instead
    int code = 0;
    const std::jthread fonts(&Application::warmUp);
    {
        TMainForm form(base);
        Wiring::connect(form);
        // As a click on the tray icon: refused during a rest.
        connect(&instance, &SingleInstance::showRequested, &form,
                [&form] { ActionBoundary::run([&form] { form.CoolTrayIcon1DblClick(); }); });
        m_endSession = [&form] { form.endSession(); };
        QObject::connect(&form, &TMainForm::closed, this, [this] {
            m_endSession = {};
            QMetaObject::invokeMethod(this, &QCoreApplication::quit, Qt::QueuedConnection);
        });
        const auto commit =
            connect(this, &QGuiApplication::commitDataRequest, this, [this] { endSession(); });
        const SessionEnd sessionEnd([this] { endSession(); });
        form.show();
        code = exec();
        disconnect(commit);
        m_endSession = {};
    } // the window and its state go only after the message loop has ended
    return code;
}

// Reading the system's fonts is the largest single part of a start, and the
// window being built needs none until its first text: the other core reads
// them meanwhile, with the fallbacks of the program's two kinds of lettering
// and of Qt's own, and finds the image readers the course's GIF pictures
// need. Qt's font database, its fallbacks and its plug-ins are shared between
// threads, under locks that hold the window back only where it gets there
// first; the fonts themselves each thread makes for its own.
void Application::warmUp()
{
    QFontDatabase::families();
    for (const QFont &font : {Fonts::arial(12), Fonts::sansSerif(12, true), QFont()})
        QFontMetrics(font).horizontalAdvance(QStringLiteral("Шаг 1. Level"));
    static const char pixel[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                                "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b";
    QImage::fromData(QByteArray::fromRawData(pixel, sizeof pixel - 1), "GIF");
}

void Application::endSession()
{
    if (m_endSession)
        m_endSession();
}

bool Application::event(QEvent *event)
{
    if (event->type() == QEvent::Quit && m_endSession) {
        endSession();
        return true; // the window's close quits, once it is done
    }
    return QApplication::event(event);
}

void Application::showError(const QString &text)
{
    MessageBox::show(nullptr, text);
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
