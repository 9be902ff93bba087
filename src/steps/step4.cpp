#include "steps/step4.h"

#include "audio/notenames.h"
#include "audio/noteplayer.h"
#include "course/inifile.h"
#include "course/levels.h"
#include "course/notecatalogue.h"
#include "course/tglobalsettings.h"
#include "course/timbre.h"
#include "keyboard/notearray.h"
#include "keyboard/tallowed.h"
#include "report/activitylog.h"
#include "steps/answerhistory.h"
#include "steps/playnotesequence.h"
#include "steps/stepcontext.h"
#include "widgets/navigation.h"
#include "widgets/page.h"
#include "widgets/tyesbutton.h"
#include "widgets/windowcontrols.h"

#include <algorithm>

namespace nk {

namespace {

const QString kMelody = QStringLiteral("melody");

} // namespace

Step4::Step4(StepContext &context, TMelodySet &set)
    : m_context(context), m_set(set), m_pages(context.page)
{
}

QString Step4::melodyFile(int level)
{
    return QStringLiteral("levels\\") + Levels::LevelFolder(level) + QStringLiteral("\\melody.dat");
}

IniFile Step4::melodies() const
{
    return IniFile(m_context.page.base().resolve(melodyFile(m_context.Settings.Level)));
}

MelodyPageFrame Step4::frame() const
{
    return {m_set.Counting, m_set.RightCount};
}

// The keys that answer are named by the sections around the melodies: note1
// is the lowest, and the section numbered one below the melody count the highest.
void Step4::StartStep4()
{
    const IniFile file = melodies();
    const int count = int(file.keys(kMelody).size());
    const QString high = NoteCatalogue::noteSection(count - 1);
    TAllowed &allowed = m_context.Allowed;
    allowed.LowOctave = file.readInteger(u"note1", u"oct", 4);
    allowed.HighOctave = file.readInteger(high, u"oct", 6);
    allowed.LowPitch = NormalizePitch(file.readInteger(u"note1", u"note", 0));
    allowed.HighPitch = NormalizePitch(file.readInteger(high, u"note", 11));
    allowed.MarkShown = false;
    m_set = TMelodySet{1, RightsToPass, 1, count, true, false};
    Navigation *navigation = m_context.page.navigation();
    if (navigation && navigation->IsStepUsed(m_context.Settings.Step))
        ShowMelodyPage();
    else
        ShowMelodyIntro();
}

void Step4::ShowMelodyIntro()
{
    if (Navigation *navigation = m_context.page.navigation())
        navigation->MarkStepUsed(m_context.Settings.Step);
    m_context.page.ClearPage();
    m_pages.createIntro();
}

// Every melody page is a new melody (or the same one anew); its wrong-answer
// page keeps the timbre.
void Step4::ShowMelodyPage()
{
    m_context.player.useTimbre(Timbre::forQuestion(m_context.Settings, m_context.page.base()));
    m_context.page.ClearPage();
    m_answerButton = m_pages.createMelody(frame());
}

bool Step4::PlayMelody()
{
    const QString melody = melodies().readString(
        kMelody, QString(QStringLiteral("m") + QString::number(m_set.MelodyIndex)),
        QStringLiteral("150"));
    if (!PlayNoteSequence(m_context, melody))
        return false;
    m_context.history.listenEnded();
    return true;
}

void Step4::ShowMelodyRight()
{
    m_context.log.WriteLog(QStringLiteral("Мелодия угадана правильно"));
    AnswerHistory::recordNotes(m_context, HistoryKind::Melody, true);
    if (m_set.Counting && !m_set.Retry)
        ++m_set.RightCount;
    ++m_set.MelodyIndex;
    if (!m_set.Counting)
        m_set.RightCount = m_set.MelodyIndex;
    m_set.Retry = false;
    m_context.page.ClearPage();
    m_context.Settings.KeyboardShown = true;
    m_context.page.controls().SlideKeyboard();
    m_pages.createRight(frame());
}

QString Step4::answerNames() const
{
    QString names;
    const int length = std::clamp(m_context.Allowed.AnswerLen, 0, MaxSequenceNotes);
    for (int i = 1; i <= length; ++i)
        names += PitchName(atPosition(m_context.NotesA, i).Pitch) + QLatin1Char(' ');
    return names;
}

// The keyboard stays out, so the learner can look for the melody while it plays.
void Step4::ShowMelodyWrong()
{
    m_context.log.WriteLog(QStringLiteral("Мелодия угадана неправильно"));
    AnswerHistory::recordNotes(m_context, HistoryKind::Melody, false);
    m_context.page.ClearPage();
    m_set.RightCount = 1;
    m_answerButton = m_pages.createWrong(frame(), answerNames());
}

// Without any melody the index could never pass the count, so the step is
// taken as passed rather than sending the learner round for ever.
void Step4::NextMelody()
{
    if (m_set.RightCount > m_set.Required) {
        if (m_set.MelodyCount > 0 && m_set.MelodyCount < m_set.MelodyIndex) {
            m_set.MelodyIndex = 1;
            return;
        }
        m_set.Required = m_set.MelodyCount;
        m_set.Counting = false;
        ShowMelodyPassed();
        return;
    }
    if (m_set.MelodyIndex > m_set.MelodyCount)
        m_set.MelodyIndex = 1;
    ShowMelodyPage();
}

void Step4::ShowMelodyPassed()
{
    m_context.page.ClearPage();
    m_pages.createPassed(NoteCatalogue(m_context.page.base(), stepPitchNaming())
                             .NoteListText(m_context.Settings.Level));
}

void Step4::listenClick()
{
    const QPointer<TYesButton> answer = m_answerButton;
    if (PlayMelody() && answer &&
        m_context.page.controlAt(MelodyPages::AnswerButtonPoint) == answer.data())
        answer->setEnabled(true);
}

void Step4::answerClick()
{
    m_context.log.WriteLog(QStringLiteral("Начинаем угадывать мелодию"));
    m_context.Allowed.Collecting = true;
    m_context.Settings.KeyboardShown = false;
    m_context.page.controls().SlideKeyboard();
}

void Step4::retryClick()
{
    m_context.Allowed.Collecting = true;
    m_set.Retry = true;
}

void Step4::moreClick()
{
    ShowMelodyPage();
}

void Step4::continueClick()
{
    ShowMelodyPage();
}

void Step4::nextClick()
{
    NextMelody();
}

void Step4::returnClick()
{
    const int level = m_context.Settings.Level;
    if (Navigation *navigation = m_context.page.navigation()) {
        navigation->ActivateStep(Levels::melodyStep(level) + 1);
        navigation->ShowLevelPage(level);
    }
}

} // namespace nk
