#pragma once

#include <QList>
#include <QString>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace nk {

// One key to strike, with the pitch correction it needs in cents.
struct Strike
{
    int midiKey = 60;
    double cents = 0.0;
};

// Renders the General MIDI grand piano (program 0) of a soundfont offline.
class PianoRenderer
{
public:
    static constexpr int kRate = 44100;

    // Throws GenerationError when the soundfont is missing or unreadable.
    explicit PianoRenderer(const QString &soundFont);
    ~PianoRenderer();
    PianoRenderer(const PianoRenderer &) = delete;
    PianoRenderer &operator=(const PianoRenderer &) = delete;

    // Mono samples of the keys struck together and held for `seconds`.
    std::vector<float> render(const QList<Strike> &strikes, double seconds);

private:
    void reset();

    _fluid_hashtable_t *m_settings = nullptr;
    _fluid_synth_t *m_synth = nullptr;
    int m_fontId = -1;
};

} // namespace nk
