#include "app/wiring.h"

#include "app/coursepages.h"
#include "app/exercises.h"
#include "app/settingspage.h"
#include "app/tmainform.h"
#include "audio/waitms.h"
#include "course/notecatalogue.h"
#include "course/programclock.h"
#include "drills/blackwhitedrills.h"
#include "history/notemastery.h"
#include "keyboard/computerkeys.h"
#include "keyboard/keyboard.h"
#include "midi/midiinput.h"
#include "report/infopages.h"
#include "report/reportpages.h"
#include "stats/statslinks.h"
#include "stats/statspage.h"
#include "steps/levelnotes.h"
#include "steps/stepcontext.h"
#include "widgets/actionboundary.h"
#include "widgets/clicklabel.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/pitchtestlinks.h"
#include "widgets/restbreak.h"
#include "widgets/settingslinks.h"
#include "widgets/tarrowlabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QTimer>

namespace nk {

namespace {

void connectRestBreak(TMainForm &form)
{
    RestBreak &rest = form.restBreak();
    RestBreak::Hooks &hooks = rest.hooks();
    hooks.minimise = [&form] { form.minimizeToTray(); };
    hooks.restore = [&form] { form.restoreFromTray(); };
    hooks.currentLevel = [&form] { return form.state().Settings.Level; };
    hooks.currentStep = [&form] { return form.state().Settings.Step; };
    hooks.busy = [&form] { return form.state().Settings.Busy; };
    OneShotTimers &timers = form.timers();
    timers.setAction(RestBreak::HideTag, [&rest] { rest.hideWindow(); });
    timers.setAction(RestBreak::TrainingTag, [&rest] { rest.end(); });
    timers.setAction(RestBreak::MemorisationTag, [&rest] { rest.end(); });
}

void connectKeyboardReset(TMainForm &form)
{
    form.timers().setAction(6, [&form] {
        if (form.routes().releaseAllKeys)
            form.routes().releaseAllKeys();
        form.state().Settings.HighlightPending = false;
    });
}

// The computer keys play the picture wherever the focus is in the window; the
// panel's check draws their letters.
void connectComputerKeys(TMainForm &form)
{
    Keyboard &keyboard = form.keyboard();
    qApp->installEventFilter(new ComputerKeys(keyboard, &form));
    QObject::connect(form.keyLettersToggle(), &QCheckBox::toggled, &form,
                     [&keyboard](bool shown) { keyboard.showKeyLetters(shown); });
}

// Every button's press on the picture plays a key, the second press of a
// double click included.
void connectKeyboard(TMainForm &form)
{
    Keyboard &keyboard = form.keyboard();
    if (auto *picture = qobject_cast<ClickLabel *>(form.keyboardPicture())) {
        QObject::connect(picture, &ClickLabel::pressed, &form,
                         [&keyboard](QPoint pos, Qt::MouseButton button) {
                             ActionBoundary::run([&keyboard, pos, button] {
                                 keyboard.imgKeyboardMouseDown(pos, button);
                             });
                         });
    }
    form.routes().releaseAllKeys = [&keyboard] { keyboard.ReleaseAllKeys(); };
    connectComputerKeys(form);
}

// A key struck on a MIDI keyboard is a click on the same key of the picture,
// and as a click it needs the window in sight: a keyboard played while the
// window is in the tray (another program's music, a rest) answers nothing.
void connectMidi(TMainForm &form)
{
    Keyboard &keyboard = form.keyboard();
    QObject::connect(&form.state().midi, &MidiInput::notePressed, &form,
                     [&form, &keyboard](int octave, quint8 pitch) {
                         if (!form.isVisible() || form.isMinimized())
                             return;
                         ActionBoundary::run([&keyboard, octave, pitch] {
                             keyboard.pressFromInput(octave, pitch);
                         });
                     });
}

void connectCourse(TMainForm &form)
{
    CoursePages &course = form.course();
    form.page().setNavigation(&course);
    GlobalState &state = form.state();
    form.page().setQuietWhile(
        [&state] { return WaitMsRunning() || state.Settings.Busy || state.MelodyPlaying; });
    form.routes().showPartPage = [&course](int part) { course.ShowPartPage(part); };
    form.routes().showLevelPage = [&course](int level) { course.ShowLevelPage(level); };
    ClickDispatcher &d = form.page().dispatcher();
    d.levelClick = [&course](int tag) { course.levelClick(tag); };
    d.stepClick = [&course](int tag) { course.stepClick(tag); };
    d.noteClick = [&course](int tag) { course.noteClick(tag); };
    ReportPages &reports = form.reports();
    course.hooks().ShowReportPage = [&reports] { reports.ShowReportPage(); };
    Keyboard &keyboard = form.keyboard();
    course.hooks().ClearAllKeys = [&keyboard] { keyboard.ClearAllKeys(); };
    RestBreak &rest = form.restBreak();
    course.hooks().LevelOrStepOpened = [&rest] { rest.dropContinuation(); };
}

void connectSiteLinks(TMainForm &form)
{
    auto open = [&form](const QString &address) { form.state().site.OpenSite(address); };
    form.state().site.setMessageHook([&form](const QString &text) { form.page().message(text); });
    form.routes().openSite = open;
    form.page().dispatcher().openSite = open;
}

void connectReport(TMainForm &form)
{
    InfoPages &info = form.infoPages();
    ReportPages &reports = form.reports();
    // Away from a question, keys sound in the learner's own timbre again.
    NotePlayer &player = form.state().player;
    form.routes().showInstructionPage = [&info, &player] {
        player.useTimbre({});
        info.ShowInstructionPage();
    };
    form.routes().showAboutPage = [&info, &player] {
        player.useTimbre({});
        info.ShowAboutPage();
    };
    ClickDispatcher &d = form.page().dispatcher();
    d.setYesAction(ReportPages::SendTag, [&reports] { reports.SendClick(); });
    d.setArrowAction(InfoPages::StartTag, [&info](TArrowLabel &link) { info.StartClick(link); });
    d.setArrowAction(InfoPages::ContinueTag, [&info](TArrowLabel &) { info.ContinueClick(); });
    d.setArrowAction(InfoPages::ErrorHelpTag, [&info](TArrowLabel &) { info.ShowErrorHelp(); });
    d.setArrowAction(ReportPages::SendLogTag, [&reports](TArrowLabel &) { reports.SendReport(); });
    d.setArrowAction(ReportPages::FullVersionTag,
                     [&reports](TArrowLabel &) { reports.OpenFullVersionInfo(); });
}

void connectTraining(TMainForm &form)
{
    Step3 &training = form.exercises().training();
    ClickDispatcher &d = form.page().dispatcher();
    d.setYesAction(TrainingPages::ListenTag, [&training] { training.listenClick(); });
    d.setYesAction(TrainingPages::AnswerTag, [&training] { training.answerClick(); });
    d.setYesAction(TrainingPages::ListenGivenTag, [&training] { training.listenAgainClick(1); });
    d.setYesAction(TrainingPages::ListenRightTag, [&training] { training.listenAgainClick(2); });
    d.setArrowAction(TrainingPages::CompareLinkTag,
                     [&training](TArrowLabel &) { training.compareClick(); });
    d.setArrowAction(TrainingPages::ContinueLinkTag,
                     [&training](TArrowLabel &) { training.continueClick(); });
    d.setArrowAction(TrainingPages::NextLinkTag,
                     [&training](TArrowLabel &) { training.nextClick(); });
    form.timers().setAction(Step3::DrillTimerTag, [&training] { training.DrillComparePair(); });
    Keyboard::ResultPages &results = form.keyboard().resultPages();
    results.showTrainingRight = [&training] { training.ShowTrainingRight(); };
    results.showTrainingWrong = [&training] { training.ShowTrainingWrong(); };
    form.course().hooks().StartStep3 = [&training] { training.StartStep3(); };
}

void connectLearning(TMainForm &form)
{
    Step1 &learning = form.exercises().learning();
    ClickDispatcher &d = form.page().dispatcher();
    d.setYesAction(Step1::ConfirmTag, [&learning] { learning.confirmClick(); });
    d.setYesAction(Step1::SaveTag, [&learning] { learning.saveClick(); });
    d.setArrowAction(Step1::ContinueLinkTag,
                     [&learning](TArrowLabel &) { learning.continueClick(); });
    d.setArrowAction(Step1::BackLinkTag, [&learning](TArrowLabel &) { learning.backClick(); });
    d.answerClick = [&learning] { learning.answerClick(); };
    d.answerEnter = [&learning] { learning.answerEnter(); };
    CoursePages::Hooks &hooks = form.course().hooks();
    hooks.StartStep1 = [&learning](int level) { learning.StartStep1(level); };
    hooks.StartQuestionnaire = [&learning] { learning.StartQuestionnaire(); };
}

void connectMemorising(TMainForm &form)
{
    Step2 &memorising = form.exercises().memorising();
    ClickDispatcher &d = form.page().dispatcher();
    d.setYesAction(Step2::StartTag, [&memorising] { memorising.startClick(); });
    d.setArrowAction(Step2::ContinueLinkTag,
                     [&memorising](TArrowLabel &) { memorising.continueClick(); });
    form.timers().setAction(Step2::PlaybackTimerTag,
                            [&memorising] { memorising.PlayMemoriseSession(); });
    form.course().hooks().StartStep2 = [&memorising] { memorising.StartStep2(); };
}

void connectMelodies(TMainForm &form)
{
    Step4 &melodies = form.exercises().melodies();
    ClickDispatcher &d = form.page().dispatcher();
    d.setYesAction(MelodyPages::ListenTag, [&melodies] { melodies.listenClick(); });
    d.setYesAction(MelodyPages::AnswerTag, [&melodies] { melodies.answerClick(); });
    d.setYesAction(MelodyPages::RetryTag, [&melodies] { melodies.retryClick(); });
    d.setYesAction(MelodyPages::MoreTag, [&melodies] { melodies.moreClick(); });
    d.setArrowAction(MelodyPages::ContinueLinkTag,
                     [&melodies](TArrowLabel &) { melodies.continueClick(); });
    d.setArrowAction(MelodyPages::NextLinkTag,
                     [&melodies](TArrowLabel &) { melodies.nextClick(); });
    d.setArrowAction(MelodyPages::ReturnLinkTag,
                     [&melodies](TArrowLabel &) { melodies.returnClick(); });
    Keyboard::ResultPages &results = form.keyboard().resultPages();
    results.showMelodyRight = [&melodies] { melodies.ShowMelodyRight(); };
    results.showMelodyWrong = [&melodies] { melodies.ShowMelodyWrong(); };
    form.course().hooks().StartStep4 = [&melodies] { melodies.StartStep4(); };
}

void connectDrill(TMainForm &form, KeysDrill &drill)
{
    const DrillTags &tags = drill.description().tags;
    ClickDispatcher &d = form.page().dispatcher();
    d.setYesAction(tags.listenPair, [&drill] { drill.listenPairClick(); });
    d.setYesAction(tags.answer, [&drill] { drill.answerClick(); });
    d.setYesAction(tags.whiteFirst, [&drill] { drill.AnswerDrill(KeysDrill::White); });
    d.setYesAction(tags.blackFirst, [&drill] { drill.AnswerDrill(KeysDrill::Black); });
    d.setYesAction(tags.listenFirst, [&drill] { drill.listenOneClick(1); });
    d.setYesAction(tags.listenSecond, [&drill] { drill.listenOneClick(2); });
    d.setArrowAction(tags.next, [&drill](TArrowLabel &) { drill.nextClick(); });
    d.setArrowAction(tags.remember, [&drill](TArrowLabel &) { drill.rememberClick(); });
    form.timers().setAction(tags.timer, [&drill] { drill.PlayDrillRepetition(); });
}

void connectDrills(TMainForm &form)
{
    BlackWhiteDrills &drills = form.exercises().drills();
    for (KeysDrill *drill : drills.all())
        connectDrill(form, *drill);
    ChordsDrill &chords = drills.chords();
    form.page().dispatcher().setArrowAction(
        ChordsDrill::QuestionLinkTag, [&chords](TArrowLabel &) { chords.ShowDrillQuestion(); });
    CoursePages::Hooks &hooks = form.course().hooks();
    hooks.StartChordsDrill = [&chords] { chords.ShowDrillQuestion(); };
    MelodiesDrill &melodies = drills.melodies();
    hooks.StartMelodiesDrill = [&melodies] { melodies.ShowDrillQuestion(); };
    NotesDrill &notes = drills.notes();
    hooks.StartNotesDrill = [&notes] { notes.ShowDrillQuestion(); };
}

// A practice run of a level's weak notes starts from its statistics page and
// comes back to it after the run's rest.
void connectPractice(TMainForm &form, StatsPage &stats)
{
    const HistoryStore &history = form.state().history;
    const BasePath &base = form.state().basePath;
    auto notes = [&base](int level) {
        return LevelNotes::of(NoteCatalogue(base, stepPitchNaming()), level);
    };
    StatsPractice practice;
    practice.notes = notes;
    practice.mastered = [&history, notes](int level) {
        QList<HistoryNote> mastered;
        const QList<HistoryNote> ofLevel = notes(level);
        for (const NoteRecord &record : history.noteRecords(level, NoteMastery::Window, ofLevel)) {
            if (ofLevel.contains(record.note) && NoteMastery::mastered(record.answers))
                mastered.append(record.note);
        }
        return mastered;
    };
    practice.start = [&form, &stats, &history, notes](int level) {
        std::function<void()> back = stats.back();
        form.exercises().training().StartPractice(
            history.noteRecords(level, PracticeDraw::Recent, notes(level)),
            [&stats, back] { stats.ShowStatsPage(StatsPage::Scope::Level, back); });
    };
    stats.setPractice(std::move(practice));
}

// The statistics page shows the learner's history, from a level page (back to
// that level) and from the about page (back to it).
void connectStatistics(TMainForm &form)
{
    StatsPage &stats = form.statistics();
    const HistoryStore &history = form.state().history;
    stats.setSource(StatsSource{[&history](int level) { return history.summary(level); },
                                [&history](QIODevice &out) { return history.writeCsv(out); },
                                [&history] { return history.pitchTests(); }});
    ClickDispatcher &d = form.page().dispatcher();
    d.setArrowAction(StatsLinks::FromLevelTag, [&form, &stats](TArrowLabel &) {
        form.state().player.useTimbre({});
        const int level = form.state().Settings.Level;
        stats.ShowStatsPage(StatsPage::Scope::Level, [&form, level] {
            if (form.routes().showLevelPage)
                form.routes().showLevelPage(level);
        });
    });
    d.setArrowAction(StatsLinks::FromAboutTag, [&form, &stats](TArrowLabel &) {
        stats.ShowStatsPage(StatsPage::Scope::Course, [&form] {
            if (form.routes().showAboutPage)
                form.routes().showAboutPage();
        });
    });
    connectPractice(form, stats);
    for (int tag = StatsLinks::BackTag; tag <= StatsLinks::LastPageTag; ++tag)
        d.setArrowAction(tag, [&stats](TArrowLabel &link) { stats.linkClick(link.tag()); });
    d.setArrowAction(StatsLinks::PitchTestsViewTag,
                     [&stats](TArrowLabel &link) { stats.linkClick(link.tag()); });
    d.setYesAction(StatsLinks::SaveCsvTag, [&stats] { stats.saveCsvClick(); });
}

// The pitch test, from the about page, the statistics page and a level
// page's reminder, each back to where it came from.
void connectPitchTest(TMainForm &form)
{
    PitchTest &test = form.exercises().pitchTest();
    ClickDispatcher &d = form.page().dispatcher();
    d.setYesAction(PitchTestLinks::StartTag, [&test] { test.startClick(); });
    for (int tag = PitchTestLinks::FirstNameTag; tag <= PitchTestLinks::LastNameTag; ++tag)
        d.setYesAction(tag, [&test, tag] { test.nameClick(tag - PitchTestLinks::FirstNameTag); });
    d.setArrowAction(PitchTestLinks::BackTag, [&test](TArrowLabel &) { test.backClick(); });
    const auto open = [&form, &test](std::function<void()> back) {
        form.state().player.useTimbre({});
        test.ShowTestPage(std::move(back));
    };
    d.setArrowAction(PitchTestLinks::FromAboutTag, [&form, open](TArrowLabel &) {
        open([&form] {
            if (form.routes().showAboutPage)
                form.routes().showAboutPage();
        });
    });
    d.setArrowAction(PitchTestLinks::FromLevelTag, [&form, open](TArrowLabel &) {
        const int level = form.state().Settings.Level;
        open([&form, level] {
            if (form.routes().showLevelPage)
                form.routes().showLevelPage(level);
        });
    });
    StatsPage &stats = form.statistics();
    d.setArrowAction(PitchTestLinks::FromStatsTag, [&stats, open](TArrowLabel &) {
        std::function<void()> back = stats.back();
        const StatsPage::Scope scope = stats.scope();
        open([&stats, back, scope] { stats.ShowStatsPage(scope, back); });
    });
    form.course().hooks().PitchTestDue = [&test] {
        return test.takeReminder(ProgramClock::now().date());
    };
}

// The settings page, from a level page (back to that level) and from the
// about page (back to it).
void connectSettings(TMainForm &form)
{
    SettingsPage &settings = form.settingsPage();
    ClickDispatcher &d = form.page().dispatcher();
    d.setArrowAction(SettingsLinks::FromLevelTag, [&form, &settings](TArrowLabel &) {
        const int level = form.state().Settings.Level;
        settings.ShowSettingsPage([&form, level] {
            if (form.routes().showLevelPage)
                form.routes().showLevelPage(level);
        });
    });
    d.setArrowAction(SettingsLinks::FromAboutTag, [&form, &settings](TArrowLabel &) {
        settings.ShowSettingsPage([&form] {
            if (form.routes().showAboutPage)
                form.routes().showAboutPage();
        });
    });
    d.setArrowAction(SettingsLinks::BackTag, [&settings](TArrowLabel &) { settings.backClick(); });
}

// The learner's history hears of every answer key, and tells of its first
// failure in the program's message once the page of the answer stands; the
// exercise goes on either way.
void connectHistory(TMainForm &form)
{
    HistoryStore &history = form.state().history;
    form.keyboard().answerKeyHook() = [&history] { history.answerKey(); };
    history.setMessageHook([&form](const QString &problem) {
        QTimer::singleShot(0, &form, [&form, problem] { form.page().message(problem); });
    });
}

} // namespace

void Wiring::connect(TMainForm &form)
{
    connectRestBreak(form);
    connectKeyboardReset(form);
    connectKeyboard(form);
    connectMidi(form);
    connectSiteLinks(form);
    connectCourse(form);
    connectReport(form);
    connectTraining(form);
    connectLearning(form);
    connectMemorising(form);
    connectMelodies(form);
    connectDrills(form);
    connectStatistics(form);
    connectSettings(form);
    connectPitchTest(form);
    connectHistory(form);
}

} // namespace nk
