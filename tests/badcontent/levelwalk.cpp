#include "levelwalk.h"

#include "../support/pagedriver.h"
#include "app/coursepages.h"
#include "app/tmainform.h"
#include "contentrig.h"
#include "course/levels.h"
#include "course/stepmap.h"
#include "drills/drilldescription.h"
#include "drills/drillpages.h"
#include "keyboard/keyboardlayout.h"
#include "steps/melodypages.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/tchecklistbox.h"
#include "steps/trainingpages.h"
#include "widgets/navigation.h"
#include "widgets/page.h"
#include "widgets/tmybutton.h"
#include "widgets/tmycaption.h"
#include "widgets/tmyedit.h"
#include "widgets/tnotename.h"
#include "widgets/trichbox.h"
#include "widgets/tstep.h"

#include <QElapsedTimer>
#include <QTest>

namespace nk::test {

namespace {

constexpr int MaxAnswered = 3; // questions answered before the rest are taken as answered
constexpr int ReportTag = 37;

template <typename W> QList<W *> widgetsOf(Page &page)
{
    QList<W *> found;
    for (QWidget *w : page.pageWidgets()) {
        if (auto *typed = qobject_cast<W *>(w))
            found.append(typed);
    }
    return found;
}

DrillDescription drillOf(int which)
{
    switch (which) {
    case 0:
        return DrillDescription::chords();
    case 1:
        return DrillDescription::melodies();
    default:
        return DrillDescription::notes();
    }
}

} // namespace

LevelWalk::LevelWalk(ContentRig &rig, int level)
    : m_rig(rig), m_form(rig.form()), m_page(rig.form().page()), m_state(rig.state()),
      m_level(level)
{
}

QStringList LevelWalk::pageTexts() const
{
    QStringList texts;
    for (QWidget *w : m_page.pageWidgets()) {
        if (auto *label = qobject_cast<PageLabel *>(w))
            texts.append(label->text());
        if (auto *list = qobject_cast<TCheckListBox *>(w)) {
            for (int row = 0; row < list->count(); ++row)
                texts.append(list->item(row)->text());
        }
    }
    return texts;
}

void LevelWalk::record(const QString &name)
{
    static QElapsedTimer t;
    if (!t.isValid())
        t.start();
    qInfo("%lld %s", t.restart(), qPrintable(name));
    m_reached.append(name);
    m_texts.insert(name, pageTexts());
}

bool LevelWalk::hasButton(int tag) const
{
    const TYesButton *b = PageDriver::withTag<TYesButton>(m_page, tag);
    return b && b->isEnabled();
}

bool LevelWalk::hasLink(int tag) const
{
    return PageDriver::withTag<TArrowLabel>(m_page, tag) != nullptr;
}

bool LevelWalk::clickButton(int tag)
{
    return PageDriver::clickButton(m_page, tag);
}

bool LevelWalk::clickLink(int tag)
{
    return PageDriver::clickLink(m_page, tag);
}

bool LevelWalk::waitFor(const std::function<bool()> &condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

void LevelWalk::run()
{
    start();
    const int last = StepMap::target(m_level, 5) == StepTarget::None ? 4 : 5;
    for (int position = 1; position <= last; ++position) {
        switch (StepMap::target(m_level, position)) {
        case StepTarget::LearnNote:
            learnNotes();
            break;
        case StepTarget::Memorise:
            memorise();
            chooseNote();
            break;
        case StepTarget::Training:
            train();
            break;
        case StepTarget::Melodies:
            melodies();
            break;
        case StepTarget::ChordsDrill:
        case StepTarget::MelodiesDrill:
        case StepTarget::NotesDrill:
            drill(position - 1);
            break;
        case StepTarget::Report:
            report(position);
            break;
        case StepTarget::None:
            break;
        }
    }
}

// The window shows the instruction on a first run, else level 1; then the
// about page and the part of this level, from the menu column.
void LevelWalk::start()
{
    m_form.show();
    if (!widgetsOf<TRichBox>(m_page).isEmpty())
        record(QStringLiteral("instruction"));
    else if (!widgetsOf<TStep>(m_page).isEmpty() || !widgetsOf<TMyCaption>(m_page).isEmpty())
        record(QStringLiteral("start level"));
    if (auto *about = m_form.findChild<QWidget *>(QStringLiteral("lbAbout")))
        QTest::mouseClick(about, Qt::LeftButton);
    if (!widgetsOf<TRichBox>(m_page).isEmpty())
        record(QStringLiteral("about"));
    const int part = (m_level - 1) / 9 + 1;
    auto *button = m_form.findChild<QWidget *>(QStringLiteral("btPart") + QString::number(part));
    if (button)
        QTest::mouseClick(button, Qt::LeftButton);
    if (!widgetsOf<TMyCaption>(m_page).isEmpty())
        record(QStringLiteral("part"));
}

void LevelWalk::levelPage()
{
    m_form.routes().showLevelPage(m_level);
}

// From the level page: by its label where the list offers it open, else as
// the step's own entry opens it (a spoilt list may not list it at all).
void LevelWalk::openStep(int position)
{
    levelPage();
    if (!m_reached.contains(QStringLiteral("level")) && !widgetsOf<TMyCaption>(m_page).isEmpty())
        record(QStringLiteral("level"));
    for (TStep *step : widgetsOf<TStep>(m_page)) {
        if (step->tag() == 10 + position && step->cursor().shape() == Qt::PointingHandCursor) {
            QTest::mouseClick(step, Qt::LeftButton);
            return;
        }
    }
    m_form.course().OpenStep(m_level, position);
}

void LevelWalk::learnNotes()
{
    openStep(1);
    if (!hasButton(Step1::ConfirmTag))
        return;
    record(QStringLiteral("step1 intro"));
    clickButton(Step1::ConfirmTag);
    for (int k = 1; k <= MaxAnswered; ++k) {
        auto *edit = widgetsOf<TMyEdit>(m_page).value(0);
        auto *confirm = widgetsOf<TMyButton>(m_page).value(0);
        if (!edit || !confirm)
            break;
        record(QStringLiteral("step1 question %1").arg(k));
        edit->insert(QStringLiteral("ответ %1").arg(k));
        QTest::mouseClick(confirm, Qt::LeftButton);
        if (!clickLink(Step1::ContinueLinkTag))
            break;
    }
    if (clickLink(Step1::BackLinkTag))
        record(QStringLiteral("step1 back"));
    learnTraits();
}

// The questions still shown are taken as answered: the choice comes next.
void LevelWalk::learnTraits()
{
    for (int k = 0; k < 2 && !widgetsOf<TCheckListBox>(m_page).value(0); ++k) {
        auto *edit = widgetsOf<TMyEdit>(m_page).value(0);
        auto *confirm = widgetsOf<TMyButton>(m_page).value(0);
        if (!edit || !confirm)
            break;
        edit->insert(QStringLiteral("ещё ответ"));
        QTest::mouseClick(confirm, Qt::LeftButton);
        m_state.QSettings.QuestionLimit = m_state.QSettings.QuestionNo;
        clickLink(Step1::ContinueLinkTag);
    }
    TCheckListBox *traits = widgetsOf<TCheckListBox>(m_page).value(0);
    if (!traits)
        return;
    record(QStringLiteral("step1 traits"));
    for (int row = 0; row < std::min(3, traits->count()); ++row)
        traits->setChecked(row, true);
    clickButton(Step1::SaveTag);
    if (!widgetsOf<TCheckListBox>(m_page).value(0))
        record(QStringLiteral("step1 saved"));
}

// Once memorisation has begun, step 1 opens on the choice of a note.
void LevelWalk::chooseNote()
{
    openStep(1);
    if (widgetsOf<TMyCaption>(m_page).isEmpty())
        return;
    record(QStringLiteral("step1 note choice"));
    if (TNoteName *note = widgetsOf<TNoteName>(m_page).value(0)) {
        QTest::mouseClick(note, Qt::LeftButton);
        if (!widgetsOf<TMyEdit>(m_page).isEmpty())
            record(QStringLiteral("step1 chosen note"));
    }
}

void LevelWalk::memorise()
{
    openStep(2);
    if (!hasLink(Step2::ContinueLinkTag))
        return;
    record(QStringLiteral("step2 intro"));
    clickLink(Step2::ContinueLinkTag);
    if (!hasButton(Step2::StartTag))
        return;
    record(QStringLiteral("step2 prep"));
    clickButton(Step2::StartTag);
    record(QStringLiteral("step2 session"));
    if (!waitFor([this] { return m_state.Resting; }))
        return;
    record(QStringLiteral("step2 rest"));
    if (waitFor([this] { return !m_state.Resting && hasButton(Step2::StartTag); }))
        record(QStringLiteral("step2 after rest"));
    m_form.showNormal();
}

// Presses the notes just played, the first one a semitone off when wrong.
bool LevelWalk::answerKeys(bool right)
{
    const int length = m_state.Allowed.AnswerLen;
    if (length < 1)
        return false;
    for (int i = 0; i < length; ++i) {
        const TNote &note = m_state.NotesB[std::size_t(i)];
        int pitch = note.Pitch;
        if (i == 0 && !right)
            pitch = pitch < 11 ? pitch + 1 : pitch - 1;
        if (note.Octave < 4 || note.Octave > 6 || pitch < 0 || pitch > 11)
            return false;
        QTest::mousePress(m_form.keyboardPicture(), Qt::LeftButton, {},
                          KeyboardLayout::seed(note.Octave, pitch));
    }
    return true;
}

void LevelWalk::train()
{
    openStep(Levels::trainingStep(m_level));
    if (!hasLink(TrainingPages::ContinueLinkTag))
        return;
    record(QStringLiteral("step3 intro"));
    clickLink(TrainingPages::ContinueLinkTag);
    if (!hasButton(TrainingPages::ListenTag))
        return;
    record(QStringLiteral("step3 question"));
    clickButton(TrainingPages::ListenTag);
    if (!hasButton(TrainingPages::AnswerTag))
        return;
    clickButton(TrainingPages::AnswerTag);
    if (!answerKeys(true) || !waitFor([this] { return hasLink(TrainingPages::NextLinkTag); }))
        return;
    record(QStringLiteral("step3 right"));
    clickLink(TrainingPages::NextLinkTag);
    trainWrong();
}

void LevelWalk::trainWrong()
{
    if (!clickButton(TrainingPages::ListenTag) || !clickButton(TrainingPages::AnswerTag) ||
        !answerKeys(false) || !waitFor([this] { return hasLink(TrainingPages::CompareLinkTag); }))
        return;
    record(QStringLiteral("step3 wrong"));
    clickLink(TrainingPages::CompareLinkTag);
    if (!m_page.findByName(TrainingPages::cardPictureName()))
        return;
    record(QStringLiteral("step3 compare"));
    if (waitFor([this] { return hasButton(TrainingPages::ListenTag); }))
        record(QStringLiteral("step3 compared"));
}

bool LevelWalk::playMelody(bool right, int answerTag)
{
    const QWidget *before = m_page.pageWidgets().value(0);
    return clickButton(MelodyPages::ListenTag) && clickButton(answerTag) && answerKeys(right) &&
           waitFor([&] { return m_page.pageWidgets().value(0) != before; });
}

void LevelWalk::melodies()
{
    openStep(Levels::melodyStep(m_level));
    if (!hasLink(MelodyPages::ContinueLinkTag))
        return;
    record(QStringLiteral("step4 intro"));
    clickLink(MelodyPages::ContinueLinkTag);
    if (!PageDriver::withTag<TYesButton>(m_page, MelodyPages::ListenTag))
        return;
    record(QStringLiteral("step4 melody"));
    if (!playMelody(false, MelodyPages::AnswerTag) ||
        !PageDriver::withTag<TYesButton>(m_page, MelodyPages::RetryTag))
        return;
    record(QStringLiteral("step4 wrong"));
    if (!playMelody(true, MelodyPages::RetryTag) || !hasLink(MelodyPages::NextLinkTag))
        return;
    record(QStringLiteral("step4 right"));
    for (int round = 0; round < 6 && clickLink(MelodyPages::NextLinkTag); ++round) {
        if (PageDriver::withTag<TYesButton>(m_page, MelodyPages::MoreTag)) {
            record(QStringLiteral("step4 passed"));
            clickLink(MelodyPages::ReturnLinkTag);
            return;
        }
        if (!playMelody(true, MelodyPages::AnswerTag))
            return;
    }
}

void LevelWalk::drill(int which)
{
    const DrillDescription d = drillOf(which);
    const QString name = QStringLiteral("drill%1 ").arg(which + 1);
    const int &first = which == 0   ? m_state.ChordSet.FirstColour
                       : which == 1 ? m_state.DMSet.FirstColour
                                    : m_state.DNSet.FirstColour;
    openStep(which + 1);
    if (!PageDriver::withTag<TYesButton>(m_page, d.tags.listenPair))
        return;
    record(name + QStringLiteral("question"));
    for (const bool right : {true, false}) {
        if (!clickButton(d.tags.listenPair) || !clickButton(d.tags.answer))
            return;
        const bool blackFirst = first == 1;
        clickButton(right == blackFirst ? d.tags.blackFirst : d.tags.whiteFirst);
        if (right && clickLink(d.tags.next))
            record(name + QStringLiteral("right"));
    }
    if (!hasLink(d.tags.remember))
        return;
    record(name + QStringLiteral("wrong"));
    clickLink(d.tags.remember);
    if (!m_page.findByName(DrillPages::repetitionPictureName()))
        return;
    record(name + QStringLiteral("listen"));
    if (waitFor([&] { return PageDriver::withTag<TYesButton>(m_page, d.tags.listenPair); }))
        record(name + QStringLiteral("repeated"));
}

void LevelWalk::report(int position)
{
    openStep(position);
    if (PageDriver::withTag<TYesButton>(m_page, ReportTag))
        record(QStringLiteral("report"));
}

} // namespace nk::test
