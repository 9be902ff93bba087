#include "app/coursepages.h"
#include "app/exercises.h"
#include "course/inifile.h"
#include "steps/step2.h"
#include "steps/step3.h"
#include "steps/trainingpages.h"
#include "widgets/page.h"
#include "widgets/tstep.h"
#include "windowrig.h"

#include <QFile>
#include <QTest>

using namespace nk;
using namespace nk::test;

namespace {

const QString kToMelodies = QStringLiteral("А теперь можно переходить и к мелодиям :)");

bool levelPageShown(TMainForm &form)
{
    for (QWidget *w : form.page().pageWidgets()) {
        if (qobject_cast<TStep *>(w))
            return true;
    }
    return false;
}

} // namespace

// The rests of training and memorisation: what a stage won keeps before its
// rest, and what the end of a rest goes on with.
class TrainingRestTest : public QObject
{
    Q_OBJECT
private slots:
    void endOfRest_data();
    void endOfRest();
    void finishedStageSurvivesItsRest_data();
    void finishedStageSurvivesItsRest();
    void interruptedRest_data();
    void interruptedRest();
};

void TrainingRestTest::endOfRest_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("half");
    QTest::addColumn<int>("noteCount");
    QTest::addColumn<int>("halfAfter");
    QTest::addColumn<int>("noteCountAfter");
    QTest::addColumn<bool>("ends"); // the training ends on the level page
    QTest::newRow("first half") << 5 << 1 << 2 << 2 << 2 << false;
    QTest::newRow("next stage") << 5 << 2 << 2 << 1 << 3 << false;
    // The level page opened at the end starts the level's state afresh.
    QTest::newRow("last rest") << 5 << 2 << 4 << 1 << 1 << true;
    QTest::newRow("last rest, revision level") << 3 << 2 << 4 << 1 << 1 << true;
}

// The progress was kept when the rest began: its end only goes on.
void TrainingRestTest::endOfRest()
{
    QFETCH(int, level);
    QFETCH(int, half);
    QFETCH(int, noteCount);
    QFETCH(int, halfAfter);
    QFETCH(int, noteCountAfter);
    QFETCH(bool, ends);
    WindowRig rig({QStringLiteral("03"), QStringLiteral("05")});
    GlobalState &s = rig.state();
    rig.form().course().ShowLevelPage(level);
    s.Step3Set = {noteCount, 6, half, 4, QStringLiteral("455"), {}};
    const auto files = [&rig, level] {
        QFile settings(rig.path(QStringLiteral("levels/settings.dat")));
        QFile steps(rig.levelFile(level, QStringLiteral("level.dat")));
        return settings.open(QIODevice::ReadOnly) && steps.open(QIODevice::ReadOnly)
                   ? settings.readAll() + steps.readAll()
                   : QByteArray();
    };
    const QByteArray before = files();

    rig.training().EndTrainingRest();

    QCOMPARE(s.Step3Set.Half, halfAfter);
    QCOMPARE(s.Step3Set.NoteCount, noteCountAfter);
    QCOMPARE(s.Step3Set.RightInRow, ends ? 1 : 0);
    QCOMPARE(WindowRig::messages(), ends ? QStringList{kToMelodies} : QStringList());
    QCOMPARE(levelPageShown(rig.form()), ends);
    if (!ends)
        QVERIFY(rig.button(TrainingPages::ListenTag) != nullptr);
    QVERIFY(!before.isEmpty());
    QCOMPARE(files(), before);
    if (!ends && half == 2)
        QCOMPARE(s.Step3Set.QuestionText.split(QLatin1Char(' ')).size(), noteCountAfter);
}

void TrainingRestTest::finishedStageSurvivesItsRest_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("noteCount");
    QTest::addColumn<int>("saved");     // notecount in settings.dat afterwards; 0: not looked at
    QTest::addColumn<int>("activated"); // the melodies step made active; 0 for none
    QTest::newRow("second stage") << 5 << 2 << 3 << 0;
    QTest::newRow("last stage") << 5 << 4 << 0 << 4;
    QTest::newRow("last stage, revision level") << 3 << 4 << 0 << 2;
}

