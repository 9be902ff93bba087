// Page switches of the real window over the default course: from the click
// or route call until the new page is built, until the old page's widgets are
// deleted (their deferred deletion processed), and until the window is painted.
//
// Every kind of page is visited in each round: part and level lists, Step 1's
// questionnaire, Step 2's pages, Step 3's keyboard page, Step 4, the drills,
// the report page and the text (RTF) pages. One warm-up round is not counted.
//
//   bench_pages [rounds]       (QT_QPA_PLATFORM=offscreen unless set; xcb under xvfb-run)

#include "app/coursepages.h"
#include "app/exercises.h"
#include "app/globalstate.h"
#include "benchmain.h"
#include "benchwindow.h"
#include "figures.h"
#include "programcopy.h"
#include "steps/melodypages.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/step3.h"
#include "steps/step4.h"
#include "steps/trainingpages.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/pageitem.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "widgets/tnotename.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>

using namespace nk;
using namespace nk::bench;

namespace {

// Counts paint events of the window's widgets, to show a paint really happened.
class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

struct Series
{
    std::vector<double> built, cleared, painted, cpu;
};

class PageSwitches
{
public:
    explicit PageSwitches(BenchWindow &window) : m_w(window)
    {
        qApp->installEventFilter(&m_paints);
    }

    void round();
    void setCounting(bool on) { m_counting = on; }
    void print() const;
    int failures() const { return m_failures; }

private:
    void measure(const std::string &kind, const std::function<void()> &action);
    void levelPage(int level);
    void openStep(const std::string &kind, int level, int step);
    void questionnaire();
    void memorisation();
    void training();
    void melodies();

