#include "keyboard/accessiblekeyboard.h"

#include "audio/notenames.h"
#include "keyboard/accessiblekey.h"
#include "widgets/clicklabel.h"

#include <QHash>

namespace nk {

namespace {
QHash<const QObject *, const Keyboard *> &attached()
{
    static QHash<const QObject *, const Keyboard *> table;
    return table;
}

QAccessibleInterface *keyboardFactory(const QString &, QObject *object)
{
    auto *picture = qobject_cast<ClickLabel *>(object);
    if (picture && attached().contains(picture))
        return new AccessibleKeyboard(picture);
    return nullptr;
}

constexpr std::array<int, 7> WhitePitches = {0, 2, 4, 5, 7, 9, 11};

// Position among the white keys (0-20) or the black keys (0-14), left to right.
int rankOf(KeyId key, bool black)
{
    int rank = 0;
    for (int p = 0; p < key.pitch; ++p)
        rank += isBlackKey(p) == black ? 1 : 0;
    const int perOctave = black ? 5 : int(WhitePitches.size());
    return (key.octave - KeyboardLayout::LowOctave) * perOctave + rank;
}
} // namespace

AccessibleKeyboard::AccessibleKeyboard(ClickLabel *picture)
    : QAccessibleWidget(picture, QAccessible::Grouping)
{
}

AccessibleKeyboard::~AccessibleKeyboard()
{
    for (QAccessible::Id id : m_keys) {
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    }
}

int AccessibleKeyboard::childCount() const
{
    return KeyboardLayout::KeyCount;
}

QAccessibleInterface *AccessibleKeyboard::child(int index) const
{
    if (index < 0 || index >= KeyboardLayout::KeyCount)
        return nullptr;
    if (!m_keys[index]) {
        auto *key = new AccessibleKey(static_cast<ClickLabel *>(widget()), keyOfIndex(index));
        m_keys[index] = QAccessible::registerAccessibleInterface(key);
    }
    return QAccessible::accessibleInterface(m_keys[index]);
}

int AccessibleKeyboard::indexOfChild(const QAccessibleInterface *child) const
{
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child));
    const auto it = std::find(m_keys.begin(), m_keys.end(), id);
    return it == m_keys.end() ? -1 : int(it - m_keys.begin());
}

QAccessibleInterface *AccessibleKeyboard::childAt(int x, int y) const
{
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    if (!KeyboardLayout::isClickable(local.x(), local.y()))
        return nullptr;
    return child(indexOfKey(KeyboardLayout::keyAt(local.x(), local.y())));
}

QString AccessibleKeyboard::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return QStringLiteral("Клавиатура");
    return QAccessibleWidget::text(t);
}

void AccessibleKeyboard::attach(ClickLabel *picture, const Keyboard *keyboard)
{
    attached().insert(picture, keyboard);
    QObject::connect(picture, &QObject::destroyed, [picture] { attached().remove(picture); });
}

void AccessibleKeyboard::detach(const Keyboard *keyboard)
{
    attached().removeIf([keyboard](const auto &entry) { return entry.value() == keyboard; });
}

const Keyboard *AccessibleKeyboard::keyboardOf(const QObject *picture)
{
    return attached().value(picture, nullptr);
}

void AccessibleKeyboard::installFactory()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(keyboardFactory);
    installed = true;
}

KeyId AccessibleKeyboard::keyOfIndex(int index)
{
    return {KeyboardLayout::LowOctave + index / PitchCount, index % PitchCount};
}

int AccessibleKeyboard::indexOfKey(KeyId key)
{
    return (key.octave - KeyboardLayout::LowOctave) * PitchCount + key.pitch;
}

QString AccessibleKeyboard::keyName(KeyId key)
{
    return PitchName(quint8(key.pitch)) + QLatin1Char(' ') + octaveWord(key.octave) +
           QStringLiteral(" октавы");
}

QRect AccessibleKeyboard::keyBox(KeyId key)
{
    if (!KeyboardLayout::hasKey(key.octave, key.pitch))
        return {};
    if (isBlackKey(key.pitch)) {
        const PixelSpan span = KeyboardLayout::BlackFills[rankOf(key, true)];
        return QRect(QPoint(span.first, KeyboardLayout::BlackTop),
                     QPoint(span.last, KeyboardLayout::BlackBottom));
    }
    const int rank = rankOf(key, false);
    return QRect(QPoint(KeyboardLayout::Separators[rank] + 1, KeyboardLayout::FrameTop),
                 QPoint(KeyboardLayout::Separators[rank + 1] - 1, KeyboardLayout::FrameBottom));
}

} // namespace nk
