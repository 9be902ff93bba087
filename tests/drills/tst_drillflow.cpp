#include "app/coursepages.h"
#include "drills/blackwhitedrills.h"
#include "widgets/page.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tlevel.h"
#include "widgets/tmycaption.h"
#include "widgets/tstep.h"
#include "widgets/tyesbutton.h"
#include "windowrig.h"

#include <QTest>
#include <QTimer>

using namespace nk;
using namespace nk::test;

namespace {

const QString kContinue = QStringLiteral("Продолжим ;)");

// Listens, unlocks the answer buttons and presses the right or the wrong one.
void answerQuestion(WindowRig &rig, int which, bool right)
{
    const DrillTags &tags = rig.description(which).tags;
    QVERIFY(rig.clickButton(tags.listenPair));
    QVERIFY(rig.clickButton(tags.answer));
    const bool whiteFirst = rig.drillField(which, WindowRig::FirstColour) == KeysDrill::White;
    QVERIFY(rig.clickButton(whiteFirst == right ? tags.whiteFirst : tags.blackFirst));
}

int logCount(const WindowRig &rig, const QString &text)
{
    int count = 0;
    for (const QString &line : rig.logLines())
        count += line.endsWith(QStringLiteral(" - ") + text) ? 1 : 0;
    return count;
}

void addDrillRows()
{
    QTest::addColumn<int>("which");
    QTest::newRow("chords") << int(WindowRig::Chords);
    QTest::newRow("melodies") << int(WindowRig::Melodies);
    QTest::newRow("single notes") << int(WindowRig::Notes);
}

} // namespace

class DrillFlowTest : public QObject
{
    Q_OBJECT
private slots:
    void questionPageAndItsButtons_data();
    void questionPageAndItsButtons();
    void fiveRightAnswersPass_data();
    void fiveRightAnswersPass();
    void answerFollowsFirstColour_data();
    void answerFollowsFirstColour();
    void wrongAnswerOnFourthQuestion_data();
    void wrongAnswerOnFourthQuestion();
    void closingIsRefusedDuringRepetition();
    void pageChangeEndsRepetition_data();
    void pageChangeEndsRepetition();
    void defaultCourseLevelFourDrillByDrill();
    void rememberWaitsForPlayback_data();
    void rememberWaitsForPlayback();
};

void DrillFlowTest::questionPageAndItsButtons_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("intro");
    QTest::addColumn<QString>("listen");
    QTest::addColumn<int>("listenTop");
    QTest::addColumn<int>("answerTop");
    QTest::newRow("chords")
        << int(WindowRig::Chords) << QStringLiteral("ШАГ 1. Аккорды")
        << QStringLiteral("Послушайте два аккорда подряд. Попробуйте определить, какой\n"
                          "из них бы сыгран на \"белых\" клавишах фортепьяно, а какой - на\n"
                          "\"чёрных\".\n"
                          "Для прохождения уровня нужно ответить верно 5 раз подряд.")
        << QStringLiteral("Послушать аккорды") << 114 << 144;
    QTest::newRow("melodies")
        << int(WindowRig::Melodies) << QStringLiteral("ШАГ 2. Мелодии")
        << QStringLiteral("Послушайте две мелодии подряд. Попробуйте определить, какая из\n"
                          "них была сыграна целиком на \"белых\" клавишах фортепьяно,\n"
                          "\"а какая - на чёрных\".\n"
                          "Не ориентируйтесь на высоту, это не поможет ;) Ориентируйтесь\n"
                          "на ощущения.\n"
                          "Для прохождения уровня нужно ответить верно 5 раз подряд.")
        << QStringLiteral("Послушать мелодии") << 144 << 176;
    QTest::newRow("single notes")
        << int(WindowRig::Notes) << QStringLiteral("ШАГ 3. Отдельные ноты")
        << QStringLiteral("Послушайте две ноты подряд. Попробуйте определить, какая из\n"
                          "них была сыграна на \"белой\" клавише фортепьяно, а какая - на\n"
                          "\"чёрной\".\n"
                          "При ответе ориентируйтесь на ощущения.\n"
                          "Для прохождения уровня нужно ответить верно 5 раз подряд.")
        << QStringLiteral("Послушать ноты") << 144 << 176;
}

