#include "audio/waitms.h"
#include "course/programclock.h"
#include "course/shutdown.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTest>
#include <QTimer>
#include <cmath>

using namespace nk;

namespace {

// Counts the events posted to it, as a window counts clicks.
class EventCounter : public QObject
{
public:
    int count = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++count;
        return true;
    }
};

void postClick(EventCounter *counter)
{
    QCoreApplication::postEvent(counter, new QEvent(QEvent::User));
}

} // namespace

class TestWaitMs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void immediateReturn_data();
    void immediateReturn();
    void waitsScaledTime_data();
    void waitsScaledTime();
    void handlesEventsAndTimers();
    void endsOnShutdown();
    void shutdownBeforeWait();
};

void TestWaitMs::cleanup()
{
    ProgramClock::setScale(1.0);
    Shutdown::reset();
    QCoreApplication::removePostedEvents(nullptr);
}

void TestWaitMs::immediateReturn_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("very negative") << INT_MIN;
}

void TestWaitMs::immediateReturn()
{
    QFETCH(int, ms);
    EventCounter counter;
    postClick(&counter);
    WaitMs(ms);
    QCOMPARE(counter.count, 0); // nothing handled: the wait never entered the loop
    WaitMs(1);
    QCOMPARE(counter.count, 1);
}

void TestWaitMs::waitsScaledTime_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<double>("scale");
    QTest::newRow("3000 ms at 1/100") << qint64(3000) << 0.01;
    QTest::newRow("1000 ms at 1/20") << qint64(1000) << 0.05;
    QTest::newRow("40 ms unscaled") << qint64(40) << 1.0;
    QTest::newRow("7 minutes at 1/10000") << qint64(420000) << 0.0001;
    // Beyond 32 bits: cut to an int it would be 3000 ms.
    QTest::newRow("2^32 + 3000 ms at 1/10^7") << (qint64(1) << 32) + 3000 << 1e-7;
}

void TestWaitMs::waitsScaledTime()
{
    QFETCH(qint64, ms);
    QFETCH(double, scale);
    ProgramClock::setScale(scale);
    const qint64 expected = std::max<qint64>(1, std::llround(double(ms) * scale));
    QElapsedTimer clock;
    clock.start();
    WaitMs(ms);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= expected, qPrintable(QString::number(elapsed)));
    // Loose: only a wait that ignored the scale or never ended would exceed it.
    QVERIFY2(elapsed < expected + 2000, qPrintable(QString::number(elapsed)));
}

void TestWaitMs::handlesEventsAndTimers()
{
    ProgramClock::setScale(0.01);
    EventCounter counter;
    postClick(&counter);
    bool timerFired = false;
    qint64 firedAt = -1;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(ProgramClock::scaled(1000), [&] {
        timerFired = true;
        firedAt = clock.elapsed();
        postClick(&counter);
    });
    WaitMs(3000);
    QCOMPARE(counter.count, 2);
    QVERIFY(timerFired);
    QVERIFY(firedAt >= 10);
    QVERIFY(firedAt <= clock.elapsed());
}

void TestWaitMs::endsOnShutdown()
{
    ProgramClock::setScale(0.1);
    QTimer::singleShot(0, [] { Shutdown::request(); });
    QElapsedTimer clock;
    clock.start();
    WaitMs(60000); // 6 s scaled; the request comes at the first pass
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(Shutdown::requested());
}

void TestWaitMs::shutdownBeforeWait()
{
    ProgramClock::setScale(0.1);
    Shutdown::request();
    EventCounter counter;
    postClick(&counter);
    QElapsedTimer clock;
    clock.start();
    WaitMs(60000);
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(counter.count, 0);
}

QTEST_GUILESS_MAIN(TestWaitMs)
#include "tst_waitms.moc"
