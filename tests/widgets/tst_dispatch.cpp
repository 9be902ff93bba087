#include "course/fileerror.h"
#include "recordingwindow.h"
#include "widgets/clickdispatcher.h"
#include "widgets/messagebox.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tlevel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "widgets/tnotename.h"
#include "widgets/trichbox.h"
#include "widgets/tstep.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace nk;

namespace {
QStringList g_messages;
void recordMessage(const QString &text)
{
    g_messages << text;
}
} // namespace

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
    void failureEndsOnlyTheAction_data();
    void failureEndsOnlyTheAction();
};

void TestDispatch::yesTags()
{
    const QList<int> listed{1,  5,  7,  9,  11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                            23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
                            40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53};
    ClickDispatcher d;
    QList<int> reached;
    for (int tag = -1; tag <= 54; ++tag) {
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
    const auto listed = [](int tag) { return (tag >= 1 && tag <= 21) || (tag >= 40 && tag <= 56); };
    for (int tag = 0; tag <= 57; ++tag) {
        QCOMPARE(page.dispatcher().setArrowAction(
                     tag, [&reached](TArrowLabel &l) { reached << l.tag(); }),
                 listed(tag));
    }
    for (int tag = 0; tag <= 57; ++tag) {
        TArrowLabel link(page, QStringLiteral("x"), tag);
        page.dispatcher().arrowClick(link);
    }
    QList<int> expected;
    for (int tag = 1; tag <= 57; ++tag) {
        if (listed(tag))
            expected << tag;
    }
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

void TestDispatch::failureEndsOnlyTheAction_data()
{
    QTest::addColumn<QString>("route");
    for (const char *route : {"yes button", "arrow link", "level", "step", "note name",
                              "answer button", "answer box Enter", "text box link"})
        QTest::newRow(route) << QString::fromLatin1(route);
    for (int tag = 2; tag <= OneShotTimers::MaxTag; ++tag) {
        if (OneShotTimers::isTimerTag(tag))
            QTest::addRow("timer %d", tag) << QStringLiteral("timer %1").arg(tag);
    }
}

// A file that cannot be written, deep inside any click or timer action: the
// learner is told once, and the failure never travels on through the window
// system (it would reach this test as an unhandled exception). The same
// control works again afterwards.
void TestDispatch::failureEndsOnlyTheAction()
{
    QFETCH(QString, route);
    g_messages.clear();
    MessageBox::setHook(&recordMessage);
    RecordingWindow window;
    Page page(&window, window, BasePath(QStringLiteral("/nonexistent")));
    OneShotTimers timers(&window);
    int attempts = 0;
    const auto fail = [&attempts] {
        if (++attempts == 1)
            throw FileError(QStringLiteral("Не удалось открыть журнал"));
    };
    ClickDispatcher &d = page.dispatcher();
    d.setYesAction(14, fail);
    d.setArrowAction(4, [&fail](TArrowLabel &) { fail(); });
    d.levelClick = d.stepClick = d.noteClick = [&fail](int) { fail(); };
    d.answerClick = d.answerEnter = fail;
    d.openSite = [&fail](const QString &) { fail(); };
    std::function<void()> act;
    if (route == QLatin1String("yes button")) {
        QWidget *w = page.addButton(QStringLiteral("Ответить!"), QRect(137, 261, 90, 25), 14);
        act = [w] { QTest::mouseClick(w, Qt::LeftButton); };
    } else if (route == QLatin1String("arrow link")) {
        QWidget *w = page.addArrowLink(QStringLiteral("Дальше"), 4);
        act = [w] { QTest::mouseClick(w, Qt::LeftButton); };
    } else if (route == QLatin1String("level") || route == QLatin1String("step") ||
               route == QLatin1String("note name")) {
        QWidget *w =
            route == QLatin1String("level")  ? static_cast<QWidget *>(new TLevel(page, route, 111))
            : route == QLatin1String("step") ? static_cast<QWidget *>(new TStep(page, route, 11))
                                             : new TNoteName(page, route, 1);
        act = [w] { QTest::mouseClick(w, Qt::LeftButton); };
    } else if (route == QLatin1String("answer button")) {
        QWidget *w = new TMyButton(page, QStringLiteral("Ответ"), 1);
        act = [w] { QTest::mouseClick(w, Qt::LeftButton); };
    } else if (route == QLatin1String("answer box Enter")) {
        auto *edit = new TMyEdit(page, TMyEdit::AnswerBoxTag);
        edit->setText(QStringLiteral("тихая"));
        act = [edit] { QTest::keyClick(edit, Qt::Key_Return); };
    } else if (route == QLatin1String("text box link")) {
        auto *box = new TRichBox(page, 2);
        act = [box] { Q_EMIT box->anchorClicked(QUrl(QStringLiteral("http://x.example"))); };
    } else {
        const int tag = route.mid(6).toInt();
        timers.setAction(tag, fail);
        act = [&timers, tag] {
            timers.create(1, tag);
            QTRY_COMPARE(timers.pendingCount(), 0);
        };
    }
    window.show();
    act();
    QCOMPARE(attempts, 1);
    QCOMPARE(g_messages, QStringList{QStringLiteral("Не удалось открыть журнал")});
    act();
    QCOMPARE(attempts, 2);
    QCOMPARE(g_messages.size(), 1);
    MessageBox::setHook(nullptr);
}

QTEST_MAIN(TestDispatch)
#include "tst_dispatch.moc"
