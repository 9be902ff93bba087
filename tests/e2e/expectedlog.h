#pragma once

#include <QStringList>

namespace nk::test {

// The activity log records the course writes for each event, in the words
// the program's log catalogue gives them.
class ExpectedLog
{
public:
    static QStringList started(bool firstRun);
    static QString closed() { return QStringLiteral("Программа закрыта"); }
    static QString levelLoaded(int level);
    static QString stepActivated(int step, int level);
    // A step activated, and the level page that follows.
    static QStringList stepDone(int step, int level);
    static QString answerSaved(int question, const QString &answer, const QString &noteName);
    // Repetitions of the memorisation; the rest after the very last one of a
    // level does not come.
    static QStringList memorised(int repetitions, bool lastOfLevel);
    static QStringList trainingRight();
    // A wrong training answer and its comparison, one drill per wrong pair.
    static QStringList trainingWrong(int pairs);
    // Seven right answers in a row and the rest after them.
    static QStringList trainingHalves(int halves);
    static QStringList melodyRight(bool retry = false);
    static QStringList melodyWrong();
    static QStringList reportSent(const QStringList &answers, const QString &stamp);
};

} // namespace nk::test
