#pragma once

#include "audio/pcmclip.h"
#include "audio/soundoutput.h"
#include "course/basepath.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace nk {

// The program's one voice. Notes and other sound files start at once and
// return without waiting; a new sound stops the one still sounding, so the
// notes of a melody never overlap. Callers time a sequence with WaitMs, never by asking whether
// something still plays.
//
// Nothing about sound is done when the player is made, so the window is
// painted first: makeReady() starts the sound output and decodes the 36 note
// recordings of the chosen timbre, and the program calls it right after the
// first paint. A sound asked for earlier makes the player ready first and is
// heard in full, only a few milliseconds later. Once ready, a newly chosen
// timbre is decoded when it is chosen; a timbre a question borrows
// (useTimbre) note by note at each note's first play, and other files at their
// first play, so a key press sounds at once: every sound starts a fresh stream
// to the sound server, heard within a few milliseconds. Besides the chosen
// timbre's notes only those of the last few borrowed timbres are kept.
//
// A missing or undecodable file, and a note outside the keyboard, sound the
// system beep instead. Without a sound server everything stays silent.
class NotePlayer : public QObject
{
    Q_OBJECT
public:
    explicit NotePlayer(BasePath base, const QString &timbre = QStringLiteral("piano"),
                        QObject *parent = nullptr);
    ~NotePlayer() override;

    // Starts the sound output and decodes the current timbre's notes; at
    // once when already ready.
    void makeReady();
    bool isReady() const { return m_output != nullptr; }

    // Switching the timbre switches every note and chord sound at once. A name
    // that is not a plain folder name counts as "piano". It also ends a
    // borrowed timbre.
    void setTimbre(const QString &timbre);
    // The timbre sounds are played in now: the chosen one, or the one a
    // question borrowed.
    const QString &timbre() const { return m_timbre; }
    const QString &chosenTimbre() const { return m_chosen; }
    // Plays the coming notes and chord files in this timbre until another is
    // borrowed or the chosen one comes back (an empty name). A timbre whose
    // recordings are missing is told about once, at its first use.
    void useTimbre(const QString &timbre);
    static constexpr int MaxBorrowedTimbres = 2;

    // The recording of a note as a path relative to the program folder,
    // written with backslashes as the course files write paths
    // ("sound\piano\first\01do-diez.wav"); empty for an octave outside 4..6
    // or a pitch outside 0..11.
    static QString noteRelativePath(const QString &timbre, int octave, int pitch);

    // A note of any of the five recorded octaves (3 great … 7 third) in a
    // given timbre, as a path relative to the program folder; empty outside them.
    static QString recordedNotePath(const QString &timbre, int octave, int pitch);

    // The file a note would play, or empty when there is none to look for.
    QString notePath(int octave, int pitch) const;

    void PlayNote(int octave, quint8 pitch);

    // Any WAV file by a path relative to the program folder, through the same
    // voice (chord recordings).
    void playFile(const QString &relative);

    void stop();

    // How often the output ran dry so far: a busy machine starving the feed
    // leaves a gap in a note, which a check of what was heard must tell
    // apart from a note cut short.
    int underruns() const { return m_output ? m_output->underruns() : 0; }

    static QString plainTimbre(const QString &timbre);

Q_SIGNALS:
    // Nothing can be heard, and why: no sound server, or one that takes no sound.
    void silenced(const QString &why);
    void audible(); // sound can be heard again
    // A recording began to sound, by its full path.
    void sounding(const QString &path);

private:
    using Clip = std::shared_ptr<const PcmClip>;
    struct Bank
    {
        QString timbre;
        std::array<Clip, 36> notes{}; // empty where not yet decoded, missing or undecodable
    };
    static int noteIndex(int octave, int pitch);
    Bank &bank(const QString &timbre);
    void preloadNotes();
    void reportMissing(const QString &timbre);
    Clip decode(const QString &path);
    Clip fileClip(const QString &path);
    void start(const Clip &clip);
    void soundMissing(const QString &what);

    BasePath m_base;
    QString m_chosen;
    QString m_timbre;
    std::unique_ptr<SoundOutput> m_output; // none until ready
    std::vector<Bank> m_banks;             // the last used first
    QHash<QString, Clip> m_files;
    QSet<QString> m_reported; // each bad file is logged once, not at every key press
};

} // namespace nk
