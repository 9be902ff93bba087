#pragma once

#include "course.h"
#include "outputfolder.h"

#include <QMap>
#include <vector>

namespace nk {

class PianoRenderer;

// Writes the 36 note files and the chord files of the piano timbre. Every file
// has the same length, fade and loudness, so nothing but pitch tells them apart.
class SoundWriter
{
public:
    SoundWriter(const Course &course, const OutputFolder &out, PianoRenderer &piano);
    void writeAll();
    // Largest tuning error left after correction, in cents.
    double worstCents() const { return m_worstCents; }

private:
    struct Sound
    {
        QString path;
        std::vector<float> samples;
    };
    double tuningFor(const NoteRef &note);
    void addNote(const NoteRef &note);
    void addChords(const QString &colour, const QStringList &chords);
    std::vector<float> shaped(std::vector<float> samples) const;
    void normaliseAndWrite();

    const Course &m_course;
    const OutputFolder &m_out;
    PianoRenderer &m_piano;
    QMap<int, double> m_correction; // by MIDI key
    QList<Sound> m_sounds;
    double m_worstCents = 0.0;
};

} // namespace nk
