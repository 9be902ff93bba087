#include "app/coursepages.h"
#include "app/exercises.h"
#include "app/historyreport.h"
#include "audio/noteplayer.h"
#include "course/programclock.h"
#include "course/randomsource.h"
#include "drills/pitchtest.h"
#include "history/historystore.h"
#include "stats/statslinks.h"
#include "stats/statspage.h"
#include "widgets/page.h"
#include "widgets/pitchtestlinks.h"
#include "widgets/tyesbutton.h"
#include "windowrig.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace nk;
using namespace nk::test;

namespace {
// The rig's clock runs a thousand times fast: a trial's tones and silence
// take a few milliseconds.
RigSetup fastCourse()
{
    return RigSetup(RigSetup::Levels, {QStringLiteral("01")}).withSounds().scaledBy(0.001);
}

PitchTest &testOf(WindowRig &rig)
{
    return rig.form().exercises().pitchTest();
}

QStringList csvLines(WindowRig &rig, const QString &exercise)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    rig.state().history.writeCsv(out);
    return QString::fromUtf8(out.data()).split(u'\n').filter(u',' + exercise + u',');
}

// A played recording's place as the history writes it: octave digit and pitch,
// and the timbre's shown name.
QString asRecorded(const QString &path)
{
    static const QMap<QString, QString> octaves{{u"great"_qs, u"3"_qs},
                                                {u"little"_qs, u"4"_qs},
                                                {u"first"_qs, u"5"_qs},
                                                {u"second"_qs, u"6"_qs},
                                                {u"third"_qs, u"7"_qs}};
    static const QMap<QString, QString> names{
        {u"piano"_qs, u"Фортепиано"_qs}, {u"guitar"_qs, u"Гитара"_qs},
        {u"strings"_qs, u"Струнные"_qs}, {u"clarinet"_qs, u"Кларнет"_qs},
        {u"flute"_qs, u"Флейта"_qs},     {u"vibraphone"_qs, u"Вибрафон"_qs},
        {u"organ"_qs, u"Орган"_qs},      {u"choir"_qs, u"Хор"_qs}};
    const QStringList parts = path.split(u'/');
    const int pitch = parts.last().left(2).toInt();
    return octaves.value(parts[parts.size() - 2]) + QString::number(pitch) + u' ' +
           names.value(parts[parts.size() - 3]);
}

int csvRows(WindowRig &rig, const QString &exercise)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    rig.state().history.writeCsv(out);
    return int(QString::fromUtf8(out.data()).count(u',' + exercise + u','));
}

// The physical key Z, ДО of the computer keyboard's lower row.
void typeDo(TMainForm &form)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 52, 0, 0, QStringLiteral("z"));
    QApplication::sendEvent(&form, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier, 52, 0, 0, QStringLiteral("z"));
    QApplication::sendEvent(&form, &release);
}
} // namespace

// The pitch test in the window: its links, its circle, a whole sitting by a
// scripted learner, a sitting left half way, and the reminder of a retest.
class PitchTestPageTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { ProgramClock::setNowSource({}); }
    void fromTheAboutPageAndBack();
    void fromAndBackToTheLevelsStatistics();
    void namesInACircle();
    void aLearnerAnsweringDo();
    void leftHalfWay();
    void reminderOnceWhenDue();

private:
    static bool answerAll(WindowRig &rig, int trials);
};

void PitchTestPageTest::init()
{
    RandomSource::seed(20261210);
    ProgramClock::setNowSource([] { return WindowRig::moment(); });
}

