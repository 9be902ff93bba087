#pragma once

#include "drills/drilldescription.h"
#include "drills/drillpages.h"
#include "history/historysummary.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

namespace nk {

class IniFile;
class PagePicture;
class TYesButton;
struct StepContext;

// The question fields every drill's state object has, whatever else it holds.
struct DrillState
{
    int &Streak;
    int &BlackItem;
    int &WhiteItem;
    int &FirstColour;
};

// One black-and-white keys drill: two items, one played on black keys and one
// on white keys, in random order; the learner says which came first. Five
// right answers in a row pass it; a wrong one is followed by a run that plays
// the pair five more times with a picture naming each colour. The drills
// differ only in where their items come from and how they sound.
class KeysDrill
{
public:
    static constexpr int Black = 1;
    static constexpr int White = 2;
    static constexpr int StreakToPass = 5;
    static constexpr int PairPauseMs = 2000;
    static constexpr int RepetitionPauseMs = 3000;
    static constexpr int Repetitions = 5;
    static constexpr int ListenDelayMs = 100;

    KeysDrill(StepContext &context, DrillDescription drill, DrillState state);
    virtual ~KeysDrill() = default;
    KeysDrill(const KeysDrill &) = delete;
    KeysDrill &operator=(const KeysDrill &) = delete;

    const DrillDescription &description() const { return m_drill; }

    virtual void PickPair() = 0;
    // Colour 1 plays the black section's item, 2 the white one's. Returns
    // false when the item is missing or unplayable; the learner is told so
    // once for each press that plays it, and the drill goes on without it.
    virtual bool PlayDrillItem(int colour, int item) = 0;
    // The keys an item sounds, for the learner's history; read without
    // telling the learner anything, empty when the item is missing.
    virtual QList<HistoryNote> itemNotes(int colour, int item) const = 0;

    bool PlayFirst();
    bool PlaySecond();
    void AnswerDrill(int choice);
    void ShowDrillQuestion();
    void ShowDrillRight();
    void ShowDrillWrong();
    void ShowDrillListen();
    void PlayDrillRepetition();

    // What the drill's buttons and links do.
    void listenPairClick();
    void answerClick();
    void listenOneClick(int which);
    void nextClick();
    void rememberClick();

protected:
    StepContext &context() const { return m_context; }
    // A level file of the current level, relative to the program folder.
    QString levelFile(const QString &name) const;
    static QString sectionOf(int colour);
    // Keys named by the letter and a number from 1 on, as items are named.
    static int itemKeyCount(const IniFile &file, const QString &section, QChar letter);
    // The value of an item's key, or nothing after telling the learner that
    // it is missing.
    std::optional<QString> readItem(const QString &file, int colour, QChar letter, int item) const;
    // Melodies and single notes: an item is a note sequence of a level file.
    bool playSequenceItem(const QString &fileName, QChar letter, int colour, int item);
    QList<HistoryNote> sequenceNotes(const QString &fileName, QChar letter, int colour,
                                     int item) const;
    // Tells the learner about an unplayable item, unless already told since
    // the last press that plays.
    void tellOnce(const QString &text) const;

private:
    bool questionShown(const QPointer<TYesButton> &answer) const;
    bool pictureShown(const QPointer<PagePicture> &picture) const;
    bool repeatPair(const QPointer<PagePicture> &picture);
    void passDrill();
    // The pair of the question in the order it plays.
    QList<HistoryNote> pairNotes() const;

    StepContext &m_context;
    DrillDescription m_drill;
    DrillState m_state;
    DrillPages m_pages;
    QPointer<TYesButton> m_answerButton;
    bool m_maskPending = false; // a new pair not listened to yet
    mutable QStringList m_told;
    int m_choice = 0; // the learner's last answer, as AnswerDrill takes it
};

} // namespace nk
