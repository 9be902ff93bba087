#include "course/settingsfile.h"

namespace nk {

namespace {
const QString kMain = QStringLiteral("main");
}

SettingsFile::SettingsFile(const BasePath &base)
    : m_file(base.resolve(QStringLiteral("levels\\settings.dat")))
{
}

void SettingsFile::LoadSettings(TGlobalSettings &s) const
{
    s.KeyboardShown = false;
    const int note = m_file.readInteger(kMain, u"note", 0);
    s.Note = (note >= 1 && note <= 11) ? quint8(note) : 0;
    s.Octave = m_file.readInteger(kMain, u"octave", 5);
    s.Part = m_file.readInteger(kMain, u"part", 1);
    s.Level = 1; // the stored level is deliberately not read
    s.Step = m_file.readInteger(kMain, u"step", 0);
    const int ti = m_file.readInteger(kMain, u"TI", TGlobalSettings::DefaultTI);
    s.TI = (ti >= TGlobalSettings::MinTI && ti <= TGlobalSettings::MaxTI)
               ? ti
               : TGlobalSettings::DefaultTI;
    s.Tembr = m_file.readString(kMain, u"tembr", QStringLiteral("piano"));
    s.FirstRun = m_file.readBool(kMain, u"firstrun", true);
    s.KeyLetters = m_file.readBool(kMain, u"keyletters", false);
    s.TembrMix = m_file.readBool(kMain, u"tembrmix", false);
    // A key written empty is a mix the learner emptied, not a missing one.
    const QString none = QStringLiteral("\x01");
    const QString set = m_file.readString(kMain, u"tembrset", none);
    s.TembrSet = set == none ? Timbre::folders() : Timbre::parseSet(set);
    s.Masking = m_file.readBool(kMain, u"masking", false);
}

void SettingsFile::SaveSettings(const TGlobalSettings &s)
{
    m_file.writeInteger(kMain, QStringLiteral("note"), s.Note);
    m_file.writeInteger(kMain, QStringLiteral("octave"), s.Octave);
    m_file.writeInteger(kMain, QStringLiteral("part"), s.Part);
    m_file.writeInteger(kMain, QStringLiteral("level"), s.Level);
    m_file.writeInteger(kMain, QStringLiteral("step"), s.Step);
    m_file.writeInteger(kMain, QStringLiteral("TI"), s.TI);
    m_file.writeString(kMain, QStringLiteral("tembr"), s.Tembr);
    m_file.writeBool(kMain, QStringLiteral("firstrun"), s.FirstRun);
    // Last and new: readers that predate it skip a key they do not know.
    m_file.writeBool(kMain, QStringLiteral("keyletters"), s.KeyLetters);
    m_file.writeBool(kMain, QStringLiteral("tembrmix"), s.TembrMix);
    m_file.writeString(kMain, QStringLiteral("tembrset"), Timbre::formatSet(s.TembrSet));
    m_file.writeBool(kMain, QStringLiteral("masking"), s.Masking);
}

void SettingsFile::SaveLearnNote(int learnNote)
{
    m_file.writeInteger(kMain, QStringLiteral("learnnote"), learnNote);
}

int SettingsFile::LoadLearnNote() const
{
    return m_file.readInteger(kMain, u"learnnote", 1);
}

void SettingsFile::SaveNoteNum(int noteNum)
{
    m_file.writeInteger(kMain, QStringLiteral("notenum"), noteNum);
}

int SettingsFile::LoadNoteNum() const
{
    return m_file.readInteger(kMain, u"notenum", 1);
}

void SettingsFile::SaveNoteCount(int noteCount)
{
    m_file.writeInteger(kMain, QStringLiteral("notecount"), noteCount);
}

int SettingsFile::LoadNoteCount() const
{
    return m_file.readInteger(kMain, u"notecount", 1);
}

void SettingsFile::ResetCounters()
{
    SaveLearnNote(1);
    SaveNoteNum(1);
    SaveNoteCount(1);
}

QString SettingsFile::defaultSiteAddress()
{
    return QStringLiteral("http://notoklyuv.example");
}

QString SettingsFile::SiteAddress() const
{
    QString site = m_file.readString(kMain, u"site", defaultSiteAddress());
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}

} // namespace nk
