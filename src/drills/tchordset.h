#pragma once

namespace nk {

// Chords drill state. The pair of the current question is kept until the next
// draw, so the repetition after a wrong answer plays what was answered.
struct TChordSet
{
    int ItemCount = 0;   // chords per colour a question is drawn from
    int Streak = 1;      // number of the question in the run of right answers, 1..5
    int BlackItem = 0;   // black-key chord of the current question
    int WhiteItem = 0;   // white-key chord of the current question
    int FirstColour = 0; // 1: the black chord sounds first, 2: the white one
};

} // namespace nk
