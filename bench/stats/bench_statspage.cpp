// The statistics page of the real window for a level of 36 notes trained on
// 100 days: from the click on a link until the page is built, and the paint
// of the whole window that follows, for each of the page's three views.
// One warm-up round is not counted.
//
//   bench_statspage [rounds]   (QT_QPA_PLATFORM=offscreen unless set)

#include "benchmain.h"
#include "benchwindow.h"
#include "figures.h"
#include "programcopy.h"
#include "samplehistory.h"
#include "stats/statslinks.h"
#include "stats/statspage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace nk;
using namespace nk::bench;

namespace {

struct View
{
    const char *name;
    int tag;
    std::vector<double> built, painted, cpu;
};

// Processor time of this thread: what an idle machine would take.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Opens the page by its link on the level page, then switches to the view.
bool measure(BenchWindow &window, View &view, bool counting)
{
    window.form().routes().showLevelPage(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!window.clickLink(StatsLinks::FromLevelTag))
        return false;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const double cpuStart = cpuMs();
    QElapsedTimer timer;
    timer.start();
    if (!window.clickLink(view.tag))
        return false;
    const double built = msSince(timer);
    timer.restart();
    window.form().repaint();
    const double painted = msSince(timer);
    const double cpu = cpuMs() - cpuStart;
    if (counting) {
        view.cpu.push_back(cpu);
        view.built.push_back(built);
        view.painted.push_back(painted);
    }
    return window.form().statistics().plot() != nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    ProgramCopy copy;
    QString error;
    if (!copy.make(&error))
        return fail(error);
    BenchWindow window(copy.path());
    const HistorySummary history = test::sampleHistory(36, 100, {4, 0});
    window.form().statistics().setSource({[&history](int) { return history; }, {}});
    View views[] = {{"confusion heat map", StatsLinks::ConfusionViewTag, {}, {}, {}},
                    {"accuracy by day", StatsLinks::AccuracyViewTag, {}, {}, {}},
                    {"answer times", StatsLinks::TimeViewTag, {}, {}, {}}};
    for (int r = 0; r <= rounds; ++r) {
        for (View &view : views) {
            if (!measure(window, view, r > 0))
                return fail(QStringLiteral("the statistics page did not open"));
        }
    }
    std::printf("Statistics page, 36 notes over 100 days (%lld answers), platform \"%s\", "
                "%d rounds after one warm-up round; ms\n",
                qlonglong(history.answers), qPrintable(QGuiApplication::platformName()), rounds);
    for (const View &view : views) {
        Figures::print((std::string(view.name) + ": built").c_str(), view.built);
        Figures::print((std::string(view.name) + ": painted").c_str(), view.painted);
        Figures::print((std::string(view.name) + ": both, processor").c_str(), view.cpu);
    }
    return 0;
}
