#include "widgets/quietannouncements.h"

#include <QList>
#include <QWidget>
#include <algorithm>

namespace nk {

namespace {
// How often a held announcement looks whether the playback is over.
constexpr int kWatchMs = 50;
// A playback never holds more than this; the oldest are dropped first.
constexpr size_t kMostHeld = 200;
// Above this, an event's child is an interface's id, not an index.
constexpr int kMostChild = 4096;

QList<QuietAnnouncements *> &instances()
{
    static QList<QuietAnnouncements *> list;
    return list;
}

QAccessible::UpdateHandler &platformHandler()
{
    static QAccessible::UpdateHandler previous = nullptr;
    return previous;
}

bool replacesEarlier(QAccessible::Event type)
{
    return type == QAccessible::NameChanged || type == QAccessible::DescriptionChanged ||
           type == QAccessible::ValueChanged || type == QAccessible::Focus;
}
} // namespace

QuietAnnouncements::QuietAnnouncements(QObject *parent) : QObject(parent)
{
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, [this] {
        if (!quiet())
            release();
    });
}

QuietAnnouncements::~QuietAnnouncements()
{
    if (instances().removeAll(this) && instances().isEmpty())
        QAccessible::installUpdateHandler(platformHandler());
}

void QuietAnnouncements::setQuietWhile(std::function<bool()> playing)
{
    m_playing = std::move(playing);
    if (instances().contains(this))
        return;
    if (instances().isEmpty())
        platformHandler() = QAccessible::installUpdateHandler(&QuietAnnouncements::handle);
    instances().append(this);
}

bool QuietAnnouncements::waits(QAccessible::Event type)
{
    switch (type) {
    case QAccessible::Focus:
    case QAccessible::NameChanged:
    case QAccessible::DescriptionChanged:
    case QAccessible::ValueChanged:
    case QAccessible::StateChanged:
    case QAccessible::Alert:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
        return true;
    default:
        return false;
    }
}

void QuietAnnouncements::handle(QAccessibleEvent *event)
{
    QuietAnnouncements *current = instances().isEmpty() ? nullptr : instances().constLast();
    // Events of objects without a QObject, or made for an interface rather
    // than an object and a child index, cannot be told later: they pass.
    const bool byObject = event->object() && event->child() >= -1 && event->child() < kMostChild;
    if (current && current->quiet() && waits(event->type()) && byObject)
        current->hold(event);
    else
        forward(event);
}

void QuietAnnouncements::forward(QAccessibleEvent *event)
{
    QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(platformHandler());
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(self);
}

void QuietAnnouncements::hold(QAccessibleEvent *event)
{
    Held held;
    held.type = event->type();
    held.object = event->object();
    held.child = event->child();
    switch (event->type()) {
    case QAccessible::StateChanged:
        held.states = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
        break;
    case QAccessible::ValueChanged:
        held.value = static_cast<QAccessibleValueChangeEvent *>(event)->value();
        break;
    case QAccessible::TextInserted: {
        auto *text = static_cast<QAccessibleTextInsertEvent *>(event);
        held.position = text->changePosition();
        held.inserted = text->textInserted();
        break;
    }
    case QAccessible::TextRemoved: {
        auto *text = static_cast<QAccessibleTextRemoveEvent *>(event);
        held.position = text->changePosition();
        held.removed = text->textRemoved();
        break;
    }
    case QAccessible::TextUpdated: {
        auto *text = static_cast<QAccessibleTextUpdateEvent *>(event);
        held.position = text->changePosition();
        held.removed = text->textRemoved();
        held.inserted = text->textInserted();
        break;
    }
    default:
        break;
    }
    if (replacesEarlier(held.type)) {
        std::erase_if(m_held, [&held](const Held &h) {
            return h.type == held.type && (held.type == QAccessible::Focus ||
                                           (h.object == held.object && h.child == held.child));
        });
    }
    if (m_held.size() >= kMostHeld)
        m_held.erase(m_held.begin());
    m_held.push_back(std::move(held));
    m_watch.start();
}

void QuietAnnouncements::release()
{
    m_watch.stop();
    const std::vector<Held> held = std::exchange(m_held, {});
    for (const Held &h : held) {
        if (h.object)
            tell(h);
    }
}

void QuietAnnouncements::tell(const Held &h) const
{
    switch (h.type) {
    case QAccessible::Focus: {
        auto *widget = qobject_cast<QWidget *>(h.object.data());
        if (widget && !widget->hasFocus())
            return;
        break;
    }
    case QAccessible::StateChanged: {
        QAccessibleStateChangeEvent event(h.object, h.states);
        event.setChild(h.child);
        return forward(&event);
    }
    case QAccessible::ValueChanged: {
        QAccessibleValueChangeEvent event(h.object, h.value);
        event.setChild(h.child);
        return forward(&event);
    }
    case QAccessible::TextInserted: {
        QAccessibleTextInsertEvent event(h.object, h.position, h.inserted);
        return forward(&event);
    }
    case QAccessible::TextRemoved: {
        QAccessibleTextRemoveEvent event(h.object, h.position, h.removed);
        return forward(&event);
    }
    case QAccessible::TextUpdated: {
        QAccessibleTextUpdateEvent event(h.object, h.position, h.removed, h.inserted);
        return forward(&event);
    }
    default:
        break;
    }
    QAccessibleEvent event(h.object, h.type);
    event.setChild(h.child);
    forward(&event);
}

} // namespace nk
