#pragma once

#include "trainingrig.h"

#include <QList>
#include <QString>

namespace nk {
class TCheckListBox;
class TMyEdit;
} // namespace nk

namespace nk::test {

// Drives steps 1, 2 and 4 through their real widgets on top of the training
// rig: answers questions, ticks characteristics, plays melodies on the keys.
class StepsDriver
{
public:
    explicit StepsDriver(TrainingRig &rig) : m_rig(rig) {}

    // The level page, then the step at this position of its list.
    void openStep(int level, int step);

    TMyEdit *answerBox() const;
    QString questionNumber() const; // "Вопрос k:" of the page shown
    bool continueEnabled() const;
    // Types the answer, confirms it by the button or by Enter, then "Продолжить".
    bool answer(const QString &text, bool byEnter = false);
    TCheckListBox *traitList() const;
    // Ticks the given rows (from 0), then "Сохранить".
    bool tickAndSave(const QList<int> &rows);

    // Listens to the current melody, then plays it on the keys: right, or
    // with its first note a semitone off. Returns once a result page is up.
    bool playMelody(bool right, bool retry = false);
    // Which of pictures\melody\N.gif the progress picture shows; 0 when none.
    int progressPicture() const;
    bool onRightPage() const;
    bool onPassedPage() const;

    bool levelPageShown() const;
    QString notesValue(int level, int note, const QString &key) const;
    QString settingsValue(const QString &key) const;
    bool stepActive(int level, int step) const;

private:
    bool pressSequence(const QString &sequence, bool right);

    TrainingRig &m_rig;
};

// A level's notes.dat with the given notes of the first octave (pitches).
QString notesText(const QList<int> &pitches);

} // namespace nk::test
