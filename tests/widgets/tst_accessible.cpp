#include "recordingwindow.h"
#include "widgets/accessiblelabel.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tlevel.h"
#include "widgets/tnotename.h"
#include "widgets/trichbox.h"
#include "widgets/tstep.h"

#include <QAccessible>
#include <QTest>
#include <algorithm>

using namespace nk;

// What a screen reader is told of the page widgets, and that its press action
// is the widget's click, through the same dispatch.
class TestAccessible : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { AccessibleLabel::installFactory(); }
    void entriesAndLinks_data();
    void entriesAndLinks();
    void closedOrDisabledEntryIsNotActivated();
    void plainTextHasNoAction();
    void picturesAreDescribedOrHidden();
    void newPageTakesFocusAtItsFirstControl();
    void focusWaitsForThePlaybackToEnd();
    void textPageLinksAreLinks();

private:
    static QString pressOf(QAccessibleInterface *iface);
};

namespace {
struct Rig
{
    RecordingWindow window;
    Page page{&window, window, BasePath(QStringLiteral("/nonexistent"))};
    QStringList seen;
    Rig()
    {
        ClickDispatcher &d = page.dispatcher();
        d.levelClick = [this](int tag) { seen << QStringLiteral("level %1").arg(tag); };
        d.stepClick = [this](int tag) { seen << QStringLiteral("step %1").arg(tag); };
        d.noteClick = [this](int tag) { seen << QStringLiteral("note %1").arg(tag); };
        d.setArrowAction(10,
                         [this](TArrowLabel &l) { seen << QStringLiteral("link ") + l.text(); });
    }
};

PageLabel *make(Page &page, const QString &kind, const QString &text, int tag)
{
    if (kind == QLatin1String("level"))
        return new TLevel(page, text, tag);
    if (kind == QLatin1String("step"))
        return new TStep(page, text, tag);
    if (kind == QLatin1String("note"))
        return new TNoteName(page, text, tag);
    return new TArrowLabel(page, text, tag);
}
} // namespace

QString TestAccessible::pressOf(QAccessibleInterface *iface)
{
    QAccessibleActionInterface *actions = iface ? iface->actionInterface() : nullptr;
    if (!actions)
        return {};
    const QStringList names = actions->actionNames();
    return names.contains(QAccessibleActionInterface::pressAction())
               ? QAccessibleActionInterface::pressAction()
               : QString();
}

void TestAccessible::entriesAndLinks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reached");
    QTest::newRow("level") << "level"
                           << "Уровень 3. Повторение" << 113 << int(QAccessible::ListItem)
                           << "Уровень 3. Повторение"
                           << "level 113";
    QTest::newRow("step") << "step"
                          << "Шаг 1. Тренировка" << 1001 << int(QAccessible::ListItem)
                          << "Шаг 1. Тренировка"
                          << "step 1001";
    QTest::newRow("note") << "note"
                          << "ЛЯ" << 2 << int(QAccessible::ListItem) << "ЛЯ"
                          << "note 2";
    // A caption broken over lines is said as one line.
    QTest::newRow("link over two lines")
        << "link"
        << "Дальше,\rк следующему" << 10 << int(QAccessible::Link) << "Дальше, к следующему"
        << "link Дальше,\nк следующему";
}

void TestAccessible::entriesAndLinks()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(int, tag);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, reached);
    Rig rig;
    PageLabel *label = make(rig.page, kind, text, tag);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(label);
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QVERIFY(iface->state().focusable);
    QVERIFY(!iface->state().disabled);
    QVERIFY(label->focusPolicy() & Qt::TabFocus);
    QCOMPARE(pressOf(iface), QAccessibleActionInterface::pressAction());
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // The press acts from the event loop, as a click does.
    QCoreApplication::processEvents();
    QCOMPARE(rig.seen, QStringList{reached});
    // Return acts as the press does.
    rig.seen.clear();
    QTest::keyClick(label, Qt::Key_Return);
    QCOMPARE(rig.seen, QStringList{reached});
}

void TestAccessible::closedOrDisabledEntryIsNotActivated()
{
    Rig rig;
    auto *closed = new TLevel(rig.page, QStringLiteral("Уровень 9"), 119);
    closed->setOffered(false);
    auto *off = new TArrowLabel(rig.page, QStringLiteral("Дальше"), 10);
    off->setEnabled(false);
    QAccessibleInterface *closedIface = QAccessible::queryAccessibleInterface(closed);
    QVERIFY(closedIface->state().disabled);
    QVERIFY(!closedIface->state().focusable);
    QVERIFY(QAccessible::queryAccessibleInterface(off)->state().disabled);
    for (QWidget *w : {static_cast<QWidget *>(closed), static_cast<QWidget *>(off)}) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    QCoreApplication::processEvents();
    QCOMPARE(rig.seen, QStringList());
}

