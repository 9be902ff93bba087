#pragma once

#include "course/basepath.h"
#include "widgets/clickdispatcher.h"
#include "widgets/quietannouncements.h"
#include "widgets/tyesbutton.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

namespace nk {

class PageLabel;
class PagePicture;
class Navigation;
class TArrowLabel;
class TMyCaption;
class TRichBox;
class WindowControls;

// The page area of the main window. Every page is built on it out of page
// widgets at fixed positions and cleared before the next one is built. Widgets
// of a cleared page vanish at once for the learner and for every lookup, and
// are deleted only after the event handler that cleared them has returned, so
// a link may clear the page it sits on.
class Page : public QObject
{
    Q_OBJECT
public:
    // Where a page's texts and buttons begin, right of the menu column.
    static constexpr int ContentLeft = 136;

    enum class Link
    {
        Forward,
        Backward
    };

    Page(QWidget *window, WindowControls &controls, const BasePath &base);

    QWidget *window() const { return m_window; }
    WindowControls &controls() const { return m_controls; }
    // Set once by the wiring place; null until the course pages exist.
    Navigation *navigation() const { return m_navigation; }
    void setNavigation(Navigation *navigation) { m_navigation = navigation; }
    ClickDispatcher &dispatcher() { return m_dispatcher; }
    const BasePath &base() const { return m_base; }

    // Called by every page widget's constructor.
    void adopt(QWidget *widget);

    // Also moves the focus, once the new page is built, to its first control
    // in reading order unless the page gave it to one of its own; a screen
    // reader then reads the new page.
    void ClearPage();
    // While this says a playback runs, the focus stays put and nothing is
    // announced; it moves, and what changed is told, once the playback is over.
    void setQuietWhile(std::function<bool()> playing);
    // The control the focus goes to on a new page: the topmost, then
    // leftmost, of the enabled controls Tab reaches. Null on a page without one.
    QWidget *firstControl() const;

    // The topmost visible control at a client point, disabled ones included:
    // buttons, edits and text boxes above labels and pictures, the later
    // created above the earlier. Null where there is none.
    QWidget *controlAt(QPoint point) const;
    // Returns whether a control was there.
    bool enableAt(QPoint point, bool enabled = true);
    QWidget *findByName(const QString &name) const;
    QList<QWidget *> pageWidgets() const;

    void message(const QString &text);

    TMyCaption *addCaption(const QString &text);
    // The link with its arrow picture 24 pixels to the left, sharing its tag.
    TArrowLabel *addArrowLink(const QString &text, int tag, Link direction = Link::Forward,
                              int top = 352, int left = 156);
    PageLabel *addText(const QString &text, QPoint topLeft, int tag = 1);
    PagePicture *addPicture(const QString &relativePath, QPoint topLeft, int tag = 1);
    TYesButton *addButton(const QString &text, const QRect &geometry, int tag,
                          TYesButton::Face face = TYesButton::Face::Green);
    // `loaded`, when given, tells whether the file could be read.
    TRichBox *addTextBox(const QString &relativePath, const QRect &geometry, int tag = 2,
                         bool *loaded = nullptr);

private:
    void focusNewPage();

    QWidget *m_window;
    WindowControls &m_controls;
    Navigation *m_navigation = nullptr;
    BasePath m_base;
    ClickDispatcher m_dispatcher;
    unsigned m_serial = 0;
    std::function<bool()> m_playing;
    QuietAnnouncements m_quiet;
    bool m_focusPending = false;
};

} // namespace nk
