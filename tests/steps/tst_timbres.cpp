#include "app/coursepages.h"
#include "app/globalstate.h"
#include "app/settingspage.h"
#include "app/tmainform.h"
#include "course/randomsource.h"
#include "drills/keysdrill.h"
#include "history/historystore.h"
#include "privatepulse.h"
#include "sinkrecorder.h"
#include "skiporfail.h"
#include "steps/melodypages.h"
#include "steps/trainingpages.h"
#include "tonetools.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/settingslinks.h"
#include "widgets/tarrowlabel.h"
#include "windowrig.h"

#include <QAccessible>
#include <QBuffer>
#include <QCheckBox>
#include <QTest>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

// The shown names, as the learner must read them.
const QStringList kNames = {u"Фортепиано"_s, u"Гитара"_s,   u"Струнные"_s, u"Кларнет"_s,
                            u"Флейта"_s,     u"Вибрафон"_s, u"Орган"_s,    u"Хор"_s};
const QStringList kRigTimbres = {u"guitar"_s, u"strings"_s, u"organ"_s};
const QHash<QString, QString> kNameOf = {{u"piano"_s, u"Фортепиано"_s},
                                         {u"guitar"_s, u"Гитара"_s},
                                         {u"strings"_s, u"Струнные"_s},
                                         {u"organ"_s, u"Орган"_s}};

QString noteFile(const QString &timbre, int octave, int pitch)
{
    static const char *const octaves[] = {"little", "first", "second"};
    static const char *const files[] = {"00do.wav",      "01do-diez.wav", "02re.wav",
                                        "03re-diez.wav", "04mi.wav",      "05fa.wav",
                                        "06fa-diez.wav", "07sol.wav",     "08sol-diez.wav",
                                        "09la.wav",      "10la-diez.wav", "11si.wav"};
    return u"sound/"_s + timbre + u'/' + QLatin1String(octaves[octave - 4]) + u'/' +
           QLatin1String(files[pitch]);
}

// Collects the audio subsystem's warnings on top of the rig's own handler.
QStringList g_audioWarnings;
QtMessageHandler g_rigHandler = nullptr;

void collectAudio(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && qstrcmp(context.category, "notoklyuv.audio") == 0)
        g_audioWarnings << message;
    if (g_rigHandler)
        g_rigHandler(type, context, message);
}

// Qt's audio layer keeps to the first sound server a process met, and each
// of these checks starts one of its own: CTest runs each in its own process
// and tells the run of the other checks to leave them out.
bool soundChecksElsewhere()
{
    return qEnvironmentVariableIsSet("NK_SOUND_CHECKS_APART");
}

#define NK_NEEDS_PRIVATE_SOUND()                                                                   \
    do {                                                                                           \
        if (soundChecksElsewhere())                                                                \
            QSKIP("run in a process of its own");                                                  \
        if (const QString missing = testkit::PrivatePulse::missingTools(); !missing.isEmpty())     \
            NK_SKIP_OR_FAIL(missing);                                                              \
    } while (false)

// A rig with timbres of its own and a recorder at its sound server.
class HeardRig
{
public:
    explicit HeardRig(RigSetup setup) : rig(setup.withPrivateSink().withTimbres(kRigTimbres)) {}

    bool startRecording(QString *error)
    {
        return rig.ready() && recorder.start(testkit::PrivatePulse::monitorName(), error);
    }
    // Everything sent so far is recorded: the recorder lags the sink.
    bool settle() { return recorder.waitForSamples(recorder.sampleCount() + 26460); }
    qsizetype mark()
    {
        settle();
        return recorder.sampleCount();
    }
    // The timbres whose recording of the note sounds in the recording since
    // `from`, sample for sample.
    QStringList heard(qsizetype from, int octave, int pitch)
    {
        settle();
        QStringList found;
        for (const QString &timbre : QStringList{u"piano"_s} + kRigTimbres) {
            const std::vector<qint16> clip =
                testkit::wavSamples(rig.path(noteFile(timbre, octave, pitch)));
            // Three stretches of the note: a busy machine may spoil one.
            for (const qsizetype offset : {0, 3000, 6000}) {
                if (testkit::findClip(recorder.samples(), from, clip, offset) >= 0) {
                    found << timbre;
                    break;
                }
            }
        }
        return found;
    }

