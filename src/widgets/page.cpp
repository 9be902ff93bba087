#include "widgets/page.h"

#include "widgets/messagebox.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tmycaption.h"
#include "widgets/trichbox.h"

#include <QLabel>
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

void Page::ClearPage()
{
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
    Q_UNUSED(arrow);
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
