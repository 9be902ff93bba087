#include "audio/notenames.h"
#include "course/programclock.h"
#include "keyboardrig.h"

#include <QTest>

using namespace nk;
using nk::test::KeyboardRig;

Q_DECLARE_METATYPE(nk::KeyId)

class TestKeyboardHitTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ProgramClock::setScale(0.01); }
    void clickNamesKey_data();
    void clickNamesKey();
    void clicksOffTheKeysAreIgnored_data();
    void clicksOffTheKeysAreIgnored();
    void bandsRunInKeyOrderWithoutGaps();
    void everySeedClickNamesItsKey();
    void anyButtonPlaysAKey_data();
    void anyButtonPlaysAKey();
};

void TestKeyboardHitTest::clickNamesKey_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<KeyId>("key");
    QTest::newRow("small ДО low") << QPoint(20, 150) << KeyId{4, 0};
    QTest::newRow("small ДО# upper") << QPoint(45, 50) << KeyId{4, 1};
    QTest::newRow("white band under ДО#") << QPoint(45, 150) << KeyId{4, 0};
    QTest::newRow("first ДО low") << QPoint(264, 150) << KeyId{5, 0};
    QTest::newRow("second СИ corner") << QPoint(773, 10) << KeyId{6, 11};
    QTest::newRow("y 111 black band") << QPoint(45, 111) << KeyId{4, 1};
    QTest::newRow("y 112 white band") << QPoint(45, 112) << KeyId{4, 0};
    QTest::newRow("x 7 upper") << QPoint(7, 5) << KeyId{4, 0};
    QTest::newRow("x 7 lower") << QPoint(7, 160) << KeyId{4, 0};
    QTest::newRow("x 773 lower") << QPoint(773, 160) << KeyId{6, 11};
    QTest::newRow("black band 32|33") << QPoint(32, 60) << KeyId{4, 0};
    QTest::newRow("black band 33") << QPoint(33, 60) << KeyId{4, 1};
    QTest::newRow("white band 45|46") << QPoint(46, 120) << KeyId{4, 2};
    QTest::newRow("white band 518") << QPoint(518, 120) << KeyId{5, 11};
    QTest::newRow("white band 519") << QPoint(519, 120) << KeyId{6, 0};
    QTest::newRow("black band 727") << QPoint(727, 20) << KeyId{6, 9};
    QTest::newRow("black band 728") << QPoint(728, 20) << KeyId{6, 10};
}

// Through the mouse-down handler, so the picture bounds apply too.
void TestKeyboardHitTest::clickNamesKey()
{
    QFETCH(QPoint, point);
    QFETCH(KeyId, key);
    KeyboardRig rig;
    rig.settings.Octave = 0; // no key pressed yet
    rig.keyboard.imgKeyboardMouseDown(point, Qt::LeftButton);
    QCOMPARE(rig.settings.Octave, key.octave);
    QCOMPARE(int(rig.settings.Note), key.pitch);
    QCOMPARE(rig.keyColour(key.octave, key.pitch), KeyboardLayout::Green);
    QVERIFY(rig.settings.HighlightPending);
}

void TestKeyboardHitTest::clicksOffTheKeysAreIgnored_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::newRow("x 6") << QPoint(6, 50);
    QTest::newRow("x 774") << QPoint(774, 50);
    QTest::newRow("y 4") << QPoint(100, 4);
    QTest::newRow("y 161") << QPoint(100, 161);
    QTest::newRow("octave names") << QPoint(300, 200);
}

void TestKeyboardHitTest::clicksOffTheKeysAreIgnored()
{
    QFETCH(QPoint, point);
    KeyboardRig rig;
    rig.settings.Octave = 0;
    const QImage before = rig.keyboard.picture();
    rig.keyboard.imgKeyboardMouseDown(point, Qt::LeftButton);
    QCOMPARE(rig.settings.Octave, 0);
    QVERIFY(!rig.settings.HighlightPending); // not even the colouring reset starts
    QCOMPARE(rig.timers.pendingCount(), 0);
    QCOMPARE(rig.keyboard.picture(), before);
}

// Each band must name keys left to right, never skip back, and leave no
// column unnamed; the black band names all 36 keys, the white band the 21 white.
void TestKeyboardHitTest::bandsRunInKeyOrderWithoutGaps()
{
    for (const int y : {KeyboardLayout::BlackBandBottom, KeyboardLayout::BlackBandBottom + 1}) {
        QList<KeyId> order;
        for (int x = KeyboardLayout::FrameLeft; x <= KeyboardLayout::FrameRight; ++x) {
            const KeyId key = KeyboardLayout::keyAt(x, y);
            QVERIFY(KeyboardLayout::hasKey(key.octave, key.pitch));
            if (order.isEmpty() || !(order.last() == key))
                order.append(key);
        }
        const bool blackBand = y == KeyboardLayout::BlackBandBottom;
        QCOMPARE(order.size(), blackBand ? 36 : 21);
        for (qsizetype i = 1; i < order.size(); ++i) {
            const int previous = order[i - 1].octave * 12 + order[i - 1].pitch;
            QVERIFY2(order[i].octave * 12 + order[i].pitch > previous,
                     qPrintable(QString::number(i)));
            if (!blackBand)
                QVERIFY(!isBlackKey(order[i].pitch));
        }
    }
}

void TestKeyboardHitTest::everySeedClickNamesItsKey()
{
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            const KeyId key = KeyboardLayout::keyAt(KeyboardLayout::seed(octave, pitch).x(),
                                                    KeyboardLayout::SeedY);
            QCOMPARE(key.octave, octave);
            QCOMPARE(key.pitch, pitch);
        }
    }
}

void TestKeyboardHitTest::anyButtonPlaysAKey_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestKeyboardHitTest::anyButtonPlaysAKey()
{
    QFETCH(Qt::MouseButton, button);
    KeyboardRig rig;
    rig.keyboard.imgKeyboardMouseDown(QPoint(300, 50), button);
    QCOMPARE(rig.settings.Octave, 5);
    QCOMPARE(int(rig.settings.Note), 1);
}

QTEST_MAIN(TestKeyboardHitTest)
#include "tst_keyboardhittest.moc"