    WindowRig rig;
    testkit::SinkRecorder recorder;
};

PageLabel *entry(WindowRig &rig, int index)
{
    return qobject_cast<PageLabel *>(rig.page().findByName(SettingsPage::timbreEntryName(index)));
}

QCheckBox *box(WindowRig &rig, const QString &name)
{
    return qobject_cast<QCheckBox *>(rig.page().findByName(name));
}

} // namespace

class TimbresTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pageReachedFromLevelAndAbout_data();
    void pageReachedFromLevelAndAbout();
    void pageByKeyboardAndScreenReader();
    void chosenTimbreIsHeard();
    void mixedTimbresPerQuestion();
    void missingTimbrePlaysNothing();
    void melodiesAndDrillsDrawTimbres();
    void withoutMixOnlyTheChosen();
};

void TimbresTest::pageReachedFromLevelAndAbout_data()
{
    QTest::addColumn<int>("linkTag");
    QTest::newRow("level page") << SettingsLinks::FromLevelTag;
    QTest::newRow("about page") << SettingsLinks::FromAboutTag;
}

// The link leads to the page and "Вернуться" back to where it was; the ticks
// show the settings and change them.
void TimbresTest::pageReachedFromLevelAndAbout()
{
    QFETCH(int, linkTag);
    WindowRig rig({u"05"_s});
    const bool fromLevel = linkTag == SettingsLinks::FromLevelTag;
    if (fromLevel)
        rig.form().course().ShowLevelPage(5);
    else
        rig.form().routes().showAboutPage();
    QVERIFY2(rig.link(linkTag), qPrintable(rig.describePage()));
    QCOMPARE(rig.link(linkTag)->text(), u"Настройки"_s);
    QVERIFY(rig.clickLink(linkTag));
    QCOMPARE(rig.caption(), u"Настройки"_s);
    QStringList names;
    for (int k = 0; entry(rig, k); ++k)
        names << entry(rig, k)->text();
    QCOMPARE(names, kNames);
    QCheckBox *mix = box(rig, SettingsPage::mixBoxName());
    QVERIFY(mix);
    QCOMPARE(mix->text(), u"Разные тембры"_s);
    QVERIFY(!mix->isChecked());
    QTest::mouseClick(mix, Qt::LeftButton, {}, QPoint(8, mix->height() / 2));
    QVERIFY(rig.state().Settings.TembrMix);
    QCheckBox *guitar = box(rig, SettingsPage::tickName(1));
    QVERIFY(guitar && guitar->isChecked());
    QTest::mouseClick(guitar, Qt::LeftButton, {}, QPoint(8, guitar->height() / 2));
    QCOMPARE(rig.state().Settings.TembrSet,
             (QStringList{u"piano"_s, u"strings"_s, u"clarinet"_s, u"flute"_s, u"vibraphone"_s,
                          u"organ"_s, u"choir"_s}));
    QVERIFY(rig.clickLink(SettingsLinks::BackTag));
    if (fromLevel)
        QVERIFY(rig.levelPageShown());
    else
        QVERIFY(rig.page().findByName(u"abox"_s));
    QVERIFY(rig.quit());
    QCOMPARE(rig.setting("tembrmix"), u"1"_s);
    QCOMPARE(rig.setting("tembrset"), u"piano,strings,clarinet,flute,vibraphone,organ,choir"_s);
}

