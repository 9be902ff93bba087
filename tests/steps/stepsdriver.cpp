#include "stepsdriver.h"

#include "app/coursepages.h"
#include "course/inifile.h"
#include "course/levels.h"
#include "pagedriver.h"
#include "steps/melodypages.h"
#include "steps/notesequence.h"
#include "steps/step1.h"
#include "steps/tchecklistbox.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "widgets/tstep.h"
#include "widgets/tyesbutton.h"

#include <QTest>

namespace nk::test {

QString notesText(const QList<int> &pitches)
{
    QString text = QStringLiteral("[step]\r\nname=Ноты уровня\r\n");
    for (qsizetype k = 0; k < pitches.size(); ++k)
        text += QStringLiteral("[note%1]\r\noct=5\r\nnote=%2\r\n").arg(k + 1).arg(pitches[k]);
    return text;
}

void StepsDriver::openStep(int level, int step)
{
    m_rig.form().course().ShowLevelPage(level);
    m_rig.form().course().OpenStep(level, step);
}

TMyEdit *StepsDriver::answerBox() const
{
    return PageDriver::firstOf<TMyEdit>(m_rig.form().page());
}

QString StepsDriver::questionNumber() const
{
    for (QWidget *w : m_rig.form().page().pageWidgets()) {
        auto *label = qobject_cast<PageLabel *>(w);
        if (label && label->pos() == QPoint(136, 56))
            return label->text();
    }
    return {};
}

bool StepsDriver::continueEnabled() const
{
    const TArrowLabel *link = m_rig.link(Step1::ContinueLinkTag);
    return link && link->isEnabled();
}

bool StepsDriver::answer(const QString &text, bool byEnter)
{
    TMyEdit *box = answerBox();
    if (!box)
        return false;
    box->insert(text); // the box's validator still decides
    if (byEnter) {
        QTest::keyClick(box, Qt::Key_Return);
    } else {
        auto *button = PageDriver::firstOf<TMyButton>(m_rig.form().page());
        if (!button)
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    return continueEnabled() && m_rig.clickLink(Step1::ContinueLinkTag);
}

TCheckListBox *StepsDriver::traitList() const
{
    return PageDriver::firstOf<TCheckListBox>(m_rig.form().page());
}

bool StepsDriver::tickAndSave(const QList<int> &rows)
{
    TCheckListBox *list = traitList();
    if (!list)
        return false;
    for (int row : rows)
        list->setChecked(row, true);
    return m_rig.clickButton(Step1::SaveTag);
}

bool StepsDriver::pressSequence(const QString &sequence, bool right)
{
    const NoteSequence::Parsed parsed = NoteSequence::parse(sequence);
    if (!parsed.ok || parsed.notes.isEmpty())
        return false;
    for (qsizetype i = 0; i < parsed.notes.size(); ++i) {
        const TNote &note = parsed.notes[i];
        const int shift = (i == 0 && !right) ? (note.Pitch < 11 ? 1 : -1) : 0;
        m_rig.pressKey(note.Octave, note.Pitch + shift);
    }
    return true;
}

bool StepsDriver::playMelody(bool right, bool retry)
{
    const QWidget *before = m_rig.form().page().pageWidgets().value(0);
    if (!m_rig.clickButton(MelodyPages::ListenTag))
        return false;
    if (!m_rig.clickButton(retry ? MelodyPages::RetryTag : MelodyPages::AnswerTag))
        return false;
    QString played;
    for (int i = 1; i <= m_rig.state().Allowed.AnswerLen; ++i)
        played += NoteSequence::token(m_rig.state().NotesB[std::size_t(i - 1)]) + u' ';
    if (!pressSequence(played.trimmed(), right))
        return false;
    return QTest::qWaitFor([&] {
        const QList<QWidget *> widgets = m_rig.form().page().pageWidgets();
        return !widgets.isEmpty() && widgets.first() != before;
    });
}

int StepsDriver::progressPicture() const
{
    for (QWidget *w : m_rig.form().page().pageWidgets()) {
        auto *picture = qobject_cast<PagePicture *>(w);
        if (!picture || picture->tag() != 8)
            continue;
        const QImage shown = picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        for (int n = 1; n <= 4; ++n) {
            const QImage expected(m_rig.path(QStringLiteral("pictures/melody/%1.gif").arg(n)));
            if (expected.convertToFormat(QImage::Format_ARGB32) == shown)
                return n;
        }
        return -1;
    }
    return 0;
}

bool StepsDriver::onRightPage() const
{
    return m_rig.link(MelodyPages::NextLinkTag) != nullptr;
}

bool StepsDriver::onPassedPage() const
{
    return m_rig.button(MelodyPages::MoreTag) != nullptr;
}

bool StepsDriver::levelPageShown() const
{
    return PageDriver::firstOf<TStep>(m_rig.form().page()) != nullptr;
}

QString StepsDriver::notesValue(int level, int note, const QString &key) const
{
    return IniFile(
               m_rig.path(QStringLiteral("levels/%1/notes.dat").arg(Levels::LevelFolder(level))))
        .readString(QStringLiteral("note%1").arg(note), key, QStringLiteral("<none>"));
}

QString StepsDriver::settingsValue(const QString &key) const
{
    return IniFile(m_rig.path(QStringLiteral("levels/settings.dat")))
        .readString(u"main", key, QStringLiteral("<none>"));
}

bool StepsDriver::stepActive(int level, int step) const
{
    return IniFile(
               m_rig.path(QStringLiteral("levels/%1/level.dat").arg(Levels::LevelFolder(level))))
        .readBool(QStringLiteral("step%1").arg(step), u"active", false);
}

} // namespace nk::test
