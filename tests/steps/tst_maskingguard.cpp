#include "app/exercises.h"
#include "audio/noteplayer.h"
#include "course/randomsource.h"
#include "drills/blackwhitedrills.h"
#include "steps/trainingpages.h"
#include "windowrig.h"

#include <QSignalSpy>
#include <QTest>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {
// The rig's clock runs a thousand times fast.
RigSetup course()
{
    return RigSetup(RigSetup::Levels, {u"04"_s, u"05"_s}).withSounds().scaledBy(0.001);
}

// What sounded, as timbre/folder/file.
QStringList heard(const QSignalSpy &spy, int from = 0)
{
    QStringList names;
    for (qsizetype i = from; i < spy.size(); ++i)
        names << spy[i][0].toString().section(u'/', -3);
    return names;
}

bool fromTheFiveOctaves(const QString &name)
{
    static const QStringList octaves{u"great"_s, u"little"_s, u"first"_s, u"second"_s, u"third"_s};
    return octaves.contains(name.section(u'/', 1, 1));
}
} // namespace

// "Помехи между вопросами": the first listen of a new question comes after ten
// random tones, a later listen of the same question without them, and with
// the guard off nothing changes.
class TestMaskingGuard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { RandomSource::seed(7); }
    void training_data();
    void training();
    void drillPair();
};

void TestMaskingGuard::training_data()
{
    QTest::addColumn<bool>("guard");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestMaskingGuard::training()
{
    QFETCH(bool, guard);
    WindowRig rig(course());
    rig.state().Settings.Masking = guard;
    QSignalSpy spy(&rig.state().player, &NotePlayer::sounding);
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    const QString question = rig.state().Step3Set.QuestionText;
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QTRY_VERIFY(rig.button(TrainingPages::AnswerTag)->isEnabled());
    const QStringList first = heard(spy);
    const int notes = int(question.split(u' ').size());
    QCOMPARE(first.size(), (guard ? 10 : 0) + notes);
    // The tones come first, each from one of the five octaves' folders.
    for (int i = 0; i < (guard ? 10 : 0); ++i)
        QVERIFY2(fromTheFiveOctaves(first[i]), qPrintable(first[i]));
    const qsizetype before = spy.size();
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QTRY_COMPARE(spy.size(), before + notes);
    QCOMPARE(heard(spy, int(before)), first.mid(first.size() - notes));
}

void TestMaskingGuard::drillPair()
{
    WindowRig rig(course());
    rig.state().Settings.Masking = true;
    QSignalSpy spy(&rig.state().player, &NotePlayer::sounding);
    rig.openStep(4, 1);
    const DrillTags &tags = rig.description(WindowRig::Chords).tags;
    QVERIFY(rig.clickButton(tags.listenPair));
    QTRY_VERIFY(rig.button(tags.answer)->isEnabled());
    const QStringList first = heard(spy);
    QCOMPARE(first.size(), 12); // ten tones and the two chords
    for (int i = 0; i < 10; ++i)
        QVERIFY2(fromTheFiveOctaves(first[i]), qPrintable(first[i]));
    const qsizetype before = spy.size();
    QVERIFY(rig.clickButton(tags.listenPair));
    QTRY_COMPARE(spy.size(), before + 2);
    QCOMPARE(heard(spy, int(before)), first.mid(10));
}

QTEST_MAIN(TestMaskingGuard)
#include "tst_maskingguard.moc"
