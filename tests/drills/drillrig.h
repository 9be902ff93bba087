#pragma once

#include "app/tmainform.h"

#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace nk {
class BlackWhiteDrills;
class KeysDrill;
class TArrowLabel;
class TYesButton;
struct DrillDescription;
} // namespace nk

namespace nk::test {

// The real window, wired as the program wires it, over a program folder with
// the default course's pictures, top-level files and level 4. Time runs a
// thousand times faster; messages are recorded instead of shown.
class DrillRig
{
public:
    enum Drill
    {
        Chords,
        Melodies,
        Notes
    };

    DrillRig();
    ~DrillRig();

    TMainForm &form() { return *m_form; }
    GlobalState &state() { return m_form->state(); }
    BlackWhiteDrills &drills() const;
    KeysDrill &drill(int which) const;
    const DrillDescription &description(int which) const;
    // The question fields of a drill's own state object.
    int &streak(int which);
    int &firstColour(int which);
    int &blackItem(int which);
    int &whiteItem(int which);

    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    void writeText(const QString &relative, const QString &text) const;
    // Level 4's page, then the drill's step, as a learner opens them.
    void openDrill(int which);

    TYesButton *button(int tag) const;
    TArrowLabel *link(int tag) const;
    QString labelText(int top) const; // the page label at left 136 and this top
    bool clickButton(int tag);
    bool clickLink(int tag);
    // The number of the progress picture shown in the drill's corner, 0 when
    // none of its five pictures is shown.
    int progressNumber(int which) const;
    bool keyLit(int octave, int pitch) const;
    bool keyAtRest(int octave, int pitch) const;
    bool menuEnabled() const;
    bool levelPageShown() const;
    bool questionShown(int which) const;
    bool listenPageShown() const;
    QStringList logLines() const;
    QString levelFileText(const QString &name) const;

    static QStringList &messages();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_form;
};

} // namespace nk::test
