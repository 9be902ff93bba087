#include "drills/keysdrill.h"

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "course/inifile.h"
#include "course/levels.h"
#include "course/scopedflag.h"
#include "course/shutdown.h"
#include "course/timbre.h"
#include "keyboard/keyboard.h"
#include "keyboard/tallowed.h"
#include "report/activitylog.h"
#include "steps/answerhistory.h"
#include "steps/maskingtones.h"
#include "steps/notesequence.h"
#include "steps/playnotesequence.h"
#include "steps/stepcontext.h"
#include "widgets/navigation.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/pagepicture.h"
#include "widgets/tyesbutton.h"
#include "widgets/windowcontrols.h"

namespace nk {

namespace {

const QString NoData = QStringLiteral("нет данных");

} // namespace

KeysDrill::KeysDrill(StepContext &context, DrillDescription drill, DrillState state)
    : m_context(context), m_drill(std::move(drill)), m_state(state), m_pages(context.page, m_drill)
{
}

QString KeysDrill::levelFile(const QString &name) const
{
    return QStringLiteral("levels\\") + Levels::LevelFolder(m_context.Settings.Level) +
           QLatin1Char('\\') + name;
}

QString KeysDrill::sectionOf(int colour)
{
    return colour == Black ? QStringLiteral("black") : QStringLiteral("white");
}

int KeysDrill::itemKeyCount(const IniFile &file, const QString &section, QChar letter)
{
    int count = 0;
    for (const QString &key : file.keys(section)) {
        bool number = false;
        const bool named = key.size() > 1 && key.front().toLower() == letter.toLower() &&
                           key.mid(1).toInt(&number) > 0 && number;
        count += named ? 1 : 0;
    }
    return count;
}

void KeysDrill::tellOnce(const QString &text) const
{
    if (m_told.contains(text))
        return;
    m_told.append(text);
    m_context.page.message(text);
}

// A missing item used to reach the player as the text "нет данных"; the
// learner now hears nothing and is told what is missing.
std::optional<QString> KeysDrill::readItem(const QString &file, int colour, QChar letter,
                                           int item) const
{
    const IniFile data(m_context.page.base().resolve(file));
    const QString key = letter + QString::number(item);
    const QString value = data.readString(sectionOf(colour), key, NoData);
    if (value != NoData)
        return value;
    tellOnce(QStringLiteral("Нет данных для упражнения: ") + file + QStringLiteral(", раздел ") +
             sectionOf(colour) + QStringLiteral(", ключ ") + key);
    return std::nullopt;
}

// A sequence that is no note sequence is told about here, once, rather than
// by the player at every repetition.
bool KeysDrill::playSequenceItem(const QString &fileName, QChar letter, int colour, int item)
{
    const std::optional<QString> text = readItem(levelFile(fileName), colour, letter, item);
    if (!text)
        return false;
    const NoteSequence::Parsed parsed = NoteSequence::parse(*text);
    if (!parsed.ok) {
        tellOnce(QStringLiteral("Ошибка в записи нот: «") + parsed.badToken + QStringLiteral("»"));
        return false;
    }
    return PlayNoteSequence(m_context, *text);
}

QList<HistoryNote> KeysDrill::sequenceNotes(const QString &fileName, QChar letter, int colour,
                                            int item) const
{
    const IniFile data(m_context.page.base().resolve(levelFile(fileName)));
    const NoteSequence::Parsed parsed = NoteSequence::parse(
        data.readString(sectionOf(colour), QString(letter + QString::number(item)), NoData));
    QList<HistoryNote> notes;
    for (const TNote &note : parsed.ok ? parsed.notes : QList<TNote>())
        notes.append({note.Octave, note.Pitch});
    return notes;
}

QList<HistoryNote> KeysDrill::pairNotes() const
{
    const bool blackFirst = m_state.FirstColour == Black;
    return itemNotes(blackFirst ? Black : White,
                     blackFirst ? m_state.BlackItem : m_state.WhiteItem) +
           itemNotes(blackFirst ? White : Black,
                     blackFirst ? m_state.WhiteItem : m_state.BlackItem);
}

bool KeysDrill::PlayFirst()
{
    if (m_state.FirstColour == Black)
        return PlayDrillItem(Black, m_state.BlackItem);
    if (m_state.FirstColour == White)
        return PlayDrillItem(White, m_state.WhiteItem);
    return false;
}

bool KeysDrill::PlaySecond()
{
    if (m_state.FirstColour == Black)
        return PlayDrillItem(White, m_state.WhiteItem);
    if (m_state.FirstColour == White)
        return PlayDrillItem(Black, m_state.BlackItem);
    return false;
}

void KeysDrill::AnswerDrill(int choice)
{
    m_context.history.answerKey();
    m_choice = choice;
    if (choice == m_state.FirstColour)
        ShowDrillRight();
    else
        ShowDrillWrong();
}

// The pair, its wrong-answer page and its repetition share one timbre.
void KeysDrill::ShowDrillQuestion()
{
    PickPair();
    m_context.player.useTimbre(Timbre::forQuestion(m_context.Settings, m_context.page.base()));
    m_context.page.ClearPage();
    m_answerButton = m_pages.createQuestion(m_state.Streak);
    m_maskPending = true;
}

void KeysDrill::ShowDrillRight()
{
    m_context.log.WriteLog(m_drill.rightLog);
    AnswerHistory::recordChoice(m_context, m_drill.historyKind, true, m_choice, pairNotes());
    m_context.page.ClearPage();
    m_pages.createRight();
}

void KeysDrill::ShowDrillWrong()
{
    m_context.log.WriteLog(m_drill.wrongLog);
    AnswerHistory::recordChoice(m_context, m_drill.historyKind, false, m_choice, pairNotes());
    m_state.Streak = 1;
    if (m_drill.clearsKeysOnWrong) {
        m_context.Allowed.MarkShown = false;
        m_context.keyboard.ClearAllKeys();
    }
    m_context.page.ClearPage();
    m_context.Settings.KeyboardShown = false;
    m_context.page.controls().SlideKeyboard();
    m_pages.createWrong(m_state.FirstColour);
}

void KeysDrill::ShowDrillListen()
{
    m_context.page.ClearPage();
    m_pages.createListen();
    m_context.timers.create(ListenDelayMs, m_drill.tags.timer);
}

bool KeysDrill::pictureShown(const QPointer<PagePicture> &picture) const
{
    return picture && !Shutdown::requested() &&
           m_context.page.findByName(DrillPages::repetitionPictureName()) == picture.data();
}

bool KeysDrill::repeatPair(const QPointer<PagePicture> &picture)
{
    const QString blackPicture =
        m_context.page.base().resolve(QStringLiteral("pictures\\black.gif"));
    const QString whitePicture =
        m_context.page.base().resolve(QStringLiteral("pictures\\white.gif"));
    const bool blackFirst = m_state.FirstColour == Black;
    for (int round = 0; round < Repetitions; ++round) {
        for (const bool first : {true, false}) {
            picture->load(first == blackFirst ? blackPicture : whitePicture);
            if (first)
                PlayFirst();
            else
                PlaySecond();
            WaitMs(RepetitionPauseMs);
            if (!pictureShown(picture))
                return false;
        }
    }
    return true;
}

// The menu stays locked and closing is refused only while the run plays.
// Leaving the page (or the program) ends the run after its current wait; the
// picture then belongs to a cleared page and is left to it.
void KeysDrill::PlayDrillRepetition()
{
    m_context.log.WriteLog(m_drill.repetitionLog);
    const QPointer<PagePicture> picture =
        qobject_cast<PagePicture *>(m_context.page.findByName(DrillPages::repetitionPictureName()));
    if (!pictureShown(picture))
        return;
    m_told.clear();
    bool finished = false;
    {
        MenuDisabled menu(m_context.page.controls());
        ScopedFlag busy(m_context.Settings.Busy);
        finished = repeatPair(picture);
    }
    if (!finished)
        return;
    m_context.page.message(QStringLiteral("Продолжим ;)"));
    if (!pictureShown(picture))
        return;
    picture->clear();
    picture->hide();
    m_context.Settings.KeyboardShown = true;
    m_context.page.controls().SlideKeyboard();
    ShowDrillQuestion();
}

bool KeysDrill::questionShown(const QPointer<TYesButton> &answer) const
{
    return answer && !Shutdown::requested() &&
           m_context.page.controlAt(m_drill.answerPoint) == answer.data();
}

// A second press while the pair sounds is ignored, and leaving the question
// page stops the pair: the second item would belong to another question. An
// item that cannot be played is told about and passed over, so the question
// can still be answered.
void KeysDrill::listenPairClick()
{
    if (m_context.MelodyPlaying)
        return;
    ScopedFlag playing(m_context.MelodyPlaying);
    m_told.clear();
    const QPointer<TYesButton> answer = m_answerButton;
    if (!questionShown(answer))
        return;
    // A new pair's first listen comes after the masking tones when the guard is on.
    if (std::exchange(m_maskPending, false) && m_context.Settings.Masking &&
        (!PlayMasking(m_context) || !questionShown(answer)))
        return;
    PlayFirst();
    WaitMs(PairPauseMs);
    if (!questionShown(answer))
        return;
    PlaySecond();
    WaitMs(PairPauseMs);
    if (!questionShown(answer))
        return;
    m_context.history.listenEnded();
    m_context.page.enableAt(m_drill.answerPoint);
}

void KeysDrill::answerClick()
{
    Page &page = m_context.page;
    page.enableAt(m_drill.listenPoint, false);
    page.enableAt(DrillDescription::WhiteFirstPoint);
    page.enableAt(DrillDescription::BlackFirstPoint);
}

void KeysDrill::listenOneClick(int which)
{
    if (m_context.MelodyPlaying)
        return;
    ScopedFlag playing(m_context.MelodyPlaying);
    m_told.clear();
    if (which == 1)
        PlayFirst();
    else
        PlaySecond();
}

void KeysDrill::nextClick()
{
    if (m_state.Streak < StreakToPass) {
        ++m_state.Streak;
        ShowDrillQuestion();
        return;
    }
    passDrill();
}

// The run would play over the item still sounding.
void KeysDrill::rememberClick()
{
    if (!m_context.MelodyPlaying)
        ShowDrillListen();
}

void KeysDrill::passDrill()
{
    m_context.page.message(m_drill.passMessage);
    if (Navigation *navigation = m_context.page.navigation()) {
        navigation->ActivateStep(m_drill.passStep);
        navigation->ShowLevelPage(m_context.Settings.Level);
    }
}

} // namespace nk