void TimbresTest::pageByKeyboardAndScreenReader()
{
    WindowRig rig({u"05"_s});
    rig.form().course().ShowLevelPage(5);
    QVERIFY(rig.clickLink(SettingsLinks::FromLevelTag));
    PageLabel *organ = entry(rig, 6);
    QVERIFY(organ);
    QCOMPARE(organ->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    QAccessibleInterface *told = QAccessible::queryAccessibleInterface(organ);
    QVERIFY(told);
    QCOMPARE(told->text(QAccessible::Name), u"Орган"_s);
    QCOMPARE(told->role(), QAccessible::ListItem);
    organ->setFocus();
    QTest::keyClick(organ, Qt::Key_Return);
    QCOMPARE(rig.state().Settings.Tembr, u"organ"_s);
    // Shown again, the page marks the choice with its arrow beside it.
    QVERIFY(rig.clickLink(SettingsLinks::BackTag));
    QVERIFY(rig.clickLink(SettingsLinks::FromLevelTag));
    organ = entry(rig, 6);
    told = QAccessible::queryAccessibleInterface(organ);
    QCOMPARE(organ->textColor(), QColor(0xFF, 0x00, 0x00));
    bool arrowBeside = false;
    for (QWidget *w : rig.page().pageWidgets())
        arrowBeside |= qobject_cast<PagePicture *>(w) && w->isVisible() &&
                       w->geometry().topLeft() == QPoint(organ->x() - 24, organ->y());
    QVERIFY(arrowBeside);
    QCOMPARE(told->text(QAccessible::Description), u"тембр, выбран"_s);
    QCOMPARE(QAccessible::queryAccessibleInterface(entry(rig, 0))->text(QAccessible::Description),
             u"тембр"_s);
    QCheckBox *mix = box(rig, SettingsPage::mixBoxName());
    QCheckBox *choir = box(rig, SettingsPage::tickName(7));
    for (QCheckBox *b : {mix, choir}) {
        QVERIFY(b->focusPolicy() & Qt::TabFocus);
        QVERIFY(!QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name).isEmpty());
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(choir)->text(QAccessible::Name),
             u"Хор среди разных тембров"_s);
    mix->setFocus();
    QTest::keyClick(mix, Qt::Key_Space);
    QVERIFY(rig.state().Settings.TembrMix);
}

