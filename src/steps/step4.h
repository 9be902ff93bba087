#pragma once

#include "steps/melodypages.h"
#include "steps/tmelodyset.h"

#include <QPointer>

namespace nk {

class IniFile;
class TYesButton;
struct StepContext;

// Step 4, melodies: the learner picks out short melodies of the level's
// melody.dat on the keyboard. Three in a row right at the first attempt pass
// the step; after that the remaining melodies are there for practice.
class Step4
{
public:
    static constexpr int RightsToPass = 3;

    Step4(StepContext &context, TMelodySet &set);

    static QString melodyFile(int level);

    void StartStep4();
    void ShowMelodyIntro();
    void ShowMelodyPage();
    // Returns whether the melody was played.
    bool PlayMelody();
    void ShowMelodyRight();
    void ShowMelodyWrong();
    void NextMelody();
    void ShowMelodyPassed();

    // Buttons 13-16, links 9, 5 and 6.
    void listenClick();
    void answerClick();
    void retryClick();
    void moreClick();
    void continueClick();
    void nextClick();
    void returnClick();

private:
    IniFile melodies() const;
    MelodyPageFrame frame() const;
    QString answerNames() const;

    StepContext &m_context;
    TMelodySet &m_set;
    MelodyPages m_pages;
    QPointer<TYesButton> m_answerButton;
};

} // namespace nk
