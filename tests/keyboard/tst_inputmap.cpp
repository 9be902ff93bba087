#include "keyboard/keymap.h"

#include <QTest>

using namespace nk;

namespace {

enum class Input
{
    X11,
    Windows,
    Midi,
};

} // namespace

Q_DECLARE_METATYPE(Input)

// Physical keys and MIDI notes to keys of the picture: one table for both.
class TestInputMap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keyOfInput_data();
    void keyOfInput();
};

void TestInputMap::keyOfInput_data()
{
    QTest::addColumn<Input>("input");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("chosen"); // the octave of the lower row
    QTest::addColumn<int>("octave"); // 0: no key
    QTest::addColumn<int>("pitch");
    // Drawn on that key; for an arrow ">N", the octave chosen after it.
    QTest::addColumn<QString>("letter");

    const auto x11 = Input::X11;
    const auto win = Input::Windows;
    const auto midi = Input::Midi;
    // The lower row from ДО to СИ, white and black keys alternating as on a piano.
    QTest::newRow("Z first") << x11 << 52 << 5 << 5 << 0 << QStringLiteral("Z");
    QTest::newRow("S") << x11 << 39 << 5 << 5 << 1 << QStringLiteral("S");
    QTest::newRow("X") << x11 << 53 << 5 << 5 << 2 << QStringLiteral("X");
    QTest::newRow("D") << x11 << 40 << 5 << 5 << 3 << QStringLiteral("D");
    QTest::newRow("C") << x11 << 54 << 5 << 5 << 4 << QStringLiteral("C");
    QTest::newRow("V") << x11 << 55 << 5 << 5 << 5 << QStringLiteral("V");
    QTest::newRow("G") << x11 << 42 << 5 << 5 << 6 << QStringLiteral("G");
    QTest::newRow("B") << x11 << 56 << 5 << 5 << 7 << QStringLiteral("B");
    QTest::newRow("H") << x11 << 43 << 5 << 5 << 8 << QStringLiteral("H");
    QTest::newRow("N") << x11 << 57 << 5 << 5 << 9 << QStringLiteral("N");
    QTest::newRow("J") << x11 << 44 << 5 << 5 << 10 << QStringLiteral("J");
    QTest::newRow("M") << x11 << 58 << 5 << 5 << 11 << QStringLiteral("M");
    // The upper row: the octave above.
    QTest::newRow("Q") << x11 << 24 << 5 << 6 << 0 << QStringLiteral("Q");
    QTest::newRow("2") << x11 << 11 << 5 << 6 << 1 << QStringLiteral("2");
    QTest::newRow("3") << x11 << 12 << 5 << 6 << 3 << QStringLiteral("3");
    QTest::newRow("R") << x11 << 27 << 5 << 6 << 5 << QStringLiteral("R");
    QTest::newRow("5") << x11 << 14 << 5 << 6 << 6 << QStringLiteral("5");
    QTest::newRow("6") << x11 << 15 << 5 << 6 << 8 << QStringLiteral("6");
    QTest::newRow("7 small chosen") << x11 << 16 << 4 << 5 << 10 << QStringLiteral("7");
    QTest::newRow("U") << x11 << 30 << 5 << 6 << 11 << QStringLiteral("U");
    QTest::newRow("Z small") << x11 << 52 << 4 << 4 << 0 << QStringLiteral("Z");
    QTest::newRow("M second") << x11 << 58 << 6 << 6 << 11 << QStringLiteral("M");
    QTest::newRow("Q past the top") << x11 << 24 << 6 << 0 << 0 << QString();
    // Keys between and beside the rows play nothing.
    QTest::newRow("A") << x11 << 38 << 5 << 0 << 0 << QString();
    QTest::newRow("F") << x11 << 41 << 5 << 0 << 0 << QString();
    QTest::newRow("1") << x11 << 10 << 5 << 0 << 0 << QString();
    QTest::newRow("4") << x11 << 13 << 5 << 0 << 0 << QString();
    QTest::newRow("I") << x11 << 31 << 5 << 0 << 0 << QString();
    QTest::newRow("comma") << x11 << 59 << 5 << 0 << 0 << QString();
    QTest::newRow("space") << x11 << 65 << 5 << 0 << 0 << QString();
    QTest::newRow("no code") << x11 << 0 << 5 << 0 << 0 << QString();
    // The arrows move the chosen octave and play nothing themselves.
    QTest::newRow("left") << x11 << 113 << 5 << 0 << 0 << QStringLiteral(">4");
    QTest::newRow("right") << x11 << 114 << 5 << 0 << 0 << QStringLiteral(">6");
    QTest::newRow("left at the bottom") << x11 << 113 << 4 << 0 << 0 << QStringLiteral(">4");
    QTest::newRow("right at the top") << x11 << 114 << 6 << 0 << 0 << QStringLiteral(">6");
    QTest::newRow("keypad 4 is no arrow") << x11 << 83 << 5 << 0 << 0 << QString();
    // Windows numbers the same keys otherwise.
    QTest::newRow("win Z") << win << 0x2C << 5 << 5 << 0 << QStringLiteral("Z");
    QTest::newRow("win J") << win << 0x24 << 4 << 4 << 10 << QStringLiteral("J");
    QTest::newRow("win 2") << win << 0x03 << 5 << 6 << 1 << QStringLiteral("2");
    QTest::newRow("win U") << win << 0x16 << 5 << 6 << 11 << QStringLiteral("U");
    QTest::newRow("win X11's Z") << win << 52 << 5 << 0 << 0 << QString();
    QTest::newRow("win left") << win << 0x14B << 5 << 0 << 0 << QStringLiteral(">4");
    QTest::newRow("win right") << win << 0x14D << 4 << 0 << 0 << QStringLiteral(">5");
    QTest::newRow("win keypad 4") << win << 0x4B << 5 << 0 << 0 << QString();
    // MIDI: the picture's three octaves, 60 the first octave's ДО.
    QTest::newRow("midi 47") << midi << 47 << 0 << 0 << 0 << QString();
    QTest::newRow("midi 48") << midi << 48 << 0 << 4 << 0 << QString();
    QTest::newRow("midi 59") << midi << 59 << 0 << 4 << 11 << QString();
    QTest::newRow("midi 60") << midi << 60 << 0 << 5 << 0 << QString();
    QTest::newRow("midi 61") << midi << 61 << 0 << 5 << 1 << QString();
    QTest::newRow("midi 72") << midi << 72 << 0 << 6 << 0 << QString();
    QTest::newRow("midi 83") << midi << 83 << 0 << 6 << 11 << QString();
    QTest::newRow("midi 84") << midi << 84 << 0 << 0 << 0 << QString();
    QTest::newRow("midi 0") << midi << 0 << 0 << 0 << 0 << QString();
    QTest::newRow("midi -1") << midi << -1 << 0 << 0 << 0 << QString();
    QTest::newRow("midi 127") << midi << 127 << 0 << 0 << 0 << QString();
}

