// Processor time of one real memorisation repetition: a note of level 1 played
// 25 times with its 2- and 10-second waits, 90 seconds of real time, in the real
// window on a copy of the built program folder. The waits are the program's
// own; the figure is the process's user and system time (all threads) as a
// share of one core over the repetition.
//
//   bench_memorise_cpu [--no-sound]    (QT_QPA_PLATFORM=offscreen unless set)

#include "app/coursepages.h"
#include "app/globalstate.h"
#include "benchmain.h"
#include "benchwindow.h"
#include "programcopy.h"
#include "soundserver.h"
#include "steps/step2.h"
#include "widgets/page.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

using namespace nk;
using namespace nk::bench;

namespace {

constexpr int kLevel = 1;
constexpr int kMemorisationStep = 2;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the message loop until the rest after the repetition has begun; the
// check itself costs ten timer events a second.
bool waitForRest(GlobalState &state, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (state.Resting)
            loop.quit();
    });
    poll.start(100);
    QTimer::singleShot(timeoutMs, &loop, [&loop] { loop.exit(1); });
    return loop.exec() == 0;
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    SoundServer sound;
    QString error;
    if (!sound.start(SoundServer::wantedBy(argc, argv), &error))
        return fail(error);
    ProgramCopy copy;
    if (!copy.make(&error))
        return fail(error);
    BenchWindow window(copy.path());
    window.form().routes().showLevelPage(kLevel);
    window.form().course().OpenStep(kLevel, kMemorisationStep);
    if (!window.clickLink(Step2::ContinueLinkTag) || !window.button(Step2::StartTag))
        return fail(QStringLiteral("the memorisation page did not open"));

    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    window.clickButton(Step2::StartTag);
    if (!waitForRest(window.form().state(), 150000))
        return fail(QStringLiteral("the repetition did not end within 150 s"));
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;

    std::printf("One memorisation repetition on the platform \"%s\" with %s:\n",
                qPrintable(QGuiApplication::platformName()), qPrintable(sound.description()));
    std::printf("  %.1f s of real time, %.3f s of processor time (user + system, all threads)\n",
                seconds, cpu);
    std::printf("  = %.2f %% of one core\n", 100.0 * cpu / seconds);
    return 0;
}
