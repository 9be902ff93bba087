#pragma once

#include "windowrig.h"

namespace nk {
class BlackWhiteDrills;
class KeysDrill;
struct DrillDescription;
} // namespace nk

namespace nk::test {

// The window rig over level 4, the level of the black-and-white drills.
class DrillRig : public WindowRig
{
public:
    enum Drill
    {
        Chords,
        Melodies,
        Notes
    };

    DrillRig();

    BlackWhiteDrills &drills() const;
    KeysDrill &drill(int which) const;
    const DrillDescription &description(int which) const;
    // The question fields of a drill's own state object.
    int &streak(int which);
    int &firstColour(int which);
    int &blackItem(int which);
    int &whiteItem(int which);

    // Level 4's page, then the drill's step, as a learner opens them.
    void openDrill(int which);

    // The number of the progress picture shown in the drill's corner, 0 when
    // none of its five pictures is shown.
    int progressNumber(int which) const;
    bool keyLit(int octave, int pitch) const;
    bool keyAtRest(int octave, int pitch) const;
    bool menuEnabled() const;
    bool levelPageShown() const;
    bool questionShown(int which) const;
    bool listenPageShown() const;
    QString levelFileText(const QString &name) const;
};

} // namespace nk::test
