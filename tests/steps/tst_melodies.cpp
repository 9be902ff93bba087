#include "course/inifile.h"
#include "steps/melodypages.h"
#include "steps/notesequence.h"
#include "steps/tmelodyset.h"
#include "steps/trainingpages.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tyesbutton.h"
#include "windowrig.h"

#include <QTest>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

const QStringList kSeven{u"150 152"_s, u"154 155"_s, u"157 159"_s, u"2511 259"_s,
                         u"250 250"_s, u"152 154"_s, u"157 150"_s};

QString melodyText(const QStringList &melodies, const QString &extra = {})
{
    QString text = u"[melody]\r\n"_s;
    for (qsizetype n = 0; n < melodies.size(); ++n)
        text += u"m%1=%2\r\n"_s.arg(n + 1).arg(melodies[n]);
    return text + extra;
}

void writeLevelOne(WindowRig &rig, const QStringList &melodies, bool used = true)
{
    QString level = u"[level]\r\nname=Уровень 1\r\n"_s;
    for (int step = 1; step <= 5; ++step)
        level += u"[step%1]\r\nname=Шаг %1\r\nactive=%2\r\nused=%3\r\n"_s.arg(step)
                     .arg(step <= 4 ? 1 : 0)
                     .arg(step == 4 && used ? 1 : 0);
    rig.writeText(u"levels/01/level.dat"_s, level);
    rig.writeText(u"levels/01/melody.dat"_s, melodyText(melodies));
}

} // namespace

class MelodiesTest : public QObject
{
    Q_OBJECT
private slots:
    void keyRange_data();
    void keyRange();
    void melodyPlayedRight();
    void runToPassing_data();
    void runToPassing();
    void lastMelodyNeedsSecondNext();
    void practiceAfterPassing();
    void shortLevelMelodies();
    void noMelodiesStillPass();
    void reviewLeftHalfWay();
};

void MelodiesTest::keyRange_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QList<int>>("range"); // low octave, low pitch, high octave, high pitch
    QTest::newRow("named by the count") << u"[note1]\r\noct=4\r\nnote=9\r\n[note2]\r\noct=6\r\n"
                                           "note=2\r\n[note3]\r\noct=5\r\nnote=5\r\n"_s
                                        << QList<int>{4, 9, 6, 2};
    QTest::newRow("whole keyboard") << QString() << QList<int>{4, 0, 6, 11};
    QTest::newRow("bad pitch") << u"[note1]\r\noct=5\r\nnote=12\r\n"_s << QList<int>{5, 0, 6, 11};
}

void MelodiesTest::keyRange()
{
    QFETCH(QString, extra);
    QFETCH(QList<int>, range);
    WindowRig rig({u"01"_s});
    writeLevelOne(rig, {});
    rig.writeText(u"levels/01/melody.dat"_s, melodyText(kSeven.mid(0, 3), extra));
    rig.openStep(1, 4);
    const TAllowed &a = rig.state().Allowed;
    QCOMPARE((QList<int>{a.LowOctave, a.LowPitch, a.HighOctave, a.HighPitch}), range);
    QCOMPARE(rig.state().MelodySet.MelodyCount, 3);
}

void MelodiesTest::melodyPlayedRight()
{
    WindowRig rig({u"01"_s});
    writeLevelOne(rig, {u"150 152 154"_s, u"250"_s});
    rig.openStep(1, 4);
    QVERIFY(!rig.button(MelodyPages::AnswerTag)->isEnabled());
    QVERIFY(rig.clickButton(MelodyPages::ListenTag));
    QCOMPARE(rig.state().Allowed.AnswerLen, 3);
    QVERIFY(rig.clickButton(MelodyPages::AnswerTag));
    QVERIFY(rig.state().Allowed.Collecting);
    QVERIFY(rig.form().KeyboardIsShown());
    for (int pitch : {0, 2, 4})
        rig.pressKey(5, pitch);
    QTRY_VERIFY(rig.onRightPage());
    for (int i = 0; i < 3; ++i) {
        const TNote &n = rig.state().NotesA[std::size_t(i)];
        QCOMPARE((QList<int>{n.Duration, n.Octave, n.Pitch}), (QList<int>{1, 5, 2 * i}));
    }
    QVERIFY(!rig.form().KeyboardIsShown());
    QCOMPARE(rig.logLines().filter(u"Мелодия угадана правильно"_s).size(), 1);
}

void MelodiesTest::runToPassing_data()
{
    // R and W: right and wrong after "Ответить!"; r and w: after "Я подобрал!".
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QList<int>>("pictures"); // progress picture of each result page
    QTest::newRow("three rights") << u"RRR"_s << QList<int>{2, 3, 4};
    QTest::newRow("retry does not count") << u"RWrRRR"_s << QList<int>{2, 1, 1, 2, 3, 4};
    QTest::newRow("wrong twice") << u"WwrRRR"_s << QList<int>{1, 1, 1, 2, 3, 4};
}

