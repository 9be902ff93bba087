#include "app/coursepages.h"

#include "app/globalstate.h"
#include "course/levels.h"
#include "course/notecatalogue.h"
#include "history/notemastery.h"
#include "stats/statslinks.h"
#include "steps/levelnotes.h"
#include "steps/stepcontext.h"
#include "widgets/fonts.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/pitchtestlinks.h"
#include "widgets/settingslinks.h"
#include "widgets/tlevel.h"
#include "widgets/tstep.h"
#include "widgets/windowcontrols.h"

#include <QFileInfo>
#include <QFontMetrics>

namespace nk {

namespace {

const QColor kActive(0x33, 0x33, 0x99);
const QColor kInactive(0xA6, 0xCA, 0xF0);
const QColor kCurrent(0xFF, 0x00, 0x00);
constexpr int kEntryLeft = 148;
constexpr int kBearTag = 6;
constexpr int kStepTagBase = 10;
constexpr int kStatisticsRight = 770;
constexpr int kMasteredTop = 330;
constexpr int kLinkGap = 20;
constexpr int kReminderTop = 260;

void call(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

// The label of the shown list with this tag, if it is still on the page.
template <typename Label, std::size_t N>
Label *findLabel(const std::array<QPointer<Label>, N> &labels, int tag)
{
    for (const QPointer<Label> &label : labels) {
        if (label && !label->isBeingRemoved() && label->tag() == tag)
            return label;
    }
    return nullptr;
}

// Only the inactive colour refuses a click: the current entry is red yet open.
bool isOpen(const PageLabel *label)
{
    return label && label->textColor() != kInactive;
}

} // namespace

CoursePages::CoursePages(Page &page, GlobalState &state)
    : m_page(page), m_state(state), m_files(state.basePath)
{
}

int CoursePages::levelOfTag(int tag)
{
    const int part = (tag - 100) / 10;
    const int position = (tag - 100) % 10;
    if (tag < 100 || part < 1 || part > 4 || position < 1)
        return 0;
    const int level = (part - 1) * CourseFiles::MaxLevelsPerPart + position;
    return level <= Levels::Count ? level : 0;
}

// Away from a question, sounds and keys are in the learner's own timbre again.
void CoursePages::ShowPartPage(int part)
{
    m_state.player.useTimbre({});
    m_state.Allowed.Collecting = false;
    m_state.Settings.KeyboardShown = true;
    m_page.controls().SlideKeyboard();
    m_page.ClearPage();
    const CourseList list = m_files.readPart(part);
    m_page.addCaption(list.caption);
    createEntries(list, m_levelLabels, 100 + 10 * part);
    if (const int current = list.currentOfPart())
        markCurrent(m_levelLabels[current - 1]);
    m_state.Settings.Part = part;
    createBear();
}

void CoursePages::ShowLevelPage(int level)
{
    m_state.log.WriteLog(QStringLiteral("Загружен уровень ") + QString::number(level));
    call(m_hooks.LevelOrStepOpened);
    m_state.player.useTimbre({});
    call(m_hooks.ClearAllKeys);
    resetLevelState();
    // The whole column: a wrong answer's review, left for this page, had locked it.
    m_page.controls().EnableMenu();
    m_page.ClearPage();
    const CourseList list = m_files.readLevel(level);
    m_page.addCaption(list.caption);
    createEntries(list, m_stepLabels, kStepTagBase);
    if (const int current = list.currentOfLevel())
        markCurrent(m_stepLabels[current - 1]);
    createStatisticsLink();
    createSettingsLink();
    createMasteredLine(level);
    if (m_hooks.PitchTestDue) {
        if (const QDate due = m_hooks.PitchTestDue(); due.isValid())
            createPitchTestReminder(due);
    }
    m_state.Settings.Level = level;
}

// Labels of the previous list are forgotten first, so a list without entries
// can never colour a label of a page shown before it.
template <typename Label, std::size_t N>
void CoursePages::createEntries(const CourseList &list, std::array<QPointer<Label>, N> &labels,
                                int firstTag)
{
    m_levelLabels.fill(nullptr);
    m_stepLabels.fill(nullptr);
    const int count = int(qMin<qsizetype>(list.entries.size(), qsizetype(N)));
    for (int k = 1; k <= count; ++k) {
        const CourseEntry &entry = list.entries[k - 1];
        auto *label = new Label(m_page, entry.name, firstTag + k);
        label->move(kEntryLeft, 24 * k + 8);
        if (entry.active)
            label->setCursor(Qt::PointingHandCursor);
        // Tab and a screen reader skip what a click would refuse.
        label->setOffered(entry.active);
        label->setFocusPolicy(entry.active ? Qt::TabFocus : Qt::NoFocus);
        label->setTextColor(entry.active ? kActive : kInactive);
        labels[k - 1] = label;
    }
}

void CoursePages::markCurrent(PageLabel *label)
{
    if (!label)
        return;
    label->setTextColor(kCurrent);
    // The arrow only repeats what the entry's own description says.
    m_page
        .addPicture(QStringLiteral("pictures\\smallarrow.gif"), QPoint(label->x() - 24, label->y()),
                    label->tag())
        ->setDecorative();
    label->setAccessibleDescription(QStringLiteral("текущий"));
}

// Bottom right, clear of the steps and of the place where other pages keep
// their way on, so it is never taken for the level's next step.
void CoursePages::createStatisticsLink()
{
    const QFont font = Fonts::arial(Fonts::pointsToPixels(12), true);
    const int width = QFontMetrics(font).horizontalAdvance(StatsLinks::text());
    m_page.addArrowLink(StatsLinks::text(), StatsLinks::FromLevelTag, Page::Link::Forward, 352,
                        kStatisticsRight - width);
}

// Left of the statistics link, on its line: the page has no room below it.
void CoursePages::createSettingsLink()
{
    const QFont font = Fonts::arial(Fonts::pointsToPixels(12), true);
    const int statistics =
        kStatisticsRight - QFontMetrics(font).horizontalAdvance(StatsLinks::text());
    const int width = QFontMetrics(font).horizontalAdvance(SettingsLinks::text());
    m_page.addArrowLink(SettingsLinks::text(), SettingsLinks::FromLevelTag, Page::Link::Forward,
                        352, statistics - 24 - kLinkGap - width);
}

// Below the steps, left of the mastered line, with the way to the test.
void CoursePages::createPitchTestReminder(const QDate &due)
{
    PageLabel *line =
        m_page.addText(QStringLiteral("Пора снова пройти проверку слуха: её день — ") +
                           due.toString(QStringLiteral("dd.MM.yyyy")) + u'.',
                       QPoint(kEntryLeft, kReminderTop));
    line->setFont(Fonts::arial(Fonts::pointsToPixels(10), true));
    line->adjustSize();
    m_page.addArrowLink(PitchTestLinks::text(), PitchTestLinks::FromLevelTag, Page::Link::Forward,
                        kReminderTop + 22, kEntryLeft + 8);
}

// Above the statistics link, once the level has answers; a learner without a
// history gets no file made by looking.
void CoursePages::createMasteredLine(int level)
{
    const HistoryStore &history = m_state.history;
    const QList<HistoryNote> notes =
        LevelNotes::of(NoteCatalogue(m_state.basePath, stepPitchNaming()), level);
    if (notes.isEmpty() || !QFileInfo::exists(history.path()) || history.summary(level).isEmpty())
        return;
    const int mastered =
        NoteMastery::count(notes, history.noteRecords(level, NoteMastery::Window, notes));
    PageLabel *line =
        m_page.addText(NoteMastery::sentence(mastered, int(notes.size())), QPoint(0, kMasteredTop));
    line->setFont(Fonts::arial(Fonts::pointsToPixels(10)));
    line->adjustSize();
    line->move(kStatisticsRight - line->width(), kMasteredTop);
    line->setObjectName(masteredLineName());
}

void CoursePages::createBear()
{
    auto *bear = new PagePicture(m_page, kBearTag);
    bear->loadInto(m_state.basePath.resolve(QStringLiteral("pictures\\bear\\1.gif")),
                   QRect(608, 0, 170, 272));
    bear->setDecorative();
}

// A newly opened level starts every exercise and the keyboard from the
// beginning.
void CoursePages::resetLevelState()
{
    TAllowed &allowed = m_state.Allowed;
    allowed.Collecting = false;
    allowed.LowOctave = 4;
    allowed.HighOctave = 6;
    allowed.LowPitch = 0;
    allowed.HighPitch = 11;
    allowed.MarkOctave = 5;
    allowed.MarkPitch = 0;
    allowed.MarkShown = false;
    allowed.AnswerPos = 1;
    allowed.AnswerLen = 1;
    TQSettings &questions = m_state.QSettings;
    questions.SectionCount = 1;
    questions.NoteIndex = 1;
    questions.QuestionLimit = 1;
    questions.QuestionNo = 1;
    TStep3Set &training = m_state.Step3Set;
    training.NoteCount = 1;
    training.RightInRow = 1;
    training.Half = 1;
    training.LevelNoteCount = 1;
    training.QuestionText = QStringLiteral("150");
    training.QuestionTimbre.clear();
    // A review left half way must not keep later sequences from being taken
    // as the notes to answer.
    m_state.ErrorSet.Reviewing = false;
    // Their defaults are exactly the values a newly opened level starts with.
    m_state.TimeSet = TTimeSet{};
    m_state.MelodySet = TMelodySet{};
}

void CoursePages::ActivateStep(int step)
{
    const int level = m_state.Settings.Level;
    m_files.ActivateStep(level, step);
    m_state.log.WriteLog(QStringLiteral("Активирован шаг ") + QString::number(step) +
                         QStringLiteral(" уровня ") + QString::number(level));
}

bool CoursePages::IsStepUsed(int step)
{
    return m_files.IsStepUsed(m_state.Settings.Level, step);
}

void CoursePages::MarkStepUsed(int step)
{
    m_files.MarkStepUsed(m_state.Settings.Level, step);
}

void CoursePages::OpenStep(int level, int step)
{
    call(m_hooks.LevelOrStepOpened);
    m_state.player.useTimbre({});
    m_state.ErrorSet.Reviewing = false;
    m_state.Settings.Step = step;
    m_state.Settings.KeyboardShown = false;
    const StepTarget target = StepMap::target(level, step);
    if (target == StepTarget::LearnNote) {
        if (m_hooks.StartStep1)
            m_hooks.StartStep1(level);
        return;
    }
    call(hookFor(target));
}

const std::function<void()> &CoursePages::hookFor(StepTarget target) const
{
    static const std::function<void()> nothing;
    switch (target) {
    case StepTarget::Memorise:
        return m_hooks.StartStep2;
    case StepTarget::Training:
        return m_hooks.StartStep3;
    case StepTarget::Melodies:
        return m_hooks.StartStep4;
    case StepTarget::ChordsDrill:
        return m_hooks.StartChordsDrill;
    case StepTarget::MelodiesDrill:
        return m_hooks.StartMelodiesDrill;
    case StepTarget::NotesDrill:
        return m_hooks.StartNotesDrill;
    case StepTarget::Report:
        return m_hooks.ShowReportPage;
    case StepTarget::LearnNote:
    case StepTarget::None:
        break;
    }
    return nothing;
}

void CoursePages::levelClick(int tag)
{
    const int level = levelOfTag(tag);
    if (level && isOpen(findLabel(m_levelLabels, tag)))
        ShowLevelPage(level);
}

void CoursePages::stepClick(int tag)
{
    if (isOpen(findLabel(m_stepLabels, tag)))
        OpenStep(m_state.Settings.Level, tag - kStepTagBase);
}

void CoursePages::noteClick(int tag)
{
    m_state.QSettings.NoteIndex = tag;
    call(m_hooks.StartQuestionnaire);
}

} // namespace nk
