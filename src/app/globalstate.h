#pragma once

#include "audio/noteplayer.h"
#include "course/basepath.h"
#include "course/settingsfile.h"
#include "course/tglobalsettings.h"
#include "drills/tchordset.h"
#include "drills/tdmset.h"
#include "drills/tdnset.h"
#include "history/historystore.h"
#include "keyboard/notearray.h"
#include "keyboard/tallowed.h"
#include "keyboard/terrorset.h"
#include "midi/midiinput.h"
#include "report/activitylog.h"
#include "report/siteopener.h"
#include "steps/tmelodyset.h"
#include "steps/tqsettings.h"
#include "steps/tstep3set.h"
#include "steps/ttimeset.h"

namespace nk {

// Everything the run keeps between events, created with the main window and
// freed only after the message loop has ended. Members are constructed in
// declaration order, which is the order the course expects.
struct GlobalState
{
    explicit GlobalState(const BasePath &base)
        : basePath(base), settingsFile(base), log(base), site(log), player(base), history(base)
    {
    }

    TGlobalSettings Settings;
    TQSettings QSettings;
    TTimeSet TimeSet;
    TStep3Set Step3Set;
    TMelodySet MelodySet;
    TChordSet ChordSet;
    TDMSet DMSet;
    TDNSet DNSet;
    TErrorSet ErrorSet;
    TAllowed Allowed;
    // The learner's answer and the notes to reproduce, answer positions 1..36.
    NoteArray NotesA;
    NoteArray NotesB;

    BasePath basePath;
    SettingsFile settingsFile;
    ActivityLog log;
    SiteOpener site;
    NotePlayer player; // switched to the learner's timbre once the settings are read
    MidiInput midi;    // opened once the first page is on screen
    HistoryStore history;

    bool Started = false;
    bool Resting = false;
    bool MelodyPlaying = false;
};

} // namespace nk