// Nothing can be answered before the pair has been heard, and once answering
// has begun the pair cannot be heard again.
void DrillFlowTest::questionPageAndItsButtons()
{
    QFETCH(int, which);
    QFETCH(QString, caption);
    QFETCH(QString, intro);
    QFETCH(QString, listen);
    QFETCH(int, listenTop);
    QFETCH(int, answerTop);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.openDrill(which);
    const DrillTags &tags = rig.description(which).tags;
    QCOMPARE(rig.widgets<TMyCaption>().value(0)->text(), caption);
    QCOMPARE(rig.labelText(40), intro);
    TYesButton *listenButton = rig.button(tags.listenPair);
    TYesButton *answerButton = rig.button(tags.answer);
    TYesButton *whiteFirst = rig.button(tags.whiteFirst);
    TYesButton *blackFirst = rig.button(tags.blackFirst);
    QVERIFY(listenButton && answerButton && whiteFirst && blackFirst);
    QCOMPARE(listenButton->text(), listen);
    QCOMPARE(listenButton->geometry(), QRect(136, listenTop, 200, 25));
    QCOMPARE(answerButton->geometry(), QRect(136, answerTop, 200, 25));
    QCOMPARE(whiteFirst->geometry(), QRect(178, 208, 300, 25));
    QCOMPARE(blackFirst->geometry(), QRect(178, 240, 300, 25));

    QVERIFY(listenButton->isEnabled());
    QVERIFY(!answerButton->isEnabled());
    QVERIFY(!whiteFirst->isEnabled());
    QVERIFY(!blackFirst->isEnabled());
    QVERIFY(!rig.clickButton(tags.whiteFirst));

    QVERIFY(rig.clickButton(tags.listenPair));
    QVERIFY(answerButton->isEnabled());
    QVERIFY(!whiteFirst->isEnabled());
    QVERIFY(!blackFirst->isEnabled());

    QVERIFY(rig.clickButton(tags.answer));
    QVERIFY(!listenButton->isEnabled());
    QVERIFY(whiteFirst->isEnabled());
    QVERIFY(blackFirst->isEnabled());
    QVERIFY(rig.messages().isEmpty());
}

void DrillFlowTest::fiveRightAnswersPass_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("passMessage");
    QTest::addColumn<QString>("rightLog");
    QTest::addColumn<int>("nextStep");
    QTest::newRow("chords") << int(WindowRig::Chords) << QStringLiteral("Переходим к мелодиям")
                            << QStringLiteral("Аккорд угадан правильно") << 2;
    QTest::newRow("melodies") << int(WindowRig::Melodies) << QStringLiteral("Переходим к нотам")
                              << QStringLiteral("ДиезоМелодия угадана правильно") << 3;
    QTest::newRow("single notes") << int(WindowRig::Notes)
                                  << QStringLiteral("Поздравляем! Упражнение пройдено.")
                                  << QStringLiteral("ДиезоНоты угаданы правильно") << 4;
}

void DrillFlowTest::fiveRightAnswersPass()
{
    QFETCH(int, which);
    QFETCH(QString, passMessage);
    QFETCH(QString, rightLog);
    QFETCH(int, nextStep);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.openDrill(which);
    const DrillTags &tags = rig.description(which).tags;
    QVERIFY(!rig.stepFlag(4, nextStep, "active"));
    for (int question = 1; question <= KeysDrill::StreakToPass; ++question) {
        QCOMPARE(rig.drillField(which, WindowRig::Streak), question);
        QCOMPARE(rig.progressNumber(which), question);
        answerQuestion(rig, which, true);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(rig.link(tags.next));
        QVERIFY(rig.widgets<TMyCaption>().isEmpty());
        QVERIFY(rig.messages().isEmpty());
        QVERIFY(rig.clickLink(tags.next));
    }
    QCOMPARE(rig.messages(), QStringList{passMessage});
    QVERIFY(rig.stepFlag(4, nextStep, "active"));
    QVERIFY(rig.levelPageShown());
    QCOMPARE(logCount(rig, rightLog), KeysDrill::StreakToPass);
}

void DrillFlowTest::answerFollowsFirstColour_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("firstColour");
    QTest::addColumn<bool>("pressWhiteFirst");
    QTest::addColumn<QString>("wrongText"); // empty: the right page opens
    const QString chordsBlackFirst =
        QStringLiteral("Неправильно.\nПервый аккорд был на ЧЁРНЫХ клавишах,\nвторой - на БЕЛЫХ.\n"
                       "Вот первый аккорд - послушайте и смотрите на клавиатуру:");
    QTest::newRow("chords, white first, pressed white first")
        << int(WindowRig::Chords) << 2 << true << QString();
    QTest::newRow("chords, white first, pressed black first")
        << int(WindowRig::Chords) << 2 << false
        << QStringLiteral("Неправильно.\nПервый аккорд был на БЕЛЫХ клавишах,\nвторой - на "
                          "ЧЁРНЫХ.\nВот первый аккорд - послушайте и смотрите на клавиатуру:");
    QTest::newRow("chords, black first, pressed white first")
        << int(WindowRig::Chords) << 1 << true << chordsBlackFirst;
    QTest::newRow("chords, black first, pressed black first")
        << int(WindowRig::Chords) << 1 << false << QString();
    QTest::newRow("melodies, white first, pressed white first")
        << int(WindowRig::Melodies) << 2 << true << QString();
    QTest::newRow("melodies, white first, pressed black first")
        << int(WindowRig::Melodies) << 2 << false
        << QStringLiteral("Неправильно.\nПервая мелодия была на БЕЛЫХ клавишах,\nвторая - на "
                          "ЧЁРНЫХ.\nВот первая мелодия - послушайте и смотрите на клавиатуру:");
    QTest::newRow("single notes, white first, pressed black first")
        << int(WindowRig::Notes) << 2 << false
        << QStringLiteral("Неправильно.\nПервая нота была на БЕЛОЙ клавише,\nвторая - на "
                          "ЧЁРНОЙ.\nВот первая нота - слушайте и смотрите на клавиатуру:");
    QTest::newRow("single notes, black first, pressed white first")
        << int(WindowRig::Notes) << 1 << true
        << QStringLiteral("Неправильно.\nПервая нота была на ЧЁРНОЙ клавише,\nвторая - на "
                          "БЕЛОЙ.\nВот первая нота - слушайте и смотрите на клавиатуру:");
    QTest::newRow("single notes, black first, pressed black first")
        << int(WindowRig::Notes) << 1 << false << QString();
}