bool PitchTestPageTest::answerAll(WindowRig &rig, int trials)
{
    // The same buttons in the same colours throughout: nothing lights up right or wrong.
    const QPointer<TYesButton> name = rig.button(PitchTestLinks::FirstNameTag);
    const QPalette colours = name ? name->palette() : QPalette();
    for (int t = 0; t < trials; ++t) {
        if (!QTest::qWaitFor([&rig] { return testOf(rig).listening(); }, 5000))
            return false;
        // Half the trials by a click on ДО, half by the computer's key of ДО.
        if (t % 2 == 0) {
            if (!rig.clickButton(PitchTestLinks::FirstNameTag))
                return false;
        } else {
            typeDo(rig.form());
        }
        // Nothing says right or wrong: the same page goes on.
        const bool samePage = rig.caption() == PitchTestLinks::text() && name &&
                              rig.button(PitchTestLinks::FirstNameTag) == name &&
                              name->palette() == colours;
        if (t + 1 < trials && !samePage)
            return false;
    }
    return true;
}

void PitchTestPageTest::fromTheAboutPageAndBack()
{
    WindowRig rig(fastCourse());
    QVERIFY(rig.clickMenu("lbAbout"));
    QVERIFY(rig.clickLink(PitchTestLinks::FromAboutTag));
    QCOMPARE(rig.caption(), PitchTestLinks::text());
    QVERIFY(rig.button(PitchTestLinks::StartTag));
    QVERIFY(rig.clickLink(PitchTestLinks::BackTag));
    QVERIFY(rig.link(PitchTestLinks::FromAboutTag));
}

void PitchTestPageTest::fromAndBackToTheLevelsStatistics()
{
    WindowRig rig(fastCourse());
    rig.form().course().ShowLevelPage(1);
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    QVERIFY(rig.clickLink(PitchTestLinks::FromStatsTag));
    QCOMPARE(rig.caption(), PitchTestLinks::text());
    QVERIFY(rig.clickLink(PitchTestLinks::BackTag));
    QCOMPARE(rig.form().statistics().scope(), StatsPage::Scope::Level);
    // And from there back to the level, as before the test.
    QVERIFY(rig.clickLink(StatsLinks::BackTag));
    QVERIFY(rig.levelPageShown());
}

void PitchTestPageTest::namesInACircle()
{
    WindowRig rig(fastCourse());
    QVERIFY(rig.clickMenu("lbAbout"));
    QVERIFY(rig.clickLink(PitchTestLinks::FromAboutTag));
    QVERIFY(rig.clickButton(PitchTestLinks::StartTag));
    const QStringList names{u"ДО"_qs,  u"ДО#"_qs,  u"РЕ"_qs,    u"РЕ#"_qs, u"МИ"_qs,  u"ФА"_qs,
                            u"ФА#"_qs, u"СОЛЬ"_qs, u"СОЛЬ#"_qs, u"ЛЯ"_qs,  u"ЛЯ#"_qs, u"СИ"_qs};
    QList<QPoint> centres;
    for (int pitch = 0; pitch < 12; ++pitch) {
        TYesButton *name = rig.button(PitchTestLinks::FirstNameTag + pitch);
        QVERIFY(name);
        QCOMPARE(name->text(), names[pitch]);
        centres << name->geometry().center();
    }
    // ДО on top, ФА# at the bottom, the sharps of the left half to the left.
    for (const QPoint &c : centres) {
        QVERIFY(c.y() >= centres[0].y());
        QVERIFY(c.y() <= centres[6].y());
    }
    QCOMPARE(centres[0].x(), centres[6].x());
    for (int a = 0; a < 12; ++a) {
        for (int b = a + 1; b < 12; ++b) {
            QVERIFY(!rig.button(PitchTestLinks::FirstNameTag + a)
                         ->geometry()
                         .intersects(rig.button(PitchTestLinks::FirstNameTag + b)->geometry()));
        }
    }
    // The piano, with its low and high ends, is not there to lean on.
    QVERIFY(!rig.form().KeyboardIsShown());
    QVERIFY(centres[3].x() > centres[0].x() && centres[9].x() < centres[0].x());
    QVERIFY(rig.labelText(40).startsWith(u"Нота 1 из 36"_qs));
}

