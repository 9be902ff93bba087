#include "soundwriter.h"

#include "generationerror.h"
#include "pianorenderer.h"
#include "pitchmeter.h"
#include "wavwriter.h"

#include <cmath>
#include <numbers>

namespace nk {

namespace {

constexpr double kSoundSeconds = 1.5;
constexpr double kFadeSeconds = 0.3;
// QSoundEffect cuts the last ~110 ms of a file; this silence keeps the note whole.
constexpr double kSilenceSeconds = 0.3;
constexpr double kTargetRms = 0.1;  // -20 dBFS over the whole file
constexpr double kPeakLimit = 0.89; // -1 dBFS
constexpr double kTuningGoalCents = 0.3;
constexpr int kTuningRounds = 3;

double rms(const std::vector<float> &samples)
{
    double sum = 0.0;
    for (const float s : samples)
        sum += double(s) * s;
    return std::sqrt(sum / double(samples.size()));
}

double peak(const std::vector<float> &samples)
{
    double p = 0.0;
    for (const float s : samples)
        p = std::max(p, double(std::fabs(s)));
    return p;
}

} // namespace

SoundWriter::SoundWriter(const Course &course, const OutputFolder &out, PianoRenderer &piano)
    : m_course(course), m_out(out), m_piano(piano)
{
}

void SoundWriter::writeAll()
{
    for (int octave = 4; octave <= 6; ++octave)
        for (int pitch = 0; pitch < 12; ++pitch)
            addNote({octave, pitch});
    for (const LevelSource &level : m_course.levels) {
        addChords(QStringLiteral("black"), level.blackChords);
        addChords(QStringLiteral("white"), level.whiteChords);
    }
    normaliseAndWrite();
}

double SoundWriter::tuningFor(const NoteRef &note)
{
    const int key = NoteNames::midiKey(note);
    const double expected = NoteNames::frequency(note);
    double correction = 0.0;
    double error = 0.0;
    for (int round = 0; round < kTuningRounds; ++round) {
        const std::vector<float> samples = m_piano.render({{key, correction}}, kSoundSeconds);
        error = PitchMeter::cents(
            PitchMeter::peakFrequency(samples, PianoRenderer::kRate, expected), expected);
        if (std::fabs(error) < kTuningGoalCents || round + 1 == kTuningRounds)
            break;
        correction -= error;
    }
    m_worstCents = std::max(m_worstCents, std::fabs(error));
    return correction;
}

void SoundWriter::addNote(const NoteRef &note)
{
    const int key = NoteNames::midiKey(note);
    m_correction[key] = tuningFor(note);
    m_sounds.append({NoteNames::soundPath(note),
                     shaped(m_piano.render({{key, m_correction[key]}}, kSoundSeconds))});
}

void SoundWriter::addChords(const QString &colour, const QStringList &chords)
{
    for (int k = 0; k < chords.size(); ++k) {
        QList<Strike> strikes;
        for (const QString &token : chords[k].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const NoteRef note{token.left(1).toInt(), token.mid(1).toInt()};
            const int key = NoteNames::midiKey(note);
            if (!m_correction.contains(key))
                throw GenerationError(QStringLiteral("chord key outside the keyboard: ") + token);
            strikes.append({key, m_correction[key]});
        }
        m_sounds.append({QStringLiteral("sound/piano/") + NoteNames::chordFile(colour, k + 1),
                         shaped(m_piano.render(strikes, kSoundSeconds))});
    }
}

std::vector<float> SoundWriter::shaped(std::vector<float> samples) const
{
    const size_t fadeStart = size_t((kSoundSeconds - kFadeSeconds) * PianoRenderer::kRate);
    for (size_t i = fadeStart; i < samples.size(); ++i) {
        const double t = double(i - fadeStart) / double(samples.size() - fadeStart);
        samples[i] *= float(0.5 + 0.5 * std::cos(std::numbers::pi * t));
    }
    samples.resize(samples.size() + size_t(kSilenceSeconds * PianoRenderer::kRate), 0.0f);
    return samples;
}

void SoundWriter::normaliseAndWrite()
{
    double loudest = 0.0;
    for (Sound &sound : m_sounds) {
        const float gain = float(kTargetRms / rms(sound.samples));
        for (float &s : sound.samples)
            s *= gain;
        loudest = std::max(loudest, peak(sound.samples));
    }
    // One common scale keeps the loudness equal while no file clips.
    const float scale = loudest > kPeakLimit ? float(kPeakLimit / loudest) : 1.0f;
    for (Sound &sound : m_sounds) {
        for (float &s : sound.samples)
            s *= scale;
        m_out.write(sound.path, WavWriter::encode(sound.samples, PianoRenderer::kRate));
    }
}

} // namespace nk
