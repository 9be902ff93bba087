#pragma once

#include <QList>
#include <QString>

namespace nk {

struct PlannedNote
{
    int octave = 5;
    int pitch = 0;
    friend bool operator==(const PlannedNote &, const PlannedNote &) = default;
};

enum class PlannedKind
{
    Full,
    Short,
    Drills
};

struct LevelPlan
{
    int level = 0;
    PlannedKind kind = PlannedKind::Full;
    QList<PlannedNote> notes;    // the note sections of notes.dat
    QList<PlannedNote> arriving; // copied in from an earlier level after Step 2
    bool anyOrder = false;       // the big levels may list their notes in any order
    int stepCount() const;
    QList<PlannedNote> allNotes() const { return notes + arriving; }
};

// What the default course must hold, written down independently of the
// generator: the table of levels the course is designed around.
class CoursePlan
{
public:
    static const QList<LevelPlan> &levels();
    static const LevelPlan &level(int number);
    static QList<int> partLevels(int part);
    static QString folder(int level);
    static QString pitchName(int pitch);
    static bool isBlack(int pitch);
};

} // namespace nk
