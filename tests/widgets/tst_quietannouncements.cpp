#include "recordingwindow.h"
#include "skiporfail.h"
#include "widgets/accessiblelabel.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/tarrowlabel.h"

#include <QAccessible>
#include <QTest>
#include <algorithm>

using namespace nk;

// What a screen reader is told while a note plays, and after, as the platform's
// accessibility bridge receives it. Needs a platform with a bridge and an
// accessibility bus: elsewhere Qt tells assistive technology nothing at all.
class TestQuietAnnouncements : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init() { told().clear(); }
    void heldUntilThePlaybackEnds();
    void toldAtOnceWithoutPlayback();

private:
    using Told = QList<std::pair<QAccessible::Event, QObject *>>;
    static Told &told()
    {
        static Told list;
        return list;
    }
    static void record(QAccessibleEvent *event) { told().append({event->type(), event->object()}); }
    static int count(QAccessible::Event type, QObject *object)
    {
        return int(std::count(told().cbegin(), told().cend(), std::pair(type, object)));
    }
};

namespace {
struct Rig
{
    RecordingWindow window;
    Page page{&window, window, BasePath(QStringLiteral("/nonexistent"))};
    bool playing = false;
    Rig()
    {
        page.setQuietWhile([this] { return playing; });
        window.show();
        // No window manager hands out the focus here.
        window.activateWindow();
    }
};
} // namespace

void TestQuietAnnouncements::initTestCase()
{
    AccessibleLabel::installFactory();
    // The bridge comes up once it has found the accessibility bus.
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000))
        NK_SKIP_OR_FAIL(QStringLiteral("no accessibility bridge on this platform"));
    QAccessible::installUpdateHandler(record);
}

void TestQuietAnnouncements::cleanupTestCase()
{
    QAccessible::installUpdateHandler(nullptr);
}

void TestQuietAnnouncements::heldUntilThePlaybackEnds()
{
    Rig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    auto *caption = rig.page.addText(QStringLiteral("Вопрос 1"), QPoint(8, 8));
    auto *link = rig.page.addArrowLink(QStringLiteral("Дальше"), 10);
    auto *gone = rig.page.addText(QStringLiteral("Уйдёт"), QPoint(8, 40));
    QCoreApplication::processEvents();
    rig.playing = true;
    told().clear();
    caption->setText(QStringLiteral("Вопрос 2"));
    caption->setText(QStringLiteral("Вопрос 3"));
    gone->setText(QStringLiteral("Ушло"));
    link->setFocus();
    delete gone;
    auto *shown = rig.page.addText(QStringLiteral("Новое"), QPoint(8, 60));
    QCoreApplication::processEvents();
    QCOMPARE(count(QAccessible::NameChanged, caption), 0);
    QCOMPARE(count(QAccessible::Focus, link), 0);
    // What keeps the reader's picture of the window true is not held back.
    QVERIFY(count(QAccessible::ObjectShow, shown) > 0);
    const qsizetype before = told().size();
    rig.playing = false;
    // One name change for the two, and nothing of the label that went.
    QTRY_COMPARE(count(QAccessible::NameChanged, caption), 1);
    QCOMPARE(count(QAccessible::Focus, link), 1);
    const QList<QObject *> living{caption, link, shown};
    for (qsizetype i = before; i < told().size(); ++i)
        QVERIFY(living.contains(told()[i].second));
}

void TestQuietAnnouncements::toldAtOnceWithoutPlayback()
{
    Rig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    auto *caption = rig.page.addText(QStringLiteral("Вопрос 1"), QPoint(8, 8));
    QCoreApplication::processEvents();
    told().clear();
    caption->setText(QStringLiteral("Вопрос 2"));
    QCOMPARE(count(QAccessible::NameChanged, caption), 1);
}

QTEST_MAIN(TestQuietAnnouncements)
#include "tst_quietannouncements.moc"
