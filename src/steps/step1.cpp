#include "steps/step1.h"

#include "audio/linebreaks.h"
#include "audio/notenames.h"
#include "course/inifile.h"
#include "course/notecatalogue.h"
#include "course/questionfile.h"
#include "course/settingsfile.h"
#include "course/tglobalsettings.h"
#include "keyboard/keyboard.h"
#include "keyboard/tallowed.h"
#include "report/activitylog.h"
#include "steps/stepcontext.h"
#include "steps/tchecklistbox.h"
#include "steps/tqsettings.h"
#include "widgets/fonts.h"
#include "widgets/navigation.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "widgets/tnotename.h"
#include "widgets/windowcontrols.h"

namespace nk {

namespace {

// The key's own colouring mode for a marked key.
constexpr int MarkedMode = 5;
constexpr int MemorisationStep = 2;

PageLabel *createLabel(Page &page, const QString &text, QPoint topLeft, int points, bool bold)
{
    auto *label = new PageLabel(page, QString(), 1);
    label->setFont(Fonts::arial(Fonts::pointsToPixels(points), bold));
    label->setCaption(text);
    label->move(topLeft);
    return label;
}

} // namespace

Step1::Step1(StepContext &context) : m_context(context) {}

IniFile Step1::notesFile() const
{
    return IniFile(
        m_context.page.base().resolve(NoteCatalogue::notesFile(m_context.Settings.Level)));
}

void Step1::showKeyboard(bool shown)
{
    m_context.Settings.KeyboardShown = !shown;
    m_context.page.controls().SlideKeyboard();
}

// The saved note number is shared by all levels, so one left over from a
// level with more notes starts this level at its first note.
void Step1::StartStep1(int level)
{
    Navigation *navigation = m_context.page.navigation();
    if (!navigation || !navigation->IsStepUsed(m_context.Settings.Step)) {
        ShowStep1Intro();
        return;
    }
    showKeyboard(true);
    TQSettings &q = m_context.QSettings;
    q.SectionCount = int(
        IniFile(m_context.page.base().resolve(NoteCatalogue::notesFile(level))).sections().size());
    q.NoteIndex = m_context.settingsFile.LoadLearnNote();
    if (q.NoteIndex < 1 || q.NoteIndex >= q.SectionCount) {
        q.NoteIndex = 1;
        m_context.settingsFile.SaveLearnNote(q.NoteIndex);
    }
    if (navigation->IsStepUsed(MemorisationStep))
        ShowNoteChoice();
    else
        StartQuestionnaire();
}

void Step1::ShowStep1Intro()
{
    Page &page = m_context.page;
    page.ClearPage();
    page.addCaption(QStringLiteral("ШАГ 1. Обучение"));
    page.addTextBox(QStringLiteral("levels\\instrlearn.dat"), QRect(128, 40, 649, 305), 2);
    page.addButton(QStringLiteral("ДА!"), QRect(244, 352, 50, 28), ConfirmTag);
}

void Step1::ShowNoteChoice()
{
    Page &page = m_context.page;
    page.ClearPage();
    page.addCaption(QStringLiteral("Выберите ноту"));
    const IniFile file = notesFile();
    const int sections = int(file.sections().size());
    for (int k = 1; k < sections; ++k) {
        const int value = file.readInteger(NoteCatalogue::noteSection(k), u"note", 0);
        auto *name = new TNoteName(page, PitchName(NormalizePitch(value)), k);
        name->move(148, k * 24 + 8);
        name->setCursor(Qt::PointingHandCursor);
        name->setTextColor(QColor(0x33, 0x33, 0x99));
    }
}

void Step1::StartQuestionnaire()
{
    const IniFile file = notesFile();
    TQSettings &q = m_context.QSettings;
    const QString section = NoteCatalogue::noteSection(q.NoteIndex);
    m_context.keyboard.ClearAllKeys();
    TGlobalSettings &settings = m_context.Settings;
    settings.Octave = file.readInteger(section, u"oct", 5);
    settings.Note = NormalizePitch(file.readInteger(section, u"note", 0));
    TAllowed &allowed = m_context.Allowed;
    allowed.LowOctave = allowed.HighOctave = allowed.MarkOctave = settings.Octave;
    allowed.LowPitch = allowed.HighPitch = allowed.MarkPitch = settings.Note;
    allowed.MarkShown = false; // the mark's own colour is painted here, not shifted
    m_context.keyboard.PaintKey(settings.Note, settings.Octave, MarkedMode);
    allowed.MarkShown = true;
    const QString pict = file.readString(section, u"pict", QString());
    q.PictPath = pict.isEmpty() ? QString() : m_context.page.base().resolve(pict);
    q.QuestionLimit = QuestionFile(m_context.page.base()).QuestionLimit();
    q.QuestionNo = 1;
    ShowQuestion();
}

void Step1::ShowQuestion()
{
    const int k = m_context.QSettings.QuestionNo;
    showKeyboard(true);
    Page &page = m_context.page;
    page.ClearPage();
    createQuestionRow(k);
    page.addCaption(notesFile().readString(u"step", u"name", QStringLiteral("НЕТ НАСТРОЕК")));
    auto *picture = new PagePicture(page, 8);
    picture->loadInto(m_context.QSettings.PictPath, QRect(460, 8, 161, 26));
    picture->describe(QStringLiteral("Картинка ноты ") + PitchName(m_context.Settings.Note));
    createQuestionLinks(k);
    m_context.QSettings.QuestionNo = k + 1;
    if (m_question.AnswerEdit)
        m_question.AnswerEdit->setFocus();
}

void Step1::createQuestionRow(int k)
{
    Page &page = m_context.page;
    const Question text = QuestionFile(page.base()).question(k);
    m_question.NumberLabel =
        createLabel(page, QStringLiteral("Вопрос ") + QString::number(k) + QLatin1Char(':'),
                    {136, 56}, 12, true);
    QFont underlined = m_question.NumberLabel->font();
    underlined.setUnderline(true);
    m_question.NumberLabel->setFont(underlined);
    m_question.NumberLabel->adjustSize();
    const int titleLeft = 136 + m_question.NumberLabel->width() + 4;
    m_question.TitleLabel =
        createLabel(page, ExpandLineBreaks(text.name), {titleLeft, 56}, 12, true);
    m_question.TitleLabel->setTextColor(QColor(0xFF, 0x00, 0x00));
    m_question.BodyLabel = createLabel(page, ExpandLineBreaks(text.body), {136, 96}, 10, false);
    m_question.PromptLabel =
        createLabel(page,
                    text.before + QLatin1Char(' ') + PitchName(m_context.Settings.Note) +
                        QLatin1Char(' ') + text.after,
                    {128, 272}, 12, true);
    auto *edit = new TMyEdit(page, TMyEdit::AnswerBoxTag);
    edit->setFont(Fonts::arial(Fonts::pointsToPixels(12), true));
    edit->setMaxLength(MaxAnswerLength);
    edit->setGeometry(132, 295, 300, 28);
    // A screen reader names the box by the prompt above it.
    edit->setAccessibleName(m_question.PromptLabel->text().simplified());
    m_question.AnswerEdit = edit;
    auto *button = new TMyButton(page, QStringLiteral("ДА!"), 1);
    button->setFaceColor(QColor(0x84, 0xC2, 0x25));
    button->setGeometry(edit->x() + edit->width() + 4, 295, 50, 28);
    m_question.AnswerButton = button;
}

void Step1::createQuestionLinks(int k)
{
    Page &page = m_context.page;
    page.addArrowLink(QStringLiteral("Продолжить"), ContinueLinkTag, Page::Link::Forward, 328)
        ->setEnabled(false);
    if (k > 1) {
        page.addArrowLink(QStringLiteral("Вернуться на шаг назад"), BackLinkTag,
                          Page::Link::Backward, 352);
    }
}

QString Step1::answerText() const
{
    const auto *edit = qobject_cast<const TMyEdit *>(m_context.page.controlAt(AnswerEditPoint));
    return edit ? edit->text() : QString();
}

void Step1::SaveAnswer()
{
    const int k = m_context.QSettings.QuestionNo - 1;
    const QString section = NoteCatalogue::noteSection(m_context.QSettings.NoteIndex);
    const QString answer = answerText();
    IniFile file = notesFile();
    file.writeString(section, QStringLiteral("a") + QString::number(k), answer);
    const quint8 pitch = NormalizePitch(file.readInteger(section, u"note", 0));
    m_context.log.WriteLog(QStringLiteral("Сохранён ответ a") + QString::number(k) +
                           QLatin1Char('=') + answer + QStringLiteral(" для ноты ") +
                           PitchName(pitch));
}

void Step1::answerClick()
{
    if (answerText().isEmpty()) {
        m_context.page.message(QStringLiteral("Сначала введите ответ!"));
        return;
    }
    SaveAnswer();
    m_context.page.enableAt(ContinuePoint);
}

// The answer box itself refuses an empty answer and enables the link.
void Step1::answerEnter()
{
    SaveAnswer();
}

void Step1::continueClick()
{
    const TQSettings &q = m_context.QSettings;
    if (q.QuestionNo < q.QuestionLimit)
        ShowQuestion();
    else
        ShowTraitChoice();
}

void Step1::backClick()
{
    TQSettings &q = m_context.QSettings;
    if (q.QuestionNo <= 2)
        return;
    q.QuestionNo -= 2;
    ShowQuestion();
}

void Step1::ShowTraitChoice()
{
    Page &page = m_context.page;
    page.ClearPage();
    page.addCaption(QStringLiteral("Выберите ТРИ самых важных характеристики"));
    auto *list = new TCheckListBox(page, 1);
    list->setGeometry(136, 40, 641, 304);
    list->setAccessibleName(QStringLiteral("Выберите ТРИ самых важных характеристики"));
    const IniFile file = notesFile();
    const QString section = NoteCatalogue::noteSection(m_context.QSettings.NoteIndex);
    for (const QString &key : file.keys(section)) {
        if (key.startsWith(QLatin1Char('a'), Qt::CaseInsensitive))
            list->addCheckItem(file.readString(section, key, IniFile::NoData), key);
    }
    page.addButton(QStringLiteral("Сохранить"), QRect(136, 352, 200, 25), SaveTag);
}

TCheckListBox *Step1::traitList() const
{
    return qobject_cast<TCheckListBox *>(m_context.page.controlAt(TraitListPoint));
}

bool Step1::ThreeTraitsTicked() const
{
    const TCheckListBox *list = traitList();
    return list && list->checkedCount() == 3;
}

// Each item keeps the key it was read from, so the chosen value is the one
// shown even where the answers stand out of order in the file.
void Step1::SaveTraits()
{
    const TCheckListBox *list = traitList();
    if (!list)
        return;
    IniFile file = notesFile();
    const QString section = NoteCatalogue::noteSection(m_context.QSettings.NoteIndex);
    int m = 1;
    for (int row = 0; row < list->count(); ++row) {
        if (!list->isChecked(row))
            continue;
        const QString value = file.readString(section, list->keyAt(row), IniFile::NoData);
        file.writeString(section, QStringLiteral("v") + QString::number(m++), value);
    }
}

void Step1::saveClick()
{
    if (!ThreeTraitsTicked()) {
        m_context.page.message(QStringLiteral("Выберите ТРИ характеристики"));
        return;
    }
    showKeyboard(false);
    SaveTraits();
    TQSettings &q = m_context.QSettings;
    ++q.NoteIndex;
    m_context.settingsFile.SaveLearnNote(q.NoteIndex);
    if (q.NoteIndex < q.SectionCount) {
        StartQuestionnaire();
        return;
    }
    m_context.settingsFile.ResetCounters();
    if (Navigation *navigation = m_context.page.navigation()) {
        navigation->ActivateStep(MemorisationStep);
        navigation->ShowLevelPage(m_context.Settings.Level);
    }
}

void Step1::confirmClick()
{
    const int level = m_context.Settings.Level;
    if (NoteCatalogue::isRevisionLevel(level)) {
        const QString refusal =
            NoteCatalogue(m_context.page.base(), stepPitchNaming()).FillRevisionLevel(level);
        if (!refusal.isEmpty())
            m_context.page.message(refusal);
    }
    if (Navigation *navigation = m_context.page.navigation())
        navigation->MarkStepUsed(m_context.Settings.Step);
    StartStep1(level);
}

} // namespace nk
