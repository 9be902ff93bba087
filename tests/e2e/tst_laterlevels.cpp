#include "drilllearner.h"
#include "drills/drilldescription.h"
#include "expectedlog.h"
#include "learnertest.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tstep.h"

#include <QTest>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

struct DrillWords
{
    QString caption;
    QString rightLog;
    QString wrongLog;
    QString repetitionLog;
    QString firstWas; // the wrong page's first label up to the first colour word
    QString black;
    QString white;
};

// The drills' own words, as the course gives them.
DrillWords words(DrillLearner::Drill drill)
{
    switch (drill) {
    case WindowRig::Chords:
        return {u"ШАГ 1. Аккорды"_s,
                u"Аккорд угадан правильно"_s,
                u"Аккорд угадан неправильно"_s,
                u"Долбим аккорды"_s,
                u"Неправильно.\nПервый аккорд был на "_s,
                u"ЧЁРНЫХ"_s,
                u"БЕЛЫХ"_s};
    case WindowRig::Melodies:
        return {u"ШАГ 2. Мелодии"_s,
                u"ДиезоМелодия угадана правильно"_s,
                u"ДиезоМелодия угадана неправильно"_s,
                u"Долбим чб мелодии"_s,
                u"Неправильно.\nПервая мелодия была на "_s,
                u"ЧЁРНЫХ"_s,
                u"БЕЛЫХ"_s};
    case WindowRig::Notes:
        break;
    }
    return {u"ШАГ 3. Отдельные ноты"_s,
            u"ДиезоНоты угаданы правильно"_s,
            u"ДиезоНоты угаданы неправильно"_s,
            u"Долбим чб ноты"_s,
            u"Неправильно.\nПервая нота была на "_s,
            u"ЧЁРНОЙ"_s,
            u"БЕЛОЙ"_s};
}

} // namespace

// The rest of the course's kinds of level, each on a fresh learner's folder
// with the program started anew between steps: the black-and-white keys
// drills of level 4, a short level of course part II and the last level.
class LaterLevelsTest : public LearnerTest
{
    Q_OBJECT
private slots:
    void initTestCase();
    void blackAndWhiteKeys_data();
    void blackAndWhiteKeys();
    void levelFourReport();
    void shortLevels_data();
    void shortLevels();

private:
    void drillWrongOnce(DrillLearner::Drill drill);

    DrillLearner m_drills{m_rig, m_book};
};

void LaterLevelsTest::initTestCase()
{
    NK_DO(prepare());
    m_rig.start();
    QCOMPARE(m_rig.newLog(), ExpectedLog::started(true));
    QVERIFY(m_rig.clickLink(4)); // "Начать работу!"
    QVERIFY(m_rig.clickEntry(4));
    QCOMPARE(m_rig.newLog(), QStringList{ExpectedLog::levelLoaded(4)});
    QCOMPARE(m_rig.widgets<TStep>().size(), 4);
}

void LaterLevelsTest::blackAndWhiteKeys_data()
{
    QTest::addColumn<int>("drill");
    QTest::addColumn<QString>("passMessage");
    QTest::addColumn<bool>("wrongFirst");
    QTest::newRow("chords") << int(WindowRig::Chords) << u"Переходим к мелодиям"_s << true;
    QTest::newRow("melodies") << int(WindowRig::Melodies) << u"Переходим к нотам"_s << false;
    QTest::newRow("single notes") << int(WindowRig::Notes) << QString() << true;
}

void LaterLevelsTest::drillWrongOnce(DrillLearner::Drill drill)
{
    const DrillWords w = words(drill);
    NK_DO(m_drills.answer(drill, false));
    const bool blackFirst = m_drills.blackFirst(drill);
    QVERIFY(m_rig.labelText(40).startsWith(w.firstWas + (blackFirst ? w.black : w.white)));
    QVERIFY(
        m_rig.labelText(40).contains(u" - на "_s + (blackFirst ? w.white : w.black) + u".\n"_s));
    NK_DO(m_drills.rememberDifference(drill));
    QCOMPARE(m_rig.takeMessages(), QStringList{u"Продолжим ;)"_s});
    QCOMPARE(m_rig.newLog(), (QStringList{w.wrongLog, w.repetitionLog}));
}

// Each drill from its place in level 4's list, after a restart: five right
// answers in a row pass it and open the next one.
void LaterLevelsTest::blackAndWhiteKeys()
{
    QFETCH(int, drill);
    QFETCH(QString, passMessage);
    QFETCH(bool, wrongFirst);
    const auto d = DrillLearner::Drill(drill);
    const DrillWords w = words(d);
    const int step = drill + 1;
    NK_DO(restart());
    NK_DO(openLevel("btPart1", 4, 4));
    QCOMPARE(m_rig.currentEntry(), step);
    QVERIFY(!m_rig.stepFlag(4, step + 1, "active"));
    QVERIFY(m_rig.clickEntry(step));
    QCOMPARE(m_rig.caption(), w.caption);
    if (wrongFirst)
        NK_DO(drillWrongOnce(d));
    QStringList expected;
    for (int question = 1; question <= 5; ++question) {
        QVERIFY(m_rig.questionShown(d));
        NK_DO(m_drills.answer(d, true));
        QVERIFY(m_rig.clickLink(m_rig.description(d).tags.next));
        expected << w.rightLog;
    }
    const QStringList messages = m_rig.takeMessages();
    QCOMPARE(messages.size(), 1);
    if (!passMessage.isEmpty())
        QCOMPARE(messages.first(), passMessage);
    QVERIFY(m_rig.levelPageShown());
    expected << ExpectedLog::stepActivated(step + 1, 4) << ExpectedLog::levelLoaded(4);
    QCOMPARE(m_rig.newLog(), expected);
    QVERIFY(m_rig.stepFlag(4, step + 1, "active"));
}

void LaterLevelsTest::levelFourReport()
{
    NK_DO(restart());
    NK_DO(openLevel("btPart1", 4, 4));
    QCOMPARE(m_rig.currentEntry(), 4);
    NK_DO(sendReport(4, 4));
}

void LaterLevelsTest::shortLevels_data()
{
    QTest::addColumn<QByteArray>("partButton");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("level");
    QTest::newRow("level 17, part II") << QByteArray("btPart2") << 8 << 17;
    QTest::newRow("level 28, part IV") << QByteArray("btPart4") << 1 << 28;
}

// Training, melodies and the report are steps 1 to 3 of these levels.
void LaterLevelsTest::shortLevels()
{
    QFETCH(QByteArray, partButton);
    QFETCH(int, position);
    QFETCH(int, level);
    NK_DO(restart());
    NK_DO(openLevel(partButton.constData(), position, level));
    QCOMPARE(m_rig.widgets<TStep>().size(), 3);
    NK_DO(trainWholeStep(level, 1));
    NK_DO(restart());
    NK_DO(openLevel(partButton.constData(), position, level));
    NK_DO(pickMelodies(level, 2, 2));
    NK_DO(restart());
    NK_DO(openLevel(partButton.constData(), position, level));
    NK_DO(sendReport(level, 3));
    QVERIFY(m_rig.stepFlag(level, 3, "active"));
}

QTEST_MAIN(LaterLevelsTest)
#include "tst_laterlevels.moc"
