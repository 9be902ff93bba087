#pragma once

namespace nk {

// Melodies drill state: both melodies of a question carry the same number.
struct TDMSet
{
    int ItemCount = 0;   // melodies per colour a question is drawn from
    int Streak = 1;      // number of the question in the run of right answers, 1..5
    int BlackItem = 0;   // black-key melody of the current question
    int WhiteItem = 0;   // white-key melody of the current question
    int FirstColour = 0; // 1: the black melody sounds first, 2: the white one
};

} // namespace nk
