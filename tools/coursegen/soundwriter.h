#pragma once

#include "course.h"
#include "outputfolder.h"
#include "renderrecord.h"
#include "synthtimbre.h"

#include <QList>
#include <QStringList>
#include <cmath>
#include <vector>

namespace nk {

class SynthRenderer;

// What the sounds of one timbre came to.
struct TimbreReport
{
    QString folder;
    double worstCentsEarly = 0.0;        // largest pitch error over 0.15-0.65 s
    double worstCentsWhole = 0.0;        // over the whole file
    double narrowestMarginDb = HUGE_VAL; // of a fundamental's peak over the next one
    double noteSpreadLu = 0.0;           // loudest minus quietest note
    double chordSpreadLu = 0.0;
    double loudestPeakDbfs = -HUGE_VAL;
    bool upToDate = false; // kept from an earlier run: no figures
};

// Writes every timbre's note files (five octaves, "great" to "third") and the
// chord files the levels name. The files of all timbres have the same length,
// fade and loudness, so nothing but pitch and timbre tells them apart.
// Timbres are rendered on all cores, one synthesiser per thread.
class SoundWriter
{
public:
    static constexpr int kLowestOctave = 3;
    static constexpr int kHighestOctave = 7;
    static constexpr double kPitchLimitCents = 1.0;
    static constexpr double kLoudnessLimitLu = 0.5; // either side of the target
    static constexpr double kPeakLimitDbfs = -1.0;

    SoundWriter(const Course &course, const OutputFolder &out, QString soundFont);
    void writeAll();
    const QList<TimbreReport> &reports() const { return m_reports; }
    // The sounds that missed a limit above, each with what it missed.
    const QStringList &failures() const { return m_failures; }
    double targetLufs() const { return m_target; }

private:
    struct Sound
    {
        QString path;
        std::vector<float> samples;
        bool chord = false;
        double centsEarly = 0.0, centsWhole = 0.0, marginDb = HUGE_VAL;
    };
    void keepUpToDate();
    void render();
    static Sound renderNote(SynthRenderer &synth, const SynthTimbre &timbre, const NoteRef &note);
    void addChords(int timbre, const QString &colour, const QStringList &chords);
    static double limitOf(const std::vector<Sound> &sounds);
    double chooseTarget() const;
    void normalise();
    void writeTimbre(size_t t);
    void check();
    QByteArray inputsKey() const;
    static QByteArray timbreKey(const QByteArray &inputs, const SynthTimbre &timbre);

    const Course &m_course;
    const OutputFolder &m_out;
    QString m_soundFont;
    std::vector<std::vector<Sound>> m_sounds; // by timbre, notes first
    std::vector<RenderRecord> m_records;      // by timbre
    std::vector<bool> m_fresh;                // kept as an earlier run wrote it
    mutable QByteArray m_inputsKey;
    QList<TimbreReport> m_reports;
    QStringList m_failures;
    double m_target = 0.0;
};

} // namespace nk
