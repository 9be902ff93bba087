#pragma once

#include "steps/ttimeset.h"

#include <QPoint>
#include <QString>

namespace nk {

class IniFile;
struct StepContext;

// Step 2, memorisation: every note of the level is listened to in five
// repetitions of 25 plays while the learner looks at its picture and its three
// characteristics, with a seven-minute rest after every repetition but the last.
class Step2
{
public:
    static constexpr int StartTag = 7;
    static constexpr int ContinueLinkTag = 7;
    static constexpr int PlaybackTimerTag = 2;
    static constexpr int PlaybackDelayMs = 200;
    static constexpr int Repetitions = 5;
    static constexpr int PlaysPerRound = 5;
    static constexpr int RoundsPerRepetition = 5;
    static constexpr int PlayGapMs = 2000;
    static constexpr int RoundGapMs = 10000;
    static constexpr int ImportedPauseMs = 1000;

    // Where the import finds the start button it enables.
    static constexpr QPoint StartButtonPoint{137, 241};

    Step2(StepContext &context, TTimeSet &set);

    void StartStep2();
    void ShowStep2Intro();
    void ShowMemorisePrep();
    void ShowMemoriseSession();
    void PlayMemoriseSession();
    void ShowStep2Rest();

    static QString instructionText(const QString &noteName, int octave);

    // Button 7, the picture import button and link 7.
    void startClick();
    void importClick();
    void continueClick();

private:
    IniFile notesFile() const;
    QString repetitionPicture(const IniFile &file) const;
    void loadCurrentNote(const IniFile &file);
    bool playRepetition();
    void finishStep();
    void createCaption();

    StepContext &m_context;
    TTimeSet &m_set;
};

} // namespace nk
