#include "pianorenderer.h"

#include "generationerror.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <fluidsynth.h>

namespace nk {

namespace {

constexpr int kBendCentre = 8192;
constexpr int kBendRangeSemitones = 2;
constexpr int kVelocity = 100;
constexpr int kBlock = 512;

int bendFor(double cents)
{
    const double units = cents * kBendCentre / (kBendRangeSemitones * 100.0);
    return std::clamp(kBendCentre + int(std::lround(units)), 0, 2 * kBendCentre - 1);
}

} // namespace

PianoRenderer::PianoRenderer(const QString &soundFont)
{
    if (!QFileInfo(soundFont).isFile())
        throw GenerationError(QStringLiteral("the piano soundfont ") + soundFont +
                              QStringLiteral(" is missing: install the Debian package "
                                             "fluid-soundfont-gm (scripts/setup does)"));
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    m_settings = new_fluid_settings();
    fluid_settings_setnum(m_settings, "synth.sample-rate", kRate);
    fluid_settings_setnum(m_settings, "synth.gain", 0.8);
    // No effects: the notes must differ in pitch only, and stay reproducible.
    fluid_settings_setint(m_settings, "synth.reverb.active", 0);
    fluid_settings_setint(m_settings, "synth.chorus.active", 0);
    fluid_settings_setint(m_settings, "synth.cpu-cores", 1);
    m_synth = new_fluid_synth(m_settings);
    m_fontId = fluid_synth_sfload(m_synth, soundFont.toLocal8Bit().constData(), 1);
    if (m_fontId == FLUID_FAILED)
        throw GenerationError(QStringLiteral("cannot load the soundfont ") + soundFont);
}

PianoRenderer::~PianoRenderer()
{
    if (m_synth)
        delete_fluid_synth(m_synth);
    if (m_settings)
        delete_fluid_settings(m_settings);
}

std::vector<float> PianoRenderer::render(const QList<Strike> &strikes, double seconds)
{
    reset();
    // One channel per key, so that every key gets its own tuning correction.
    for (int ch = 0; ch < strikes.size(); ++ch) {
        fluid_synth_program_select(m_synth, ch, m_fontId, 0, 0);
        fluid_synth_pitch_wheel_sens(m_synth, ch, kBendRangeSemitones);
        fluid_synth_pitch_bend(m_synth, ch, bendFor(strikes[ch].cents));
        fluid_synth_noteon(m_synth, ch, strikes[ch].midiKey, kVelocity);
    }
    const size_t total = size_t(seconds * kRate);
    std::vector<float> mono(total);
    std::vector<float> left(kBlock), right(kBlock);
    for (size_t pos = 0; pos < total; pos += kBlock) {
        const int n = int(std::min<size_t>(kBlock, total - pos));
        fluid_synth_write_float(m_synth, n, left.data(), 0, 1, right.data(), 0, 1);
        for (int i = 0; i < n; ++i)
            mono[pos + i] = 0.5f * (left[i] + right[i]);
    }
    return mono;
}

void PianoRenderer::reset()
{
    fluid_synth_all_sounds_off(m_synth, -1);
    fluid_synth_system_reset(m_synth);
    // Let any voice that was cut settle to silence before the next strike.
    std::vector<float> scratch(kBlock);
    for (int i = 0; i < 8; ++i)
        fluid_synth_write_float(m_synth, kBlock, scratch.data(), 0, 1, scratch.data(), 0, 1);
}

} // namespace nk
