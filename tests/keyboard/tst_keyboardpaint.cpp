#include "audio/notenames.h"
#include "course/programclock.h"
#include "keyboard/surfacefill.h"
#include "keyboardrig.h"

#include <QLabel>
#include <QTest>

using namespace nk;
using nk::test::KeyboardRig;

namespace {

using L = KeyboardLayout;

int whiteIndex(int pitch)
{
    static const int order[] = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
    return order[pitch];
}

int blackIndex(int pitch)
{
    static const int order[] = {-1, 0, -1, 1, -1, -1, 2, -1, 3, -1, 4, -1};
    return order[pitch];
}

bool underBlackKey(QPoint p)
{
    if (p.y() > L::BlackOutline)
        return false;
    for (const PixelSpan &fill : L::BlackFills) {
        if (p.x() >= fill.first - 1 && p.x() <= fill.last + 1)
            return true;
    }
    return false;
}

// The key's surface as the drawing describes it, worked out from the lines
// and fills rather than from the hit-test bands.
bool inKeyArea(int octave, int pitch, QPoint p)
{
    if (isBlackKey(pitch)) {
        const PixelSpan fill = L::BlackFills[std::size_t((octave - 4) * 5 + blackIndex(pitch))];
        return p.x() >= fill.first && p.x() <= fill.last && p.y() >= L::BlackTop &&
               p.y() <= L::BlackBottom;
    }
    const auto w = std::size_t((octave - 4) * 7 + whiteIndex(pitch));
    return p.x() > L::Separators[w] && p.x() < L::Separators[w + 1] && p.y() > L::FrameTop &&
           p.y() < L::FrameBottom && !underBlackKey(p);
}

struct Change
{
    int changed = 0;
    int outside = 0;    // changed pixels off the key
    int wrongTo = 0;    // changed pixels not of the target colour
    int candidates = 0; // pixels of the key that had the source colour
};

Change compare(const QImage &before, const QImage &after, int octave, int pitch, QRgb from, QRgb to)
{
    Change c;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const QPoint p(x, y);
            const QRgb was = KeyboardRig::colourAt(before, p);
            const QRgb now = KeyboardRig::colourAt(after, p);
            const bool inside = inKeyArea(octave, pitch, p);
            c.candidates += inside && was == from ? 1 : 0;
            if (was == now)
                continue;
            ++c.changed;
            c.outside += inside ? 0 : 1;
            c.wrongTo += now == to ? 0 : 1;
        }
    }
    return c;
}

} // namespace

class TestKeyboardPaint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ProgramClock::setScale(0.01); }
    void restingPictureColours();
    void fillRecoloursExactlyOneKey_data();
    void fillRecoloursExactlyOneKey();
    void wrongStartingColourChangesNothing();
    void markedKeyStaysYellowThroughPresses();
    void secondClickReleasesFirstAndTimerIsNotExtended();
    void clearAllKeysReturnsEverythingToRest();
    void labelShowsEveryChange();
    void unreadPictureTakesEarlyPaints();
    void fillStopsAtImageEdges();
};

void TestKeyboardPaint::restingPictureColours()
{
    const QImage picture = Keyboard::restingPicture();
    QCOMPARE(picture.size(), QSize(L::Width, L::Height));
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            const QRgb rest = isBlackKey(pitch) ? L::Black : L::White;
            QCOMPARE(KeyboardRig::colourAt(picture, L::seed(octave, pitch)), rest);
            QCOMPARE(KeyboardRig::colourAt(picture, KeyboardRig::lowerPoint(octave, pitch)), rest);
        }
    }
    // Inside the frame only the key colours, the lines and the lettering occur.
    QSet<QRgb> colours;
    for (int y = L::FrameTop; y <= L::FrameBottom; ++y) {
        for (int x = L::FrameLeft; x <= L::FrameRight; ++x)
            colours.insert(KeyboardRig::colourAt(picture, QPoint(x, y)));
    }
    QVERIFY2(colours.size() <= 4, qPrintable(QString::number(colours.size())));
}

