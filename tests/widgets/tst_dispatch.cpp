#include "recordingwindow.h"
#include "widgets/clickdispatcher.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/tarrowlabel.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace nk;

class TestDispatch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void yesTags();
    void arrowTags();
    void buttonsAndLinksReachTheirActions();
    void timerTags();
    void timersFireInOrderAndOnce();
    void highlightResetIsNotExtended();
};

void TestDispatch::yesTags()
{
    const QList<int> listed{1,  5,  7,  9,  11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                            23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37};
    ClickDispatcher d;
    QList<int> reached;
    for (int tag = -1; tag <= 40; ++tag) {
        QCOMPARE(d.setYesAction(tag, [&reached, tag] { reached << tag; }), listed.contains(tag));
        d.yesClick(tag);
    }
    QCOMPARE(reached, listed);
}

void TestDispatch::arrowTags()
{
    RecordingWindow window;
    Page page(&window, window, BasePath(QStringLiteral("/nonexistent")));
    QList<int> reached;
    for (int tag = 0; tag <= 23; ++tag) {
        const bool listed = tag >= 1 && tag <= 21;
        QCOMPARE(page.dispatcher().setArrowAction(
                     tag, [&reached](TArrowLabel &l) { reached << l.tag(); }),
                 listed);
    }
    for (int tag = 0; tag <= 23; ++tag) {
        TArrowLabel link(page, QStringLiteral("x"), tag);
        page.dispatcher().arrowClick(link);
    }
    QList<int> expected;
    for (int tag = 1; tag <= 21; ++tag)
        expected << tag;
    QCOMPARE(reached, expected);
}

void TestDispatch::buttonsAndLinksReachTheirActions()
{
    RecordingWindow window;
    Page page(&window, window, BasePath(QStringLiteral("/nonexistent")));
    QStringList seen;
    page.dispatcher().setYesAction(14, [&seen] { seen << QStringLiteral("yes14"); });
    page.dispatcher().setArrowAction(4, [&seen](TArrowLabel &link) { seen << link.text(); });
    page.dispatcher().levelClick = [&seen](int tag) { seen << QString::number(tag); };
    TYesButton *button = page.addButton(QStringLiteral("Ответить!"), QRect(137, 261, 90, 25), 14);
    TArrowLabel *link = page.addArrowLink(QStringLiteral("Начать работу!"), 4);
    TYesButton *unwired = page.addButton(QStringLiteral("?"), QRect(300, 261, 90, 25), 15);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(unwired, Qt::LeftButton);
    QCOMPARE(seen, (QStringList{QStringLiteral("yes14"), QStringLiteral("Начать работу!")}));
}

void TestDispatch::timerTags()
{
    QObject owner;
    OneShotTimers timers(&owner);
    QList<int> fired;
    for (int tag = 0; tag <= 12; ++tag) {
        const bool listed = tag == 2 || tag == 3 || tag == 4 || (tag >= 6 && tag <= 11);
        QCOMPARE(timers.setAction(tag, [&fired, tag] { fired << tag; }), listed);
    }
    for (int tag = 0; tag <= 12; ++tag)
        timers.TimerProc(tag);
    QCOMPARE(fired, (QList<int>{2, 3, 4, 6, 7, 8, 9, 10, 11}));
}

void TestDispatch::timersFireInOrderAndOnce()
{
    QObject owner;
    OneShotTimers timers(&owner);
    QList<int> fired;
    timers.setAction(8, [&fired] { fired << 8; });
    timers.setAction(2, [&fired] { fired << 2; });
    timers.create(30, 8);
    timers.create(5, 2);
    QCOMPARE(timers.pendingCount(), 2);
    QTRY_COMPARE(fired, (QList<int>{2, 8}));
    QCOMPARE(timers.pendingCount(), 0);
    // A fired timer is gone, so it can never fire again.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(timers.findChildren<QTimer *>().isEmpty());
}

void TestDispatch::highlightResetIsNotExtended()
{
    QObject owner;
    OneShotTimers timers(&owner);
    bool pending = false;
    int resets = 0;
    timers.setAction(6, [&] {
        ++resets;
        pending = false;
    });
    QVERIFY(timers.createHighlightReset(1000, pending));
    const QTimer *first = timers.findChild<QTimer *>();
    QVERIFY(!timers.createHighlightReset(1000, pending)); // the second press
    // One reset, timed from the first press.
    QCOMPARE(timers.findChildren<QTimer *>().size(), 1);
    QCOMPARE(timers.findChild<QTimer *>(), first);
    QCOMPARE(first->interval(), 1000);
    QCOMPARE(resets, 0);
    timers.findChild<QTimer *>()->setInterval(1);
    QTRY_COMPARE(resets, 1);
    QVERIFY(!pending);
    QVERIFY(timers.createHighlightReset(10, pending));
}

QTEST_MAIN(TestDispatch)
#include "tst_dispatch.moc"
