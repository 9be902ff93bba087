#pragma once

#include <QAccessible>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

namespace nk {

// Holds back what a screen reader would speak while a note or a melody plays,
// and tells it once the playback is over: the learner must hear the note, not
// the reader's voice. Only what is spoken waits (focus, names, descriptions,
// values, states, text changes, alerts); what keeps the reader's picture of
// the window true (objects shown, hidden, created, destroyed) passes at once.
// What waits is told in its order; of several changes of one name, one value
// or one description only the last, and a focus only where the focus still is.
// Several instances may live at once; the latest one that has a playback to
// watch decides.
class QuietAnnouncements : public QObject
{
public:
    explicit QuietAnnouncements(QObject *parent = nullptr);
    ~QuietAnnouncements() override;

    void setQuietWhile(std::function<bool()> playing);
    int heldCount() const { return int(m_held.size()); }

private:
    struct Held
    {
        QAccessible::Event type = QAccessible::InvalidEvent;
        QPointer<QObject> object;
        int child = -1;
        QAccessible::State states;
        QVariant value;
        int position = 0;
        QString removed;
        QString inserted;
    };
    static void handle(QAccessibleEvent *event);
    static void forward(QAccessibleEvent *event);
    static bool waits(QAccessible::Event type);
    bool quiet() const { return m_playing && m_playing(); }
    void hold(QAccessibleEvent *event);
    void release();
    void tell(const Held &held) const;

    std::function<bool()> m_playing;
    std::vector<Held> m_held;
    QTimer m_watch;
};

} // namespace nk
