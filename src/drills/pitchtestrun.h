#pragma once

#include "drills/pitchtestplan.h"
#include "drills/pitchtestscore.h"

#include <QObject>
#include <functional>

namespace nk {

// One sitting of the pitch test: for each of the 36 trials the masking tones,
// the silence and the note, then the first pitch class named after the note
// began. Nothing tells right from wrong until the end. Sound and time come
// through the hooks, so the sitting runs the same against a recording sound
// server or a test's own clock.
class PitchTestRun : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        std::function<void(const TestNote &)> play; // starts a note and returns
        std::function<void()> stop;
        std::function<void(int)> wait;   // keeps the event loop running meanwhile
        std::function<qint64()> now;     // a monotonic clock, in milliseconds
        std::function<bool()> cancelled; // the program is closing
    };

    PitchTestRun(Hooks hooks, QStringList timbres, QObject *parent = nullptr);

    // Draws the trials and plays the first one.
    void start();
    // A pitch class named by the learner, by any input; counts only while a
    // trial's note is sounding or over and the trial not yet answered.
    void answer(int pitchClass);
    // The learner left: nothing more plays, and the sitting is not scored.
    void abandon();

    bool listening() const { return m_listening; }
    bool isOver() const { return m_over; }
    int trialNumber() const { return int(m_done.size()) + 1; }
    const QList<PitchTrial> &trials() const { return m_done; }

Q_SIGNALS:
    void noteStarted(int trial);
    void trialAnswered(const nk::PitchTrial &trial, int number);
    void finished(const nk::PitchTestScore &score);

private:
    void playTrial();
    bool stopped() const;

    Hooks m_hooks;
    QStringList m_timbres;
    QList<TestNote> m_plan;
    QList<PitchTrial> m_done;
    qint64 m_noteStart = 0;
    bool m_listening = false;
    bool m_playing = false;
    bool m_over = false;
};

} // namespace nk
