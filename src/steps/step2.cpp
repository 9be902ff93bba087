#include "steps/step2.h"

#include "audio/notenames.h"
#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "course/inifile.h"
#include "course/notecatalogue.h"
#include "course/programclock.h"
#include "course/scopedflag.h"
#include "course/settingsfile.h"
#include "course/shutdown.h"
#include "course/tglobalsettings.h"
#include "keyboard/keyboard.h"
#include "keyboard/tallowed.h"
#include "report/activitylog.h"
#include "steps/answerhistory.h"
#include "steps/notepictureimport.h"
#include "steps/stepcontext.h"
#include "steps/tpicturebutton.h"
#include "widgets/fonts.h"
#include "widgets/navigation.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/restbreak.h"
#include "widgets/windowcontrols.h"

#include <QElapsedTimer>
#include <QStringList>

namespace nk {

namespace {

constexpr int TrainingStep = 3;

PageLabel *createLabel(Page &page, const QString &text, int top, int points = 10, bool bold = false)
{
    auto *label = new PageLabel(page, QString(), 1);
    label->setFont(Fonts::arial(Fonts::pointsToPixels(points), bold));
    label->setCaption(text);
    label->moveTo(Page::ContentLeft, top);
    return label;
}

} // namespace

Step2::Step2(StepContext &context, TTimeSet &set) : m_context(context), m_set(set) {}

IniFile Step2::notesFile() const
{
    return IniFile(
        m_context.page.base().resolve(NoteCatalogue::notesFile(m_context.Settings.Level)));
}

void Step2::createCaption()
{
    m_context.page.addCaption(QStringLiteral("ШАГ 2. Запоминание"));
}

QString Step2::instructionText(const QString &noteName, int octave)
{
    return QStringList{
        QStringLiteral("Работаем с нотой ") + noteName + QLatin1Char(' ') + octaveWord(octave) +
            QStringLiteral(" октавы."),
        QString(),
        QStringLiteral("Возьмите в руки предмет, который весит так же как эта нота."),
        QStringLiteral("Очень хорошо, если предмет схож со звуком ещё и по гладкости/шершавости."),
        QStringLiteral("Если по весу вы уже работали, и чувствуете ноту хорошо - "),
        QStringLiteral("можете показывать руками движение ноты, каждый раз когда она звучит."),
        QStringLiteral("Нота будет звучать по 5 раз подряд, с перерывами в 7 минут."),
        QStringLiteral("Слушайте ноту, чувствуйте её настроение, ощущайте её вес,"),
        QStringLiteral("материал из которого она сделана, направление её движения и точку в теле."),
        QStringLiteral(
            "Смотрите на рисунок этой ноты. Держите её в руках, как физический предмет."),
        QStringLiteral("И слушайте её эти несколько минут, ничего не делая с программой."),
    }
        .join(kLineBreak);
}

// The saved note number is shared by all levels: one beyond this level's
// notes starts it at its first note.
void Step2::StartStep2()
{
    const IniFile file = notesFile();
    const int sections = int(file.sections().size());
    const QString high = NoteCatalogue::noteSection(sections - 1);
    TAllowed &allowed = m_context.Allowed;
    allowed.LowOctave = file.readInteger(u"note1", u"oct", 4);
    allowed.HighOctave = file.readInteger(high, u"oct", 6);
    allowed.LowPitch = NormalizePitch(file.readInteger(u"note1", u"note", 0));
    allowed.HighPitch = NormalizePitch(file.readInteger(high, u"note", 11));
    allowed.MarkShown = false;
    m_set.Repetition = 1;
    m_set.NoteIndex = m_context.settingsFile.LoadNoteNum();
    if (m_set.NoteIndex < 1 || m_set.NoteIndex >= sections)
        m_set.NoteIndex = 1;
    m_set.SectionCount = sections;
    m_context.Settings.KeyboardShown = true;
    m_context.page.controls().SlideKeyboard();
    Navigation *navigation = m_context.page.navigation();
    if (navigation && navigation->IsStepUsed(m_context.Settings.Step))
        ShowMemorisePrep();
    else
        ShowStep2Intro();
}

void Step2::ShowStep2Intro()
{
    if (Navigation *navigation = m_context.page.navigation())
        navigation->MarkStepUsed(m_context.Settings.Step);
    Page &page = m_context.page;
    page.ClearPage();
    createCaption();
    page.addTextBox(QStringLiteral("levels\\mem.dat"), QRect(128, 40, 649, 305), 2);
    page.addArrowLink(QStringLiteral("Продолжить работу"), ContinueLinkTag);
}

QString Step2::repetitionPicture(const IniFile &file) const
{
    const QString prefix =
        file.readString(NoteCatalogue::noteSection(m_set.NoteIndex), u"pict2", IniFile::NoData);
    return m_context.page.base().resolve(prefix + QString::number(6 - m_set.Repetition) +
                                         QStringLiteral(".gif"));
}

void Step2::loadCurrentNote(const IniFile &file)
{
    const QString section = NoteCatalogue::noteSection(m_set.NoteIndex);
    m_context.Settings.Octave = file.readInteger(section, u"oct", 5);
    m_context.Settings.Note = NormalizePitch(file.readInteger(section, u"note", 0));
}

void Step2::ShowMemorisePrep()
{
    Page &page = m_context.page;
    page.ClearPage();
    const IniFile file = notesFile();
    loadCurrentNote(file);
    createCaption();
    auto *picture = new PagePicture(page, 8);
    picture->loadInto(repetitionPicture(file), QRect(460, 0, 151, 55));
    picture->describe(QStringLiteral("Картинка ноты ") + PitchName(m_context.Settings.Note));
    createLabel(page,
                instructionText(PitchName(m_context.Settings.Note), m_context.Settings.Octave), 55);
    auto *import = new TPictureButton(page, QStringLiteral("Загрузить свою картинку"),
                                      [this] { importClick(); });
    import->setGeometry(340, 240, 200, 25);
    page.addButton(QStringLiteral("СТАРТ"), QRect(Page::ContentLeft, 240, 200, 25), StartTag)
        ->setFocus();
}

void Step2::ShowMemoriseSession()
{
    Page &page = m_context.page;
    page.ClearPage();
    const IniFile file = notesFile();
    const int level = m_context.Settings.Level;
    const quint8 pitch = m_context.Settings.Note;
    createCaption();
    auto *repetition = new PagePicture(page, 8);
    repetition->loadInto(repetitionPicture(file), QRect(460, 0, 151, 55));
    repetition->describe(QStringLiteral("Картинка ноты ") + PitchName(pitch));
    createLabel(page, PitchName(pitch), 32);
    const NoteCatalogue catalogue(page.base(), stepPitchNaming());
    auto *picture = new PagePicture(page, 1);
    picture->loadInto(catalogue.NotePicturePath(level, pitch),
                      QRect(Page::ContentLeft, 55, 401, 249));
    picture->describe(QStringLiteral("Картинка ноты ") + PitchName(pitch));
    const CatalogueNote note = catalogue.note(level, catalogue.FindNoteSection(level, pitch));
    const QString dash = QStringLiteral(" - ");
    createLabel(page,
                dash + note.v1 + kLineBreak + dash + note.v2 + kLineBreak + dash + note.v3 +
                    kLineBreak,
                320);
    m_context.timers.create(PlaybackDelayMs, PlaybackTimerTag);
}

// Returns false when the program is closing and the step must not move on.
bool Step2::playRepetition()
{
    ScopedFlag busy(m_context.Settings.Busy);
    AllControlsDisabled disabled(m_context.page.controls());
    for (int round = 0; round < RoundsPerRepetition; ++round) {
        for (int play = 1; play <= PlaysPerRound; ++play) {
            if (Shutdown::requested())
                return false;
            m_context.player.PlayNote(m_context.Settings.Octave, m_context.Settings.Note);
            WaitMs(play < PlaysPerRound ? PlayGapMs : RoundGapMs);
        }
    }
    return !Shutdown::requested();
}

void Step2::PlayMemoriseSession()
{
    m_context.log.WriteLog(QStringLiteral("Запоминаем ноты )"));
    QElapsedTimer listened;
    listened.start();
    if (!playRepetition())
        return;
    // In the program's own seconds: a test that runs time faster still sees
    // the minute and a half a learner hears.
    m_context.history.recordRepetition(ProgramClock::now(), m_context.Settings.Level,
                                       {m_context.Settings.Octave, m_context.Settings.Note},
                                       double(listened.elapsed()) / 1000.0 / ProgramClock::scale());
    if (m_set.Repetition < Repetitions) {
        ++m_set.Repetition;
        ShowStep2Rest();
        return;
    }
    if (m_set.NoteIndex < m_set.SectionCount - 1) {
        m_set.Repetition = 1;
        ++m_set.NoteIndex;
        m_context.settingsFile.SaveNoteNum(m_set.NoteIndex);
        loadCurrentNote(notesFile());
        ShowStep2Rest();
        return;
    }
    finishStep();
}

void Step2::finishStep()
{
    Page &page = m_context.page;
    page.message(QStringLiteral("Ура! А теперь проверим, как вы на самом деле запомнили ноты ;)"));
    m_context.keyboard.ClearAllKeys();
    const int level = m_context.Settings.Level;
    const QString refusal = NoteCatalogue(page.base(), stepPitchNaming()).AppendEarlierNotes(level);
    if (!refusal.isEmpty())
        page.message(refusal);
    if (Navigation *navigation = page.navigation()) {
        navigation->ActivateStep(TrainingStep);
        navigation->ShowLevelPage(level);
    }
}

void Step2::ShowStep2Rest()
{
    m_context.log.WriteLog(QStringLiteral("relax 2"));
    AnswerHistory::recordRest(m_context, HistoryRest::Memorisation);
    Page &page = m_context.page;
    page.ClearPage();
    createCaption();
    page.addPicture(QStringLiteral("pictures\\relax.gif"), QPoint(Page::ContentLeft, 40), 1)
        ->describe(QStringLiteral("Отдых"));
    PageLabel *label = createLabel(
        page, QStringLiteral("Замечательно!  А теперь отдохните 7 минут.    Медведь подождёт."), 40,
        14, true);
    label->setTextColor(QColor(0x33, 0x33, 0x99));
    m_context.rest.start(RestBreak::Kind::Memorisation, [this, saved = m_set] {
        m_set = saved;
        ShowMemorisePrep();
    });
}

void Step2::startClick()
{
    m_context.log.WriteLog(QStringLiteral("Нажата кнопка Старт"));
    ShowMemoriseSession();
}

void Step2::continueClick()
{
    ShowMemorisePrep();
}

void Step2::importClick()
{
    Page &page = m_context.page;
    const QString source = NotePictureImport::choose(page.window());
    const QString target = NoteCatalogue(page.base(), stepPitchNaming())
                               .NotePicturePath(m_context.Settings.Level, m_context.Settings.Note);
    switch (NotePictureImport::importFile(source, target, m_context.log)) {
    case NotePictureImport::Result::Cancelled:
        return;
    case NotePictureImport::Result::Refused:
        page.message(QStringLiteral("Неправильный рисунок"));
        return;
    case NotePictureImport::Result::Saved:
        WaitMs(ImportedPauseMs);
        page.enableAt(StartButtonPoint);
        return;
    }
}

} // namespace nk