    BenchWindow &m_w;
    PaintCounter m_paints;
    std::map<std::string, Series> m_series;
    bool m_counting = false;
    int m_failures = 0;
    int m_unpainted = 0;
};

double msSince(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// This thread's processor time: what a switch costs when no other program
// competes for the processor.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

bool anyRemovedLeft(QWidget *window)
{
    for (QObject *child : window->children()) {
        const PageItem *item = PageItem::of(child);
        if (item && item->isBeingRemoved())
            return true;
    }
    return false;
}

void PageSwitches::measure(const std::string &kind, const std::function<void()> &action)
{
    QList<QPointer<QWidget>> old;
    for (QWidget *w : m_w.page().pageWidgets())
        old.append(w);
    m_paints.count = 0;
    const double cpuBefore = threadCpuMs();
    QElapsedTimer clock;
    clock.start();
    action();
    const double built = msSince(clock);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const double cleared = msSince(clock);
    const double cpu = threadCpuMs() - cpuBefore;
    QCoreApplication::processEvents();
    const double painted = msSince(clock);

    const QList<QWidget *> now = m_w.page().pageWidgets();
    const bool replaced = !now.isEmpty() && !old.contains(now.last());
    if (!replaced || anyRemovedLeft(&m_w.form())) {
        std::fprintf(stderr, "bench_pages: %s: the page was not replaced and cleared\n",
                     kind.c_str());
        ++m_failures;
        return;
    }
    if (m_paints.count == 0)
        ++m_unpainted;
    if (!m_counting)
        return;
    for (Series *s : {&m_series[kind], &m_series["all pages"]}) {
        s->built.push_back(built);
        s->cleared.push_back(cleared);
        s->painted.push_back(painted);
        s->cpu.push_back(cpu);
    }
}

void PageSwitches::levelPage(int level)
{
    measure("level page", [this, level] { m_w.form().routes().showLevelPage(level); });
}

void PageSwitches::openStep(const std::string &kind, int level, int step)
{
    levelPage(level);
    measure(kind, [this, level, step] { m_w.form().course().OpenStep(level, step); });
}

// Every question of the first note, one step back on the way, then the
// choice of the three traits; the traits are never saved, so every round
// starts at the same note.
void PageSwitches::questionnaire()
{
    openStep("Step 1 questionnaire", 1, 1);
    if (m_w.button(Step1::ConfirmTag))
        measure("Step 1 questionnaire", [this] { m_w.clickButton(Step1::ConfirmTag); });
    if (TNoteName *note = m_w.first<TNoteName>()) // once the notes are memorised
        measure("Step 1 questionnaire", [note] { BenchWindow::click(note); });
    bool wentBack = false;
    for (int guard = 0; guard < 100; ++guard) {
        TMyEdit *box = m_w.first<TMyEdit>();
        TMyButton *ok = m_w.first<TMyButton>();
        if (!box || !ok)
            break;
        box->insert(QStringLiteral("тёплая, круглая"));
        BenchWindow::click(ok);
        if (!wentBack && m_w.link(Step1::BackLinkTag)) {
            wentBack = true;
            measure("Step 1 questionnaire", [this] { m_w.clickLink(Step1::BackLinkTag); });
            continue;
        }
        measure("Step 1 questionnaire", [this] { m_w.clickLink(Step1::ContinueLinkTag); });
    }
    measure("text page (RTF)", [this] { m_w.form().exercises().learning().ShowStep1Intro(); });
}

// The playback a started session schedules is switched off in round(): only
// the pages are measured here.
void PageSwitches::memorisation()
{
    openStep("Step 2 page", 1, 2);
    if (m_w.link(Step2::ContinueLinkTag))
        measure("Step 2 page", [this] { m_w.clickLink(Step2::ContinueLinkTag); });
    measure("Step 2 page", [this] { m_w.clickButton(Step2::StartTag); });
    measure("text page (RTF)", [this] { m_w.form().exercises().memorising().ShowStep2Intro(); });
}

void PageSwitches::training()
{
    openStep("Step 3 keyboard page", 1, 3);
    if (m_w.link(TrainingPages::ContinueLinkTag))
        measure("Step 3 keyboard page", [this] { m_w.clickLink(TrainingPages::ContinueLinkTag); });
    measure("text page (RTF)", [this] { m_w.form().exercises().training().ShowTrainingIntro(); });
}

void PageSwitches::melodies()
{
    openStep("Step 4 page", 1, 4);
    if (m_w.link(MelodyPages::ContinueLinkTag))
        measure("Step 4 page", [this] { m_w.clickLink(MelodyPages::ContinueLinkTag); });
    measure("text page (RTF)", [this] { m_w.form().exercises().melodies().ShowMelodyIntro(); });
}

void PageSwitches::round()
{
    m_w.form().timers().setAction(Step2::PlaybackTimerTag, [] {});
    for (int part = 1; part <= 4; ++part)
        measure("part page",
                [this, part] { m_w.clickMenu(QStringLiteral("btPart") + QString::number(part)); });
    measure("text page (RTF)", [this] { m_w.clickMenu(QStringLiteral("lbInstr")); });
    measure("text page (RTF)", [this] { m_w.clickMenu(QStringLiteral("lbAbout")); });
    for (int level = 1; level <= 28; ++level)
        levelPage(level);
    questionnaire();
    memorisation();
    training();
    melodies();
    for (int drill = 1; drill <= 3; ++drill)
        openStep("drill page", 4, drill);
    openStep("report page", 1, 5);
}

void PageSwitches::print() const
{
    std::printf("\nUntil the new page is built:\n");
    for (const auto &[kind, s] : m_series)
        Figures::print(kind.c_str(), s.built);
    std::printf("\nUntil the new page is built and the old one deleted:\n");
    for (const auto &[kind, s] : m_series)
        Figures::print(kind.c_str(), s.cleared);
    std::printf("\nProcessor time of this thread until built and deleted:\n");
    for (const auto &[kind, s] : m_series)
        Figures::print(kind.c_str(), s.cpu);
    std::printf("\nUntil the window is painted as well:\n");
    for (const auto &[kind, s] : m_series)
        Figures::print(kind.c_str(), s.painted);
    if (m_unpainted)
        std::printf("(%d switches painted nothing)\n", m_unpainted);
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    ProgramCopy copy;
    QString error;
    if (!copy.make(&error)) {
        std::fprintf(stderr, "bench_pages: %s\n", qPrintable(error));
        return 1;
    }
    BenchWindow window(copy.path());
    PageSwitches bench(window);
    bench.round(); // warm-up: first visits, fonts, pictures
    bench.setCounting(true);
    for (int r = 0; r < rounds; ++r)
        bench.round();
    std::printf("Page switches on the platform \"%s\", %d rounds after one warm-up round\n",
                qPrintable(QGuiApplication::platformName()), rounds);
    bench.print();
    if (!BenchWindow::messages().isEmpty())
        std::printf("Messages shown: %lld, first: %s\n", qlonglong(BenchWindow::messages().size()),
                    qPrintable(BenchWindow::messages().first()));
    return bench.failures() ? 1 : 0;
}
