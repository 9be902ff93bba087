#include "keyboard/keyboard.h"

#include "audio/notenames.h"
#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "course/levels.h"
#include "course/shutdown.h"
#include "keyboard/accessiblekeyboard.h"
#include "keyboard/keyboardlayout.h"
#include "keyboard/keyletters.h"
#include "keyboard/surfacefill.h"
#include "widgets/afterfirstpaint.h"
#include "widgets/clicklabel.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/windowcontrols.h"

#include <QLabel>
#include <QPixmap>
#include <algorithm>

namespace nk {

namespace {

struct Recolour
{
    QRgb from;
    QRgb to;
};

Recolour recolourFor(int mode, bool blackKey)
{
    const QRgb rest = blackKey ? KeyboardLayout::Black : KeyboardLayout::White;
    switch (mode) {
    case 2: // release
        return {KeyboardLayout::Green, rest};
    case 3: // light the marked key
        return {KeyboardLayout::Yellow, KeyboardLayout::Green};
    case 4: // release the marked key
        return {KeyboardLayout::Green, KeyboardLayout::Yellow};
    case 5: // mark
        return {rest, KeyboardLayout::Yellow};
    case 6: // unmark
        return {KeyboardLayout::Yellow, rest};
    default: // light
        return {rest, KeyboardLayout::Green};
    }
}

} // namespace

Keyboard::Keyboard(State state, NotePlayer &player, OneShotTimers &timers, Page &page)
    : m_state(state), m_player(player), m_timers(timers), m_page(page)
{
}

const QImage &Keyboard::picture() const
{
    if (m_picture.isNull())
        m_picture = restingPicture();
    return m_picture;
}

QImage Keyboard::restingPicture()
{
    QImage picture(QStringLiteral(":/notoklyuv/keyboard.png"));
    if (picture.isNull()) {
        // Not expected in a built program; a blank board still keeps the window usable.
        picture = QImage(KeyboardLayout::Width, KeyboardLayout::Height, QImage::Format_RGB32);
        picture.fill(Qt::white);
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

Keyboard::~Keyboard()
{
    AccessibleKeyboard::detach(this);
}

void Keyboard::setPictureLabel(QLabel *label)
{
    m_label = label;
    if (auto *picture = qobject_cast<ClickLabel *>(label)) {
        AccessibleKeyboard::installFactory();
        AccessibleKeyboard::attach(picture, this);
    }
    if (label)
        AfterFirstPaint::schedule(label->window(), [this] {
            picture();
            showPicture();
        });
}

// Nothing to show before the picture is read; reading it shows it.
void Keyboard::showPicture()
{
    if (!m_label || m_picture.isNull())
        return;
    if (!m_state.Settings.KeyLetters) {
        m_label->setPixmap(QPixmap::fromImage(m_picture));
        return;
    }
    QImage lettered = m_picture;
    KeyLetters::draw(lettered, m_inputOctave);
    m_label->setPixmap(QPixmap::fromImage(lettered));
}

void Keyboard::showKeyLetters(bool shown)
{
    m_state.Settings.KeyLetters = shown;
    showPicture();
}

void Keyboard::moveInputOctave(int step)
{
    m_inputOctave = KeyMap::movedOctave(m_inputOctave, step);
    showPicture();
}

void Keyboard::imgKeyboardMouseDown(QPoint pos, Qt::MouseButton button)
{
    Q_UNUSED(button); // every button plays a key
    if (KeyboardLayout::isClickable(pos.x(), pos.y()))
        HitTestKeyboard(pos.x(), pos.y());
}

void Keyboard::HitTestKeyboard(int x, int y)
{
    m_timers.createHighlightReset(HighlightMs, m_state.Settings.HighlightPending);
    const KeyId key = KeyboardLayout::keyAt(x, y);
    PressKey(key.octave, quint8(key.pitch));
}

bool Keyboard::panelShown() const
{
    return m_page.controls().KeyboardIsShown();
}

void Keyboard::setInputTaker(std::function<void(int octave, quint8 pitch)> taker)
{
    m_taker = std::move(taker);
}

void Keyboard::pressFromInput(int octave, quint8 pitch)
{
    if (m_taker) {
        m_taker(octave, pitch);
        return;
    }
    if (!panelShown() || !m_state.Allowed.Collecting)
        return;
    m_timers.createHighlightReset(HighlightMs, m_state.Settings.HighlightPending);
    PressKey(octave, pitch);
}

bool Keyboard::responds(int octave, quint8 pitch) const
{
    const TAllowed &a = m_state.Allowed;
    // Octaves are compared as the course's byte-sized values are.
    const auto o = quint8(octave);
    return o >= quint8(a.LowOctave) && o <= quint8(a.HighOctave) && pitch >= a.LowPitch &&
           pitch <= a.HighPitch;
}

void Keyboard::PressKey(int octave, quint8 pitch)
{
    if (!responds(octave, pitch))
        return;
    TGlobalSettings &settings = m_state.Settings;
    PaintKey(settings.Note, settings.Octave, 2);
    settings.Octave = octave;
    settings.Note = pitch;
    m_player.PlayNote(octave, pitch);
    PaintKey(pitch, octave, 1);
    TAllowed &allowed = m_state.Allowed;
    if (!allowed.Collecting)
        return;
    RecordAnswer(answerDuration(), octave, pitch);
    if (allowed.AnswerPos > allowed.AnswerLen)
        JudgeAnswers();
}

// Melody answers keep the rhythm of the melody being reproduced.
int Keyboard::answerDuration() const
{
    const int position = m_state.Allowed.AnswerPos;
    if (m_state.Settings.Step == 4 && isAnswerPosition(position))
        return atPosition(m_state.NotesB, position).Duration;
    return 4;
}

void Keyboard::RecordAnswer(int duration, int octave, quint8 pitch)
{
    TAllowed &allowed = m_state.Allowed;
    if (isAnswerPosition(allowed.AnswerPos))
        atPosition(m_state.NotesA, allowed.AnswerPos) = TNote{duration, octave, pitch};
    ++allowed.AnswerPos;
    if (m_answerKey)
        m_answerKey();
}

void Keyboard::JudgeAnswers()
{
    TAllowed &allowed = m_state.Allowed;
    // Collection ends before the wait: a key pressed while the last note
    // sounds only plays, and can never start a second judgement.
    allowed.Collecting = false;
    const PageMark mark = markPage();
    const Answer answer{m_state.NotesA, m_state.NotesB, allowed.AnswerLen, allowed.AnswerPos};
    WaitMs(JudgeDelayMs);
    if (Shutdown::requested() || !pageUnchanged(mark))
        return; // the learner has moved on
    // A listen within the wait loaded its sequence as the notes to answer
    // next; the answer given is judged, and its result page shown, against
    // the notes it answered.
    m_state.NotesA = answer.given;
    m_state.NotesB = answer.expected;
    allowed.AnswerLen = answer.length;
    allowed.AnswerPos = answer.end;
    allowed.Collecting = false;
    countErrors();
    openResultPage();
}

void Keyboard::countErrors()
{
    TErrorSet &errors = m_state.ErrorSet;
    errors.ErrorCount = 0;
    errors.ErrorPos = 1;
    const int length = std::min(m_state.Allowed.AnswerLen, MaxSequenceNotes);
    for (int i = 1; i <= length; ++i) {
        const TNote &expected = atPosition(m_state.NotesB, i);
        const TNote &given = atPosition(m_state.NotesA, i);
        if (expected.Octave != given.Octave || expected.Pitch != given.Pitch)
            atPosition(errors.Errors, ++errors.ErrorCount) = i;
    }
}

void Keyboard::openResultPage()
{
    const int level = m_state.Settings.Level;
    const int step = m_state.Settings.Step;
    const bool right = m_state.ErrorSet.ErrorCount == 0;
    const std::function<void()> *page = nullptr;
    if (step == Levels::trainingStep(level))
        page = right ? &m_pages.showTrainingRight : &m_pages.showTrainingWrong;
    else if (step == Levels::melodyStep(level))
        page = right ? &m_pages.showMelodyRight : &m_pages.showMelodyWrong;
    if (page && *page)
        (*page)();
}

Keyboard::PageMark Keyboard::markPage() const
{
    const QList<QWidget *> widgets = m_page.pageWidgets();
    return {widgets.isEmpty() ? nullptr : widgets.first(), widgets.isEmpty()};
}

// A cleared page's widgets leave the page at once, so the page's first widget
// still being there means no other page has been built meanwhile.
bool Keyboard::pageUnchanged(const PageMark &mark) const
{
    const QList<QWidget *> widgets = m_page.pageWidgets();
    if (mark.empty)
        return widgets.isEmpty();
    return mark.first && widgets.contains(mark.first.data());
}

void Keyboard::PaintKey(quint8 pitch, int octave, int mode)
{
    const TAllowed &allowed = m_state.Allowed;
    if (allowed.MarkShown && octave == allowed.MarkOctave && pitch == allowed.MarkPitch)
        mode += 2;
    if (!KeyboardLayout::hasKey(octave, pitch))
        return;
    const Recolour colours = recolourFor(mode, isBlackKey(pitch));
    // An unread picture is the one at rest: a fill from another colour changes nothing there.
    const QRgb resting = isBlackKey(pitch) ? KeyboardLayout::Black : KeyboardLayout::White;
    if (m_picture.isNull() && colours.from != resting)
        return;
    picture();
    if (SurfaceFill::fill(m_picture, KeyboardLayout::seed(octave, pitch), colours.from, colours.to))
        showPicture();
}

void Keyboard::ReleaseAllKeys()
{
    for (int octave = KeyboardLayout::LowOctave; octave <= KeyboardLayout::HighOctave; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch)
            PaintKey(quint8(pitch), octave, 2);
    }
}

void Keyboard::ClearAllKeys()
{
    TAllowed &allowed = m_state.Allowed;
    const bool markShown = allowed.MarkShown;
    allowed.MarkShown = false; // no mode is shifted while clearing
    for (int octave = KeyboardLayout::LowOctave; octave <= KeyboardLayout::HighOctave; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            const bool marked = octave == allowed.MarkOctave && pitch == allowed.MarkPitch;
            PaintKey(quint8(pitch), octave, marked ? 6 : 2);
        }
    }
    allowed.MarkShown = markShown;
}

} // namespace nk
