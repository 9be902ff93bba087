#pragma once

#include "history/historystore.h"

#include <QPoint>
#include <QString>

namespace nk {

// The action numbers of one drill's buttons, links and timer.
struct DrillTags
{
    int listenPair = 0;
    int answer = 0;
    int whiteFirst = 0;
    int blackFirst = 0;
    int listenFirst = 0;
    int listenSecond = 0;
    int next = 0;
    int remember = 0;
    int timer = 0;
};

// Everything that tells the three black-and-white drills apart on their pages:
// words, places and numbers. The pages and the run are the same for all three.
struct DrillDescription
{
    DrillTags tags;
    int passStep = 0; // the step of the level a passed drill activates

    QString caption;
    QString progressFolder; // the progress pictures, numbered by the streak
    QString intro;          // the question page's text
    QString listenPairText;
    int listenTop = 0;
    int answerTop = 0;
    QString whiteFirstText;
    QString blackFirstText;

    // The wrong page's first label: firstWas + X + keysWord + CR + secondWas + Y + "." ...
    QString firstWas;
    QString keysWord;
    QString secondWas;
    QString wrongLast;
    QString blackWord; // X or Y for the black item
    QString whiteWord;
    QString listenFirstText;
    QString secondLabel;
    QString listenSecondText;

    HistoryKind historyKind = HistoryKind::ChordsDrill;
    QString rightLog;
    QString wrongLog;
    QString repetitionLog;
    QString passMessage;
    // Melodies and notes light their keys as they play: the wrong page starts
    // with a clean keyboard.
    bool clearsKeysOnWrong = false;

    // Where the page actions find the buttons they switch.
    QPoint answerPoint;
    QPoint listenPoint;
    static constexpr QPoint WhiteFirstPoint{179, 209};
    static constexpr QPoint BlackFirstPoint{179, 241};

    static DrillDescription chords();
    static DrillDescription melodies();
    static DrillDescription notes();
};

} // namespace nk