void TestKeyboardPaint::fillRecoloursExactlyOneKey_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("fromKind"); // 0 rest, 1 green, 2 yellow
    QTest::addColumn<int>("toKind");
    QTest::newRow("1 light") << 1 << 0 << 1;
    QTest::newRow("2 release") << 2 << 1 << 0;
    QTest::newRow("3 light marked") << 3 << 2 << 1;
    QTest::newRow("4 release marked") << 4 << 1 << 2;
    QTest::newRow("5 mark") << 5 << 0 << 2;
    QTest::newRow("6 unmark") << 6 << 2 << 0;
    QTest::newRow("0 lights") << 0 << 0 << 1;
    QTest::newRow("9 lights") << 9 << 0 << 1;
}

void TestKeyboardPaint::fillRecoloursExactlyOneKey()
{
    QFETCH(int, mode);
    QFETCH(int, fromKind);
    QFETCH(int, toKind);
    KeyboardRig rig;
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            const QRgb rest = isBlackKey(pitch) ? L::Black : L::White;
            const QRgb kinds[] = {rest, L::Green, L::Yellow};
            rig.keyboard.ClearAllKeys();
            rig.allowed.MarkOctave = octave; // so that clearing can take yellow away
            rig.allowed.MarkPitch = quint8(pitch);
            if (fromKind != 0)
                rig.keyboard.PaintKey(quint8(pitch), octave, fromKind == 1 ? 1 : 5);
            const QImage before = rig.keyboard.picture();
            rig.keyboard.PaintKey(quint8(pitch), octave, mode);
            const Change c = compare(before, rig.keyboard.picture(), octave, pitch, kinds[fromKind],
                                     kinds[toKind]);
            const QByteArray where = QByteArray::number(octave) + ',' + QByteArray::number(pitch);
            QVERIFY2(c.outside == 0, where.constData());
            QVERIFY2(c.wrongTo == 0, where.constData());
            // The whole key but the enclosed insides of its letters.
            QVERIFY2(c.changed >= c.candidates * 97 / 100 && c.changed > 300, where.constData());
            QCOMPARE(rig.keyColour(octave, pitch), kinds[toKind]);
            QCOMPARE(KeyboardRig::colourAt(rig.keyboard.picture(),
                                           KeyboardRig::lowerPoint(octave, pitch)),
                     kinds[toKind]);
        }
    }
}

void TestKeyboardPaint::wrongStartingColourChangesNothing()
{
    KeyboardRig rig;
    const QImage rest = rig.keyboard.picture();
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            for (int mode : {2, 3, 4, 6})
                rig.keyboard.PaintKey(quint8(pitch), octave, mode);
        }
    }
    rig.keyboard.ReleaseAllKeys();
    rig.keyboard.PaintKey(0, 3, 1); // off the keyboard
    rig.keyboard.PaintKey(12, 5, 1);
    QCOMPARE(rig.keyboard.picture(), rest);
    rig.keyboard.PaintKey(4, 5, 1);
    const QImage lit = rig.keyboard.picture();
    rig.keyboard.PaintKey(4, 5, 1); // repeating is harmless
    QCOMPARE(rig.keyboard.picture(), lit);
}

// A Step 1 page: only the shown note responds; it turns green when pressed and
// yellow again when released, by the timer or by the next press.
void TestKeyboardPaint::markedKeyStaysYellowThroughPresses()
{
    KeyboardRig rig;
    rig.allowed.MarkOctave = 5;
    rig.allowed.MarkPitch = 4;
    rig.keyboard.PaintKey(4, 5, 5);
    rig.allowed.MarkShown = true;
    rig.allowed.LowOctave = rig.allowed.HighOctave = 5;
    rig.allowed.LowPitch = rig.allowed.HighPitch = 4;
    QCOMPARE(rig.keyColour(5, 4), L::Yellow);

    rig.click(5, 2); // not the shown note: silent
    QCOMPARE(rig.keyColour(5, 2), L::White);
    QCOMPARE(int(rig.settings.Note), 0);

    rig.click(5, 4);
    QCOMPARE(rig.keyColour(5, 4), L::Green);
    QTRY_COMPARE(rig.keyColour(5, 4), L::Yellow);
    QVERIFY(!rig.settings.HighlightPending);

    rig.click(5, 4);
    QCOMPARE(rig.keyColour(5, 4), L::Green);
    rig.click(5, 4); // releases itself to yellow, then lights again
    QCOMPARE(rig.keyColour(5, 4), L::Green);
    rig.allowed.LowOctave = 4;
    rig.allowed.HighOctave = 6;
    rig.allowed.LowPitch = 0;
    rig.allowed.HighPitch = 11;
    rig.click(6, 1);
    QCOMPARE(rig.keyColour(5, 4), L::Yellow);
    QCOMPARE(rig.keyColour(6, 1), L::Green);
    QTRY_COMPARE(rig.keyColour(6, 1), L::Black);
    QCOMPARE(rig.keyColour(5, 4), L::Yellow);
}

