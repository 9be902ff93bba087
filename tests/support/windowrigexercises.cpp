// The rig's hands on the exercises: the steps of a level and level 4's drills.
#include "app/coursepages.h"
#include "app/exercises.h"
#include "course/levels.h"
#include "drills/blackwhitedrills.h"
#include "drills/drillpages.h"
#include "steps/melodypages.h"
#include "steps/step1.h"
#include "steps/tchecklistbox.h"
#include "steps/trainingpages.h"
#include "widgets/pagepicture.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "windowrig.h"

namespace nk::test {

namespace {

// Which of `folder`N.gif, N from 1 to `count`, the picture shows: 0 when
// none, -1 when two equal pictures could not tell the number.
int shownNumber(const PagePicture &shown, const QString &folder, int count)
{
    const QImage image = shown.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    int found = 0;
    for (int k = 1; k <= count; ++k) {
        const QImage expected(folder + QString::number(k) + QStringLiteral(".gif"));
        if (expected.convertToFormat(QImage::Format_ARGB32) == image)
            found = found ? -1 : k;
    }
    return found;
}

} // namespace

void WindowRig::openStep(int level, int step)
{
    m_form->course().ShowLevelPage(level);
    m_form->course().OpenStep(level, step);
}

void WindowRig::openTraining(int level)
{
    openStep(level, Levels::trainingStep(level));
}

Step3 &WindowRig::training()
{
    return m_form->exercises().training();
}

bool WindowRig::comparisonShown() const
{
    return page().findByName(TrainingPages::cardPictureName()) != nullptr;
}

TMyEdit *WindowRig::answerBox() const
{
    return PageDriver::firstOf<TMyEdit>(page());
}

QString WindowRig::questionNumber() const
{
    for (PageLabel *label : widgets<PageLabel>()) {
        if (label->pos() == QPoint(136, 56))
            return label->text();
    }
    return {};
}

bool WindowRig::continueEnabled() const
{
    const TArrowLabel *continueLink = link(Step1::ContinueLinkTag);
    return continueLink && continueLink->isEnabled();
}

bool WindowRig::answer(const QString &text, bool byEnter)
{
    TMyEdit *box = answerBox();
    if (!box)
        return false;
    box->insert(text); // the box's validator still decides
    if (byEnter) {
        QTest::keyClick(box, Qt::Key_Return);
    } else {
        auto *confirm = PageDriver::firstOf<TMyButton>(page());
        if (!confirm)
            return false;
        QTest::mouseClick(confirm, Qt::LeftButton);
    }
    return continueEnabled() && clickLink(Step1::ContinueLinkTag);
}

TCheckListBox *WindowRig::traitList() const
{
    return PageDriver::firstOf<TCheckListBox>(page());
}

bool WindowRig::tickAndSave(const QList<int> &rows)
{
    TCheckListBox *list = traitList();
    if (!list)
        return false;
    for (int row : rows)
        list->setChecked(row, true);
    return clickButton(Step1::SaveTag);
}

bool WindowRig::playMelody(bool right, bool retry)
{
    const QWidget *before = page().pageWidgets().value(0);
    if (!clickButton(MelodyPages::ListenTag) ||
        !clickButton(retry ? MelodyPages::RetryTag : MelodyPages::AnswerTag) || !pressPlayed(right))
        return false;
    return QTest::qWaitFor([&] {
        const QList<QWidget *> shown = page().pageWidgets();
        return !shown.isEmpty() && shown.first() != before;
    });
}

int WindowRig::progressPicture() const
{
    auto *shown = PageDriver::withTag<PagePicture>(page(), 8);
    if (!shown)
        return 0;
    const int number = shownNumber(*shown, path(QStringLiteral("pictures/melody/")), 4);
    return number == 0 ? -1 : number;
}

bool WindowRig::onRightPage() const
{
    return link(MelodyPages::NextLinkTag) != nullptr;
}

bool WindowRig::onPassedPage() const
{
    return button(MelodyPages::MoreTag) != nullptr;
}

BlackWhiteDrills &WindowRig::drills() const
{
    return m_form->exercises().drills();
}

KeysDrill &WindowRig::drill(int which) const
{
    return *drills().all().at(std::size_t(which));
}

const DrillDescription &WindowRig::description(int which) const
{
    return drill(which).description();
}

int &WindowRig::drillField(int which, DrillField field)
{
    GlobalState &s = state();
    if (which == Chords) {
        int *fields[] = {&s.ChordSet.Streak, &s.ChordSet.FirstColour, &s.ChordSet.BlackItem,
                         &s.ChordSet.WhiteItem};
        return *fields[field];
    }
    if (which == Melodies) {
        int *fields[] = {&s.DMSet.Streak, &s.DMSet.FirstColour, &s.DMSet.BlackItem,
                         &s.DMSet.WhiteItem};
        return *fields[field];
    }
    int *fields[] = {&s.DNSet.Streak, &s.DNSet.FirstColour, &s.DNSet.BlackItem, &s.DNSet.WhiteItem};
    return *fields[field];
}

void WindowRig::openDrill(int which)
{
    openStep(4, which + 1);
}

int WindowRig::progressNumber(int which) const
{
    auto *shown = PageDriver::withTag<PagePicture>(page(), 8);
    if (!shown || shown->geometry() != QRect(460, 0, 187, 29))
        return 0;
    const QString folder = QString(description(which).progressFolder).replace(u'\\', u'/');
    return shownNumber(*shown, path(folder), 5);
}

bool WindowRig::questionShown(int which) const
{
    return button(description(which).tags.listenPair) != nullptr;
}

bool WindowRig::listenPageShown() const
{
    return page().findByName(DrillPages::repetitionPictureName()) != nullptr;
}

} // namespace nk::test
