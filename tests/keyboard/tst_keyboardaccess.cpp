#include "keyboard/accessiblekeyboard.h"
#include "keyboardrig.h"
#include "widgets/actionboundary.h"
#include "widgets/clicklabel.h"

#include <QAccessible>
#include <QTest>

using namespace nk;
using namespace nk::test;

// The keyboard picture's 36 keys as a screen reader sees them: buttons named
// as a learner says them, whose press is a click on that key.
class TestKeyboardAccess : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void keysAreNamedButtons_data();
    void keysAreNamedButtons();
    void pressRecordsTheKey_data();
    void pressRecordsTheKey();
    void silentKeysAreDisabled();
    void keyBoxesHoldTheirOwnKey();

private:
    QAccessibleInterface *keyNamed(const QString &name) const;

    std::unique_ptr<KeyboardRig> m_rig;
    ClickLabel *m_picture = nullptr;
};

void TestKeyboardAccess::init()
{
    m_rig = std::make_unique<KeyboardRig>();
    m_picture = new ClickLabel(&m_rig->window);
    m_picture->setGeometry(0, 380, KeyboardLayout::Width, KeyboardLayout::Height);
    Keyboard &keyboard = m_rig->keyboard;
    // As the program wires a click on the picture.
    connect(m_picture, &ClickLabel::pressed, this, [&keyboard](QPoint pos, Qt::MouseButton b) {
        ActionBoundary::run([&keyboard, pos, b] { keyboard.imgKeyboardMouseDown(pos, b); });
    });
    keyboard.setPictureLabel(m_picture);
    m_rig->allowed.LowOctave = 4;
    m_rig->allowed.HighOctave = 6;
    m_rig->allowed.LowPitch = 0;
    m_rig->allowed.HighPitch = 11;
    m_rig->allowed.Collecting = true;
    m_rig->allowed.AnswerPos = 1;
    m_rig->allowed.AnswerLen = 3;
}

void TestKeyboardAccess::cleanup()
{
    delete m_picture;
    m_rig.reset();
}

QAccessibleInterface *TestKeyboardAccess::keyNamed(const QString &name) const
{
    QAccessibleInterface *board = QAccessible::queryAccessibleInterface(m_picture);
    for (int i = 0; board && i < board->childCount(); ++i) {
        QAccessibleInterface *key = board->child(i);
        if (key && key->text(QAccessible::Name) == name)
            return key;
    }
    return nullptr;
}

void TestKeyboardAccess::keysAreNamedButtons_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("first") << 0 << "ДО малой октавы";
    QTest::newRow("black, small") << 8 << "СОЛЬ# малой октавы";
    QTest::newRow("black, first") << 22 << "ЛЯ# первой октавы";
    QTest::newRow("middle") << 21 << "ЛЯ первой октавы";
    QTest::newRow("last") << 35 << "СИ второй октавы";
}

void TestKeyboardAccess::keysAreNamedButtons()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QAccessibleInterface *board = QAccessible::queryAccessibleInterface(m_picture);
    QVERIFY(board);
    QCOMPARE(board->childCount(), 36);
    QAccessibleInterface *key = board->child(index);
    QVERIFY(key);
    QCOMPARE(key->role(), QAccessible::Button);
    QCOMPARE(key->text(QAccessible::Name), name);
    QCOMPARE(key->parent(), board);
    QCOMPARE(board->indexOfChild(key), index);
    QVERIFY(key->actionInterface());
    QCOMPARE(key->actionInterface()->actionNames(),
             QStringList{QAccessibleActionInterface::pressAction()});
}

// The recorded note is the key's octave (4 small, 5 first, 6 second) and
// pitch class (0 ДО to 11 СИ).
void TestKeyboardAccess::pressRecordsTheKey_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("octave");
    QTest::addColumn<int>("pitch");
    QTest::newRow("ДО малой") << "ДО малой октавы" << 4 << 0;
    QTest::newRow("ЛЯ первой") << "ЛЯ первой октавы" << 5 << 9;
    QTest::newRow("ЛЯ# первой") << "ЛЯ# первой октавы" << 5 << 10;
    QTest::newRow("МИ второй") << "МИ второй октавы" << 6 << 4;
    QTest::newRow("СИ второй") << "СИ второй октавы" << 6 << 11;
}

void TestKeyboardAccess::pressRecordsTheKey()
{
    QFETCH(QString, name);
    QFETCH(int, octave);
    QFETCH(int, pitch);
    QAccessibleInterface *key = keyNamed(name);
    QVERIFY(key);
    QVERIFY(!key->state().disabled);
    key->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents(); // the press acts from the event loop
    QCOMPARE(m_rig->allowed.AnswerPos, 2);
    QCOMPARE(m_rig->notesA[0].Octave, octave);
    QCOMPARE(int(m_rig->notesA[0].Pitch), pitch);
    QCOMPARE(m_rig->settings.Octave, octave);
    QCOMPARE(int(m_rig->settings.Note), pitch);
}

void TestKeyboardAccess::silentKeysAreDisabled()
{
    m_rig->allowed.LowOctave = 5;
    m_rig->allowed.HighOctave = 5;
    m_rig->allowed.LowPitch = 9;
    m_rig->allowed.HighPitch = 9;
    QAccessibleInterface *board = QAccessible::queryAccessibleInterface(m_picture);
    QStringList pressable;
    for (int i = 0; i < board->childCount(); ++i) {
        if (!board->child(i)->state().disabled)
            pressable << board->child(i)->text(QAccessible::Name);
    }
    QCOMPARE(pressable, QStringList{QStringLiteral("ЛЯ первой октавы")});
    keyNamed(QStringLiteral("ЛЯ малой октавы"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    QCOMPARE(m_rig->allowed.AnswerPos, 1);
}

void TestKeyboardAccess::keyBoxesHoldTheirOwnKey()
{
    // Black keys lie in their fill, white keys reach the bottom frame line.
    const QRect lyaSharp = AccessibleKeyboard::keyBox({5, 10});
    QCOMPARE(lyaSharp, QRect(QPoint(472, 6), QPoint(494, 109)));
    const QRect doFirst = AccessibleKeyboard::keyBox({5, 0});
    QCOMPARE(doFirst, QRect(QPoint(263, 5), QPoint(298, 159)));
    const QRect siSecond = AccessibleKeyboard::keyBox({6, 11});
    QCOMPARE(siSecond, QRect(QPoint(740, 5), QPoint(772, 159)));
}

QTEST_MAIN(TestKeyboardAccess)
#include "tst_keyboardaccess.moc"
