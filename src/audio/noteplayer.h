#pragma once

#include "course/basepath.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <array>

class QSoundEffect;

namespace nk {

// The program's one voice. Notes and other sound files start at once and
// return without waiting; a new sound stops the one still sounding, so the
// notes of a melody never overlap. Callers time a sequence with WaitMs, never
// by asking whether something still plays: without a sound server the player
// stays silent but believes it plays for ever.
//
// The 36 note recordings of the current timbre are kept decoded, so a key press
// sounds at once. Each sound is played by a fresh voice made from the decoded
// recording: a sound effect started again and again falls silent after a few
// plays while still reporting that it plays. The sound output drops roughly the
// last 110 ms of every file, which is why the course's recordings end in 300 ms
// of silence.
//
// A missing or undecodable file, and a note outside the keyboard, sound the
// system beep instead.
class NotePlayer : public QObject
{
    Q_OBJECT
public:
    explicit NotePlayer(BasePath base, const QString &timbre = QStringLiteral("piano"),
                        QObject *parent = nullptr);
    ~NotePlayer() override;

    // Switching the timbre switches every note and chord sound at once. A name
    // that is not a plain folder name counts as "piano".
    void setTimbre(const QString &timbre);
    const QString &timbre() const { return m_timbre; }

    // The recording of a note as a path relative to the program folder,
    // written with backslashes as the course files write paths
    // ("sound\piano\first\01do-diez.wav"); empty for an octave outside 4..6
    // or a pitch outside 0..11.
    static QString noteRelativePath(const QString &timbre, int octave, int pitch);

    // The file a note would play, or empty when there is none to look for.
    QString notePath(int octave, int pitch) const;

    void PlayNote(int octave, quint8 pitch);

    // Any WAV file by a path relative to the program folder, through the same
    // voice (chord recordings).
    void playFile(const QString &relative);

    void stop();

    static QString plainTimbre(const QString &timbre);

private:
    static int noteIndex(int octave, int pitch);
    void preloadNotes();
    void clearSounds();
    QSoundEffect *createSound(const QString &path);
    QSoundEffect *fileSound(const QString &path);
    void start(QSoundEffect *recording);
    void soundMissing(const QString &path);
    void statusChanged(QSoundEffect *sound);

    BasePath m_base;
    QString m_timbre;
    // Loaded recordings, never played themselves: they keep the decoded data.
    std::array<QSoundEffect *, 36> m_notes{};
    QHash<QString, QSoundEffect *> m_files;
    QSoundEffect *m_voice = nullptr;   // what sounds now
    QSoundEffect *m_playing = nullptr; // the recording m_voice was made from
    QSet<QString> m_reported;          // each bad file is logged once, not at every key press
};

} // namespace nk