// A timbre chosen on the page is heard at once, in ЛЯ of the first octave,
// and then in the questions; it is kept at close.
void TimbresTest::chosenTimbreIsHeard()
{
    NK_NEEDS_PRIVATE_SOUND();
    HeardRig heard(RigSetup(RigSetup::Levels, {u"05"_s}));
    QString error;
    QVERIFY2(heard.startRecording(&error), qPrintable(error));
    WindowRig &rig = heard.rig;
    rig.form().course().ShowLevelPage(5);
    QVERIFY(rig.clickLink(SettingsLinks::FromLevelTag));
    QCOMPARE(entry(rig, 0)->textColor(), QColor(0xFF, 0x00, 0x00)); // piano, as chosen so far
    qsizetype from = heard.mark();
    QTest::mouseClick(entry(rig, 2), Qt::LeftButton);
    QCOMPARE(heard.heard(from, 5, 9), QStringList{u"strings"_s});
    QCOMPARE(entry(rig, 2)->textColor(), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(entry(rig, 0)->textColor(), QColor(0x33, 0x33, 0x99));
    QVERIFY(rig.clickLink(SettingsLinks::BackTag));
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    from = heard.mark();
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    const TNote asked = rig.state().NotesB[0];
    QCOMPARE(heard.heard(from, asked.Octave, asked.Pitch), QStringList{u"strings"_s});
    QVERIFY(rig.quit());
    QCOMPARE(rig.setting("tembr"), u"strings"_s);
}

// With "Разные тембры" each question is played in a timbre of its own: its
// listens, its wrong-answer page, its comparison, the keys pressed to answer
// it and its history row all share it.
void TimbresTest::mixedTimbresPerQuestion()
{
    NK_NEEDS_PRIVATE_SOUND();
    // The comparison's cards must sound long enough to be recognised.
    HeardRig heard(RigSetup(RigSetup::Levels, {u"05"_s}).scaledBy(0.05));
    QString error;
    QVERIFY2(heard.startRecording(&error), qPrintable(error));
    WindowRig &rig = heard.rig;
    rig.state().Settings.TembrMix = true; // every timbre ticked; four of them are there
    RandomSource::seed(13);
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    auto listen = [&](int tag, bool given) {
        const qsizetype from = heard.mark();
        if (!rig.clickButton(tag))
            return QStringList{u"<no button>"_s};
        const TNote note = given ? rig.state().NotesA[0] : rig.state().NotesB[0];
        return heard.heard(from, note.Octave, note.Pitch);
    };

    // A wrong answer first: the question, its listens again, its comparison.
    const QStringList first = listen(TrainingPages::ListenTag, false);
    QCOMPARE(first.size(), 1);
    // Not the chosen one, so that falling back to it would show.
    QVERIFY2(first.first() != u"piano", qPrintable(first.first()));
    QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
    qsizetype from = heard.mark();
    QVERIFY(rig.pressPlayed(false));
    const TNote given = rig.state().NotesA[0];
    QCOMPARE(heard.heard(from, given.Octave, given.Pitch), first); // the key pressed
    QTRY_VERIFY(rig.link(TrainingPages::CompareLinkTag));
    QCOMPARE(listen(TrainingPages::ListenRightTag, false), first);
    QCOMPARE(listen(TrainingPages::ListenGivenTag, true), first);
    const TNote right = rig.state().NotesB[0];
    from = heard.mark();
    QVERIFY(rig.clickLink(TrainingPages::CompareLinkTag));
    QTRY_VERIFY_WITH_TIMEOUT(rig.button(TrainingPages::ListenTag), 20000);
    QCOMPARE(heard.heard(from, right.Octave, right.Pitch), first);
    QCOMPARE(heard.heard(from, given.Octave, given.Pitch), first);
    QCOMPARE(listen(TrainingPages::ListenTag, false), first); // asked again
    QStringList timbres{first.first(), first.first()};

    // Then right answers, each question drawn anew.
    for (int question = 0; question < 5; ++question) {
        QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
        QVERIFY(rig.pressPlayed(true));
        QTRY_VERIFY(rig.link(TrainingPages::NextLinkTag));
        QVERIFY(rig.clickLink(TrainingPages::NextLinkTag));
        const QStringList now = listen(TrainingPages::ListenTag, false);
        QCOMPARE(now.size(), 1);
        timbres << now.first();
    }
    QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
    QVERIFY(rig.pressPlayed(true));
    QTRY_VERIFY(rig.link(TrainingPages::NextLinkTag));
    QVERIFY2(QSet<QString>(timbres.cbegin(), timbres.cend()).size() > 1,
             qPrintable(timbres.join(u' ')));

    QBuffer csv;
    QVERIFY(csv.open(QIODevice::WriteOnly));
    QVERIFY(rig.state().history.writeCsv(csv));
    QStringList rows = QString::fromUtf8(csv.data()).split(u'\n', Qt::SkipEmptyParts);
    rows.removeFirst();
    QStringList kept;
    for (const QString &row : rows)
        kept << row.section(u',', -1);
    QStringList expected;
    for (const QString &timbre : timbres)
        expected << kNameOf.value(timbre);
    QCOMPARE(kept, expected);
}

// A chosen timbre without its folder sounds nothing and is told about once.
void TimbresTest::missingTimbrePlaysNothing()
{
    NK_NEEDS_PRIVATE_SOUND();
    HeardRig heard(RigSetup(RigSetup::Levels, {u"05"_s}).startLater());
    QString error;
    QVERIFY2(heard.startRecording(&error), qPrintable(error));
    WindowRig &rig = heard.rig;
    rig.writeSetting("tembr", u"nosuch"_s);
    rig.start();
    QLoggingCategory::setFilterRules(u"notoklyuv.audio.warning=true"_s);
    g_audioWarnings.clear();
    g_rigHandler = qInstallMessageHandler(&collectAudio);
    const qsizetype from = heard.mark();
    rig.pressKey(5, 9);
    rig.pressKey(4, 0);
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    heard.settle();
    qInstallMessageHandler(g_rigHandler);
    QLoggingCategory::setFilterRules(u"notoklyuv.audio.warning=false"_s);
    QCOMPARE(testkit::firstLoudSample(heard.recorder.samples(), from, 64), qsizetype(-1));
    QCOMPARE(g_audioWarnings.filter(u"36 of 36 note recordings of timbre nosuch"_s).size(), 1);
}

// A melody keeps its timbre through its wrong-answer page; a drill pair
// through its wrong-answer page; each new one draws again, among the ticked
// timbres whose folder is there.
void TimbresTest::melodiesAndDrillsDrawTimbres()
{
    WindowRig rig(
        RigSetup(RigSetup::Levels, {u"04"_s, u"05"_s}).withSounds().withTimbres(kRigTimbres));
    QVERIFY(rig.ready());
    GlobalState &s = rig.state();
    s.Settings.TembrMix = true;
    s.Settings.TembrSet = {u"guitar"_s, u"strings"_s, u"flute"_s}; // no flute folder here
    RandomSource::seed(2);
    rig.openStep(5, 4);
    QVERIFY(rig.clickLink(MelodyPages::ContinueLinkTag));
    QStringList melodies;
    for (int melody = 0; melody < 8; ++melody) {
        QVERIFY2(rig.button(MelodyPages::AnswerTag), qPrintable(rig.describePage()));
        const QString timbre = s.player.timbre();
        if (melody % 2 == 1) { // wrong first, then right on its page
            QVERIFY(rig.playMelody(false));
            QCOMPARE(s.player.timbre(), timbre);
            QVERIFY(rig.playMelody(true, true));
        } else {
            QVERIFY(rig.playMelody(true));
        }
        QVERIFY(rig.onRightPage());
        QCOMPARE(s.player.timbre(), timbre);
        melodies << timbre;
        QVERIFY(rig.clickLink(MelodyPages::NextLinkTag));
        if (rig.button(MelodyPages::MoreTag))
            QVERIFY(rig.clickButton(MelodyPages::MoreTag));
    }
    QCOMPARE(QSet<QString>(melodies.cbegin(), melodies.cend()),
             (QSet<QString>{u"guitar"_s, u"strings"_s}));

    rig.openDrill(WindowRig::Chords);
    QStringList pairs;
    for (int pair = 0; pair < 8; ++pair) {
        rig.drill(WindowRig::Chords).ShowDrillQuestion();
        const QString timbre = s.player.timbre();
        rig.drill(WindowRig::Chords)
            .AnswerDrill(3 - rig.drillField(WindowRig::Chords, WindowRig::FirstColour)); // wrong
        QCOMPARE(s.player.timbre(), timbre);
        pairs << timbre;
    }
    QCOMPARE(QSet<QString>(pairs.cbegin(), pairs.cend()),
             (QSet<QString>{u"guitar"_s, u"strings"_s}));
    rig.form().course().ShowLevelPage(4);
    QCOMPARE(s.player.timbre(), u"piano"_s); // away from the questions, the chosen one
}

// Without the mix every question is in the chosen timbre, and nothing is drawn
// for it: the questions come out as they always did.
void TimbresTest::withoutMixOnlyTheChosen()
{
    WindowRig rig(RigSetup(RigSetup::Levels, {u"05"_s}).withSounds().withTimbres(kRigTimbres));
    GlobalState &s = rig.state();
    QVERIFY(!s.Settings.TembrMix); // as a learner starts
    s.Settings.Tembr = u"organ"_s;
    s.player.setTimbre(s.Settings.Tembr);
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    for (int question = 0; question < 6; ++question) {
        QCOMPARE(s.player.timbre(), u"organ"_s);
        QVERIFY(rig.clickButton(TrainingPages::ListenTag));
        QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
        QVERIFY(rig.pressPlayed(true));
        QTRY_VERIFY(rig.link(TrainingPages::NextLinkTag));
        QVERIFY(rig.clickLink(TrainingPages::NextLinkTag));
    }
}

QTEST_MAIN(TimbresTest)
#include "tst_timbres.moc"
