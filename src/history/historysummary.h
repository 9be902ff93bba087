#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace nk {

// A key of the three-octave picture as the learner's history names it.
struct HistoryNote
{
    qint32 Octave = 5; // 4 small, 5 first, 6 second
    quint8 Pitch = 0;  // pitch class, 0 = ДО … 11 = СИ

    friend bool operator==(const HistoryNote &, const HistoryNote &) = default;
};

// What the statistics page and the command line show of the learner's history,
// for one level or for the whole course. The store works it out from the answers
// it holds; the page and the command line only present it, so both always agree.
struct HistorySummary
{
    // How often a played note was answered as `answered`, position by position
    // of every judged note answer; the cells with played == answered are right.
    struct Confusion
    {
        HistoryNote played;
        HistoryNote answered;
        int count = 0;
    };
    // One note on one day (the learner's local date): positions answered right
    // out of the positions where it was played.
    struct DayAccuracy
    {
        QDate day;
        HistoryNote note;
        int right = 0;
        int total = 0;
    };
    // The highest training stage (`notecount`) reached on a day.
    struct DayStage
    {
        QDate day;
        int noteCount = 0;
    };
    // Average milliseconds from the end of the last listen to the answer's last
    // key, over the answers in which the note was played.
    struct AnswerTime
    {
        HistoryNote note;
        double averageMs = 0;
        int answers = 0;
    };
    // Judged answers of one level, of every kind.
    struct LevelAccuracy
    {
        int level = 0;
        int right = 0;
        int total = 0;
    };
    // Judged answers played in one timbre, by its folder.
    struct TimbreAccuracy
    {
        QString timbre;
        int right = 0;
        int total = 0;
    };
    // Two notes confused either way (a played as b plus b played as a), out of
    // the positions where either of them was played.
    struct ConfusedPair
    {
        HistoryNote a;
        HistoryNote b;
        int confused = 0;
        int outOf = 0;
    };

    int level = 0; // 0: the whole course
    int answers = 0;
    int rightAnswers = 0;
    QList<Confusion> confusions;
    QList<DayAccuracy> accuracy;      // by day, then octave and pitch
    QList<DayStage> stages;           // by day
    QList<AnswerTime> times;          // by octave and pitch
    QList<LevelAccuracy> levels;      // by level; one entry for a single level
    QList<ConfusedPair> mostConfused; // at most three, the most confused first
    QList<TimbreAccuracy> timbres;    // by folder name
    QString problem;                  // why the history could not be read, empty when it could
    QString
        notice; // a problem that leaves the figures readable: a failed write, a file moved aside

    bool isEmpty() const { return answers == 0; }
};

} // namespace nk
