#pragma once

namespace nk {

// What a position in a level's step list opens.
enum class StepTarget
{
    None,
    LearnNote,   // Step 1
    Memorise,    // Step 2
    Training,    // Step 3
    Melodies,    // Step 4
    ChordsDrill, // black-and-white keys drills
    MelodiesDrill,
    NotesDrill,
    Report
};

// The step lists differ by the kind of level: the revision levels hold only
// training, melodies and the report; the black-and-white keys level holds the
// three drills and the report; every other level the four steps and the report.
class StepMap
{
public:
    static constexpr int DrillLevel = 4;

    static StepTarget target(int level, int position);
};

} // namespace nk
