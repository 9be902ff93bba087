#pragma once

#include "history/historystore.h"
#include "steps/practicedraw.h"
#include "steps/stepcontext.h"
#include "steps/trainingpages.h"
#include "steps/tstep3set.h"

#include <QPointer>
#include <functional>
#include <memory>

class QWidget;

namespace nk {

class NoteCatalogue;
class TYesButton;

// Step 3, training: one to four random notes of the level are played and the
// learner names them on the keyboard. Four stages of one to four notes, each
// in two halves of seven right answers in a row with a rest after each half.
// A wrong answer is followed by a comparison of every wrongly named note with
// the one that sounded, then the same question again.
class Step3
{
public:
    static constexpr int DrillTimerTag = 8;
    static constexpr int DrillDelayMs = 100;
    static constexpr int CardPauseMs = 3000;
    static constexpr int DrillRepeats = 4;
    static constexpr int RightAnswersPerHalf = 7;
    static constexpr int MaxNoteCount = 4;

    Step3(StepContext &context, TStep3Set &set);

    void StartStep3();
    void ShowTrainingIntro();
    void ShowTrainingQuestion();
    void ShowTrainingRight();
    void ShowTrainingWrong();
    void ShowCompareNotes();
    void DrillComparePair();
    void NextComparePair();
    void ShowTrainingRest();
    void EndTrainingRest();

    // A practice run of the level's notes the learner misses, on the question
    // pages of training; `done` follows its rest. Training's own state, its
    // flags and `notecount` stay as they were.
    void StartPractice(const QList<NoteRecord> &records, std::function<void()> done);
    bool practising() const { return m_practice != nullptr; }
    static QString practiceCaption() { return QStringLiteral("Работа над ошибками"); }

    QString RandomQuestion(int n) const;
    QString SequenceFromNotes(int which) const;

    // Buttons 9, 17, 11 and 18, links 8, 10 and 3.
    void listenClick();
    void answerClick();
    void listenAgainClick(int which);
    void continueClick();
    void nextClick();
    void compareClick();

private:
    NoteCatalogue catalogue() const;
    int level() const;
    HistoryKind answerKind() const;
    bool oneNote() const;
    // Draws the next question and the timbre it is played in.
    void newQuestion();
    QString noteListText() const;
    QString answerNames(const NoteArray &notes) const;
    void hideKeyboard();
    void endReview();
    void saveFinishedStage();
    bool cardShown() const;
    bool playPair(int position);
    void allowWholeKeyboard();
    void askNext();
    void showPracticeQuestion();
    void showPracticeRest();
    void endPractice();
    void leavePractice();

    StepContext &m_context;
    TStep3Set &m_set;
    TrainingPages m_pages;
    QPointer<TYesButton> m_answerButton;
    bool m_maskPending = false; // a new question not listened to yet
    bool m_masking = false;
    QPointer<QWidget> m_card;  // the picture of the comparison page being drilled
    bool m_askedAgain = false; // the question is asked again after a wrong answer
    std::unique_ptr<PracticeDraw> m_practice;
    std::function<void()> m_practiceDone;
    TStep3Set m_trainingSet; // training's state while a practice run borrows the pages
};

} // namespace nk
