#include "course/inifile.h"
#include "course/levels.h"
#include "steps/trainingpages.h"
#include "widgets/page.h"
#include "widgets/tstep.h"
#include "windowrig.h"

#include <QTest>

using namespace nk;
using namespace nk::test;

// A whole training step through the real widgets: the learner listens, opens
// the keyboard and names what was played, once wrongly, rests after every
// half, and comes out on the level page with the melodies step open.
class TrainingRunTest : public QObject
{
    Q_OBJECT
private slots:
    void wholeStep_data();
    void wholeStep();

private:
    enum class Shown
    {
        Question,
        Right,
        Wrong,
        Rest,
        LevelPage,
        Other
    };
    Shown shown() const;
    void answer(bool wrongly);

    WindowRig *m_rig = nullptr;
};

TrainingRunTest::Shown TrainingRunTest::shown() const
{
    if (m_rig->button(TrainingPages::ListenTag))
        return Shown::Question;
    if (m_rig->link(TrainingPages::NextLinkTag))
        return Shown::Right;
    if (m_rig->link(TrainingPages::CompareLinkTag))
        return Shown::Wrong;
    if (m_rig->labelText(40).startsWith(QStringLiteral("Замечательно!")))
        return Shown::Rest;
    for (QWidget *w : m_rig->form().page().pageWidgets()) {
        if (qobject_cast<TStep *>(w))
            return Shown::LevelPage;
    }
    return Shown::Other;
}

// Names the notes just played, as the learner heard them.
void TrainingRunTest::answer(bool wrongly)
{
    GlobalState &s = m_rig->state();
    QVERIFY(m_rig->clickButton(TrainingPages::ListenTag));
    QVERIFY(m_rig->clickButton(TrainingPages::AnswerTag));
    const int length = s.Allowed.AnswerLen;
    QCOMPARE(length, s.Step3Set.QuestionText.count(QLatin1Char(' ')) + 1);
    const QList<TNote> played(s.NotesB.begin(), s.NotesB.begin() + length);
    for (int i = 0; i < length; ++i) {
        const int pitch = wrongly && i == 0 ? (played[i].Pitch + 1) % 12 : played[i].Pitch;
        m_rig->pressKey(played[i].Octave, pitch);
    }
}

void TrainingRunTest::wholeStep_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("folders"); // the levels whose files the run reads
    QTest::newRow("full level 5") << 5 << QStringList{QStringLiteral("05")};
    QTest::newRow("revision level 3")
        << 3 << QStringList{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")};
    QTest::newRow("short level 8") << 8 << QStringList{QStringLiteral("08")};
}

void TrainingRunTest::wholeStep()
{
    QFETCH(int, level);
    QFETCH(QStringList, folders);
    WindowRig rig(folders);
    m_rig = &rig;
    GlobalState &s = rig.state();
    rig.openTraining(level);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    int rights = 0, wrongs = 0, rests = 0;
    QList<int> stages;
    for (int round = 0; round < 400 && shown() != Shown::LevelPage; ++round) {
        switch (shown()) {
        case Shown::Question: {
            const bool wrongly = wrongs == 0 && s.Step3Set.NoteCount == 2;
            const QString question = s.Step3Set.QuestionText;
            answer(wrongly);
            QTRY_VERIFY(shown() == Shown::Right || shown() == Shown::Wrong);
            QCOMPARE(shown(), wrongly ? Shown::Wrong : Shown::Right);
            if (wrongly)
                QCOMPARE(s.Step3Set.QuestionText, question);
            break;
        }
        case Shown::Right:
            ++rights;
            QVERIFY(rig.clickLink(TrainingPages::NextLinkTag));
            break;
        case Shown::Wrong:
            ++wrongs;
            QVERIFY(rig.clickLink(TrainingPages::CompareLinkTag));
            QTRY_COMPARE_WITH_TIMEOUT(shown(), Shown::Question, 20000);
            QVERIFY(!s.ErrorSet.Reviewing);
            break;
        case Shown::Rest:
            ++rests;
            stages << s.Step3Set.NoteCount * 10 + s.Step3Set.Half;
            QVERIFY(s.Resting);
            QTRY_VERIFY_WITH_TIMEOUT(shown() != Shown::Rest, 20000);
            break;
        default:
            QFAIL("an unexpected page");
        }
    }
    QCOMPARE(shown(), Shown::LevelPage);
    QCOMPARE(rests, 8);
    QCOMPARE(stages, (QList<int>{11, 12, 21, 22, 31, 32, 41, 42}));
    QCOMPARE(rights, 8 * 7);
    QCOMPARE(wrongs, 1);
    QVERIFY(WindowRig::messages().contains(
        QStringLiteral("А теперь можно переходить и к мелодиям :)")));
    const QString levelFile =
        QStringLiteral("levels/") + Levels::LevelFolder(level) + QStringLiteral("/level.dat");
    const QString melodies = QStringLiteral("step") + QString::number(Levels::melodyStep(level));
    QVERIFY(IniFile(rig.path(levelFile)).readBool(melodies, u"active", false));
    QCOMPARE(rig.logLines().filter(QStringLiteral("Ноты угаданы правильно")).size(), 56);
    QCOMPARE(IniFile(rig.path(QStringLiteral("levels/settings.dat")))
                 .readInteger(u"main", u"notecount", 0),
             4);
}

QTEST_MAIN(TrainingRunTest)
#include "tst_trainingrun.moc"
