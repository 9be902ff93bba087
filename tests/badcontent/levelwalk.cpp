#include "levelwalk.h"

#include "app/coursepages.h"
#include "app/tmainform.h"
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
#include "windowrig.h"

#include <QElapsedTimer>
#include <QTest>

namespace nk::test {

namespace {

constexpr int MaxAnswered = 3; // questions answered before the rest are taken as answered
constexpr int ReportTag = 37;

} // namespace

LevelWalk::LevelWalk(WindowRig &rig, int level)
    : m_rig(rig), m_form(rig.form()), m_state(rig.state()), m_level(level)
{
}

QStringList LevelWalk::pageTexts() const
{
    QStringList texts;
    for (QWidget *w : m_rig.page().pageWidgets()) {
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
    const TYesButton *b = m_rig.button(tag);
    return b && b->isEnabled();
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
    if (!m_rig.widgets<TRichBox>().isEmpty())
        record(QStringLiteral("instruction"));
    else if (!m_rig.widgets<TStep>().isEmpty() || !m_rig.widgets<TMyCaption>().isEmpty())
        record(QStringLiteral("start level"));
    if (auto *about = m_form.findChild<QWidget *>(QStringLiteral("lbAbout")))
        QTest::mouseClick(about, Qt::LeftButton);
    if (!m_rig.widgets<TRichBox>().isEmpty())
        record(QStringLiteral("about"));
    const int part = (m_level - 1) / 9 + 1;
    auto *button = m_form.findChild<QWidget *>(QStringLiteral("btPart") + QString::number(part));
    if (button)
        QTest::mouseClick(button, Qt::LeftButton);
    if (!m_rig.widgets<TMyCaption>().isEmpty())
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
    if (!m_reached.contains(QStringLiteral("level")) && !m_rig.widgets<TMyCaption>().isEmpty())
        record(QStringLiteral("level"));
    for (TStep *step : m_rig.widgets<TStep>()) {
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
    m_rig.clickButton(Step1::ConfirmTag);
    for (int k = 1; k <= MaxAnswered; ++k) {
        auto *edit = m_rig.widgets<TMyEdit>().value(0);
        auto *confirm = m_rig.widgets<TMyButton>().value(0);
        if (!edit || !confirm)
            break;
        record(QStringLiteral("step1 question %1").arg(k));
        edit->insert(QStringLiteral("ответ %1").arg(k));
        QTest::mouseClick(confirm, Qt::LeftButton);
        if (!m_rig.clickLink(Step1::ContinueLinkTag))
            break;
    }
    if (m_rig.clickLink(Step1::BackLinkTag))
        record(QStringLiteral("step1 back"));
    learnTraits();
}

// The questions still shown are taken as answered: the choice comes next.
void LevelWalk::learnTraits()
{
    for (int k = 0; k < 2 && !m_rig.widgets<TCheckListBox>().value(0); ++k) {
        auto *edit = m_rig.widgets<TMyEdit>().value(0);
        auto *confirm = m_rig.widgets<TMyButton>().value(0);
        if (!edit || !confirm)
            break;
        edit->insert(QStringLiteral("ещё ответ"));
        QTest::mouseClick(confirm, Qt::LeftButton);
        m_state.QSettings.QuestionLimit = m_state.QSettings.QuestionNo;
        m_rig.clickLink(Step1::ContinueLinkTag);
    }
    TCheckListBox *traits = m_rig.widgets<TCheckListBox>().value(0);
    if (!traits)
        return;
    record(QStringLiteral("step1 traits"));
    for (int row = 0; row < std::min(3, traits->count()); ++row)
        traits->setChecked(row, true);
    m_rig.clickButton(Step1::SaveTag);
    if (!m_rig.widgets<TCheckListBox>().value(0))
        record(QStringLiteral("step1 saved"));
}

// Once memorisation has begun, step 1 opens on the choice of a note.
void LevelWalk::chooseNote()
{
    openStep(1);
    if (m_rig.widgets<TMyCaption>().isEmpty())
        return;
    record(QStringLiteral("step1 note choice"));
    if (TNoteName *note = m_rig.widgets<TNoteName>().value(0)) {
        QTest::mouseClick(note, Qt::LeftButton);
        if (!m_rig.widgets<TMyEdit>().isEmpty())
            record(QStringLiteral("step1 chosen note"));
    }
}

void LevelWalk::memorise()
{
    openStep(2);
    if (!m_rig.link(Step2::ContinueLinkTag))
        return;
    record(QStringLiteral("step2 intro"));
    m_rig.clickLink(Step2::ContinueLinkTag);
    if (!hasButton(Step2::StartTag))
        return;
    record(QStringLiteral("step2 prep"));
    m_rig.clickButton(Step2::StartTag);
    record(QStringLiteral("step2 session"));
    if (!waitFor([this] { return m_state.Resting; }))
        return;
    record(QStringLiteral("step2 rest"));
    if (waitFor([this] { return !m_state.Resting && hasButton(Step2::StartTag); }))
        record(QStringLiteral("step2 after rest"));
    m_form.showNormal();
}

void LevelWalk::train()
{
    openStep(Levels::trainingStep(m_level));
    if (!m_rig.link(TrainingPages::ContinueLinkTag))
        return;
    record(QStringLiteral("step3 intro"));
    m_rig.clickLink(TrainingPages::ContinueLinkTag);
    if (!hasButton(TrainingPages::ListenTag))
        return;
    record(QStringLiteral("step3 question"));
    m_rig.clickButton(TrainingPages::ListenTag);
    if (!hasButton(TrainingPages::AnswerTag))
        return;
    m_rig.clickButton(TrainingPages::AnswerTag);
    if (!m_rig.pressPlayed(true) ||
        !waitFor([this] { return m_rig.link(TrainingPages::NextLinkTag); }))
        return;
    record(QStringLiteral("step3 right"));
    m_rig.clickLink(TrainingPages::NextLinkTag);
    trainWrong();
}

void LevelWalk::trainWrong()
{
    if (!m_rig.clickButton(TrainingPages::ListenTag) ||
        !m_rig.clickButton(TrainingPages::AnswerTag) || !m_rig.pressPlayed(false) ||
        !waitFor([this] { return m_rig.link(TrainingPages::CompareLinkTag); }))
        return;
    record(QStringLiteral("step3 wrong"));
    m_rig.clickLink(TrainingPages::CompareLinkTag);
    if (!m_rig.page().findByName(TrainingPages::cardPictureName()))
        return;
    record(QStringLiteral("step3 compare"));
    if (waitFor([this] { return hasButton(TrainingPages::ListenTag); }))
        record(QStringLiteral("step3 compared"));
}

bool LevelWalk::playMelody(bool right, int answerTag)
{
    const QWidget *before = m_rig.page().pageWidgets().value(0);
    return m_rig.clickButton(MelodyPages::ListenTag) && m_rig.clickButton(answerTag) &&
           m_rig.pressPlayed(right) &&
           waitFor([&] { return m_rig.page().pageWidgets().value(0) != before; });
}

void LevelWalk::melodies()
{
    openStep(Levels::melodyStep(m_level));
    if (!m_rig.link(MelodyPages::ContinueLinkTag))
        return;
    record(QStringLiteral("step4 intro"));
    m_rig.clickLink(MelodyPages::ContinueLinkTag);
    if (!m_rig.button(MelodyPages::ListenTag))
        return;
    record(QStringLiteral("step4 melody"));
    if (!playMelody(false, MelodyPages::AnswerTag) || !m_rig.button(MelodyPages::RetryTag))
        return;
    record(QStringLiteral("step4 wrong"));
    if (!playMelody(true, MelodyPages::RetryTag) || !m_rig.link(MelodyPages::NextLinkTag))
        return;
    record(QStringLiteral("step4 right"));
    for (int round = 0; round < 6 && m_rig.clickLink(MelodyPages::NextLinkTag); ++round) {
        if (m_rig.button(MelodyPages::MoreTag)) {
            record(QStringLiteral("step4 passed"));
            m_rig.clickLink(MelodyPages::ReturnLinkTag);
            return;
        }
        if (!playMelody(true, MelodyPages::AnswerTag))
            return;
    }
}

void LevelWalk::drill(int which)
{
    const DrillDescription &d = m_rig.description(which);
    const QString name = QStringLiteral("drill%1 ").arg(which + 1);
    openStep(which + 1);
    if (!m_rig.button(d.tags.listenPair))
        return;
    record(name + QStringLiteral("question"));
    for (const bool right : {true, false}) {
        if (!m_rig.clickButton(d.tags.listenPair) || !m_rig.clickButton(d.tags.answer))
            return;
        const bool blackFirst = m_rig.drillField(which, WindowRig::FirstColour) == 1;
        m_rig.clickButton(right == blackFirst ? d.tags.blackFirst : d.tags.whiteFirst);
        if (right && m_rig.clickLink(d.tags.next))
            record(name + QStringLiteral("right"));
    }
    if (!m_rig.link(d.tags.remember))
        return;
    record(name + QStringLiteral("wrong"));
    m_rig.clickLink(d.tags.remember);
    if (!m_rig.page().findByName(DrillPages::repetitionPictureName()))
        return;
    record(name + QStringLiteral("listen"));
    if (waitFor([&] { return m_rig.button(d.tags.listenPair); }))
        record(name + QStringLiteral("repeated"));
}

void LevelWalk::report(int position)
{
    openStep(position);
    if (m_rig.button(ReportTag))
        record(QStringLiteral("report"));
}

} // namespace nk::test