void MelodiesTest::runToPassing()
{
    QFETCH(QString, answers);
    QFETCH(QList<int>, pictures);
    WindowRig rig({u"01"_s});
    writeLevelOne(rig, kSeven);
    rig.openStep(1, 4);
    QCOMPARE(rig.progressPicture(), 1);
    QList<int> seen;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const QChar a = answers[i];
        QVERIFY(!rig.link(MelodyPages::ReturnLinkTag));
        const bool right = a.isUpper() ? a == u'R' : a == u'r';
        QVERIFY(rig.playMelody(right, a.isLower()));
        QCOMPARE(rig.onRightPage(), right);
        seen.append(rig.progressPicture());
        if (right && i + 1 < answers.size()) {
            QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
            QVERIFY(rig.button(MelodyPages::ListenTag));
            QCOMPARE(rig.progressPicture(), seen.last());
        }
    }
    QCOMPARE(seen, pictures);
    QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    QVERIFY(rig.onPassedPage());
    QVERIFY(!rig.state().MelodySet.Counting);
    QCOMPARE(rig.state().MelodySet.Required, 7);
}

// The third right lands on the last melody: the first "Дальше" only goes
// back to melody 1, the second opens the passed page.
void MelodiesTest::lastMelodyNeedsSecondNext()
{
    WindowRig rig({u"01"_s});
    writeLevelOne(rig, kSeven.mid(0, 3));
    rig.openStep(1, 4);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(rig.playMelody(true));
        if (i < 2)
            QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    }
    QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    QVERIFY(rig.onRightPage());
    QCOMPARE(rig.state().MelodySet.MelodyIndex, 1);
    QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    QVERIFY(rig.onPassedPage());
    QVERIFY(
        rig.labelText(40).startsWith(u"Отлично. Вы делаете успехи. Ноты ДО, МИ, СОЛЬ, ЛЯ можно\n"
                                     "считать освоенными."_s));
}

void MelodiesTest::practiceAfterPassing()
{
    WindowRig rig({u"01"_s});
    writeLevelOne(rig, kSeven);
    rig.openStep(1, 4);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(rig.playMelody(true));
        QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    }
    QVERIFY(rig.onPassedPage());
    QCOMPARE(rig.link(MelodyPages::ReturnLinkTag)->text(), MelodyPages::returnCaption());
    QVERIFY(rig.clickButton(MelodyPages::MoreTag));
    QVERIFY(rig.link(MelodyPages::ReturnLinkTag));
    QCOMPARE(rig.progressPicture(), 0);
    QVERIFY(rig.playMelody(false));
    QCOMPARE(NoteSequence::token(rig.state().NotesB[0]) + u' ' +
                 NoteSequence::token(rig.state().NotesB[1]),
             kSeven[3]);
    QVERIFY(rig.link(MelodyPages::ReturnLinkTag));
    QVERIFY(rig.playMelody(true, true));
    QVERIFY(rig.link(MelodyPages::ReturnLinkTag));
    QCOMPARE(rig.progressPicture(), 0);
    QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    QCOMPARE(rig.state().MelodySet.MelodyIndex, 5);
    QVERIFY(!rig.stepFlag(1, 5, "active"));
    QVERIFY(rig.clickLink(MelodyPages::ReturnLinkTag));
    QVERIFY(rig.stepFlag(1, 5, "active"));
    QVERIFY(rig.levelPageShown());
}

// On a revision level the melodies are step 2: the introduction comes first,
// answers are judged with duration 4, and the way back opens step 3.
void MelodiesTest::shortLevelMelodies()
{
    WindowRig rig({u"08"_s});
    rig.openStep(8, 2);
    QVERIFY(rig.link(MelodyPages::ContinueLinkTag));
    QVERIFY(IniFile(rig.path(u"levels/08/level.dat"_s)).readBool(u"step2", u"used", false));
    QVERIFY(rig.clickLink(MelodyPages::ContinueLinkTag));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(rig.playMelody(true));
        QCOMPARE(rig.state().NotesA[0].Duration, 4);
        QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    }
    QVERIFY(rig.onPassedPage());
    QVERIFY(!rig.stepFlag(8, 3, "active"));
    QVERIFY(rig.clickLink(MelodyPages::ReturnLinkTag));
    QVERIFY(rig.stepFlag(8, 3, "active"));
    QVERIFY(rig.levelPageShown());
}

void MelodiesTest::noMelodiesStillPass()
{
    WindowRig rig({u"01"_s});
    writeLevelOne(rig, {});
    rig.openStep(1, 4);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(rig.playMelody(true));
        QCOMPARE(rig.state().Allowed.AnswerLen, 1); // the missing melody plays one ДО
        if (i < 2)
            QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    }
    QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
    QVERIFY(rig.onPassedPage());
}

// A wrong training answer starts a review; the learner leaves it for the
// melodies, whose notes must then be the ones the answer is judged against.
void MelodiesTest::reviewLeftHalfWay()
{
    WindowRig rig({u"01"_s});
    writeLevelOne(rig, {u"150 152"_s});
    GlobalState &s = rig.state();
    rig.openTraining(1);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    s.Step3Set.QuestionText = u"455"_s;
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
    rig.pressKey(5, 0);
    QTRY_VERIFY(rig.link(TrainingPages::CompareLinkTag));
    QVERIFY(s.ErrorSet.Reviewing);

    rig.openStep(1, 4);
    QVERIFY(rig.clickButton(MelodyPages::ListenTag));
    QVERIFY(rig.clickButton(MelodyPages::AnswerTag));
    rig.pressKey(5, 0);
    rig.pressKey(5, 2);
    QTRY_VERIFY(rig.onRightPage());
    QCOMPARE(rig.logLines().filter(u"Мелодия угадана правильно"_s).size(), 1);
}

QTEST_MAIN(MelodiesTest)
#include "tst_melodies.moc"
