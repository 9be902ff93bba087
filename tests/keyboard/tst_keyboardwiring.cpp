#include "app/tmainform.h"
#include "app/wiring.h"
#include "course/programclock.h"
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

// The keyboard as the window wires it: real mouse events on the picture label.
class TestKeyboardWiring : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ProgramClock::setScale(0.01); }
    void init();
    void pressOnThePictureLightsAndReleases_data();
    void pressOnThePictureLightsAndReleases();
    void pressOutsideTheKeysDoesNothing();

private:
    static QRgb shown(QWidget *picture, QPoint p)
    {
        return qobject_cast<QLabel *>(picture)->pixmap().toImage().pixel(p) | 0xFF000000;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TMainForm> m_form;
};

void TestKeyboardWiring::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("levels")));
    m_form = std::make_unique<TMainForm>(BasePath(m_dir->path()));
    Wiring::connect(*m_form);
    TAllowed &allowed = m_form->state().Allowed; // as a level page leaves it
    allowed.LowOctave = 4;
    allowed.HighOctave = 6;
    allowed.HighPitch = 11;
}

void TestKeyboardWiring::pressOnThePictureLightsAndReleases_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("left") << Qt::LeftButton << false;
    QTest::newRow("right") << Qt::RightButton << false;
    QTest::newRow("double") << Qt::LeftButton << true;
}

void TestKeyboardWiring::pressOnThePictureLightsAndReleases()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, doubleClick);
    QWidget *picture = m_form->keyboardPicture();
    const QPoint re(320, 10);
    if (doubleClick) {
        TAllowed &allowed = m_form->state().Allowed;
        allowed.Collecting = true;
        allowed.AnswerPos = 1;
        allowed.AnswerLen = 5;
        // What a widget receives for a double click: the second press comes as
        // the double-click event.
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(re), picture->mapToGlobal(QPointF(re)), button,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                              Qt::NoModifier);
            QApplication::sendEvent(picture, &event);
        }
        QCOMPARE(allowed.AnswerPos, 3); // both presses played and were recorded
    } else {
        QTest::mousePress(picture, button, {}, re);
    }
    QCOMPARE(m_form->state().Settings.Octave, 5);
    QCOMPARE(m_form->state().Settings.Note, quint8(2));
    QCOMPARE(shown(picture, re), KeyboardLayout::Green);
    QVERIFY(m_form->state().Settings.HighlightPending);
    QTRY_COMPARE(shown(picture, re), KeyboardLayout::White); // the tag-6 timer
    QVERIFY(!m_form->state().Settings.HighlightPending);
}

void TestKeyboardWiring::pressOutsideTheKeysDoesNothing()
{
    QWidget *picture = m_form->keyboardPicture();
    m_form->state().Settings.Octave = 0;
    QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(6, 50));
    QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(400, 161));
    QCOMPARE(m_form->state().Settings.Octave, 0);
    QVERIFY(!m_form->state().Settings.HighlightPending);
}

QTEST_MAIN(TestKeyboardWiring)
#include "tst_keyboardwiring.moc"
