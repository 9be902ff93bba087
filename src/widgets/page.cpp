#include "widgets/page.h"

#include "widgets/clicklabel.h"
#include "widgets/messagebox.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tmycaption.h"
#include "widgets/trichbox.h"

#include <QLabel>
#include <QTimer>
#include <algorithm>

namespace nk {

namespace {

const QColor kForward(0xFF, 0x00, 0x00);
const QColor kBackward(0x80, 0x00, 0x80);

// Labels and pictures are drawn on the window itself; every other control has
// a window of its own and lies above them.
bool isGraphic(const QWidget *w)
{
    return qobject_cast<const QLabel *>(w) != nullptr;
}

// How long a focus move waits for a playback to end before it looks again.
constexpr int kQuietRetryMs = 50;

bool takesTab(const QWidget *w)
{
    const auto *label = qobject_cast<const ClickLabel *>(w);
    return (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && (!label || label->isOffered());
}

unsigned serialOf(QWidget *w)
{
    const PageItem *item = PageItem::of(w);
    return item ? item->serial() : 0;
}

} // namespace

Page::Page(QWidget *window, WindowControls &controls, const BasePath &base)
    : QObject(window), m_window(window), m_controls(controls), m_base(base)
{
}

void Page::adopt(QWidget *widget)
{
    if (PageItem *item = PageItem::of(widget))
        item->setSerial(++m_serial);
    if (isGraphic(widget)) {
        // Keep the drawing order the lookup order: graphic under windowed.
        for (QWidget *sibling : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (sibling != widget && !isGraphic(sibling)) {
                widget->stackUnder(sibling);
                break;
            }
        }
    }
    widget->show();
}

void Page::setQuietWhile(std::function<bool()> playing)
{
    m_playing = playing;
    m_quiet.setQuietWhile(std::move(playing));
}

void Page::ClearPage()
{
    // Focus that would fall from a hidden widget onto its neighbour in the
    // chain is dropped instead, so the new page's own choice can be told.
    QWidget *focused = m_window->focusWidget();
    if (focused && PageItem::of(focused) && PageItem::of(focused)->tag() != 0)
        focused->clearFocus();
    if (!m_focusPending) {
        m_focusPending = true;
        QTimer::singleShot(0, this, &Page::focusNewPage);
    }
    const auto children = m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        PageItem *item = PageItem::of(*it);
        if (!item || item->tag() == 0 || item->isBeingRemoved())
            continue;
        item->markRemoved();
        (*it)->hide();
        (*it)->setEnabled(false);
        (*it)->setObjectName(QString());
        (*it)->deleteLater();
    }
}

void Page::focusNewPage()
{
    if (m_playing && m_playing()) {
        QTimer::singleShot(kQuietRetryMs, this, &Page::focusNewPage);
        return;
    }
    m_focusPending = false;
    QWidget *focused = m_window->focusWidget();
    const PageItem *item = focused ? PageItem::of(focused) : nullptr;
    if (item && item->tag() != 0 && !item->isBeingRemoved() && focused->isVisible())
        return;
    if (QWidget *first = firstControl())
        first->setFocus(Qt::TabFocusReason);
}

QWidget *Page::firstControl() const
{
    QWidget *best = nullptr;
    for (QWidget *w : pageWidgets()) {
        if (!w->isVisibleTo(m_window) || !takesTab(w))
            continue;
        const auto key = [](const QWidget *c) { return std::pair(c->y(), c->x()); };
        if (!best || key(w) < key(best))
            best = w;
    }
    return best;
}

QList<QWidget *> Page::pageWidgets() const
{
    QList<QWidget *> live;
    for (QWidget *w : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const PageItem *item = PageItem::of(w);
        if (item && !item->isBeingRemoved())
            live.append(w);
    }
    std::sort(live.begin(), live.end(),
              [](QWidget *a, QWidget *b) { return serialOf(a) < serialOf(b); });
    return live;
}

QWidget *Page::controlAt(QPoint point) const
{
    QWidget *best = nullptr;
    for (QWidget *w : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const PageItem *item = PageItem::of(w);
        if ((item && item->isBeingRemoved()) || !w->isVisibleTo(m_window) ||
            !w->geometry().contains(point))
            continue;
        const bool above = !best || (isGraphic(best) && !isGraphic(w)) ||
                           (isGraphic(best) == isGraphic(w) && serialOf(w) >= serialOf(best));
        if (above)
            best = w;
    }
    return best;
}

bool Page::enableAt(QPoint point, bool enabled)
{
    QWidget *w = controlAt(point);
    if (w)
        w->setEnabled(enabled);
    return w != nullptr;
}

QWidget *Page::findByName(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    for (QWidget *w : m_window->findChildren<QWidget *>(name, Qt::FindDirectChildrenOnly)) {
        const PageItem *item = PageItem::of(w);
        if (!item || !item->isBeingRemoved())
            return w;
    }
    return nullptr;
}

void Page::message(const QString &text)
{
    MessageBox::show(m_window, text);
}

TMyCaption *Page::addCaption(const QString &text)
{
    return new TMyCaption(*this, text, 4);
}

TArrowLabel *Page::addArrowLink(const QString &text, int tag, Link direction, int top, int left)
{
    const bool forward = direction == Link::Forward;
    auto *arrow = addPicture(forward ? QStringLiteral("pictures\\arrred.gif")
                                     : QStringLiteral("pictures\\arrblue.gif"),
                             QPoint(left - 24, top), tag);
    arrow->setDecorative();
    auto *link = new TArrowLabel(*this, text, tag);
    link->move(left, top);
    link->setTextColor(forward ? kForward : kBackward);
    return link;
}

PageLabel *Page::addText(const QString &text, QPoint topLeft, int tag)
{
    auto *label = new PageLabel(*this, text, tag);
    label->move(topLeft);
    return label;
}

PagePicture *Page::addPicture(const QString &relativePath, QPoint topLeft, int tag)
{
    auto *picture = new PagePicture(*this, tag);
    picture->move(topLeft);
    picture->load(m_base.resolve(relativePath));
    return picture;
}

TYesButton *Page::addButton(const QString &text, const QRect &geometry, int tag,
                            TYesButton::Face face)
{
    auto *button = new TYesButton(*this, text, tag, face);
    button->setGeometry(geometry);
    return button;
}

TRichBox *Page::addTextBox(const QString &relativePath, const QRect &geometry, int tag,
                           bool *loaded)
{
    auto *box = new TRichBox(*this, tag);
    box->setGeometry(geometry);
    const bool read = box->loadFile(m_base.resolve(relativePath));
    if (loaded)
        *loaded = read;
    box->setFocus();
    return box;
}

} // namespace nk