void DrillFlowTest::answerFollowsFirstColour()
{
    QFETCH(int, which);
    QFETCH(int, firstColour);
    QFETCH(bool, pressWhiteFirst);
    QFETCH(QString, wrongText);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.openDrill(which);
    const DrillDescription &d = rig.description(which);
    rig.drillField(which, WindowRig::FirstColour) = firstColour;
    QVERIFY(rig.clickButton(d.tags.listenPair));
    QVERIFY(rig.clickButton(d.tags.answer));
    QVERIFY(rig.clickButton(pressWhiteFirst ? d.tags.whiteFirst : d.tags.blackFirst));
    if (wrongText.isEmpty()) {
        QVERIFY(rig.link(d.tags.next));
        QCOMPARE(logCount(rig, d.rightLog), 1);
        return;
    }
    QVERIFY(!rig.link(d.tags.next));
    QCOMPARE(rig.labelText(40), wrongText);
    QCOMPARE(rig.labelText(140), d.secondLabel);
    QCOMPARE(rig.button(d.tags.listenFirst)->text(), d.listenFirstText);
    QCOMPARE(rig.button(d.tags.listenSecond)->text(), d.listenSecondText);
    QCOMPARE(rig.link(d.tags.remember)->text(), QStringLiteral("Запомнить разницу!"));
    QVERIFY(rig.form().KeyboardIsShown());
    QCOMPARE(logCount(rig, d.wrongLog), 1);
    // Both items can be heard again while looking at the keyboard.
    QVERIFY(rig.clickButton(d.tags.listenFirst));
    QVERIFY(rig.clickButton(d.tags.listenSecond));
    QVERIFY(rig.messages().isEmpty());
}

void DrillFlowTest::wrongAnswerOnFourthQuestion_data()
{
    addDrillRows();
}

void DrillFlowTest::wrongAnswerOnFourthQuestion()
{
    QFETCH(int, which);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.openDrill(which);
    const DrillDescription &d = rig.description(which);
    for (int question = 1; question <= 3; ++question) {
        answerQuestion(rig, which, true);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(rig.clickLink(d.tags.next));
    }
    QCOMPARE(rig.drillField(which, WindowRig::Streak), 4);
    QCOMPARE(rig.progressNumber(which), 4);
    answerQuestion(rig, which, false);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(rig.drillField(which, WindowRig::Streak), 1);

    QVERIFY(rig.clickLink(d.tags.remember));
    QVERIFY(rig.listenPageShown());
    QTRY_VERIFY(rig.questionShown(which));
    QCOMPARE(rig.progressNumber(which), 1);
    QCOMPARE(rig.messages(), QStringList{kContinue});
    QCOMPARE(logCount(rig, d.repetitionLog), 1);
    QVERIFY(!rig.state().Settings.Busy);
    QVERIFY(rig.menuEnabled());
    QVERIFY(!rig.form().KeyboardIsShown());
    QVERIFY(!rig.listenPageShown());
}

// Polls while a repetition run plays, and does its work once.
class RunProbe : public QObject
{
public:
    RunProbe(WindowRig &rig, std::function<void()> during) : m_rig(rig), m_during(std::move(during))
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_done || !m_rig.state().Settings.Busy)
                return;
            m_done = true;
            m_menuEnabled = m_rig.menuEnabled();
            m_during();
        });
        m_timer.start();
    }
    bool done() const { return m_done; }
    bool menuEnabledDuringRun() const { return m_menuEnabled; }

private:
    WindowRig &m_rig;
    std::function<void()> m_during;
    QTimer m_timer;
    bool m_done = false;
    bool m_menuEnabled = true;
};

