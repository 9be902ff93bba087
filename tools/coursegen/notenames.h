#pragma once

#include <QString>

namespace nk {

// A key of the three-octave keyboard: octave 4, 5 or 6 and pitch class 0-11.
// The sound folders also hold the octaves on either side, 3 and 7.
struct NoteRef
{
    int octave = 5;
    int pitch = 0;
    friend bool operator==(const NoteRef &, const NoteRef &) = default;
};

// How the program names notes on screen and on disk.
class NoteNames
{
public:
    static QString pitchName(int pitch);
    // -1 when the text is not a note name.
    static int pitchOf(const QString &name);
    static bool isBlack(int pitch);
    static QString soundFileName(int pitch);
    static QString octaveFolder(int octave);
    // "малая октава", "первая октава", "вторая октава"
    static QString octaveTitle(int octave);
    static int midiKey(const NoteRef &note);
    static double frequency(const NoteRef &note);

    // Relative paths with "/" of the files the generator writes; the data files
    // name them with "\", as the program joins every path to its base folder.
    static QString timbrePath(const QString &timbre); // "sound/<timbre>/"
    static QString soundPath(const QString &timbre, const NoteRef &note);
    static QString pictPath(const NoteRef &note);
    static QString pict2Prefix(const NoteRef &note);
    static QString toDataPath(QString path);
    // A chord file inside the timbre folder, colour "black" or "white".
    static QString chordFile(const QString &colour, int number);
};

} // namespace nk
