#pragma once

class QObject;

namespace nk {

// What makes a widget part of the current page: a non-zero tag, which also
// selects the click action of buttons and links. The fixed controls of the
// window are not page items, so page clearing never touches them.
class PageItem
{
public:
    virtual ~PageItem() = default;

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // Set by page clearing: the widget is already hidden, nameless and on its
    // way out, and no lookup may find it again.
    bool isBeingRemoved() const { return m_removing; }
    void markRemoved() { m_removing = true; }

    // Creation order among page items; the later one lies above.
    unsigned serial() const { return m_serial; }
    void setSerial(unsigned serial) { m_serial = serial; }

    static PageItem *of(QObject *object);

private:
    int m_tag = 1;
    bool m_removing = false;
    unsigned m_serial = 0;
};

} // namespace nk
