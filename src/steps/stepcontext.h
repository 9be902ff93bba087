#pragma once

#include "audio/notenames.h"
#include "course/notecatalogue.h"
#include "keyboard/notearray.h"

namespace nk {

class ActivityLog;
class HistoryStore;
class Keyboard;
class NotePlayer;
class OneShotTimers;
class Page;
class RestBreak;
class SettingsFile;
struct TAllowed;
struct TErrorSet;
struct TGlobalSettings;
struct TQSettings;

// What the note-learning steps work with: the page host, the run's state
// objects and the services of the window. Filled once by the wiring place.
struct StepContext
{
    Page &page;
    TGlobalSettings &Settings;
    TQSettings &QSettings;
    SettingsFile &settingsFile;
    ActivityLog &log;
    NotePlayer &player;
    OneShotTimers &timers;
    RestBreak &rest;
    Keyboard &keyboard;
    NoteArray &NotesA;
    NoteArray &NotesB;
    TAllowed &Allowed;
    TErrorSet &ErrorSet;
    bool &MelodyPlaying;
    HistoryStore &history; // the learner's answers, kept for the statistics
};

// The catalogue names its pictures and lists with the sound code's names.
inline PitchNaming stepPitchNaming()
{
    return {&PitchName, &NormalizePitch};
}

} // namespace nk
