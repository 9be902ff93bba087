#pragma once

#include <QString>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace nk {

// The two output channels of one rendered key. A soundfont's stereo samples are
// panned hard left and right, so each channel holds one layer of the note and
// can be tuned on its own before they are mixed.
struct RenderedKey
{
    std::vector<float> left, right;
};

// Renders General MIDI programs of a soundfont offline, at the soundfont's own
// pitch and without effects. Not thread-safe: give every thread its own.
class SynthRenderer
{
public:
    static constexpr int kRate = 44100;

    // Throws GenerationError when the soundfont is missing or unreadable.
    explicit SynthRenderer(const QString &soundFont);
    ~SynthRenderer();
    SynthRenderer(const SynthRenderer &) = delete;
    SynthRenderer &operator=(const SynthRenderer &) = delete;

    // One key of `program` (0-based) struck and held for `seconds`.
    RenderedKey render(int program, int midiKey, double seconds);

private:
    void warmUp();
    void reset();

    _fluid_hashtable_t *m_settings = nullptr;
    _fluid_synth_t *m_synth = nullptr;
    int m_fontId = -1;
};

} // namespace nk
