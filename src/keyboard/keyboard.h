#pragma once

#include "course/tglobalsettings.h"
#include "keyboard/keymap.h"
#include "keyboard/notearray.h"
#include "keyboard/tallowed.h"
#include "keyboard/terrorset.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <functional>

class QLabel;
class QWidget;

namespace nk {

class NotePlayer;
class OneShotTimers;
class Page;

// The on-screen keyboard: turns a click on its picture into a key, plays and
// lights the key, records it while an answer is being collected, and judges the
// answer. The colouring lives in the picture's own pixels; the label showing
// it only gets a copy after each change.
class Keyboard
{
public:
    // The run's state the keyboard reads and writes.
    struct State
    {
        TGlobalSettings &Settings;
        TAllowed &Allowed;
        TErrorSet &ErrorSet;
        NoteArray &NotesA;
        NoteArray &NotesB;
    };

    // Result pages of the training and melody steps. An empty entry opens nothing.
    struct ResultPages
    {
        std::function<void()> showTrainingRight;
        std::function<void()> showTrainingWrong;
        std::function<void()> showMelodyRight;
        std::function<void()> showMelodyWrong;
    };

    static constexpr int HighlightMs = 1000;
    static constexpr int JudgeDelayMs = 1000;

    Keyboard(State state, NotePlayer &player, OneShotTimers &timers, Page &page);
    ~Keyboard();
    Keyboard(const Keyboard &) = delete;
    Keyboard &operator=(const Keyboard &) = delete;

    // The picture at rest, as built into the program.
    static QImage restingPicture();

    // Where the picture is shown; it gets a fresh copy after every change. A
    // picture that reports clicks also shows its 36 keys to assistive technology.
    // The picture is read at its first use, or once the window has been painted:
    // the page a start shows has no keyboard.
    void setPictureLabel(QLabel *label);
    const QImage &picture() const;
    ResultPages &resultPages() { return m_pages; }
    // Told of every key recorded as an answer note, whatever pressed it.
    std::function<void()> &answerKeyHook() { return m_answerKey; }

    void imgKeyboardMouseDown(QPoint pos, Qt::MouseButton button);
    void HitTestKeyboard(int x, int y);
    void PressKey(int octave, quint8 pitch);
    void RecordAnswer(int duration, int octave, quint8 pitch);
    void JudgeAnswers();
    void PaintKey(quint8 pitch, int octave, int mode);
    void ReleaseAllKeys();
    void ClearAllKeys();

    bool responds(int octave, quint8 pitch) const;

    // A key played on the computer keyboard or a MIDI keyboard: a click at
    // that key of the picture, taken only while the panel is shown and an
    // answer is being collected, so keys never sound over other pages.
    void pressFromInput(int octave, quint8 pitch);
    bool panelShown() const;
    // While set, every key of the computer keyboard's piano rows and of a MIDI
    // keyboard goes to the taker instead, with the panel open or not, and
    // sounds nothing: for a page that only asks which note it is.
    void setInputTaker(std::function<void(int octave, quint8 pitch)> taker);
    bool takesInput() const { return m_taker || panelShown(); }

    // The octave the computer keyboard's lower row plays; the upper row plays
    // the next.
    int inputOctave() const { return m_inputOctave; }
    void moveInputOctave(int step);
    // Draws each computer key's letter on the key it plays, or stops.
    void showKeyLetters(bool shown);

private:
    // The answer being judged, as it stood when judging began.
    struct Answer
    {
        NoteArray given;
        NoteArray expected;
        int length = 0;
        int end = 0;
    };

    // What was on the page when judging began.
    struct PageMark
    {
        QPointer<QWidget> first;
        bool empty = true;
    };

    int answerDuration() const;
    void countErrors();
    void openResultPage();
    PageMark markPage() const;
    bool pageUnchanged(const PageMark &mark) const;
    void showPicture();

    State m_state;
    NotePlayer &m_player;
    OneShotTimers &m_timers;
    Page &m_page;
    mutable QImage m_picture; // null until first used
    QPointer<QLabel> m_label;
    ResultPages m_pages;
    int m_inputOctave = KeyMap::DefaultOctave;
    std::function<void()> m_answerKey;
    std::function<void(int, quint8)> m_taker;
};

} // namespace nk
