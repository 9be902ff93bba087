// The program run as it ships (Application::run, with its handling of the
// session's end) over a program folder, taken to where a session may end:
//
//   robust_sessiondriver <program folder> page|rest|memorise [quit|box]
//
// "page": the level page the start opens; "rest": memorisation's rest break
// with the window gone; "memorise": a memorisation playback loop under way.
// It prints "ready" once there and runs until something ends it. Message
// boxes are printed ("message: ...") instead of shown.
//
// With "quit" the window is hidden as the tray hides it and the program is
// asked to quit as a logout asks it. With "box" the window is hidden and a
// failing action shows its real message box, which is accepted; "box closed"
// follows once the message loop has run on after it.

#include "../support/pagedriver.h"
#include "app/application.h"
#include "app/coursepages.h"
#include "app/tmainform.h"
#include "course/fileerror.h"
#include "course/programclock.h"
#include "steps/step2.h"
#include "widgets/actionboundary.h"
#include "widgets/messagebox.h"

#include <QLoggingCategory>
#include <QTimer>
#include <cstdio>

using namespace nk;

namespace {

void say(const char *line)
{
    std::fprintf(stdout, "%s\n", line);
    std::fflush(stdout);
}

void messageShown(const QString &text)
{
    say(qPrintable(QStringLiteral("message: ") + text));
}

TMainForm *mainForm()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<TMainForm *>(w))
            return form;
    }
    return nullptr;
}

// Level 1's memorisation, started with its "СТАРТ" button.
void startMemorising(TMainForm &form)
{
    form.course().ShowLevelPage(1);
    form.course().OpenStep(1, 2);
    test::PageDriver::clickLink(form.page(), Step2::ContinueLinkTag); // its introduction
    if (!test::PageDriver::clickButton(form.page(), Step2::StartTag))
        say("no start button");
}

bool arrived(TMainForm &form, const QString &where)
{
    const GlobalState &s = form.state();
    if (where == QLatin1String("memorise"))
        return s.Settings.Busy;
    if (where == QLatin1String("rest"))
        return s.Resting && (form.isHidden() || form.isMinimized());
    return s.Started;
}

// Turns of the message loop after the box, in which a quit would have been seen.
void sayAfterTurns(int turns, const char *line)
{
    if (turns == 0) {
        say(line);
        return;
    }
    QTimer::singleShot(0, qApp, [turns, line] { sayAfterTurns(turns - 1, line); });
}

void failWhileHidden(TMainForm &form)
{
    form.hide();
    auto *accept = new QTimer(&form);
    QObject::connect(accept, &QTimer::timeout, &form, [accept] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            accept->stop();
            QMetaObject::invokeMethod(box, "accept");
        }
    });
    accept->start(5);
    ActionBoundary::run([] { throw FileError(QStringLiteral("Не удалось записать файл")); });
    sayAfterTurns(20, "box closed");
}

void arrive(TMainForm &form, const QString &then)
{
    if (then == QLatin1String("quit")) {
        form.hide();
        QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
    } else if (then == QLatin1String("box")) {
        failWhileHidden(form);
        return;
    }
    say("ready");
}

void goTo(const QString &where, const QString &then)
{
    TMainForm *form = mainForm();
    if (!form) {
        say("no window");
        return;
    }
    if (where != QLatin1String("page"))
        startMemorising(*form);
    // Checked from the message loop, so also from inside a playback loop's waits.
    auto *poll = new QTimer(form);
    QObject::connect(poll, &QTimer::timeout, form, [form, where, then, poll] {
        if (arrived(*form, where)) {
            poll->stop();
            arrive(*form, then);
        }
    });
    poll->start(2);
}

} // namespace

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    const QString then = args.value(3);
    if (then != QLatin1String("box"))
        MessageBox::setHook(&messageShown);
    // Memorisation plays for 9 s, ample for the signal to land inside it; the
    // rest lasts 4.2 s after 40 ms in view.
    ProgramClock::setScale(args.at(2) == QLatin1String("memorise") ? 0.1 : 0.01);
    QTimer::singleShot(0, &app, [where = args.at(2), then] { goTo(where, then); });
    return app.run(args.at(1));
}