void TestInputMap::keyOfInput()
{
    QFETCH(Input, input);
    QFETCH(int, code);
    QFETCH(int, chosen);
    QFETCH(int, octave);
    QFETCH(int, pitch);
    QFETCH(QString, letter);
    const auto codes =
        input == Input::Windows ? KeyMap::ScanCodes::Windows : KeyMap::ScanCodes::X11;
    const std::optional<KeyPosition> key =
        input == Input::Midi ? keyForMidiNote(code) : KeyMap::keyFor(quint32(code), chosen, codes);
    QCOMPARE(key.has_value(), octave != 0);
    if (key) {
        QCOMPARE(key->octave, octave);
        QCOMPARE(int(key->pitch), pitch);
    }
    if (input == Input::Midi)
        return;
    const std::optional<KeyMap::Action> action = KeyMap::actionFor(quint32(code), codes);
    const bool arrow = letter.startsWith(u'>');
    QCOMPARE(action && action->octaveStep != 0, arrow);
    if (arrow) {
        // Moved, and kept inside the picture's octaves.
        QCOMPARE(KeyMap::movedOctave(chosen, action->octaveStep), letter.mid(1).toInt());
    } else if (key) {
        // The letter drawn on the key is the physical key that plays it.
        QCOMPARE(KeyMap::letterFor(*key, chosen), letter);
    }
}

QTEST_GUILESS_MAIN(TestInputMap)
#include "tst_inputmap.moc"
