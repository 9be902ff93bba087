// Peak resident memory of the real window through a learner's session on the
// default course: the first start, the part and level lists, the whole of
// level 1 (questionnaire, memorisation, training on the keyboard, melodies,
// report page) and the black-and-white keys drills. Program time runs a
// thousand times faster, so the rests and waits take moments; everything else
// is the program's own code on a copy of the built program folder.
//
//   bench_session [--no-sound]    (QT_QPA_PLATFORM=offscreen unless set)

#include "app/coursepages.h"
#include "app/globalstate.h"
#include "benchmain.h"
#include "benchwindow.h"
#include "course/programclock.h"
#include "drills/drilldescription.h"
#include "programcopy.h"
#include "report/infopages.h"
#include "soundserver.h"
#include "steps/melodypages.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/tchecklistbox.h"
#include "steps/trainingpages.h"
#include "widgets/page.h"
#include "widgets/tlevel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "widgets/tstep.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <cstdio>

using namespace nk;
using namespace nk::bench;

namespace {

constexpr int kLevel = 1;
constexpr int kDrillLevel = 4;

// A line of /proc/self/status in kB, or -1.
long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void report(const char *phase)
{
    std::printf("%-44s VmRSS %6.1f MB   VmHWM %6.1f MB\n", phase, statusKb("VmRSS:") / 1024.0,
                statusKb("VmHWM:") / 1024.0);
    std::fflush(stdout);
}

class Session
{
public:
    explicit Session(BenchWindow &window) : m_w(window) {}

    bool firstRun();
    bool lists();
    bool learnNotes();
    bool memorise();
    bool train();
    bool pickMelodies();
    bool reportPage();
    bool drills();

private:
    bool levelPageShown() const { return m_w.first<TStep>() != nullptr; }
    bool openStep(int step);
    bool playMelody();

    BenchWindow &m_w;
};

bool Session::firstRun()
{
    return m_w.link(InfoPages::StartTag) && m_w.clickMenu(QStringLiteral("lbAbout")) &&
           m_w.clickMenu(QStringLiteral("lbInstr")) && m_w.clickLink(InfoPages::StartTag);
}

bool Session::lists()
{
    for (int part = 1; part <= 4; ++part) {
        if (!m_w.clickMenu(QStringLiteral("btPart") + QString::number(part)))
            return false;
    }
    for (int level = 1; level <= 28; ++level)
        m_w.form().routes().showLevelPage(level);
    if (!m_w.clickMenu(QStringLiteral("btPart1")))
        return false;
    TLevel *first = m_w.first<TLevel>();
    if (!first)
        return false;
    BenchWindow::click(first);
    return levelPageShown();
}

bool Session::openStep(int step)
{
    if (!levelPageShown())
        m_w.form().routes().showLevelPage(kLevel);
    for (QWidget *w : m_w.page().pageWidgets()) {
        auto *label = qobject_cast<TStep *>(w);
        if (label && label->tag() == 10 + step) {
            BenchWindow::click(label);
            return !levelPageShown();
        }
    }
    return false;
}

bool Session::learnNotes()
{
    if (!openStep(1) || !m_w.clickButton(Step1::ConfirmTag))
        return false;
    for (int guard = 0; guard < 1000 && !levelPageShown(); ++guard) {
        if (auto *list = m_w.first<TCheckListBox>()) {
            for (int row : {0, 1, 2})
                list->setChecked(row, true);
            if (!m_w.clickButton(Step1::SaveTag))
                return false;
            continue;
        }
        TMyEdit *box = m_w.first<TMyEdit>();
        TMyButton *ok = m_w.first<TMyButton>();
        if (!box || !ok)
            return false;
        box->insert(QStringLiteral("ответ %1").arg(guard));
        BenchWindow::click(ok);
        if (!m_w.clickLink(Step1::ContinueLinkTag))
            return false;
    }
    return levelPageShown();
}

bool Session::memorise()
{
    if (!openStep(2) || !m_w.clickLink(Step2::ContinueLinkTag))
        return false;
    while (m_w.button(Step2::StartTag)) {
        m_w.clickButton(Step2::StartTag);
        if (!BenchWindow::waitFor(
                [this] { return m_w.button(Step2::StartTag) || levelPageShown(); }, 20000))
            return false;
    }
    return levelPageShown();
}

bool Session::train()
{
    GlobalState &s = m_w.form().state();
    if (!openStep(3) || !m_w.clickLink(TrainingPages::ContinueLinkTag))
        return false;
    for (int round = 0; round < 500 && !levelPageShown(); ++round) {
        if (m_w.button(TrainingPages::ListenTag)) {
            if (!m_w.clickButton(TrainingPages::ListenTag) ||
                !m_w.clickButton(TrainingPages::AnswerTag))
                return false;
            for (int i = 0; i < s.Allowed.AnswerLen; ++i)
                m_w.pressKey(s.NotesB[std::size_t(i)].Octave, s.NotesB[std::size_t(i)].Pitch);
            if (!BenchWindow::waitFor([this] { return m_w.link(TrainingPages::NextLinkTag); },
                                      5000))
                return false;
        } else if (m_w.link(TrainingPages::NextLinkTag)) {
            m_w.clickLink(TrainingPages::NextLinkTag);
        } else if (!BenchWindow::waitFor([&s] { return !s.Resting; }, 20000)) {
            return false;
        }
    }
    return levelPageShown();
}

bool Session::playMelody()
{
    GlobalState &s = m_w.form().state();
    const QWidget *before = m_w.page().pageWidgets().value(0);
    if (!m_w.clickButton(MelodyPages::ListenTag) || !m_w.clickButton(MelodyPages::AnswerTag))
        return false;
    for (int i = 0; i < s.Allowed.AnswerLen; ++i)
        m_w.pressKey(s.NotesB[std::size_t(i)].Octave, s.NotesB[std::size_t(i)].Pitch);
    return BenchWindow::waitFor(
        [&] {
            const QList<QWidget *> widgets = m_w.page().pageWidgets();
            return !widgets.isEmpty() && widgets.first() != before;
        },
        5000);
}

bool Session::pickMelodies()
{
    if (!openStep(4) || !m_w.clickLink(MelodyPages::ContinueLinkTag))
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!playMelody() || !m_w.clickLink(MelodyPages::NextLinkTag))
            return false;
    }
    return m_w.clickLink(MelodyPages::ReturnLinkTag) && levelPageShown();
}

