#include "app/tmainform.h"
#include "skiporfail.h"

#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

// The window on a 1024 x 768 screen, in a real X server: grown for the
// keyboard it would reach below the screen's edge with the lower keys.
class TestSmallScreen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keyboardStaysOnScreen();
};

void TestSmallScreen::keyboardStaysOnScreen()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        NK_SKIP_OR_FAIL(QStringLiteral("needs a real X display"));
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("levels")));
    TMainForm form{BasePath(dir.path())};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect available = form.screen()->availableGeometry();
    QCOMPARE(available.height(), 768);
    const QPoint before = form.frameGeometry().topLeft();

    form.state().Settings.KeyboardShown = false; // show it
    form.SlideKeyboard();
    QVERIFY(form.KeyboardIsShown());
    // Only the height is the keyboard's: at its place of 258 pixels from the
    // left the window passes a 1024-pixel screen's right edge slightly anyway.
    const auto within = [&] {
        const QRect frame = form.frameGeometry();
        return frame.top() >= available.top() && frame.bottom() <= available.bottom();
    };
    QTRY_VERIFY2(within(), qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                                          .arg(form.frameGeometry().x())
                                          .arg(form.frameGeometry().y())
                                          .arg(form.frameGeometry().width())
                                          .arg(form.frameGeometry().height())));

    form.state().Settings.KeyboardShown = true; // hide it again
    form.SlideKeyboard();
    QTRY_COMPARE(form.frameGeometry().topLeft(), before);
}

QTEST_MAIN(TestSmallScreen)
#include "tst_smallscreen.moc"
