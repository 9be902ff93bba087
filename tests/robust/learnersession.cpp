#include "learnersession.h"

#include "app/coursepages.h"
#include "app/tmainform.h"
#include "pagedriver.h"
#include "steps/step1.h"
#include "steps/tchecklistbox.h"
#include "widgets/page.h"
#include "widgets/tlevel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "widgets/tstep.h"

#include <QTest>

namespace nk::test {

namespace {

template <typename W> bool clickTagged(Page &page, int tag)
{
    W *w = PageDriver::withTag<W>(page, tag);
    if (!w || !w->isEnabled())
        return false;
    QTest::mouseClick(w, Qt::LeftButton);
    return true;
}

} // namespace

bool LearnerSession::act(int n)
{
    return n % 4 == 0 ? sideWrite(n) : learnerClick(n);
}

// What the other steps and the close write, through the same calls.
bool LearnerSession::sideWrite(int n)
{
    GlobalState &state = m_form.state();
    switch ((n / 4) % 4) {
    case 0:
        state.settingsFile.SaveNoteNum(n % 7 + 1);
        break;
    case 1:
        state.settingsFile.SaveNoteCount(n % 4 + 1);
        break;
    case 2:
        m_form.course().MarkStepUsed(3 + n % 3);
        break;
    default:
        state.Settings.Part = n % 4 + 1;
        state.Settings.TI = 200 + n;
        state.settingsFile.SaveSettings(state.Settings);
        break;
    }
    return true;
}

bool LearnerSession::learnerClick(int n)
{
    Page &page = m_form.page();
    if (PageDriver::firstOf<TMyEdit>(page))
        return answerQuestion(n);
    if (PageDriver::firstOf<TCheckListBox>(page))
        return chooseTraits(n);
    if (clickTagged<TYesButton>(page, Step1::ConfirmTag)) // the step's introduction
        return true;
    return openLevel();
}

// An answer first, then the link to the next question.
bool LearnerSession::answerQuestion(int n)
{
    Page &page = m_form.page();
    if (clickTagged<TArrowLabel>(page, Step1::ContinueLinkTag))
        return true;
    TMyEdit *box = PageDriver::firstOf<TMyEdit>(page);
    auto *button = PageDriver::firstOf<TMyButton>(page);
    if (!box || !button)
        return false;
    box->clear();
    box->insert(QStringLiteral("ответ %1").arg(n));
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool LearnerSession::chooseTraits(int n)
{
    Page &page = m_form.page();
    TCheckListBox *list = PageDriver::firstOf<TCheckListBox>(page);
    if (list->count() < 3)
        return false;
    for (int i = 0; i < 3; ++i)
        list->setChecked((n + i) % list->count(), true);
    m_choseTraits = true;
    return clickTagged<TYesButton>(page, Step1::SaveTag);
}

// From a level's page back to Step 1; when a level is done, on to the other
// level through the part page, as the learner would go.
bool LearnerSession::openLevel()
{
    Page &page = m_form.page();
    const bool onLevelPage = PageDriver::firstOf<TStep>(page) != nullptr;
    if (onLevelPage && m_choseTraits) {
        m_wantLevel = m_wantLevel == 1 ? 2 : 1;
        m_choseTraits = false;
    }
    if (PageDriver::firstOf<TLevel>(page))
        return clickTagged<TLevel>(page, 110 + m_wantLevel);
    if (!onLevelPage || m_form.state().Settings.Level != m_wantLevel) {
        QWidget *partButton = m_form.findChild<QWidget *>(QStringLiteral("btPart1"));
        QTest::mouseClick(partButton, Qt::LeftButton);
        return true;
    }
    return clickTagged<TStep>(page, 11);
}

} // namespace nk::test
