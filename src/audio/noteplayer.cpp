#include "audio/noteplayer.h"

#include "audio/logging.h"
#include "audio/notenames.h"
#include "audio/wavdecoder.h"

#include <QApplication>
#include <QFileInfo>
#include <QMetaMethod>
#include <algorithm>

namespace nk {

namespace {

// Chord recordings are few per level; the bound only keeps a long session from
// collecting every file it ever played.
constexpr qsizetype maxCachedFiles = 32;

bool isFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

NotePlayer::NotePlayer(BasePath base, const QString &timbre, QObject *parent)
    : QObject(parent), m_base(std::move(base)), m_chosen(plainTimbre(timbre)), m_timbre(m_chosen)
{
}

NotePlayer::~NotePlayer() = default;

QString NotePlayer::plainTimbre(const QString &timbre)
{
    const bool plain = !timbre.isEmpty() && timbre != QLatin1String(".") &&
                       !timbre.contains(QLatin1Char('/')) && !timbre.contains(QLatin1Char('\\')) &&
                       !timbre.contains(QLatin1String(".."));
    return plain ? timbre : QStringLiteral("piano");
}

void NotePlayer::makeReady()
{
    if (isReady())
        return;
    m_output = std::make_unique<SoundOutput>();
    connect(m_output.get(), &SoundOutput::silenced, this, &NotePlayer::silenced);
    connect(m_output.get(), &SoundOutput::audible, this, &NotePlayer::audible);
    preloadNotes();
}

void NotePlayer::setTimbre(const QString &timbre)
{
    const QString plain = plainTimbre(timbre);
    m_timbre = plain;
    if (plain == m_chosen)
        return;
    stop();
    m_chosen = plain;
    // Before the player is ready the new timbre is decoded with the rest.
    if (isReady())
        preloadNotes();
}

void NotePlayer::useTimbre(const QString &timbre)
{
    m_timbre = timbre.isEmpty() ? m_chosen : plainTimbre(timbre);
}

QString NotePlayer::noteRelativePath(const QString &timbre, int octave, int pitch)
{
    return octaveFolderName(octave).isEmpty() ? QString() : recordedNotePath(timbre, octave, pitch);
}

QString NotePlayer::recordedNotePath(const QString &timbre, int octave, int pitch)
{
    const QString folder = recordedOctaveFolderName(octave);
    const QString file = noteFileName(pitch);
    if (folder.isEmpty() || file.isEmpty())
        return {};
    return QLatin1String("sound\\") + plainTimbre(timbre) + QLatin1Char('\\') + folder +
           QLatin1Char('\\') + file;
}

QString NotePlayer::notePath(int octave, int pitch) const
{
    const QString relative = noteRelativePath(m_timbre, octave, pitch);
    return relative.isEmpty() ? QString() : m_base.resolve(relative);
}

int NotePlayer::noteIndex(int octave, int pitch)
{
    if (octave < FirstOctave || octave > LastOctave || pitch < 0 || pitch >= PitchCount)
        return -1;
    return (octave - FirstOctave) * PitchCount + pitch;
}

// The chosen timbre's notes stay; of the borrowed ones the least recently
// used goes first. A voice still sounding holds its own reference to its clip.
NotePlayer::Bank &NotePlayer::bank(const QString &timbre)
{
    auto found = std::find_if(m_banks.begin(), m_banks.end(),
                              [&](const Bank &b) { return b.timbre == timbre; });
    if (found == m_banks.begin() && found != m_banks.end())
        return m_banks.front();
    Bank taken;
    if (found != m_banks.end()) {
        taken = std::move(*found);
        m_banks.erase(found);
    } else {
        taken.timbre = timbre;
        reportMissing(timbre);
    }
    m_banks.insert(m_banks.begin(), std::move(taken));
    int borrowed = 0;
    for (auto it = m_banks.begin(); it != m_banks.end();) {
        const bool kept = it->timbre == m_chosen || ++borrowed <= MaxBorrowedTimbres;
        it = kept ? it + 1 : m_banks.erase(it);
    }
    return m_banks.front();
}

void NotePlayer::reportMissing(const QString &timbre)
{
    const QString key = QStringLiteral("timbre:") + timbre;
    if (m_reported.contains(key))
        return;
    int missing = 0;
    for (int octave = FirstOctave; octave <= LastOctave; ++octave) {
        for (int pitch = 0; pitch < PitchCount; ++pitch)
            missing += isFile(m_base.resolve(noteRelativePath(timbre, octave, pitch))) ? 0 : 1;
    }
    if (missing == 0)
        return;
    m_reported.insert(key);
    qCWarning(lcAudio, "%d of 36 note recordings of timbre %s missing under %s", missing,
              qUtf8Printable(timbre), qUtf8Printable(m_base.folder()));
}

void NotePlayer::preloadNotes()
{
    Bank &chosen = bank(m_chosen);
    for (int octave = FirstOctave; octave <= LastOctave; ++octave) {
        for (int pitch = 0; pitch < PitchCount; ++pitch) {
            Clip &clip = chosen.notes[noteIndex(octave, pitch)];
            const QString path = m_base.resolve(noteRelativePath(m_chosen, octave, pitch));
            if (!clip && isFile(path))
                clip = decode(path);
        }
    }
}

NotePlayer::Clip NotePlayer::decode(const QString &path)
{
    QString error;
    std::optional<PcmClip> clip = WavDecoder::readFile(path, &error);
    if (!clip) {
        if (!m_reported.contains(path)) {
            m_reported.insert(path);
            qCWarning(lcAudio, "Cannot decode sound file %s: %s", qUtf8Printable(path),
                      qUtf8Printable(error));
        }
        return nullptr;
    }
    if (clip->rate != SoundOutput::Rate || clip->channels != SoundOutput::Channels)
        *clip = convertClip(*clip, SoundOutput::Rate, SoundOutput::Channels);
    return std::make_shared<const PcmClip>(std::move(*clip));
}

NotePlayer::Clip NotePlayer::fileClip(const QString &path)
{
    if (const Clip known = m_files.value(path))
        return known;
    // A voice still sounding holds its own reference to its clip.
    if (m_files.size() >= maxCachedFiles)
        m_files.clear();
    Clip clip = decode(path);
    if (clip)
        m_files.insert(path, clip);
    return clip;
}

void NotePlayer::PlayNote(int octave, quint8 pitch)
{
    makeReady();
    const int index = noteIndex(octave, pitch);
    if (index < 0) {
        stop();
        soundMissing(QStringLiteral("octave %1 pitch %2").arg(octave).arg(pitch));
        return;
    }
    Clip &clip = bank(m_timbre).notes[index];
    const QString path = clip ? QString() : notePath(octave, pitch);
    if (!clip && isFile(path)) // not played before, or installed since
        clip = decode(path);
    if (!clip) {
        stop();
        soundMissing(path);
        return;
    }
    start(clip);
    // The path is built only for a listener: a key press is the hot path.
    if (isSignalConnected(QMetaMethod::fromSignal(&NotePlayer::sounding)))
        emit sounding(path.isEmpty() ? notePath(octave, pitch) : path);
}

void NotePlayer::playFile(const QString &relative)
{
    makeReady();
    const QString path = m_base.resolve(relative);
    const Clip clip = isFile(path) ? fileClip(path) : nullptr;
    if (!clip) {
        stop();
        soundMissing(path.isEmpty() ? relative : path);
        return;
    }
    start(clip);
    emit sounding(path);
}

void NotePlayer::start(const Clip &clip)
{
    // play() cuts what sounds in the same step; a stop first would only ask
    // the sound thread for one more fresh stream.
    m_output->play(clip);
}

void NotePlayer::stop()
{
    // Before the output is started nothing can sound.
    if (m_output)
        m_output->stopAll();
}

void NotePlayer::soundMissing(const QString &what)
{
    if (!m_reported.contains(what)) {
        m_reported.insert(what);
        qCWarning(lcAudio, "No playable sound for %s", qUtf8Printable(what));
    }
    // The user hears that something should have sounded, as with the system's
    // default sound for a file it cannot play.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}

} // namespace nk