void PitchTestPageTest::aLearnerAnsweringDo()
{
    WindowRig rig(fastCourse());
    QVERIFY(rig.clickMenu("lbAbout"));
    QVERIFY(rig.clickLink(PitchTestLinks::FromAboutTag));
    QSignalSpy heard(&rig.state().player, &NotePlayer::sounding);
    QVERIFY(rig.clickButton(PitchTestLinks::StartTag));
    QVERIFY2(answerAll(rig, 36), qPrintable(rig.describePage()));
    // Ten masking tones before each trial's note, and the notes the ones the
    // history keeps, in their octave and timbre.
    const QStringList rows = csvLines(rig, u"проверка слуха"_qs);
    QCOMPARE(heard.size(), 36 * 11);
    for (int t = 0; t < 36; ++t) {
        const QStringList row = rows[t].split(u',');
        QCOMPARE(asRecorded(heard[t * 11 + 10][0].toString()), row[4] + u' ' + row[10]);
    }
    QTRY_COMPARE(rig.caption(), PitchTestLinks::text() + u": результат"_qs);
    QCOMPARE(rig.labelText(40), u"Верно: 3 из 36 (8%)"_qs);
    QCOMPARE(rig.labelText(57), u"Средняя ошибка: 3,0 полутона"_qs);
    QCOMPARE(rig.labelText(108), u"Наугад — около 3 из 36"_qs);
    const QList<PitchTestRecord> tests = rig.state().history.pitchTests();
    QCOMPARE(tests.size(), 1);
    QCOMPARE(HistoryReport::testLines(tests),
             u"Проверка слуха 08.12.2026: верно 3 из 36, средняя ошибка 3,0 полутона\n"_qs);
    QCOMPARE(csvRows(rig, u"проверка слуха"_qs), 36);
    // The keys play the piano again once the test is over.
    QVERIFY(!testOf(rig).running());
}

void PitchTestPageTest::leftHalfWay()
{
    WindowRig rig(fastCourse());
    QVERIFY(rig.clickMenu("lbAbout"));
    QVERIFY(rig.clickLink(PitchTestLinks::FromAboutTag));
    QVERIFY(rig.clickButton(PitchTestLinks::StartTag));
    QVERIFY(answerAll(rig, 18));
    QVERIFY(rig.clickMenu("lbAbout"));
    QTRY_VERIFY(!testOf(rig).running());
    QVERIFY(rig.logMessages().contains(u"Проверка слуха прервана и не засчитана"_qs));
    QVERIFY(rig.state().history.pitchTests().isEmpty());
    QCOMPARE(csvRows(rig, u"проверка слуха"_qs), 18);
    QVERIFY(rig.clickLink(PitchTestLinks::FromAboutTag));
    QCOMPARE(rig.labelText(184), u"Прошлая проверка была прервана и не засчитана."_qs);
}

void PitchTestPageTest::reminderOnceWhenDue()
{
    WindowRig rig(fastCourse().startLater());
    // A test a week before this session.
    const QDateTime weekAgo = WindowRig::moment().addDays(-7);
    QVERIFY(HistoryStore(rig.path(u"levels/history.db"_qs))
                .recordPitchTest({weekAgo.toMSecsSinceEpoch(), weekAgo, 36, 10, 20, 5, 4}));
    rig.start();
    // The level page the program starts on.
    QTRY_VERIFY(rig.levelPageShown());
    QVERIFY2(rig.link(PitchTestLinks::FromLevelTag), qPrintable(rig.describePage()));
    QVERIFY(rig.clickLink(PitchTestLinks::FromLevelTag));
    QCOMPARE(rig.caption(), PitchTestLinks::text());
    QVERIFY(rig.clickLink(PitchTestLinks::BackTag));
    QVERIFY(rig.levelPageShown());
    QVERIFY(!rig.link(PitchTestLinks::FromLevelTag));
}

QTEST_MAIN(PitchTestPageTest)
#include "tst_pitchtestpage.moc"
