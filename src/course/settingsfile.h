#pragma once

#include "course/basepath.h"
#include "course/inifile.h"
#include "course/tglobalsettings.h"

namespace nk {

// levels\settings.dat: the global settings and the three progress counters.
// The counters are written the moment they change; the rest at close.
class SettingsFile
{
public:
    explicit SettingsFile(const BasePath &base);

    void LoadSettings(TGlobalSettings &settings) const;
    void SaveSettings(const TGlobalSettings &settings);

    void SaveLearnNote(int learnNote);
    int LoadLearnNote() const;
    void SaveNoteNum(int noteNum);
    int LoadNoteNum() const;
    void SaveNoteCount(int noteCount);
    int LoadNoteCount() const;
    void ResetCounters();

    // The maker's site, without trailing slash. Read only: never written back.
    QString SiteAddress() const;

    static QString defaultSiteAddress();

private:
    IniFile m_file;
};

} // namespace nk