// The second half's seventh right answer wins the stage: closing the program
// during the rest that follows keeps it.
void TrainingRestTest::finishedStageSurvivesItsRest()
{
    QFETCH(int, level);
    QFETCH(int, noteCount);
    QFETCH(int, saved);
    QFETCH(int, activated);
    WindowRig rig({QStringLiteral("03"), QStringLiteral("05")});
    GlobalState &s = rig.state();
    const QString steps = rig.levelFile(level, QStringLiteral("level.dat"));
    const QString melodies = QStringLiteral("step%1").arg(activated);
    QVERIFY(activated == 0 || !IniFile(steps).readBool(melodies, u"active", false));
    rig.form().course().ShowLevelPage(level);
    rig.form().course().OpenStep(level, level == 3 ? 1 : 3);
    s.Step3Set = {noteCount, 6, 2, 4, QStringLiteral("455"), {}};
    rig.training().ShowTrainingRight();
    QVERIFY(rig.clickLink(TrainingPages::NextLinkTag));
    QVERIFY(s.Resting);
    QVERIFY(rig.quit());
    if (saved != 0)
        QCOMPARE(IniFile(rig.path(QStringLiteral("levels/settings.dat")))
                     .readInteger(u"main", u"notecount", 0),
                 saved);
    if (activated != 0)
        QVERIFY(IniFile(steps).readBool(melodies, u"active", false));
}

void TrainingRestTest::interruptedRest_data()
{
    QTest::addColumn<bool>("memorising");
    QTest::addColumn<QString>("opened"); // opened in the seconds before the window hides
    for (const bool memorising : {true, false}) {
        const char *kind = memorising ? "memorisation" : "training";
        for (const char *opened : {"nothing", "same level", "other level", "other step"}) {
            QTest::addRow("%s, %s", kind, opened) << memorising << QString::fromLatin1(opened);
        }
    }
}

// Opening a level or a step resets what the rest would go on with: the rest
// then ends where the learner went and writes nothing; left alone it goes on.
void TrainingRestTest::interruptedRest()
{
    QFETCH(bool, memorising);
    QFETCH(QString, opened);
    WindowRig rig({QStringLiteral("01"), QStringLiteral("05")});
    GlobalState &s = rig.state();
    CoursePages &course = rig.form().course();
    course.ShowLevelPage(5);
    course.OpenStep(5, memorising ? 2 : 3);
    if (memorising) {
        s.TimeSet.Repetition = 3;
        rig.form().exercises().memorising().ShowStep2Rest();
    } else {
        s.Step3Set = {2, 6, 2, 4, QStringLiteral("455 457"), {}};
        rig.training().ShowTrainingRest();
    }
    QVERIFY(s.Resting);
    if (opened == QLatin1String("same level"))
        course.ShowLevelPage(5);
    else if (opened == QLatin1String("other level"))
        course.ShowLevelPage(1);
    else if (opened == QLatin1String("other step"))
        course.OpenStep(5, memorising ? 3 : 2);
    const auto files = [&rig] {
        QByteArray all;
        for (const char *name : {"levels/settings.dat", "levels/05/level.dat",
                                 "levels/01/level.dat", "levels/05/notes.dat"}) {
            QFile f(rig.path(QLatin1String(name)));
            all += f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("-");
        }
        return all;
    };
    const QByteArray before = files();
    const QStringList logBefore = rig.logLines();
    QTRY_VERIFY_WITH_TIMEOUT(!s.Resting, 5000);
    if (opened == QLatin1String("nothing")) {
        QVERIFY(rig.button(memorising ? Step2::StartTag : TrainingPages::ListenTag));
        if (memorising)
            QCOMPARE(s.TimeSet.Repetition, 3);
        else
            QCOMPARE(s.Step3Set.NoteCount, 3);
        return;
    }
    QCOMPARE(levelPageShown(rig.form()), opened != QLatin1String("other step"));
    QCOMPARE(s.Settings.Level, opened == QLatin1String("other level") ? 1 : 5);
    QCOMPARE(files(), before);
    QCOMPARE(rig.logLines(), logBefore);
}

QTEST_MAIN(TrainingRestTest)
#include "tst_trainingrest.moc"
