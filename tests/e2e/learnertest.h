#pragma once

#include "coursebook.h"
#include "learner.h"
#include "reportsink.h"
#include "windowrig.h"

#include <QObject>
#include <QTest>

// Returns from the test function as soon as a helper has failed.
#define NK_DO(call)                                                                                \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

namespace nk::test {

// What every walk through the course does on the way: starting again, opening
// a level from its course part, and the exercises that end alike on every
// kind of level, each checked against the files and the log.
class LearnerTest : public QObject
{
    Q_OBJECT
protected:
    // A fresh program folder and the maker's site are ready.
    void prepare();
    // The exit button and a new start, which opens level 1's page.
    void restart();
    void openLevel(const char *partButton, int position, int level);
    // Names every note of the question heard wrongly and sits through the
    // comparison, until the same question is asked again.
    void wrongTrainingAnswer(int level);
    QString noteList(int level) const;
    // Opens the training from the level page, answers the first question
    // wrongly, then trains until the next stage begins or the step ends.
    void trainStep(int level, int entry);
    // Opens the melodies, three right at the first attempt, back to the level.
    void pickMelodies(int level, int entry, int melodyStep);
    // Opens the report form, tries it empty, fills it, sends it and follows
    // the link of the page that thanks for it.
    void sendReport(int level, int entry);
    // Trains from the stage the learner is at to the end of the step.
    void trainWholeStep(int level, int entry);

    // The course as the build ships it, time ten thousand times faster and
    // the clock at one moment, so the log can be checked to the letter.
    WindowRig m_rig{RigSetup(RigSetup::Shipped)
                        .withSounds()
                        .asFirstRun()
                        .scaledBy(0.0001)
                        .withFixedClock()
                        .startLater()};
    CourseBook m_book{m_rig.path(QStringLiteral("."))};
    Learner m_learner{m_rig, m_book};
    ReportSink m_sink;
};

} // namespace nk::test
