#pragma once

namespace nk {

// Single-notes drill state: the two colours hold different numbers of notes.
struct TDNSet
{
    int BlackCount = 0;  // black-key notes a question is drawn from
    int WhiteCount = 0;  // white-key notes a question is drawn from
    int Streak = 1;      // number of the question in the run of right answers, 1..5
    int BlackItem = 0;   // black-key note of the current question
    int WhiteItem = 0;   // white-key note of the current question
    int FirstColour = 0; // 1: the black note sounds first, 2: the white one
};

} // namespace nk