void TestAccessible::plainTextHasNoAction()
{
    Rig rig;
    PageLabel *text = rig.page.addText(QStringLiteral("Послушайте ноту"), QPoint(136, 64));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(text);
    QCOMPARE(iface->role(), QAccessible::StaticText);
    QCOMPARE(pressOf(iface), QString());
}

void TestAccessible::picturesAreDescribedOrHidden()
{
    Rig rig;
    rig.page.addArrowLink(QStringLiteral("Дальше"), 10);
    auto *tick = rig.page.addPicture(QStringLiteral("pictures\\right.gif"), QPoint(136, 100));
    tick->describe(QStringLiteral("Правильно!"));
    rig.window.show();
    int arrows = 0;
    for (QWidget *w : rig.page.pageWidgets()) {
        auto *picture = qobject_cast<PagePicture *>(w);
        if (!picture)
            continue;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(picture);
        QCOMPARE(iface->role(), QAccessible::Graphic);
        if (picture == tick) {
            QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Правильно!"));
            QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("Правильно!"));
            QVERIFY(!iface->state().invisible);
        } else {
            ++arrows;
            QVERIFY(iface->state().invisible);
        }
    }
    QCOMPARE(arrows, 1);
}

void TestAccessible::newPageTakesFocusAtItsFirstControl()
{
    Rig rig;
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    auto *old = rig.page.addArrowLink(QStringLiteral("Продолжить работу"), 10);
    old->setFocus();
    rig.page.ClearPage();
    // Built in reading order from the bottom up, and a closed entry above all.
    auto *lower = new TStep(rig.page, QStringLiteral("Шаг 2"), 1002);
    lower->move(148, 80);
    auto *upper = new TStep(rig.page, QStringLiteral("Шаг 1"), 1001);
    upper->move(148, 56);
    auto *closed = new TStep(rig.page, QStringLiteral("Шаг 0"), 1000);
    closed->move(148, 32);
    closed->setOffered(false);
    QCOMPARE(rig.page.firstControl(), upper);
    QTRY_COMPARE(rig.window.focusWidget(), upper);
}

void TestAccessible::focusWaitsForThePlaybackToEnd()
{
    Rig rig;
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    bool playing = true;
    rig.page.setQuietWhile([&playing] { return playing; });
    rig.page.ClearPage();
    auto *link = rig.page.addArrowLink(QStringLiteral("Дальше"), 10);
    // The page's own turn of the event loop, in which the focus would move.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QVERIFY(!link->hasFocus());
    playing = false;
    QTRY_VERIFY(link->hasFocus());
}

void TestAccessible::textPageLinksAreLinks()
{
    Rig rig;
    QStringList opened;
    rig.page.dispatcher().openSite = [&opened](const QString &a) { opened << a; };
    auto *box = new TRichBox(rig.page, 2);
    box->setHtml(QStringLiteral("<p>О программе</p><p>Сайт: <a href=\"http://notoklyuv.example\">"
                                "notoklyuv.example</a>, почта: <a href=\"mailto:a@b.c\">"
                                "<b>на</b>пишите</a>.</p>"));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("О программе"));
    QVERIFY(iface->state().readOnly);
    QAccessibleTextInterface *text = iface->textInterface();
    QVERIFY(text);
    QCOMPARE(text->text(0, 11), QStringLiteral("О программе"));
    QCOMPARE(iface->childCount(), 2);
    const QStringList names{QStringLiteral("notoklyuv.example"), QStringLiteral("напишите")};
    for (int i = 0; i < 2; ++i) {
        QAccessibleInterface *link = iface->child(i);
        QVERIFY(link);
        QCOMPARE(link->role(), QAccessible::Link);
        QCOMPARE(link->text(QAccessible::Name), names[i]);
        QCOMPARE(link->parent(), iface);
        QCOMPARE(iface->indexOfChild(link), i);
        QCOMPARE(pressOf(link), QAccessibleActionInterface::pressAction());
    }
    iface->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(opened.isEmpty()); // from the event loop, as a click comes
    QTRY_COMPARE(opened, QStringList{QStringLiteral("http://notoklyuv.example?id=demo")});
    box->setHtml(QStringLiteral("<p>Без ссылок</p>"));
    QCOMPARE(iface->childCount(), 0);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Без ссылок"));
}

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
