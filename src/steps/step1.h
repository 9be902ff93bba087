#pragma once

#include "steps/tquestion.h"

#include <QPoint>
#include <QString>

namespace nk {

class IniFile;
class TCheckListBox;
struct StepContext;

// Step 1, learning a note: for every note of the level the learner answers the
// questionnaire while hearing the note, then picks the three most telling
// answers. Every answer is in the level's notes.dat the moment it is given.
class Step1
{
public:
    static constexpr int ConfirmTag = 1;
    static constexpr int SaveTag = 5;
    static constexpr int ContinueLinkTag = 1;
    static constexpr int BackLinkTag = 2;
    static constexpr int MaxAnswerLength = 40;

    // Where the page actions find their widgets.
    static constexpr QPoint AnswerEditPoint{133, 296};
    static constexpr QPoint ContinuePoint{157, 329};
    static constexpr QPoint TraitListPoint{137, 41};

    explicit Step1(StepContext &context);

    void StartStep1(int level);
    void ShowStep1Intro();
    void ShowNoteChoice();
    void StartQuestionnaire();
    void ShowQuestion();
    void SaveAnswer();
    void ShowTraitChoice();
    bool ThreeTraitsTicked() const;
    void SaveTraits();

    // Button 1 of the introduction, button 5, links 1 and 2, the answer
    // button and Enter in the answer box.
    void confirmClick();
    void saveClick();
    void continueClick();
    void backClick();
    void answerClick();
    void answerEnter();

    const TQuestion &question() const { return m_question; }

private:
    IniFile notesFile() const;
    QString answerText() const;
    TCheckListBox *traitList() const;
    void showKeyboard(bool shown);
    void createQuestionRow(int k);
    void createQuestionLinks(int k);

    StepContext &m_context;
    TQuestion m_question;
};

} // namespace nk
