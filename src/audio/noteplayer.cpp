#include "audio/noteplayer.h"

#include "audio/logging.h"
#include "audio/notenames.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

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
    : QObject(parent), m_base(std::move(base))
{
    setTimbre(timbre);
}

NotePlayer::~NotePlayer() = default;

QString NotePlayer::plainTimbre(const QString &timbre)
{
    const bool plain = !timbre.isEmpty() && timbre != QLatin1String(".") &&
                       !timbre.contains(QLatin1Char('/')) && !timbre.contains(QLatin1Char('\\')) &&
                       !timbre.contains(QLatin1String(".."));
    return plain ? timbre : QStringLiteral("piano");
}

void NotePlayer::setTimbre(const QString &timbre)
{
    const QString plain = plainTimbre(timbre);
    if (plain == m_timbre)
        return;
    clearSounds();
    m_timbre = plain;
    preloadNotes();
}

QString NotePlayer::noteRelativePath(const QString &timbre, int octave, int pitch)
{
    const QString folder = octaveFolderName(octave);
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

void NotePlayer::preloadNotes()
{
    int missing = 0;
    for (int octave = FirstOctave; octave <= LastOctave; ++octave) {
        for (int pitch = 0; pitch < PitchCount; ++pitch) {
            const QString path = notePath(octave, pitch);
            QSoundEffect *&slot = m_notes[noteIndex(octave, pitch)];
            slot = isFile(path) ? createSound(path) : nullptr;
            missing += slot ? 0 : 1;
        }
    }
    if (missing > 0)
        qCWarning(lcAudio, "%d of 36 note recordings of timbre %s missing under %s", missing,
                  qUtf8Printable(m_timbre), qUtf8Printable(m_base.folder()));
}

void NotePlayer::clearSounds()
{
    stop();
    for (QSoundEffect *&sound : m_notes) {
        delete sound;
        sound = nullptr;
    }
    qDeleteAll(m_files);
    m_files.clear();
}

QSoundEffect *NotePlayer::createSound(const QString &path)
{
    auto *sound = new QSoundEffect(this);
    connect(sound, &QSoundEffect::statusChanged, this, [this, sound] { statusChanged(sound); });
    sound->setSource(QUrl::fromLocalFile(path));
    return sound;
}

QSoundEffect *NotePlayer::fileSound(const QString &path)
{
    if (QSoundEffect *known = m_files.value(path))
        return known;
    if (m_files.size() >= maxCachedFiles) {
        for (auto it = m_files.begin(); it != m_files.end();) {
            if (it.value() == m_playing) {
                ++it;
                continue;
            }
            delete it.value();
            it = m_files.erase(it);
        }
    }
    QSoundEffect *sound = createSound(path);
    m_files.insert(path, sound);
    return sound;
}

void NotePlayer::PlayNote(int octave, quint8 pitch)
{
    const int index = noteIndex(octave, pitch);
    if (index < 0) {
        stop();
        soundMissing(QStringLiteral("octave %1 pitch %2").arg(octave).arg(pitch));
        return;
    }
    QSoundEffect *&sound = m_notes[index];
    if (!sound) { // perhaps installed after the timbre was chosen
        const QString path = notePath(octave, pitch);
        if (!isFile(path)) {
            stop();
            soundMissing(path);
            return;
        }
        sound = createSound(path);
    }
    start(sound);
}

void NotePlayer::playFile(const QString &relative)
{
    const QString path = m_base.resolve(relative);
    if (!isFile(path)) {
        stop();
        soundMissing(path.isEmpty() ? relative : path);
        return;
    }
    start(fileSound(path));
}

void NotePlayer::start(QSoundEffect *recording)
{
    stop();
    if (recording->status() == QSoundEffect::Error) {
        soundMissing(recording->source().toLocalFile());
        return;
    }
    // Made from a loaded recording the voice is ready at once; from one still
    // loading it starts as soon as the data is there.
    m_voice = new QSoundEffect(this);
    m_voice->setSource(recording->source());
    m_voice->play();
    m_playing = recording;
}

void NotePlayer::stop()
{
    if (m_voice) {
        m_voice->stop();
        delete m_voice;
    }
    m_voice = nullptr;
    m_playing = nullptr;
}

void NotePlayer::statusChanged(QSoundEffect *sound)
{
    if (sound->status() != QSoundEffect::Error)
        return;
    if (sound == m_playing) {
        stop();
        soundMissing(sound->source().toLocalFile());
    } else if (!m_reported.contains(sound->source().toLocalFile())) {
        m_reported.insert(sound->source().toLocalFile());
        qCWarning(lcAudio, "Cannot decode sound file %s",
                  qUtf8Printable(sound->source().toLocalFile()));
    }
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