void DrillFlowTest::closingIsRefusedDuringRepetition()
{
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.openDrill(WindowRig::Chords);
    rig.drill(WindowRig::Chords).ShowDrillWrong();
    bool closed = true;
    RunProbe probe(rig, [&] { closed = rig.form().close(); });
    QVERIFY(rig.clickLink(rig.description(WindowRig::Chords).tags.remember));
    QTRY_VERIFY(probe.done());
    QVERIFY(!closed);
    QVERIFY(!probe.menuEnabledDuringRun());
    QVERIFY(rig.form().isVisible());
    QTRY_VERIFY(rig.questionShown(WindowRig::Chords));
    QVERIFY(rig.form().close());
    QVERIFY(!rig.form().isVisible());
}

void DrillFlowTest::pageChangeEndsRepetition_data()
{
    addDrillRows();
}

// The run ends after its current wait, leaves the new page alone and frees
// the removed picture only once, with the page it belonged to.
void DrillFlowTest::pageChangeEndsRepetition()
{
    QFETCH(int, which);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.openDrill(which);
    rig.drill(which).ShowDrillWrong();
    RunProbe probe(rig, [&] { rig.form().course().ShowLevelPage(4); });
    QVERIFY(rig.clickLink(rig.description(which).tags.remember));
    QTRY_VERIFY(probe.done());
    QTRY_VERIFY(!rig.state().Settings.Busy);
    QVERIFY(rig.levelPageShown());
    QVERIFY(!rig.questionShown(which));
    QVERIFY(!rig.listenPageShown());
    QVERIFY(rig.menuEnabled());
    QVERIFY(rig.messages().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(rig.levelPageShown());
    QVERIFY(rig.form().close());
}

// The learner's way: the part page, level 4, each drill from its step label,
// one mistake on the way, until the report step opens up.
void DrillFlowTest::defaultCourseLevelFourDrillByDrill()
{
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.form().course().ShowPartPage(1);
    QList<TLevel *> levels = rig.widgets<TLevel>();
    QVERIFY(levels.size() >= 4);
    QTest::mouseClick(levels[3], Qt::LeftButton);
    QVERIFY(rig.levelPageShown());
    for (int which : {WindowRig::Chords, WindowRig::Melodies, WindowRig::Notes}) {
        QVERIFY(rig.stepFlag(4, which + 1, "active"));
        QVERIFY(!rig.stepFlag(4, which + 2, "active"));
        QTest::mouseClick(rig.widgets<TStep>().value(which), Qt::LeftButton);
        QVERIFY(rig.questionShown(which));
        const DrillDescription &d = rig.description(which);
        answerQuestion(rig, which, false);
        QVERIFY(rig.clickLink(d.tags.remember));
        QTRY_VERIFY(rig.questionShown(which));
        for (int question = 1; question <= KeysDrill::StreakToPass; ++question) {
            QCOMPARE(rig.progressNumber(which), question);
            answerQuestion(rig, which, true);
            if (QTest::currentTestFailed())
                return;
            QVERIFY(rig.clickLink(d.tags.next));
        }
        QCOMPARE(rig.messages(), (QStringList{kContinue, d.passMessage}));
        rig.messages().clear();
        QVERIFY(rig.levelPageShown());
    }
    QVERIFY(rig.stepFlag(4, 4, "active"));
}

void DrillFlowTest::rememberWaitsForPlayback_data()
{
    addDrillRows();
}

// "Запомнить разницу!" pressed while "Послушать 1-ю" plays: the repetition run
// would sound over it, so the press is let go like a second listen.
void DrillFlowTest::rememberWaitsForPlayback()
{
    QFETCH(int, which);
    WindowRig rig({QStringLiteral("04")});
    rig.state().Settings.Level = 4; // the level of the drills
    rig.openDrill(which);
    rig.drill(which).ShowDrillWrong();
    const DrillTags &tags = rig.description(which).tags;
    bool pressed = false;
    bool playing = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, &rig.form(), [&] {
        if (pressed || !rig.state().MelodyPlaying)
            return;
        playing = true;
        pressed = rig.clickLink(tags.remember);
    });
    probe.start(0);
    QVERIFY(rig.clickButton(tags.listenFirst));
    probe.stop();
    QVERIFY(playing && pressed);
    QVERIFY(!rig.listenPageShown());
    QVERIFY(rig.link(tags.remember));
    QCOMPARE(logCount(rig, rig.description(which).repetitionLog), 0);
    QVERIFY(rig.clickLink(tags.remember));
    QVERIFY(rig.listenPageShown());
    QTRY_VERIFY(rig.questionShown(which));
}

QTEST_MAIN(DrillFlowTest)
#include "tst_drillflow.moc"
