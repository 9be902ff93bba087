#include "drills/pitchtest.h"

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "course/programclock.h"
#include "course/shutdown.h"
#include "course/timbre.h"
#include "drills/pitchtestschedule.h"
#include "history/historystore.h"
#include "keyboard/keyboard.h"
#include "report/activitylog.h"
#include "steps/stepcontext.h"
#include "widgets/page.h"
#include "widgets/pageitem.h"
#include "widgets/pagelabel.h"
#include "widgets/windowcontrols.h"

#include <QFileInfo>

namespace nk {

PitchTest::PitchTest(StepContext &context, QObject *parent)
    : QObject(parent), m_context(context), m_pages(context.page)
{
}

PitchTest::~PitchTest()
{
    release();
}

void PitchTest::ShowTestPage(std::function<void()> back)
{
    m_back = std::move(back);
    m_context.page.ClearPage();
    // The circle of names is the test's keyboard: the piano's low and high
    // ends are not there to lean on.
    m_context.Settings.KeyboardShown = true; // asks the panel to go
    m_context.page.controls().SlideKeyboard();
    m_pages.createIntro(m_lastLeft);
}

PitchTestRun::Hooks PitchTest::hooks()
{
    NotePlayer &player = m_context.player;
    PitchTestRun::Hooks h;
    h.play = [&player](const TestNote &note) {
        player.playFile(NotePlayer::recordedNotePath(note.timbre, note.octave, note.pitch));
    };
    h.stop = [&player] { player.stop(); };
    h.wait = [](int ms) { WaitMs(ms); };
    h.now = [] { return ProgramClock::monotonicMs(); };
    h.cancelled = [this] {
        return Shutdown::requested() || !m_count || PageItem::of(m_count)->isBeingRemoved();
    };
    return h;
}

void PitchTest::startClick()
{
    release();
    m_context.page.ClearPage();
    m_count = m_pages.createTrial();
    // Another page, whatever opened it, ends the sitting unscored.
    connect(m_count, &QObject::destroyed, this, &PitchTest::left);
    m_sitting = ProgramClock::now().toMSecsSinceEpoch();
    m_context.log.WriteLog(QStringLiteral("Начата проверка слуха"));
    m_run = std::make_unique<PitchTestRun>(
        hooks(), Timbre::present(Timbre::folders(), m_context.page.base()));
    connect(m_run.get(), &PitchTestRun::trialAnswered, this, &PitchTest::trialAnswered);
    connect(m_run.get(), &PitchTestRun::finished, this, &PitchTest::finished);
    m_context.keyboard.setInputTaker([this](int, quint8 pitch) { nameClick(pitch); });
    m_run->start();
}

void PitchTest::nameClick(int pitch)
{
    if (m_run)
        m_run->answer(pitch);
}

void PitchTest::trialAnswered(const PitchTrial &trial, int number)
{
    m_context.history.recordPitchTrial({m_sitting, ProgramClock::now(), trial.note.octave,
                                        trial.note.pitch, trial.note.timbre, trial.answered,
                                        trial.answerMs});
    if (m_count && number < PitchTestPlan::Trials)
        m_count->setCaption(PitchTestPages::trialText(number + 1));
}

void PitchTest::finished(const PitchTestScore &score)
{
    m_context.keyboard.setInputTaker({});
    const QList<PitchTestRecord> earlier = m_context.history.pitchTests();
    const QDateTime now = ProgramClock::now();
    m_context.history.recordPitchTest({m_sitting, now, score.trials, score.right,
                                       score.meanErrorTenths, score.oneOff, score.fastRight});
    testDays();
    m_days.append(now.date());
    m_lastLeft = false;
    m_context.log.WriteLog(score.summaryLine(now.date()));
    const QDate first = earlier.isEmpty() ? now.date() : earlier.first().at.date();
    QList<QDate> next;
    for (const QDate &d : PitchTestSchedule::nextDates(first)) {
        if (d > now.date())
            next.append(d);
    }
    if (m_count)
        disconnect(m_count, &QObject::destroyed, this, &PitchTest::left);
    m_context.page.ClearPage();
    m_pages.createResult(score, earlier, next);
}

void PitchTest::left()
{
    if (!m_run || m_run->isOver())
        return;
    m_run->abandon();
    m_context.keyboard.setInputTaker({});
    m_lastLeft = true;
    m_context.log.WriteLog(QStringLiteral("Проверка слуха прервана и не засчитана"));
}

void PitchTest::release()
{
    if (m_count)
        disconnect(m_count, &QObject::destroyed, this, &PitchTest::left);
    if (m_run && !m_run->isOver()) {
        m_run->abandon();
        m_context.keyboard.setInputTaker({});
    }
}

void PitchTest::backClick()
{
    if (m_back)
        m_back();
}

// Read once a run: the first level page asks, and later ones use what was read.
// A learner without a history gets no file made by looking.
const QList<QDate> &PitchTest::testDays()
{
    if (m_daysRead)
        return m_days;
    m_daysRead = true;
    if (!QFileInfo::exists(m_context.history.path()))
        return m_days;
    for (const PitchTestRecord &t : m_context.history.pitchTests())
        m_days.append(t.at.date());
    return m_days;
}

QDate PitchTest::takeReminder(const QDate &today)
{
    const QDate due = PitchTestSchedule::due(testDays(), today);
    if (!due.isValid() || due == m_told)
        return {};
    m_told = due;
    return due;
}

} // namespace nk
