#include "synthrenderer.h"

#include "generationerror.h"

#include <QFileInfo>
#include <algorithm>
#include <fluidsynth.h>

namespace nk {

namespace {

constexpr int kVelocity = 100;
constexpr int kBlock = 512;
constexpr int kWarmUpVoices = 16;

} // namespace

SynthRenderer::SynthRenderer(const QString &soundFont)
{
    if (!QFileInfo(soundFont).isFile())
        throw GenerationError(QStringLiteral("the soundfont ") + soundFont +
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
    warmUp();
}

SynthRenderer::~SynthRenderer()
{
    if (m_synth)
        delete_fluid_synth(m_synth);
    if (m_settings)
        delete_fluid_settings(m_settings);
}

RenderedKey SynthRenderer::render(int program, int midiKey, double seconds)
{
    reset();
    if (fluid_synth_program_select(m_synth, 0, m_fontId, 0, program) == FLUID_FAILED)
        throw GenerationError(QStringLiteral("the soundfont has no program ") +
                              QString::number(program));
    fluid_synth_noteon(m_synth, 0, midiKey, kVelocity);
    // Whole blocks only: the synthesiser starts a note at its next internal
    // block, so a partial last block would shift the next note's start.
    const size_t total = size_t(seconds * kRate);
    const size_t blocks = (total + kBlock - 1) / kBlock;
    RenderedKey key{std::vector<float>(blocks * kBlock), std::vector<float>(blocks * kBlock)};
    for (size_t pos = 0; pos < key.left.size(); pos += kBlock)
        fluid_synth_write_float(m_synth, kBlock, key.left.data() + pos, 0, 1,
                                key.right.data() + pos, 0, 1);
    key.left.resize(total);
    key.right.resize(total);
    return key;
}

// The synthesiser's voices sound very slightly different the first time they
// are used; once each has sounded, a key renders alike whatever came before it,
// so the files do not depend on which thread rendered what.
void SynthRenderer::warmUp()
{
    reset();
    for (int ch = 0; ch < kWarmUpVoices; ++ch) {
        fluid_synth_program_select(m_synth, ch, m_fontId, 0, 0);
        fluid_synth_noteon(m_synth, ch, 48 + ch, kVelocity);
    }
    std::vector<float> scratch(kBlock);
    for (int i = 0; i < 8; ++i)
        fluid_synth_write_float(m_synth, kBlock, scratch.data(), 0, 1, scratch.data(), 0, 1);
}

void SynthRenderer::reset()
{
    // In this order: a reset alone leaves the voices sounding, and sounds cut
    // before the reset come back to life.
    fluid_synth_system_reset(m_synth);
    fluid_synth_all_sounds_off(m_synth, -1);
    // Let the cut voices fade out before the next strike.
    std::vector<float> scratch(kBlock);
    for (int i = 0; i < 8; ++i)
        fluid_synth_write_float(m_synth, kBlock, scratch.data(), 0, 1, scratch.data(), 0, 1);
}

} // namespace nk
