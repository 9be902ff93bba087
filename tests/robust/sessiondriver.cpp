// The program run as it ships (Application::run, with its handling of the
// session's end) over a program folder, taken to where a session may end:
//
//   robust_sessiondriver <program folder> page|rest|memorise
//
// "page": the level page the start opens; "rest": memorisation's rest break
// with the window gone; "memorise": a memorisation playback loop under way.
// It prints "ready" once there and runs until something ends it. Message
// boxes are printed ("message: ...") instead of shown.

#include "../support/pagedriver.h"
#include "app/application.h"
#include "app/coursepages.h"
#include "app/tmainform.h"
#include "course/programclock.h"
#include "steps/step2.h"
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

void goTo(const QString &where)
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
    QObject::connect(poll, &QTimer::timeout, form, [form, where, poll] {
        if (arrived(*form, where)) {
            poll->stop();
            say("ready");
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
    MessageBox::setHook(&messageShown);
    // Memorisation plays for 9 s, ample for the signal to land inside it; the
    // rest lasts 4.2 s after 40 ms in view.
    ProgramClock::setScale(args.at(2) == QLatin1String("memorise") ? 0.1 : 0.01);
    QTimer::singleShot(0, &app, [where = args.at(2)] { goTo(where); });
    return app.run(args.at(1));
}