bool Session::reportPage()
{
    return openStep(5);
}

// Each drill's question, its pair listened to and answered.
bool Session::drills()
{
    m_w.form().routes().showLevelPage(kDrillLevel);
    CoursePages &course = m_w.form().course();
    for (int drill = 1; drill <= 3; ++drill) {
        course.OpenStep(kDrillLevel, drill);
        QList<QPointer<QWidget>> page;
        for (QWidget *w : m_w.page().pageWidgets())
            page.append(w);
        if (page.isEmpty())
            return false;
        for (const QPointer<QWidget> &w : page) {
            if (w && w->isEnabled() && qobject_cast<TYesButton *>(w))
                BenchWindow::click(w); // listen, then answer while it is there
        }
    }
    return true;
}

int stoppedAt(const char *phase)
{
    std::fprintf(stderr, "bench_session: the session stopped at: %s\n", phase);
    return 1;
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
    std::printf("Session on the platform \"%s\" with %s\n",
                qPrintable(QGuiApplication::platformName()), qPrintable(sound.description()));
    report("application object");
    ProgramClock::setScale(0.001);
    BenchWindow window(copy.path());
    report("window shown (first run: instruction page)");
    Session s(window);
    const std::pair<const char *, bool (Session::*)()> phases[] = {
        {"first run: about, instruction, start", &Session::firstRun},
        {"part pages, every level page, level 1", &Session::lists},
        {"Step 1: every question of every note", &Session::learnNotes},
        {"Step 2: every repetition of every note", &Session::memorise},
        {"Step 3: training on the keyboard", &Session::train},
        {"Step 4: three melodies", &Session::pickMelodies},
        {"report page", &Session::reportPage},
        {"drills of level 4", &Session::drills},
    };
    for (const auto &[name, phase] : phases) {
        if (!(s.*phase)())
            return stoppedAt(name);
        report(name);
    }
    std::printf("Peak resident memory (VmHWM): %.1f MB\n", statusKb("VmHWM:") / 1024.0);
    return 0;
}
