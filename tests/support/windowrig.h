#pragma once

#include "app/tmainform.h"
#include "pagedriver.h"
#include "rigfolder.h"

#include <QAnyStringView>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

namespace nk {
class BlackWhiteDrills;
class KeysDrill;
class Step3;
class TArrowLabel;
class TCheckListBox;
class TMyEdit;
class TYesButton;
struct DrillDescription;
struct StepContext;
} // namespace nk

namespace nk::testkit {
class PrivatePulse;
}

namespace nk::test {

// Stands in for the browser: the addresses the program asked to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    UrlRecorder();
    ~UrlRecorder() override;
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

// The real window, wired as the program wires it, over a program folder made
// from the built course (see RigSetup). Time runs faster, by default a
// thousand times; message boxes and the browser are recorded instead of
// shown. The window can be closed, killed and started again on the same folder.
class WindowRig
{
public:
    enum Drill
    {
        Chords,
        Melodies,
        Notes
    };
    enum DrillField
    {
        Streak,
        FirstColour,
        BlackItem,
        WhiteItem
    };

    // The default course's top-level files and the given level folders, past its first run.
    explicit WindowRig(const QStringList &levelFolders);
    explicit WindowRig(const RigSetup &setup);
    virtual ~WindowRig();

    // The moment the fixed clock shows, and its text as the log writes it.
    static QDateTime moment();
    static QString momentText() { return QStringLiteral("08.12.2026 7:29:26"); }

    // False when the program folder or the sound server could not be made.
    bool ready() const { return m_ready; }
    void start();
    // The exit button, as the learner leaves; true when the window went.
    bool quit();
    // The program ends without its close, as when the process is killed.
    void kill() { m_form.reset(); }
    bool running() const { return m_form != nullptr; }

    TMainForm &form() { return *m_form; }
    GlobalState &state() { return m_form->state(); }
    Page &page() const { return m_form->page(); }
    QString path(const QString &relative) const { return QDir(m_root).filePath(relative); }
    // Writes a data file as the course keeps them, in Windows-1251.
    bool writeText(const QString &relative, const QString &text) const;

    // What a learner sees and clicks.
    TYesButton *button(int tag) const;
    TArrowLabel *link(int tag) const;
    QString labelText(int top) const; // the page label at left 136 and this top
    QString caption() const;          // empty unless the page has one caption
    bool clickButton(int tag);
    bool clickLink(int tag);
    bool clickMenu(const char *name); // a button of the menu column, by object name
    // The entry of the shown course part or level list at this position.
    bool clickEntry(int position);
    // The position of the shown list's current (red) entry; 0 when none.
    int currentEntry() const;
    bool levelPageShown() const;
    bool menuEnabled() const;
    QString describePage() const; // the page's widgets, texts and tags, for failure messages
    template <typename W> QList<W *> widgets() const;
    void pressKey(int octave, int pitch);
    // Presses the notes just played, the first a semitone off when not right.
    bool pressPlayed(bool right);
    bool keyLit(int octave, int pitch) const;
    bool keyAtRest(int octave, int pitch) const;

    // The exercises: the level page, then the step at this position of its list.
    void openStep(int level, int step);
    void openTraining(int level);
    StepContext &context() { return m_form->steps(); }
    Step3 &training();
    bool comparisonShown() const;
    TMyEdit *answerBox() const;
    QString questionNumber() const; // "Вопрос k:" of the page shown
    bool continueEnabled() const;
    // Types the answer, confirms it by the button or by Enter, then "Продолжить".
    bool answer(const QString &text, bool byEnter = false);
    TCheckListBox *traitList() const;
    // Ticks the given rows (from 0), then "Сохранить".
    bool tickAndSave(const QList<int> &rows);
    // Listens to the current melody, then plays it on the keys, right or
    // not. Returns once a result page is up.
    bool playMelody(bool right, bool retry = false);
    // Which of pictures\melody\N.gif the progress picture shows; 0 when none.
    int progressPicture() const;
    bool onRightPage() const;
    bool onPassedPage() const;

    // Level 4's black-and-white drills.
    BlackWhiteDrills &drills() const;
    KeysDrill &drill(int which) const;
    const DrillDescription &description(int which) const;
    int &drillField(int which, DrillField field);
    void openDrill(int which);
    // The number of the progress picture in the drill's corner; 0 when none
    // of its five pictures is shown.
    int progressNumber(int which) const;
    bool questionShown(int which) const;
    bool listenPageShown() const;

    // What the program keeps in its files.
    QString levelFile(int level, const QString &name) const; // its path
    bool stepFlag(int level, int step, QAnyStringView key) const;
    QString noteValue(int level, int note, QAnyStringView key) const;
    QString setting(QAnyStringView key) const;
    void writeSetting(QAnyStringView key, const QString &value) const;

    QStringList logLines() const; // the log's non-empty lines, trimmed
    QByteArray logBytes() const;
    // The log's messages without their dates, each record checked for its
    // date (the fixed moment, when the clock stands), " - " and the LF CR
    // ending; a record that breaks the form comes back as "<bad record: …>".
    QStringList logMessages() const;
    QStringList newLog(); // the messages written since the previous call

    static QStringList &messages();
    QStringList takeMessages(); // the message boxes since the previous call
    const QList<QUrl> &openedUrls() const { return m_browser.opened; }

protected:
    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_form;

private:
    QString m_root;
    std::unique_ptr<testkit::PrivatePulse> m_pulse;
    UrlRecorder m_browser;
    qsizetype m_logSeen = 0;
    bool m_ready = false;
    bool m_fixedClock = false;
};

template <typename W> QList<W *> WindowRig::widgets() const
{
    QList<W *> found;
    for (QWidget *w : page().pageWidgets()) {
        if (auto *typed = qobject_cast<W *>(w))
            found.append(typed);
    }
    return found;
}

} // namespace nk::test
