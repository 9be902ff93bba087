#include "app/coursepages.h"
#include "course/inifile.h"
#include "course/questionfile.h"
#include "steps/melodypages.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/trainingpages.h"
#include "widgets/page.h"
#include "widgets/tstep.h"
#include "windowrig.h"

#include <QTest>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

// A whole level of the default course through the real widgets, from its
// first step until its report step opens: the learner describes both notes,
// memorises them, trains and picks out melodies.
class FullLevelTest : public QObject
{
    Q_OBJECT
private slots:
    void levelFive();

private:
    bool openStepByLabel(int step);
    void learnNotes();
    void memorise();
    void train();
    void pickMelodies();

    WindowRig *m_rig = nullptr;
};

bool FullLevelTest::openStepByLabel(int step)
{
    for (QWidget *w : m_rig->form().page().pageWidgets()) {
        auto *label = qobject_cast<TStep *>(w);
        if (label && label->tag() == 10 + step) {
            QTest::mouseClick(label, Qt::LeftButton);
            return true;
        }
    }
    return false;
}

void FullLevelTest::learnNotes()
{
    QVERIFY(openStepByLabel(1));
    QVERIFY(m_rig->clickButton(Step1::ConfirmTag));
    const int asked = QuestionFile(BasePath(m_rig->path(u"."_s))).askedCount();
    QVERIFY(asked >= 3);
    for (int note = 1; note <= 2; ++note) {
        for (int k = 1; k <= asked; ++k) {
            QCOMPARE(m_rig->questionNumber(), u"Вопрос %1:"_s.arg(k));
            QVERIFY(m_rig->answer(u"нота %1 ответ %2"_s.arg(note).arg(k), k % 2 == 1));
        }
        QVERIFY(m_rig->tickAndSave({0, 3, asked - 1}));
    }
    QVERIFY(m_rig->levelPageShown());
    QVERIFY(m_rig->stepFlag(5, 2, "active"));
    QCOMPARE(m_rig->noteValue(5, 2, u"v2"_s), u"нота 2 ответ 4"_s);
}

void FullLevelTest::memorise()
{
    QVERIFY(openStepByLabel(2));
    QVERIFY(m_rig->clickLink(Step2::ContinueLinkTag));
    int repetitions = 0;
    while (m_rig->button(Step2::StartTag)) {
        ++repetitions;
        QVERIFY(m_rig->clickButton(Step2::StartTag));
        QTRY_VERIFY_WITH_TIMEOUT(m_rig->button(Step2::StartTag) || m_rig->levelPageShown(), 10000);
    }
    QCOMPARE(repetitions, 10);
    QVERIFY(m_rig->levelPageShown());
    QVERIFY(m_rig->stepFlag(5, 3, "active"));
    QCOMPARE(IniFile(m_rig->path(u"levels/05/notes.dat"_s)).sections().size(), 6);
}

void FullLevelTest::train()
{
    GlobalState &s = m_rig->state();
    QVERIFY(openStepByLabel(3));
    QVERIFY(m_rig->clickLink(TrainingPages::ContinueLinkTag));
    for (int round = 0; round < 300 && !m_rig->levelPageShown(); ++round) {
        if (m_rig->button(TrainingPages::ListenTag)) {
            QVERIFY(m_rig->clickButton(TrainingPages::ListenTag));
            QVERIFY(m_rig->clickButton(TrainingPages::AnswerTag));
            for (int i = 0; i < s.Allowed.AnswerLen; ++i)
                m_rig->pressKey(s.NotesB[std::size_t(i)].Octave, s.NotesB[std::size_t(i)].Pitch);
            QTRY_VERIFY(m_rig->link(TrainingPages::NextLinkTag));
        } else if (m_rig->link(TrainingPages::NextLinkTag)) {
            QVERIFY(m_rig->clickLink(TrainingPages::NextLinkTag));
        } else {
            QVERIFY(s.Resting);
            QTRY_VERIFY_WITH_TIMEOUT(!s.Resting, 10000);
        }
    }
    QVERIFY(m_rig->levelPageShown());
    QVERIFY(m_rig->stepFlag(5, 4, "active"));
}

void FullLevelTest::pickMelodies()
{
    QVERIFY(openStepByLabel(4));
    QVERIFY(m_rig->clickLink(MelodyPages::ContinueLinkTag));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(m_rig->playMelody(true));
        QVERIFY(m_rig->clickLink(MelodyPages::NextLinkTag));
    }
    QVERIFY(m_rig->onPassedPage());
    QVERIFY(m_rig->clickLink(MelodyPages::ReturnLinkTag));
    QVERIFY(m_rig->levelPageShown());
}

void FullLevelTest::levelFive()
{
    WindowRig rig({u"01"_s, u"05"_s});
    m_rig = &rig;
    rig.form().course().ShowLevelPage(5);
    learnNotes();
    memorise();
    train();
    pickMelodies();
    QVERIFY(rig.stepFlag(5, 5, "active"));
    QVERIFY(openStepByLabel(5)); // the report step opens from the level page
    QVERIFY(!rig.levelPageShown());
    QCOMPARE(rig.setting(u"learnnote"_s), u"1"_s);
    QVERIFY(WindowRig::messages().contains(
        u"Ура! А теперь проверим, как вы на самом деле запомнили ноты ;)"_s));
}

QTEST_MAIN(FullLevelTest)
#include "tst_fulllevel.moc"
