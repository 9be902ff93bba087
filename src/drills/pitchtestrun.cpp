#include "drills/pitchtestrun.h"

#include <QTimer>

namespace nk {

PitchTestRun::PitchTestRun(Hooks hooks, QStringList timbres, QObject *parent)
    : QObject(parent), m_hooks(std::move(hooks)), m_timbres(std::move(timbres))
{
}

void PitchTestRun::start()
{
    m_plan = PitchTestPlan::draw(m_timbres);
    m_done.clear();
    m_over = false;
    playTrial();
}

bool PitchTestRun::stopped() const
{
    return m_over || (m_hooks.cancelled && m_hooks.cancelled());
}

// The tones and the silence are waited out here, with the event loop running:
// keys pressed meanwhile reach answer() and are ignored.
void PitchTestRun::playTrial()
{
    m_playing = true;
    const MaskingSequence masking = MaskingSequence::draw(m_timbres);
    for (const TestNote &tone : masking.tones) {
        m_hooks.play(tone);
        m_hooks.wait(MaskingSequence::ToneMs);
        if (stopped())
            return;
    }
    m_hooks.stop();
    m_hooks.wait(masking.silenceMs);
    m_playing = false;
    if (stopped())
        return;
    m_noteStart = m_hooks.now();
    m_hooks.play(m_plan[m_done.size()]);
    m_listening = true;
    emit noteStarted(trialNumber());
}

void PitchTestRun::answer(int pitchClass)
{
    if (!m_listening || m_playing || m_over || pitchClass < 0 || pitchClass > 11)
        return;
    m_listening = false;
    const PitchTrial trial{m_plan[m_done.size()], pitchClass, m_hooks.now() - m_noteStart};
    m_done.append(trial);
    emit trialAnswered(trial, int(m_done.size()));
    if (m_done.size() == m_plan.size()) {
        m_over = true;
        m_hooks.stop();
        emit finished(PitchTestScore::of(m_done));
        return;
    }
    // From the event loop, so the key's own handler returns before the next
    // trial's tones are waited out.
    QTimer::singleShot(0, this, [this] {
        if (!stopped())
            playTrial();
    });
}

void PitchTestRun::abandon()
{
    if (m_over)
        return;
    m_over = true;
    m_listening = false;
    m_hooks.stop();
}

} // namespace nk
