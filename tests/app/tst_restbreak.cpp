#include "app/tmainform.h"
#include "app/wiring.h"
#include "course/cp1251.h"
#include "course/programclock.h"
#include "widgets/messagebox.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/restbreak.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace nk;

// Records the addresses the program hands to the browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

// Timers, rest breaks and site links of the real window, wired as the program
// wires them, with time scaled so a 7-minute rest passes in well under a second.
class TestRestBreak : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void highlightResetFromFirstPress();
    void restHidesRefusesAndReturns();
    void trainingRestOnAnotherLevel();
    void restEndingWhileBusy();
    void memorisationRest();
    void restBegunAgainEndsOnce();
    void siteLinks_data();
    void siteLinks();

private:
    QStringList logLines() const;
    std::function<void()> recordPage(const QString &page)
    {
        return [this, page] { m_pages << page; };
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TMainForm> m_form;
    QStringList m_pages;
};

void TestRestBreak::init()
{
    ProgramClock::setScale(0.001);
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("levels")));
    // The first run opens the instruction page, which would tell of a missing text.
    QFile instruction(m_dir->filePath(QStringLiteral("levels/instruction.dat")));
    QVERIFY(instruction.open(QIODevice::WriteOnly) && instruction.write("Instruction") > 0);
    instruction.close();
    m_form = std::make_unique<TMainForm>(BasePath(m_dir->path()));
    Wiring::connect(*m_form);
    m_pages.clear();
    m_form->routes().showLevelPage = [this](int level) {
        m_pages << QStringLiteral("level ") + QString::number(level);
    };
    m_form->show();
}

void TestRestBreak::cleanup()
{
    m_form.reset();
    ProgramClock::setScale(1.0);
}

QStringList TestRestBreak::logLines() const
{
    QFile f(m_dir->filePath(QStringLiteral("levels/log.dat")));
    QStringList lines;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &r : f.readAll().split('\x0D')) {
            if (!r.isEmpty())
                lines << Cp1251::decode(r.mid(r.indexOf(" - ") + 3).chopped(1));
        }
    }
    return lines;
}

void TestRestBreak::highlightResetFromFirstPress()
{
    int released = 0;
    m_form->routes().releaseAllKeys = [&released] { ++released; };
    bool &pending = m_form->state().Settings.HighlightPending;
    OneShotTimers &timers = m_form->timers();
    QVERIFY(timers.createHighlightReset(1000, pending));  // first press
    QVERIFY(!timers.createHighlightReset(1000, pending)); // 300 ms later
    QCOMPARE(timers.pendingCount(), 1);
    QTRY_COMPARE(released, 1);
    QVERIFY(!pending);
    QCOMPARE(timers.pendingCount(), 0);
}

void TestRestBreak::restHidesRefusesAndReturns()
{
    m_form->state().Settings.Level = 5;
    m_form->restBreak().start(RestBreak::Kind::Training,
                              recordPage(QStringLiteral("next question")));
    QVERIFY(m_form->state().Resting);
    // During the first seconds the window is still there but will not come back
    // from the tray: the double click only reminds the learner to rest.
    m_form->CoolTrayIcon1DblClick();
    QVERIFY(m_form->isVisible() && !m_form->isMinimized());
    QTRY_VERIFY(m_form->isMinimized() || m_form->isHidden()); // 4 s
    m_form->CoolTrayIcon1DblClick();
    QVERIFY(m_form->isMinimized() || m_form->isHidden());
    QVERIFY(m_pages.isEmpty());
    QTRY_COMPARE(m_pages, QStringList{QStringLiteral("next question")}); // 7 min
    QVERIFY(!m_form->state().Resting);
    QVERIFY(m_form->isVisible() && !m_form->isMinimized());
}

void TestRestBreak::trainingRestOnAnotherLevel()
{
    m_form->state().Settings.Level = 5;
    m_form->restBreak().start(RestBreak::Kind::Training,
                              recordPage(QStringLiteral("next question")));
    m_form->state().Settings.Level = 12; // opened in the seconds before the window hid
    QTRY_VERIFY(!m_form->state().Resting);
    QVERIFY(m_pages.isEmpty()); // the learner stays where they went
    QVERIFY(m_form->isVisible() && !m_form->isMinimized());
}

