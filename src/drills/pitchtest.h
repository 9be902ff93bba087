#pragma once

#include "drills/pitchtestpages.h"
#include "drills/pitchtestrun.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace nk {

class PageLabel;
struct StepContext;

// The pitch test as the learner takes it: the introduction, a sitting of 36
// trials answered on the circle of names, the computer keys or a MIDI
// keyboard, and the result. Each trial is in the history as it is answered;
// a finished sitting is scored and kept, one left before its end (another
// page opened, the window closed) is not, and the next introduction says so.
class PitchTest : public QObject
{
    Q_OBJECT
public:
    explicit PitchTest(StepContext &context, QObject *parent = nullptr);
    ~PitchTest() override;

    void ShowTestPage(std::function<void()> back);
    void startClick();
    void nameClick(int pitch);
    void backClick();

    // The retest day reached and not yet told on a level page; null when
    // there is none. Each day is told once.
    QDate takeReminder(const QDate &today);

    bool running() const { return m_run && !m_run->isOver(); }
    // A trial's note has begun and waits for its answer.
    bool listening() const { return m_run && m_run->listening(); }

private:
    PitchTestRun::Hooks hooks();
    void trialAnswered(const PitchTrial &trial, int number);
    void finished(const PitchTestScore &score);
    void left();
    void release();
    const QList<QDate> &testDays();

    StepContext &m_context;
    PitchTestPages m_pages;
    std::unique_ptr<PitchTestRun> m_run;
    QPointer<PageLabel> m_count;
    std::function<void()> m_back;
    qint64 m_sitting = 0;
    bool m_lastLeft = false;
    QDate m_told;
    QList<QDate> m_days; // of the finished tests
    bool m_daysRead = false;
};

} // namespace nk
