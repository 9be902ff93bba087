#pragma once

#include "coursebook.h"
#include "windowrig.h"

#include <functional>

namespace nk::test {

// A learner working through the exercises of a level on the pages the
// program shows: reads what the page asks, answers from what the course
// files say, and presses what a learner presses. Failures are reported with
// the test framework's checks; callers look at QTest::currentTestFailed().
class Learner
{
public:
    Learner(WindowRig &rig, const CourseBook &book) : m_rig(rig), m_book(book) {}

    static QString answerFor(const BookQuestion &question, const QString &noteName);

    // Step 1: the questionnaire of the note on screen from this question on,
    // until the characteristics page.
    void describeNote(int level, int note, int fromQuestion = 1);
    // Ticks these answers (rows from 0) and presses "Сохранить".
    void chooseTraits(const QList<int> &rows);
    // Answers the question on screen; Enter instead of the button when asked.
    void answerQuestion(const QString &text, bool byEnter);

    // Step 2: presses "СТАРТ" this many times, each time until the next
    // instruction page or the level page is up. The first page must name
    // the note.
    void memorise(int level, int firstNote, int repetitions);

    // Step 3: listens and names the notes heard, right or wrong.
    void answerTraining(int level, bool right);
    // Answers rightly, goes on and rests until the level page returns or
    // `stop` says so.
    void train(int level, const std::function<bool()> &stop = {});
    // The notes just heard: those the program played last.
    QList<BookNote> heard();

    // Step 4: listens to the melody of this number and plays it, right or
    // with its first note a semitone off; "Я подобрал!" instead of
    // "Ответить!" for a retry.
    void playMelody(int level, int number, bool right, bool retry = false);

    // The report form of the level: every field filled, then "Отправить".
    // The answers as typed, in question order, go to `answers`.
    void fillReport(int level, QStringList &answers, int leaveEmpty = -1);

private:
    void pressNotes(const QList<BookNote> &notes);

    WindowRig &m_rig;
    const CourseBook &m_book;
};

} // namespace nk::test
