#include "steps/step3.h"

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "course/levels.h"
#include "course/randomsource.h"
#include "course/scopedflag.h"
#include "course/settingsfile.h"
#include "course/shutdown.h"
#include "course/timbre.h"
#include "keyboard/tallowed.h"
#include "keyboard/terrorset.h"
#include "report/activitylog.h"
#include "steps/answerhistory.h"
#include "steps/levelnotes.h"
#include "steps/maskingtones.h"
#include "steps/notecard.h"
#include "steps/notesequence.h"
#include "steps/playnotesequence.h"
#include "steps/tqsettings.h"
#include "widgets/navigation.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/restbreak.h"
#include "widgets/tyesbutton.h"
#include "widgets/windowcontrols.h"

#include <QStringList>
#include <algorithm>

namespace nk {

namespace {

// Levels from here on show no list of characteristics on the question page.
constexpr int ListedBelowLevel = 9;
constexpr int EndReviewPauseMs = 300;

HistoryNote firstNote(const NoteArray &notes)
{
    const TNote &note = atPosition(notes, 1);
    return {note.Octave, note.Pitch};
}

} // namespace

Step3::Step3(StepContext &context, TStep3Set &set)
    : m_context(context), m_set(set), m_pages(context.page)
{
}

NoteCatalogue Step3::catalogue() const
{
    return NoteCatalogue(m_context.page.base(), stepPitchNaming());
}

// A question asked again after its comparison is kept apart: it shows
// whether comparing helped.
HistoryKind Step3::answerKind() const
{
    if (m_practice)
        return HistoryKind::Practice;
    return m_askedAgain ? HistoryKind::Comparison : HistoryKind::Training;
}

int Step3::level() const
{
    return m_context.Settings.Level;
}

bool Step3::oneNote() const
{
    return m_context.Allowed.AnswerLen == 1;
}

void Step3::hideKeyboard()
{
    m_context.Settings.KeyboardShown = true;
    m_context.page.controls().SlideKeyboard();
}

void Step3::allowWholeKeyboard()
{
    TAllowed &allowed = m_context.Allowed;
    allowed.LowOctave = 4;
    allowed.HighOctave = 6;
    allowed.LowPitch = 0;
    allowed.HighPitch = 11;
    allowed.MarkShown = false;
    m_context.QSettings.SectionCount = catalogue().noteCount(level());
    m_context.QSettings.NoteIndex = 1;
}

void Step3::StartStep3()
{
    leavePractice();
    const int notes = catalogue().noteCount(level());
    allowWholeKeyboard();
    m_set.NoteCount = std::clamp(m_context.settingsFile.LoadNoteCount(), 1, MaxNoteCount);
    m_set.RightInRow = 0;
    m_set.Half = 1;
    m_set.LevelNoteCount = notes;
    newQuestion();
    m_askedAgain = false;
    hideKeyboard();
    Navigation *navigation = m_context.page.navigation();
    if (navigation && navigation->IsStepUsed(m_context.Settings.Step))
        ShowTrainingQuestion();
    else
        ShowTrainingIntro();
}

// Revision levels open with training, so the learner's own characteristics
// and pictures of the earlier levels are brought in before the first question.
void Step3::ShowTrainingIntro()
{
    if (NoteCatalogue::isRevisionLevel(level())) {
        const QString refusal = catalogue().FillRevisionLevel(level());
        if (!refusal.isEmpty())
            m_context.page.message(refusal);
    }
    if (Navigation *navigation = m_context.page.navigation())
        navigation->MarkStepUsed(m_context.Settings.Step);
    m_context.page.ClearPage();
    m_pages.createIntro();
}

QString Step3::noteListText() const
{
    const NoteCatalogue notes = catalogue();
    QString text;
    for (int k = 1; k <= m_set.LevelNoteCount; ++k) {
        const CatalogueNote note = notes.note(level(), k);
        text += PitchName(note.pitch) + QStringLiteral(" - ") + note.v1 + QStringLiteral(", ") +
                note.v2 + QStringLiteral(", ") + note.v3 + kLineBreak;
    }
    return text;
}

void Step3::ShowTrainingQuestion()
{
    m_context.page.ClearPage();
    const CatalogueNote current = catalogue().note(level(), m_context.QSettings.NoteIndex);
    m_context.Settings.Octave = current.octave;
    m_context.Settings.Note = current.pitch;
    TrainingQuestionView view;
    if (!m_practice) { // a practice run is no stage of training
        view.progressPicture = QStringLiteral("pictures\\step3\\") +
                               QString::number(m_set.NoteCount) + QLatin1Char('_') +
                               QString::number(3 - m_set.Half) + QStringLiteral(".gif");
        view.progressText = QStringLiteral("Пройдено: ") + QString::number(m_set.NoteCount) +
                            QStringLiteral(" нот, половина ") + QString::number(3 - m_set.Half) +
                            QStringLiteral(" из 2");
    }
    // Asked again after a wrong answer, a question keeps its timbre.
    m_context.player.useTimbre(m_set.QuestionTimbre);
    view.oneNote = oneNote();
    if (level() < ListedBelowLevel)
        view.noteList = noteListText();
    m_answerButton = m_pages.createQuestion(view);
}

void Step3::ShowTrainingRight()
{
    m_context.log.WriteLog(QStringLiteral("Ноты угаданы правильно"));
    AnswerHistory::recordNotes(m_context, answerKind(), true, m_practice ? 0 : m_set.NoteCount);
    if (m_practice)
        m_practice->answered(firstNote(m_context.NotesB), firstNote(m_context.NotesA));
    m_askedAgain = false;
    m_context.page.ClearPage();
    hideKeyboard();
    m_pages.createRight();
    newQuestion();
}

QString Step3::answerNames(const NoteArray &notes) const
{
    QString names;
    const int length = std::clamp(m_context.Allowed.AnswerLen, 0, MaxSequenceNotes);
    for (int i = 1; i <= length; ++i)
        names += PitchName(atPosition(notes, i).Pitch) + QLatin1Char(' ');
    return names;
}

// The log comes first: should it fail, the menu has not yet been locked.
void Step3::ShowTrainingWrong()
{
    m_context.log.WriteLog(QStringLiteral("Ноты угаданы неправильно"));
    AnswerHistory::recordNotes(m_context, answerKind(), false, m_practice ? 0 : m_set.NoteCount);
    if (m_practice)
        m_practice->answered(firstNote(m_context.NotesB), firstNote(m_context.NotesA));
    m_askedAgain = true;
    m_context.page.controls().DisableMenu();
    m_context.page.ClearPage();
    hideKeyboard();
    m_context.ErrorSet.Reviewing = true;
    m_context.ErrorSet.ErrorPos = 1;
    m_pages.createWrong({oneNote(), answerNames(m_context.NotesB), answerNames(m_context.NotesA)});
    m_set.RightInRow = 0;
}

void Step3::ShowCompareNotes()
{
    m_context.page.ClearPage();
    m_pages.createCompare();
    m_context.timers.create(DrillDelayMs, DrillTimerTag);
}

void Step3::endReview()
{
    m_context.ErrorSet.Reviewing = false;
    m_context.page.controls().EnableMenu();
}

bool Step3::cardShown() const
{
    return m_card && !Shutdown::requested() &&
           m_context.page.findByName(TrainingPages::cardPictureName()) == m_card.data();
}

bool Step3::playPair(int position)
{
    for (int round = 0; round < DrillRepeats; ++round) {
        for (const NoteArray *notes : {&m_context.NotesA, &m_context.NotesB}) {
            const TNote &note = atPosition(*notes, position);
            ShowNoteCard(m_context, note.Octave, note.Pitch);
            WaitMs(CardPauseMs);
            if (!cardShown())
                return false;
        }
    }
    return true;
}

// Leaving the comparison page, or a failure on the way, ends the review
// rather than leaving the menu locked.
void Step3::DrillComparePair()
{
    m_card = m_context.page.findByName(TrainingPages::cardPictureName());
    const TErrorSet &errors = m_context.ErrorSet;
    const int position = isAnswerPosition(errors.ErrorPos) && errors.ErrorPos <= errors.ErrorCount
                             ? atPosition(errors.Errors, errors.ErrorPos)
                             : 0;
    bool finished = false;
    try {
        m_context.log.WriteLog(QStringLiteral("Долбим ноты"));
        ScopedFlag busy(m_context.Settings.Busy);
        finished = m_card && isAnswerPosition(position) && playPair(position);
    } catch (...) {
        endReview();
        throw;
    }
    if (!finished) {
        endReview();
        return;
    }
    if (auto *picture = qobject_cast<PagePicture *>(m_card.data()))
        picture->clear();
    NextComparePair();
}

void Step3::NextComparePair()
{
    TErrorSet &errors = m_context.ErrorSet;
    if (errors.ErrorPos < errors.ErrorCount) {
        m_context.page.message(
            QStringLiteral("А теперь послушайте и сравните следующую пару нот."));
        ++errors.ErrorPos;
        ShowCompareNotes();
        return;
    }
    m_context.page.message(QStringLiteral(
        "Надеюсь, вы запомнили разницу между этими нотами. Иначе придётся повторить ;)"));
    errors.Reviewing = false;
    WaitMs(EndReviewPauseMs);
    m_context.page.controls().EnableMenu();
    askNext();
}

// The stage is won once its second half is: its progress is kept before the
// rest, which the learner may well end by closing the program.
void Step3::saveFinishedStage()
{
    if (m_set.Half != 2)
        return;
    if (m_set.NoteCount < MaxNoteCount) {
        m_context.settingsFile.SaveNoteCount(m_set.NoteCount + 1);
        return;
    }
    if (Navigation *navigation = m_context.page.navigation())
        navigation->ActivateStep(Levels::melodyStep(level()));
}

void Step3::ShowTrainingRest()
{
    m_context.log.WriteLog(QStringLiteral("relax 1"));
    AnswerHistory::recordRest(m_context, HistoryRest::Training);
    saveFinishedStage();
    m_context.page.ClearPage();
    m_pages.createRest();
    m_context.rest.start(RestBreak::Kind::Training, [this, saved = m_set] {
        m_set = saved;
        EndTrainingRest();
    });
}

void Step3::EndTrainingRest()
{
    if (m_set.Half == 1) {
        m_set.RightInRow = 0;
        m_set.Half = 2;
        ShowTrainingQuestion();
        return;
    }
    if (m_set.NoteCount < MaxNoteCount) {
        m_set.RightInRow = 0;
        m_set.Half = 1;
        ++m_set.NoteCount;
        newQuestion();
        m_askedAgain = false;
        ShowTrainingQuestion();
        return;
    }
    m_context.page.message(QStringLiteral("А теперь можно переходить и к мелодиям :)"));
    if (Navigation *navigation = m_context.page.navigation())
        navigation->ShowLevelPage(level());
}

void Step3::StartPractice(const QList<NoteRecord> &records, std::function<void()> done)
{
    leavePractice();
    m_context.Settings.Step = Levels::trainingStep(level());
    allowWholeKeyboard();
    m_trainingSet = m_set;
    m_set.NoteCount = 1;
    m_set.RightInRow = 0;
    m_set.Half = 1;
    m_set.LevelNoteCount = catalogue().noteCount(level());
    m_askedAgain = false;
    m_practice = std::make_unique<PracticeDraw>(LevelNotes::of(catalogue(), level()), records);
    m_practiceDone = std::move(done);
    m_pages.setCaption(practiceCaption());
    hideKeyboard();
    showPracticeQuestion();
}

// After a wrong answer training asks the same question again; a practice run
// brings the confused notes back later instead.
void Step3::askNext()
{
    if (m_practice)
        showPracticeQuestion();
    else
        ShowTrainingQuestion();
}

void Step3::showPracticeQuestion()
{
    if (m_practice->finished()) {
        showPracticeRest();
        return;
    }
    const HistoryNote note = m_practice->next();
    m_set.QuestionText =
        QLatin1Char('4') + QString::number(note.Octave) + QString::number(note.Pitch);
    m_set.QuestionTimbre = Timbre::forQuestion(m_context.Settings, m_context.page.base());
    m_maskPending = true;
    m_askedAgain = false;
    ShowTrainingQuestion();
}

void Step3::showPracticeRest()
{
    m_context.log.WriteLog(QStringLiteral("relax 1"));
    AnswerHistory::recordRest(m_context, HistoryRest::Training);
    m_context.page.ClearPage();
    m_pages.createRest();
    m_context.rest.start(RestBreak::Kind::Training, [this] { endPractice(); });
}

void Step3::endPractice()
{
    std::function<void()> done = std::move(m_practiceDone);
    leavePractice();
    if (done)
        done();
}

// A run left for another page ends here too, the next time training or a
// run starts: training's state comes back untouched.
void Step3::leavePractice()
{
    if (!m_practice)
        return;
    m_practice.reset();
    m_practiceDone = nullptr;
    m_set = m_trainingSet;
    m_pages.setCaption(TrainingPages::trainingCaption());
}

// Neighbours are drawn among the other notes, so a draw always ends; a level
// with one note repeats it, and a level without notes asks one ДО.
QString Step3::RandomQuestion(int n) const
{
    const NoteCatalogue notes = catalogue();
    const int count = notes.noteCount(level());
    if (count == 0)
        return QStringLiteral("150");
    QStringList tokens;
    int previous = 0;
    for (int i = 0; i < std::clamp(n, 1, MaxSequenceNotes); ++i) {
        int k = 1;
        if (count > 1 && previous == 0) {
            k = RandomSource::draw(1, count);
        } else if (count > 1) {
            k = RandomSource::draw(1, count - 1);
            if (k >= previous)
                ++k;
        }
        const CatalogueNote note = notes.note(level(), k);
        tokens.append(QLatin1Char('4') + QString::number(note.octave) +
                      QString::number(note.rawPitch));
        previous = k;
    }
    return tokens.join(QLatin1Char(' '));
}

void Step3::newQuestion()
{
    m_set.QuestionText = RandomQuestion(m_set.NoteCount);
    m_set.QuestionTimbre = Timbre::forQuestion(m_context.Settings, m_context.page.base());
    m_maskPending = true;
}

QString Step3::SequenceFromNotes(int which) const
{
    const NoteArray &notes = which == 1 ? m_context.NotesA : m_context.NotesB;
    NoteSequence sequence;
    const int length = std::clamp(m_context.Allowed.AnswerLen, 0, MaxSequenceNotes);
    for (int i = 1; i <= length; ++i)
        sequence.notes.append(atPosition(notes, i));
    return sequence.format();
}

// With the guard on, a new question's first listen comes after the masking
// tones, so the note before cannot be compared with; the later ones do not.
void Step3::listenClick()
{
    if (m_masking)
        return;
    const QPointer<TYesButton> answer = m_answerButton;
    if (std::exchange(m_maskPending, false) && m_context.Settings.Masking) {
        ScopedFlag masking(m_masking);
        if (!PlayMasking(m_context) || !answer)
            return;
    }
    if (!PlayNoteSequence(m_context, m_set.QuestionText))
        return;
    m_context.history.listenEnded();
    if (answer && m_context.page.controlAt(TrainingPages::AnswerButtonPoint) == answer.data())
        answer->setEnabled(true);
}

void Step3::answerClick()
{
    m_context.log.WriteLog(QStringLiteral("Начинаем угадывать мелодию"));
    m_context.Allowed.Collecting = true;
    m_context.Settings.KeyboardShown = false;
    m_context.page.controls().SlideKeyboard();
}

void Step3::listenAgainClick(int which)
{
    if (m_context.MelodyPlaying)
        return;
    ScopedFlag playing(m_context.MelodyPlaying);
    PlayNoteSequence(m_context, SequenceFromNotes(which));
}

void Step3::continueClick()
{
    askNext();
}

void Step3::nextClick()
{
    if (m_practice)
        showPracticeQuestion();
    else if (m_set.RightInRow < RightAnswersPerHalf - 1) {
        ++m_set.RightInRow;
        ShowTrainingQuestion();
    } else {
        ShowTrainingRest();
    }
}

void Step3::compareClick()
{
    if (!m_context.MelodyPlaying)
        ShowCompareNotes();
}

} // namespace nk