void TestKeyboardPaint::secondClickReleasesFirstAndTimerIsNotExtended()
{
    KeyboardRig rig;
    rig.click(4, 0);
    QCOMPARE(rig.timers.pendingCount(), 1);
    rig.click(4, 1);
    QCOMPARE(rig.keyColour(4, 0), L::White);
    QCOMPARE(rig.keyColour(4, 1), L::Green);
    QCOMPARE(rig.timers.pendingCount(), 1);
    QTRY_COMPARE(rig.keyColour(4, 1), L::Black);
    QCOMPARE(rig.timers.pendingCount(), 0);
}

void TestKeyboardPaint::clearAllKeysReturnsEverythingToRest()
{
    KeyboardRig rig;
    const QImage rest = rig.keyboard.picture();
    rig.allowed.MarkOctave = 6;
    rig.allowed.MarkPitch = 9;
    rig.keyboard.PaintKey(9, 6, 5);
    rig.allowed.MarkShown = true;
    for (const auto &[octave, pitch] : {std::pair{4, 3}, {5, 0}, {6, 11}})
        rig.keyboard.PaintKey(quint8(pitch), octave, 1);
    rig.keyboard.ClearAllKeys();
    QCOMPARE(rig.keyboard.picture(), rest);
    QVERIFY(rig.allowed.MarkShown); // restored afterwards
}

void TestKeyboardPaint::labelShowsEveryChange()
{
    KeyboardRig rig;
    QLabel label;
    rig.keyboard.setPictureLabel(&label);
    label.show(); // the picture is shown once its window has been painted
    QTRY_VERIFY(!label.pixmap().isNull());
    QCOMPARE(label.pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             rig.keyboard.picture());
    rig.keyboard.PaintKey(7, 5, 1);
    const QImage shown = label.pixmap().toImage();
    QCOMPARE(KeyboardRig::colourAt(shown, L::seed(5, 7)), L::Green);
}

// The picture is read at its first use; keys cleared, marked and lit before
// then must show as if it had been read from the start.
void TestKeyboardPaint::unreadPictureTakesEarlyPaints()
{
    KeyboardRig rig;
    rig.keyboard.ClearAllKeys();
    rig.keyboard.PaintKey(9, 5, 5); // mark
    rig.keyboard.PaintKey(4, 5, 1); // light
    rig.keyboard.PaintKey(0, 4, 2); // release a key never lit
    const QImage picture = rig.keyboard.picture();
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            QRgb expected = isBlackKey(pitch) ? L::Black : L::White;
            if (octave == 5 && pitch == 9)
                expected = L::Yellow;
            if (octave == 5 && pitch == 4)
                expected = L::Green;
            QCOMPARE(KeyboardRig::colourAt(picture, L::seed(octave, pitch)), expected);
        }
    }
}

void TestKeyboardPaint::fillStopsAtImageEdges()
{
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(2, 0, qRgb(1, 2, 3));
    image.setPixel(2, 1, qRgb(1, 2, 3));
    image.setPixel(2, 2, qRgb(1, 2, 3));
    QCOMPARE(SurfaceFill::fill(image, QPoint(0, 0), L::White, L::Green), 17);
    QCOMPARE(SurfaceFill::fill(image, QPoint(9, 0), L::Green, L::White), 0);
    QCOMPARE(SurfaceFill::fill(image, QPoint(2, 0), L::White, L::Green), 0);
}

QTEST_MAIN(TestKeyboardPaint)
#include "tst_keyboardpaint.moc"
