#pragma once

#include "course/basepath.h"
#include "course/inifile.h"

#include <QString>

namespace nk {

// The names of pitches belong to the sound code, which sits above this library;
// the catalogue is handed them so that pictures and lists use the one table.
struct PitchNaming
{
    QString (*name)(quint8 pitch) = nullptr;
    quint8 (*normalize)(qint32 value) = nullptr;
};

// What the training pages read of one note of a level's catalogue.
struct CatalogueNote
{
    int octave = 5;   // `oct`
    int rawPitch = 0; // `note` as written in the file
    quint8 pitch = 0; // `note` normalised
    QString v1;       // the three characteristics the learner chose
    QString v2;
    QString v3;
};

// The note catalogue of a level, levels\NN\notes.dat, and the note pictures
// beside it. Section 0 is `step`; note k is section "note" + k. Nothing is kept
// between calls: every operation reads the files as they are now.
class NoteCatalogue
{
public:
    NoteCatalogue(const BasePath &base, PitchNaming naming);

    static QString notesFile(int level);
    static QString noteSection(int k);

    int sectionCount(int level) const;
    // The number of notes: sections minus the leading `step`, never negative.
    int noteCount(int level) const;
    CatalogueNote note(int level, int k) const;

    // levels\NN\ + pitch name + .bmp, relative and resolved.
    QString notePictureRelative(int level, quint8 pitch) const;
    QString NotePicturePath(int level, quint8 pitch) const;

    int FindNoteSection(int level, int pitch) const;
    QString NoteListText(int level) const;

    // These return an empty text when done, or the reason the source section
    // could not be copied; a refused copy has written nothing. File errors
    // while writing throw FileError.
    [[nodiscard]] QString CopyLearnerData(int fromLevel, int toLevel, int fromNote, int toNote);
    [[nodiscard]] QString CopyNoteSection(int fromLevel, int toLevel, int fromNote, int toNote);
    // Every copy is tried; the first refusal is returned.
    [[nodiscard]] QString FillRevisionLevel(int level);
    [[nodiscard]] QString AppendEarlierNotes(int level);

    static bool isRevisionLevel(int level);

private:
    QString copySection(int fromLevel, int toLevel, int fromNote, int toNote, int firstKey);
    QString readSource(int level, int k, QList<IniFile::Entry> &keys, quint8 &pitch) const;
    void copyPicture(int fromLevel, int toLevel, quint8 pitch) const;

    BasePath m_base;
    PitchNaming m_naming;
};

} // namespace nk
