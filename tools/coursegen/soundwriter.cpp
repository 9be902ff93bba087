#include "soundwriter.h"

#include "generationerror.h"
#include "loudness.h"
#include "notetuner.h"
#include "renderrecord.h"
#include "sourceskey.h"
#include "synthrenderer.h"
#include "wavwriter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>

namespace nk {

namespace {

constexpr int kRate = SynthRenderer::kRate;
constexpr double kHighestTarget = -20.0; // LUFS
// Kept below the peak limit, for the rounding to 16 bits and the gate's shifts.
constexpr double kPeakMarginDb = 0.2;

double toDb(double amplitude)
{
    return 20.0 * std::log10(amplitude);
}

// Rounded to the 16-bit values the file will hold, so that what is measured is what ships.
void quantise(std::vector<float> &samples)
{
    for (float &s : samples)
        s = float(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)) / 32767.0f;
}

// Runs work(i) for i in 0..count-1 on every core; each thread first makes its
// own context with make(). The first exception is passed on.
template <typename Make, typename Work> void onAllCores(size_t count, Make make, Work work)
{
    const size_t threads =
        std::clamp<size_t>(std::thread::hardware_concurrency(), 1, std::max<size_t>(count, 1));
    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    std::vector<std::thread> pool;
    for (size_t t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            try {
                auto context = make();
                for (size_t i = next++; i < count; i = next++)
                    work(context, i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureLock);
                if (!failure)
                    failure = std::current_exception();
                next = count;
            }
        });
    for (std::thread &t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

SoundWriter::SoundWriter(const Course &course, const OutputFolder &out, QString soundFont)
    : m_course(course), m_out(out), m_soundFont(std::move(soundFont))
{
}

void SoundWriter::writeAll()
{
    const qsizetype count = SynthTimbre::all().size();
    m_sounds.assign(size_t(count), {});
    m_records.assign(size_t(count), {});
    m_fresh.assign(size_t(count), false);
    keepUpToDate();
    render();
    // Files kept from a run that chose another target are made again for this one.
    for (bool again = true; again;) {
        m_target = chooseTarget();
        again = false;
        for (size_t t = 0; t < m_fresh.size(); ++t)
            if (m_fresh[t] && m_records[t].target != m_target)
                m_fresh[t] = false, again = true;
        render();
    }
    normalise();
    for (size_t t = 0; t < m_sounds.size(); ++t)
        if (!m_fresh[t])
            writeTimbre(t);
    check();
}

// A timbre's record stands when it was made from the same inputs and its
// files are all there as they were written.
void SoundWriter::keepUpToDate()
{
    const QByteArray inputs = inputsKey();
    for (size_t t = 0; t < m_records.size(); ++t) {
        const SynthTimbre &timbre = SynthTimbre::all()[qsizetype(t)];
        QFile file(m_out.absolute(RenderRecord::path(timbre.folder)));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        RenderRecord record = RenderRecord::parse(file.readAll());
        if (record.key == timbreKey(inputs, timbre) && record.intact(m_out)) {
            m_records[t] = std::move(record);
            m_fresh[t] = true;
        }
    }
}

void SoundWriter::writeTimbre(size_t t)
{
    RenderRecord &record = m_records[t];
    record.key = timbreKey(inputsKey(), SynthTimbre::all()[qsizetype(t)]);
    record.limit = limitOf(m_sounds[t]);
    record.target = m_target;
    record.files.clear();
    for (const Sound &sound : m_sounds[t]) {
        const QByteArray wav = WavWriter::encode(sound.samples, kRate);
        m_out.write(sound.path, wav);
        record.files.append(RenderRecord::describe(sound.path, wav));
    }
    m_out.write(RenderRecord::path(SynthTimbre::all()[qsizetype(t)].folder), record.format());
}

// The generator's sources, the soundfont and the chords the levels name: what
// every timbre's files are made from. Builds of one source by different
// compilers render the same files to the byte, so one tree may take another's.
QByteArray SoundWriter::inputsKey() const
{
    if (!m_inputsKey.isEmpty())
        return m_inputsKey;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArrayView(NK_COURSEGEN_SOURCES_KEY));
    const QFileInfo font(m_soundFont);
    hash.addData(QByteArray(font.absoluteFilePath().toUtf8() + '\n' +
                            QByteArray::number(font.size()) + '\n' +
                            QByteArray::number(font.lastModified().toMSecsSinceEpoch())));
    for (const LevelSource &level : m_course.levels)
        hash.addData(
            (level.blackChords.join(u';') + u'|' + level.whiteChords.join(u';') + u'\n').toUtf8());
    m_inputsKey = hash.result().toHex();
    return m_inputsKey;
}

QByteArray SoundWriter::timbreKey(const QByteArray &inputs, const SynthTimbre &timbre)
{
    return QCryptographicHash::hash(QByteArray(inputs + timbre.folder.toUtf8() + ' ' +
                                               QByteArray::number(timbre.program)),
                                    QCryptographicHash::Sha1)
        .toHex();
}

// A synthesiser's voices keep a trace of what they played last, so every
// timbre gets a fresh one and renders its notes in one order: the files come
// out alike whichever thread rendered them, and whichever other timbres a run
// renders. The synthesiser made here first keeps the soundfont's samples
// loaded, so the others load only its index. Renders the timbres neither up
// to date nor rendered yet.
void SoundWriter::render()
{
    std::vector<size_t> wanted;
    for (size_t t = 0; t < m_sounds.size(); ++t)
        if (!m_fresh[t] && m_sounds[t].empty())
            wanted.push_back(t);
    if (wanted.empty())
        return;
    const QList<SynthTimbre> &timbres = SynthTimbre::all();
    const SynthRenderer keeper(m_soundFont);
    onAllCores(
        wanted.size(), [] { return 0; },
        [&](int, size_t i) {
            const size_t t = wanted[i];
            SynthRenderer synth(m_soundFont);
            for (int octave = kLowestOctave; octave <= kHighestOctave; ++octave)
                for (int pitch = 0; pitch < 12; ++pitch)
                    m_sounds[t].push_back(
                        renderNote(synth, timbres[qsizetype(t)], {octave, pitch}));
            for (const LevelSource &level : m_course.levels) {
                addChords(int(t), QStringLiteral("black"), level.blackChords);
                addChords(int(t), QStringLiteral("white"), level.whiteChords);
            }
        });
}

SoundWriter::Sound SoundWriter::renderNote(SynthRenderer &synth, const SynthTimbre &timbre,
                                           const NoteRef &note)
{
    const NoteTuner tuner(NoteNames::frequency(note));
    const TunedNote tuned = tuner.tune(
        synth.render(timbre.program, NoteNames::midiKey(note), NoteTuner::kRenderSeconds));
    return {NoteNames::soundPath(timbre.folder, note),
            tuned.samples,
            false,
            tuned.centsEarly,
            tuned.centsWhole,
            tuned.marginDb};
}

// A chord is its keys' tuned notes sounding together.
void SoundWriter::addChords(int timbre, const QString &colour, const QStringList &chords)
{
    std::vector<Sound> &sounds = m_sounds[size_t(timbre)];
    for (int k = 0; k < chords.size(); ++k) {
        Sound chord{NoteNames::timbrePath(SynthTimbre::all()[timbre].folder) +
                        NoteNames::chordFile(colour, k + 1),
                    {},
                    true};
        for (const QString &token : chords[k].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const NoteRef note{token.left(1).toInt(), token.mid(1).toInt()};
            if (note.octave < kLowestOctave || note.octave > kHighestOctave || note.pitch < 0 ||
                note.pitch > 11)
                throw GenerationError(QStringLiteral("chord key outside the keyboard: ") + token);
            const Sound &key = sounds[size_t((note.octave - kLowestOctave) * 12 + note.pitch)];
            chord.samples.resize(key.samples.size(), 0.0f);
            for (size_t i = 0; i < key.samples.size(); ++i)
                chord.samples[i] += key.samples[i];
        }
        sounds.push_back(std::move(chord));
    }
}

// The loudest target at which none of these sounds peaks above the limit.
double SoundWriter::limitOf(const std::vector<Sound> &sounds)
{
    double limit = kHighestTarget;
    for (const Sound &sound : sounds) {
        const double lufs = Loudness::integrated(sound.samples, kRate);
        const double headroom =
            kPeakLimitDbfs - kPeakMarginDb - toDb(Loudness::peak(sound.samples));
        limit = std::min(limit, lufs + headroom);
    }
    return limit;
}

// The loudest target every timbre allows; a timbre kept as it was tells its own.
double SoundWriter::chooseTarget() const
{
    double target = kHighestTarget;
    for (size_t t = 0; t < m_sounds.size(); ++t)
        target = std::min(target, m_fresh[t] ? m_records[t].limit : limitOf(m_sounds[t]));
    return std::floor(target * 10.0) / 10.0;
}

void SoundWriter::normalise()
{
    onAllCores(
        m_sounds.size(), [] { return 0; },
        [this](int, size_t t) {
            if (m_fresh[t])
                return;
            for (Sound &sound : m_sounds[t]) {
                Loudness::normalise(sound.samples, kRate, m_target);
                quantise(sound.samples);
            }
        });
}

void SoundWriter::check()
{
    for (size_t t = 0; t < m_sounds.size(); ++t) {
        TimbreReport report{SynthTimbre::all()[qsizetype(t)].folder};
        if (m_fresh[t]) {
            report.upToDate = true;
            m_reports.append(report);
            continue;
        }
        double notes[2] = {HUGE_VAL, -HUGE_VAL}, chords[2] = {HUGE_VAL, -HUGE_VAL};
        for (const Sound &sound : m_sounds[t]) {
            const double lufs = Loudness::integrated(sound.samples, kRate);
            const double peak = toDb(Loudness::peak(sound.samples));
            double *range = sound.chord ? chords : notes;
            range[0] = std::min(range[0], lufs), range[1] = std::max(range[1], lufs);
            report.loudestPeakDbfs = std::max(report.loudestPeakDbfs, peak);
            report.worstCentsEarly = std::max(report.worstCentsEarly, std::fabs(sound.centsEarly));
            report.worstCentsWhole = std::max(report.worstCentsWhole, std::fabs(sound.centsWhole));
            report.narrowestMarginDb = std::min(report.narrowestMarginDb, sound.marginDb);
            if (std::fabs(sound.centsEarly) > kPitchLimitCents ||
                std::fabs(sound.centsWhole) > kPitchLimitCents)
                m_failures.append(sound.path + QStringLiteral(" is out of tune"));
            if (std::fabs(lufs - m_target) > kLoudnessLimitLu)
                m_failures.append(sound.path + QStringLiteral(" misses the loudness target"));
            if (peak >= kPeakLimitDbfs)
                m_failures.append(sound.path + QStringLiteral(" peaks too high"));
        }
        report.noteSpreadLu = notes[1] - notes[0];
        report.chordSpreadLu = chords[1] > chords[0] ? chords[1] - chords[0] : 0.0;
        m_reports.append(report);
    }
}

} // namespace nk
