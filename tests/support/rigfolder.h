#pragma once

#include <QString>
#include <QStringList>

namespace nk::test {

// Which program folder a rig runs on and what it holds. Chosen with the
// named setters: RigSetup(RigSetup::Shipped).scaledBy(0.0001).startLater().
struct RigSetup
{
    enum Course
    {
        Levels,  // the course's top-level files and the given level folders
        Shipped, // every level, as the build ships it to a new learner
        Bare     // an empty level 1 and the arrow pictures; the test writes the rest
    };

    explicit RigSetup(Course what, QStringList levelFolders = {})
        : course(what), levels(std::move(levelFolders))
    {
    }

    RigSetup &inFolder(const QString &path) { return folder = path, *this; }
    RigSetup &withSounds() { return sounds = true, *this; }
    // The recordings, played to a sound server of the rig's own (PrivatePulse).
    RigSetup &withPrivateSink() { return sounds = privateSink = true, *this; }
    // Timbre folders beside the piano, each note and chord file the piano's
    // scaled by its own factor (0.85, 0.7, … in the order given), so every
    // timbre differs from the others sample for sample.
    RigSetup &withTimbres(const QStringList &folders) { return timbres = folders, *this; }
    RigSetup &ownCopyOf(const QString &relative) { return ownCopy = relative, *this; }
    RigSetup &withoutNotePictures() { return notePictures = false, *this; }
    RigSetup &asFirstRun() { return firstRun = true, *this; }
    RigSetup &scaledBy(double scale) { return timeScale = scale, *this; }
    RigSetup &withFixedClock() { return fixedClock = true, *this; }
    RigSetup &startLater() { return start = false, *this; }

    Course course;
    QStringList levels;
    QString folder;      // empty: a temporary folder, removed with the rig; else made afresh
    bool sounds = false; // the note recordings, linked
    bool privateSink = false;
    QStringList timbres;      // made under sound\ besides the linked piano; with the sounds
    QString ownCopy;          // copied where its folder is otherwise linked, so it may be spoilt
    bool notePictures = true; // the levels' pictures of their notes
    bool firstRun = false;    // else the settings say the first run is over
    double timeScale = 0.001;
    bool fixedClock = false; // the clock stands at WindowRig::moment()
    bool start = true;       // else the window waits for WindowRig::start()
};

// Program folders made from the built course (NK_PROGRAM_DIR). The levels are
// copied, since the program and the tests write them (the learner's own note
// pictures too); the pictures and sounds, which nothing writes, are linked,
// except the one file a test means to spoil.
class RigFolder
{
public:
    // Makes `root` afresh; false when something could not be copied.
    static bool make(const RigSetup &setup, const QString &root);
    // Replaces `to` by a byte copy of the folder tree `from` (links stay links).
    static bool copyTree(const QString &from, const QString &to);

private:
    static bool copyLevel(const QString &from, const QString &to, bool notePictures);
    static bool linkTree(const QString &from, const QString &to, const QString &ownCopy);
    static bool makeTimbres(const QString &program, const QString &root,
                            const QStringList &timbres);
};

} // namespace nk::test
