#include "app/tmainform.h"
#include "skiporfail.h"
#include "widgets/clicklabel.h"
#include "widgets/page.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tlevel.h"
#include "widgets/tmyedit.h"
#include "widgets/tnotename.h"
#include "widgets/trichbox.h"
#include "widgets/tstep.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

// A page made of every kind of page widget, shown in a real X window and read
// back from the screen: what the learner sees must stand where it was placed.
class TestPageWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyWidgetKindShowsInPlace();
    void doubleClickIsOneClick_data();
    void doubleClickIsOneClick();

private:
    QImage grabClient(const TMainForm &form) const;
    static bool hasColour(const QImage &image, const QRect &area, const QColor &colour);
    static bool hasDark(const QImage &image, const QRect &area);
};

bool TestPageWindow::hasDark(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c(image.pixel(x, y));
            if (c.red() < 90 && c.green() < 90 && c.blue() < 90)
                return true;
        }
    }
    return false;
}

QImage TestPageWindow::grabClient(const TMainForm &form) const
{
    const QPoint origin = form.mapToGlobal(QPoint(0, 0));
    return form.screen()
        ->grabWindow(0, origin.x(), origin.y(), form.width(), form.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool TestPageWindow::hasColour(const QImage &image, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (QColor(image.pixel(x, y)) == colour)
                return true;
        }
    }
    return false;
}

void TestPageWindow::everyWidgetKindShowsInPlace()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        NK_SKIP_OR_FAIL(QStringLiteral("needs a real X display"));
    // A private program folder with the course's arrow picture.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("levels")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("pictures")));
    QVERIFY(
        QFile::copy(qEnvironmentVariable("NK_PROGRAM_DIR") + QStringLiteral("/pictures/arrred.gif"),
                    dir.filePath(QStringLiteral("pictures/arrred.gif"))));
    TMainForm form{BasePath(dir.path())};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Page &page = form.page();
    page.addCaption(QStringLiteral("Проверка страницы"));
    page.addButton(QStringLiteral("ДА!"), QRect(137, 60, 100, 28), 1);
    page.addButton(QStringLiteral("Послушать"), QRect(260, 60, 120, 28), 9,
                   TYesButton::Face::Yellow);
    auto *edit = new TMyEdit(page, 2);
    edit->setGeometry(132, 295, 300, 28);
    edit->setText(QStringLiteral("круглая"));
    auto *box = new TRichBox(page, 2);
    box->setGeometry(128, 100, 649, 180);
    box->setHtml(QStringLiteral("<p style='color:#0000ff'>Текст страницы</p>"));
    page.addArrowLink(QStringLiteral("Дальше"), 10);

    QImage shot;
    QTRY_VERIFY((shot = grabClient(form),
                 hasColour(shot, QRect(137, 60, 100, 28), QColor(0x84, 0xC2, 0x25))));
    QVERIFY(hasColour(shot, QRect(260, 60, 120, 28), QColor(0xFF, 0xFF, 0x00)));
    QVERIFY(!hasColour(shot, QRect(137, 60, 100, 28), QColor(0xFF, 0xFF, 0x00)));
    QVERIFY(hasColour(shot, QRect(132, 352, 20, 20), QColor(0xFF, 0, 0)));  // arrow picture
    QVERIFY(hasColour(shot, QRect(156, 352, 80, 20), QColor(0xFF, 0, 0)));  // link text
    QVERIFY(!hasColour(shot, QRect(100, 352, 30, 20), QColor(0xFF, 0, 0))); // nothing left of it
    QVERIFY(hasDark(shot, QRect(136, 8, 200, 20)));                         // caption
    QVERIFY(!hasDark(shot, QRect(136, 30, 200, 8)));
    QVERIFY(hasColour(shot, QRect(128, 100, 300, 40), QColor(0, 0, 0xFF))); // rich text
    QVERIFY(hasDark(shot, QRect(136, 299, 100, 20)));                       // edit text
    QVERIFY(!hasDark(shot, QRect(440, 295, 100, 28)));
}

void TestPageWindow::doubleClickIsOneClick_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("level") << QStringLiteral("level");
    QTest::newRow("step") << QStringLiteral("step");
    QTest::newRow("note name") << QStringLiteral("note");
    QTest::newRow("arrow link") << QStringLiteral("arrow");
}

// The learner double-clicks an entry: the window system delivers press,
// release, double click, release. The entry acts once; the keyboard picture
// still plays a key for each press.
void TestPageWindow::doubleClickIsOneClick()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        NK_SKIP_OR_FAIL(QStringLiteral("needs a real X display"));
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("levels")));
    TMainForm form{BasePath(dir.path())};
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Page &page = form.page();
    QStringList acted;
    ClickDispatcher &d = page.dispatcher();
    d.levelClick = [&acted](int tag) { acted << QStringLiteral("level %1").arg(tag); };
    d.stepClick = [&acted](int tag) { acted << QStringLiteral("step %1").arg(tag); };
    d.noteClick = [&acted](int tag) { acted << QStringLiteral("note %1").arg(tag); };
    d.setArrowAction(
        2, [&acted](TArrowLabel &l) { acted << QStringLiteral("arrow %1").arg(l.tag()); });
    ClickLabel *entry = nullptr;
    if (kind == QLatin1String("level"))
        entry = new TLevel(page, QStringLiteral("Уровень 1"), 111);
    else if (kind == QLatin1String("step"))
        entry = new TStep(page, QStringLiteral("Шаг 1"), 11);
    else if (kind == QLatin1String("note"))
        entry = new TNoteName(page, QStringLiteral("ДО"), 1);
    else
        entry = page.addArrowLink(QStringLiteral("Вернуться на шаг назад"), 2);
    entry->move(entry->x(), 100);
    entry->show();
    QWindow *window = form.windowHandle();
    const auto at = [&form](QWidget *w) { return w->mapTo(&form, w->rect().center()); };
    QTest::mouseDClick(window, Qt::LeftButton, {}, at(entry));
    QCOMPARE(acted.size(), 1); // the events are delivered before mouseDClick returns
    QTest::mouseClick(window, Qt::LeftButton, {}, at(entry)); // a later click still acts
    QTRY_COMPARE(acted.size(), 2);

    int presses = 0;
    connect(qobject_cast<ClickLabel *>(form.keyboardPicture()), &ClickLabel::pressed, this,
            [&presses] { ++presses; });
    form.setFixedHeight(TMainForm::ShownHeight);
    QTRY_VERIFY(form.keyboardPicture()->isVisible() && form.height() == TMainForm::ShownHeight);
    QTest::mouseDClick(window, Qt::LeftButton, {}, at(form.keyboardPicture()));
    QTRY_COMPARE(presses, 2);
}

QTEST_MAIN(TestPageWindow)
#include "tst_pagewindow.moc"