// A rest that ends while an action runs (a repetition begun from the window
// that stayed on screen) gives the window back and nothing else.
void TestRestBreak::restEndingWhileBusy()
{
    m_form->state().Settings.Level = 5;
    m_form->restBreak().start(RestBreak::Kind::Training,
                              recordPage(QStringLiteral("next question")));
    m_form->state().Settings.Busy = true;
    QTRY_VERIFY(!m_form->state().Resting);
    QVERIFY(m_pages.isEmpty());
    QVERIFY(m_form->state().Settings.Busy);
    QVERIFY(m_form->isVisible() && !m_form->isMinimized());
    m_form->state().Settings.Busy = false;
}

void TestRestBreak::memorisationRest()
{
    m_form->restBreak().start(RestBreak::Kind::Memorisation,
                              recordPage(QStringLiteral("memorise")));
    QVERIFY(m_form->state().Resting);
    QTRY_COMPARE(m_pages, QStringList{QStringLiteral("memorise")});
    QVERIFY(!m_form->state().Resting);
    QVERIFY(m_form->isVisible() && !m_form->isMinimized());
}

// A level page opened in the first seconds leaves the first rest; a rest
// begun after it is the one whose end brings the window back, and the first
// rest's timer, firing before, leaves it be.
void TestRestBreak::restBegunAgainEndsOnce()
{
    RestBreak &rest = m_form->restBreak();
    OneShotTimers &timers = m_form->timers();
    m_form->state().Settings.Level = 5;
    rest.start(RestBreak::Kind::Memorisation, recordPage(QStringLiteral("first")));
    rest.dropContinuation();
    ProgramClock::setScale(0.002); // the second rest ends well after the first
    rest.start(RestBreak::Kind::Training, recordPage(QStringLiteral("second")));
    QCOMPARE(timers.pendingCount(), 4);
    QTRY_COMPARE(timers.pendingCount(), 1); // both hidings and the first rest's end
    QVERIFY(m_pages.isEmpty());
    QVERIFY(m_form->state().Resting);
    QTRY_COMPARE(m_pages, QStringList{QStringLiteral("second")});
    QVERIFY(!m_form->state().Resting);
}

void TestRestBreak::siteLinks_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened"); // empty: refused
    QTest::newRow("http") << "http://notoklyuv.example/?id=demo"
                          << "http://notoklyuv.example/?id=demo";
    QTest::newRow("https") << "https://notoklyuv.example/full?id=demo"
                           << "https://notoklyuv.example/full?id=demo";
    QTest::newRow("www") << "www.notoklyuv.example?id=demo"
                         << "http://www.notoklyuv.example?id=demo";
    QTest::newRow("file") << "file:///etc/passwd?id=demo"
                          << "";
    QTest::newRow("javascript") << "javascript:alert(1)"
                                << "";
    QTest::newRow("bare path") << "/usr/bin/xterm"
                               << "";
    QTest::newRow("mailto") << "mailto:a@b.example"
                            << "mailto:a@b.example";
}

void TestRestBreak::siteLinks()
{
    QFETCH(QString, address);
    QFETCH(QString, opened);
    UrlRecorder recorder;
    for (const char *scheme : {"http", "https", "file", "javascript", "mailto"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &recorder, "open");
    m_form->page().dispatcher().openSite(address);
    for (const char *scheme : {"http", "https", "file", "javascript", "mailto"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    if (opened.isEmpty()) {
        QVERIFY(recorder.opened.isEmpty());
        QVERIFY(!logLines().last().startsWith(QStringLiteral("Открытие сайта")));
    } else {
        QCOMPARE(recorder.opened, QList<QUrl>{QUrl(opened)});
        if (opened.startsWith(QLatin1String("mailto:"))) // the mail program, not a site
            QVERIFY(!logLines().last().startsWith(QStringLiteral("Открытие сайта")));
        else
            QCOMPARE(logLines().last(), QStringLiteral("Открытие сайта ") + address);
    }
}

QTEST_MAIN(TestRestBreak)
#include "tst_restbreak.moc"
