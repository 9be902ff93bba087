#pragma once

#include "drills/pitchtestplan.h"

#include <QDate>
#include <QStringList>
#include <array>

namespace nk {

// One trial as the learner met it: the note played, the pitch class named
// (-1 for none) and the time from the note's start.
struct PitchTrial
{
    TestNote note;
    int answered = -1;
    qint64 answerMs = -1;
};

// What a finished test shows and keeps. Errors are measured around the circle
// of pitch classes (0 to 6 semitones), so an octave never counts.
struct PitchTestScore
{
    static constexpr qint64 FastMs = 3000;

    int trials = 0;
    int right = 0;
    int meanErrorTenths = 0; // semitones, in tenths, rounded half up
    int oneOff = 0;
    int fastRight = 0;
    std::array<int, 12> rightByPitch{};
    std::array<int, 12> askedByPitch{};

    static PitchTestScore of(const QList<PitchTrial> &trials);
    static int distance(int a, int b);
    // "3,0": one decimal with a comma, as the learner writes it.
    static QString tenths(int value);

    // The result page's lines, from "Верно: …" to the level of guessing.
    QStringList lines() const;
    // "Проверка слуха DD.MM.YYYY: верно X из 36, средняя ошибка Z полутона"
    QString summaryLine(const QDate &day) const;
};

} // namespace nk
