#pragma once

#include <QMap>
#include <QStringList>
#include <functional>

namespace nk {
class TMainForm;
struct GlobalState;
} // namespace nk

namespace nk::test {

class WindowRig;

// Opens every page of one level as a learner reaches it: the start, the part
// and about pages, the level page and each step's pages, clicking the page's
// own buttons, links and keys. Each page reached is recorded by name with the
// texts it shows. Pages behind a sound that cannot be played (a melody or a
// question read from a spoilt file) may stay out of reach; nothing else may.
// Every wait is bounded, so a page that never comes fails instead of hanging.
class LevelWalk
{
public:
    LevelWalk(WindowRig &rig, int level);

    void run();

    QStringList reached() const { return m_reached; }
    QMap<QString, QStringList> texts() const { return m_texts; }
    QStringList pageTexts() const;

private:
    void record(const QString &name);
    void start();
    void levelPage();
    void openStep(int position);
    void learnNotes();
    void learnTraits();
    void chooseNote();
    void memorise();
    void train();
    void trainWrong();
    void melodies();
    bool playMelody(bool right, int answerTag);
    void drill(int which);
    void report(int position);
    bool hasButton(int tag) const; // on the page and enabled
    bool waitFor(const std::function<bool()> &condition, int ms = 5000);

    WindowRig &m_rig;
    TMainForm &m_form;
    GlobalState &m_state;
    int m_level;
    QStringList m_reached;
    QMap<QString, QStringList> m_texts;
};

} // namespace nk::test
