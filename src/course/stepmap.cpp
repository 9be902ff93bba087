#include "course/stepmap.h"

#include "course/levels.h"

#include <array>

namespace nk {

StepTarget StepMap::target(int level, int position)
{
    using T = StepTarget;
    static constexpr std::array<T, 5> Short{T::Training, T::Melodies, T::Report, T::None, T::None};
    static constexpr std::array<T, 5> Drills{T::ChordsDrill, T::MelodiesDrill, T::NotesDrill,
                                             T::Report, T::None};
    static constexpr std::array<T, 5> Full{T::LearnNote, T::Memorise, T::Training, T::Melodies,
                                           T::Report};
    if (position < 1 || position > 5)
        return T::None;
    const auto &list = Levels::isShortLevel(level) ? Short : level == DrillLevel ? Drills : Full;
    return list[position - 1];
}

} // namespace nk
