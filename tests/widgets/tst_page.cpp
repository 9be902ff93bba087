#include "recordingwindow.h"
#include "widgets/afterfirstpaint.h"
#include "widgets/messagebox.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tmycaption.h"
#include "widgets/tmyedit.h"
#include "widgets/trichbox.h"

#include <QDir>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {
QStringList g_messages;
void recordMessage(const QString &text)
{
    g_messages.append(text);
}

// Types as a keyboard does, character by character, Cyrillic included.
void type(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
    }
}
} // namespace

class TestPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void linkClearsItsOwnPageAndBuildsNext();
    void secondClearSchedulesNothingTwice();
    void fixedControlsAndTimersSurvive();
    void lookupByNameSkipsRemovedWidgets();
    void controlAtPoint_data();
    void controlAtPoint();
    void enableAtPoint();
    void conventions();
    void labelsShowCarriageReturnsAsLines();
    void picturesLoadOrStayEmpty();
    void answerBoxEnter();
    void answerBoxRefusesUncodableText();
    void richBoxLinks_data();
    void richBoxLinks();
    void workAfterFirstPaint_data();
    void workAfterFirstPaint();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RecordingWindow> m_window;
    std::unique_ptr<Page> m_page;
};

void TestPage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkpath(QStringLiteral("pictures"));
    QImage arrow(16, 16, QImage::Format_RGB32);
    arrow.fill(Qt::red);
    QVERIFY(arrow.save(m_dir->filePath(QStringLiteral("pictures/arrred.gif.bmp")), "BMP"));
    QFile::rename(m_dir->filePath(QStringLiteral("pictures/arrred.gif.bmp")),
                  m_dir->filePath(QStringLiteral("pictures/arrred.gif")));
    m_window = std::make_unique<RecordingWindow>();
    m_page = std::make_unique<Page>(m_window.get(), *m_window, BasePath(m_dir->path()));
    g_messages.clear();
    MessageBox::setHook(&recordMessage);
}

void TestPage::cleanup()
{
    MessageBox::setHook(nullptr);
    m_page.reset();
    m_window.reset();
}

void TestPage::linkClearsItsOwnPageAndBuildsNext()
{
    m_page->addCaption(QStringLiteral("Первая страница"));
    QPointer<TArrowLabel> link = m_page->addArrowLink(QStringLiteral("Дальше"), 8);
    QPointer<QWidget> caption = m_page->pageWidgets().first();
    m_page->dispatcher().setArrowAction(8, [this](TArrowLabel &) {
        m_page->ClearPage();
        m_page->addCaption(QStringLiteral("Вторая страница"));
    });
    QTest::mouseClick(link, Qt::LeftButton);
    // Still alive while the handler's page is built, gone once it returned.
    QVERIFY(link);
    QVERIFY(link->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!link);
    QVERIFY(!caption);
    const QList<QWidget *> now = m_page->pageWidgets();
    QCOMPARE(now.size(), 1);
    QCOMPARE(qobject_cast<QLabel *>(now.first())->text(), QStringLiteral("Вторая страница"));
}

void TestPage::secondClearSchedulesNothingTwice()
{
    m_page->addText(QStringLiteral("a"), QPoint(200, 100));
    m_page->addText(QStringLiteral("b"), QPoint(200, 130));
    int destroyed = 0;
    for (QWidget *w : m_page->pageWidgets())
        connect(w, &QObject::destroyed, this, [&destroyed] { ++destroyed; });
    m_page->ClearPage();
    m_page->ClearPage();
    QVERIFY(m_page->pageWidgets().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(destroyed, 2);
}

void TestPage::fixedControlsAndTimersSurvive()
{
    auto *fixed = new QPushButton(m_window.get());
    fixed->setObjectName(QStringLiteral("btPart1"));
    auto *timer = new QTimer(m_window.get());
    auto *zeroTag = new PageLabel(*m_page, QStringLiteral("fixed"), 0);
    m_page->addText(QStringLiteral("page"), QPoint(200, 100));
    m_page->ClearPage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_window->findChild<QPushButton *>(QStringLiteral("btPart1")), fixed);
    QCOMPARE(m_window->findChild<QTimer *>(), timer);
    QVERIFY(m_window->findChildren<PageLabel *>().contains(zeroTag));
    QCOMPARE(m_window->findChildren<PageLabel *>().size(), 1);
}

void TestPage::lookupByNameSkipsRemovedWidgets()
{
    TRichBox *box =
        m_page->addTextBox(QStringLiteral("levels\\about.dat"), QRect(128, 0, 649, 345), 3);
    box->setObjectName(QStringLiteral("abox"));
    QCOMPARE(m_page->findByName(QStringLiteral("abox")), box);
    m_page->ClearPage();
    QCOMPARE(m_page->findByName(QStringLiteral("abox")), nullptr);
    QCOMPARE(m_page->controlAt(QPoint(200, 100)), nullptr);
}

void TestPage::controlAtPoint_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("expected");
    QTest::newRow("button over a later picture") << QPoint(150, 120) << "button";
    QTest::newRow("later label over earlier label") << QPoint(310, 205) << "second";
    QTest::newRow("disabled edit found") << QPoint(140, 300) << "edit";
    QTest::newRow("plain picture") << QPoint(300, 120) << "picture";
    QTest::newRow("nothing") << QPoint(700, 30) << "";
}

void TestPage::controlAtPoint()
{
    QFETCH(QPoint, point);
    QFETCH(QString, expected);
    auto *button = m_page->addButton(QStringLiteral("Послушать"), QRect(137, 100, 100, 30), 9,
                                     TYesButton::Face::Yellow);
    button->setObjectName(QStringLiteral("button"));
    auto *picture = new PagePicture(*m_page);
    picture->setGeometry(130, 90, 200, 60);
    picture->setObjectName(QStringLiteral("picture"));
    m_page->addText(QStringLiteral("first label"), QPoint(300, 200))
        ->setObjectName(QStringLiteral("first"));
    m_page->addText(QStringLiteral("second"), QPoint(305, 200))
        ->setObjectName(QStringLiteral("second"));
    auto *edit = new TMyEdit(*m_page, 2);
    edit->setGeometry(132, 295, 300, 28);
    edit->setObjectName(QStringLiteral("edit"));
    edit->setEnabled(false);
    QWidget *found = m_page->controlAt(point);
    QCOMPARE(found ? found->objectName() : QString(), expected);
}

void TestPage::enableAtPoint()
{
    auto *button = m_page->addButton(QStringLiteral("Ответить!"), QRect(137, 177, 90, 25), 17);
    button->setEnabled(false);
    QVERIFY(m_page->enableAt(QPoint(140, 180)));
    QVERIFY(button->isEnabled());
    QVERIFY(m_page->enableAt(QPoint(140, 180), false));
    QVERIFY(!button->isEnabled());
    QVERIFY(!m_page->enableAt(QPoint(600, 20)));
}

void TestPage::conventions()
{
    TMyCaption *caption = m_page->addCaption(QStringLiteral("Шаг 3"));
    QCOMPARE(caption->pos(), QPoint(136, 8));
    QCOMPARE(caption->tag(), 4);
    QCOMPARE(caption->font().pixelSize(), 16);
    QVERIFY(caption->font().bold());
    QCOMPARE(caption->size(), caption->sizeHint());

    TArrowLabel *forward = m_page->addArrowLink(QStringLiteral("Дальше"), 10);
    QCOMPARE(forward->pos(), QPoint(156, 352));
    QCOMPARE(forward->textColor(), QColor(0xFF, 0, 0));
    QWidget *arrow = m_page->controlAt(QPoint(133, 355));
    QVERIFY(arrow);
    QCOMPARE(arrow->pos(), QPoint(132, 352));
    QCOMPARE(PageItem::of(arrow)->tag(), 10);
    QCOMPARE(arrow->size(), QSize(16, 16));

    TArrowLabel *back =
        m_page->addArrowLink(QStringLiteral("Назад"), 2, Page::Link::Backward, 328, 300);
    QCOMPARE(back->textColor(), QColor(0x80, 0, 0x80));
    QCOMPARE(back->pos(), QPoint(300, 328));

    TYesButton *yes = m_page->addButton(QStringLiteral("ДА!"), QRect(436, 295, 50, 28), 1);
    QCOMPARE(yes->faceColor(), QColor(0x84, 0xC2, 0x25));
    QCOMPARE(yes->font().pixelSize(), 13);
    QCOMPARE(TYesButton::colorOf(TYesButton::Face::Yellow), QColor(0xFF, 0xFF, 0));
}

void TestPage::labelsShowCarriageReturnsAsLines()
{
    PageLabel *label = m_page->addText(QStringLiteral("один\rдва\r\nтри"), QPoint(150, 50));
    QCOMPARE(label->text(), QStringLiteral("один\nдва\nтри"));
    QVERIFY(label->height() > 2 * label->fontMetrics().height());
}

void TestPage::picturesLoadOrStayEmpty()
{
    PagePicture *missing =
        m_page->addPicture(QStringLiteral("pictures\\none.gif"), QPoint(300, 50));
    QVERIFY(missing->pixmap().isNull());
    QImage big(400, 200, QImage::Format_RGB32);
    big.fill(Qt::blue);
    QVERIFY(big.save(m_dir->filePath(QStringLiteral("pictures/big.bmp")), "BMP"));
    auto *boxed = new PagePicture(*m_page);
    QVERIFY(boxed->loadInto(m_dir->filePath(QStringLiteral("pictures/big.bmp")),
                            QRect(128, 40, 200, 200)));
    QCOMPARE(boxed->pixmap().size(), QSize(200, 100));
    QCOMPARE(boxed->geometry(), QRect(128, 40, 200, 200));
    auto *natural = new PagePicture(*m_page);
    QVERIFY(natural->load(m_dir->filePath(QStringLiteral("pictures/arrred.gif"))));
    QCOMPARE(natural->size(), QSize(16, 16));
}

void TestPage::answerBoxEnter()
{
    int saved = 0;
    m_page->dispatcher().answerEnter = [&saved] { ++saved; };
    auto *edit = new TMyEdit(*m_page, TMyEdit::AnswerBoxTag);
    edit->setGeometry(132, 295, 300, 28);
    TArrowLabel *next =
        m_page->addArrowLink(QStringLiteral("Продолжить"), 1, Page::Link::Forward, 328, 157);
    next->setEnabled(false);

    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(g_messages, QStringList{QStringLiteral("Сначала введите ответ!")});
    QCOMPARE(saved, 0);
    QVERIFY(!next->isEnabled());

    type(edit, QStringLiteral("тёплая"));
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(saved, 1);
    QVERIFY(next->isEnabled());

    auto *other = new TMyEdit(*m_page, 3);
    QTest::keyClick(other, Qt::Key_Return);
    QCOMPARE(saved, 1);
    QCOMPARE(g_messages.size(), 1);
}

void TestPage::answerBoxRefusesUncodableText()
{
    auto *edit = new TMyEdit(*m_page, 2);
    type(edit, QStringLiteral("до♪ре"));
    QCOMPARE(edit->text(), QStringLiteral("доре"));
}

void TestPage::richBoxLinks_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("opened");
    QTest::newRow("plain") << "http://notoklyuv.example/full"
                           << "http://notoklyuv.example/full?id=demo";
    QTest::newRow("with #") << "http://notoklyuv.example/#buy"
                            << "http://notoklyuv.example/#buy";
    QTest::newRow("www") << "www.example.org"
                         << "www.example.org?id=demo";
}

void TestPage::richBoxLinks()
{
    QFETCH(QString, link);
    QFETCH(QString, opened);
    QStringList seen;
    m_page->dispatcher().openSite = [&seen](const QString &a) { seen << a; };
    TRichBox *box =
        m_page->addTextBox(QStringLiteral("levels\\none.dat"), QRect(128, 40, 649, 305));
    QVERIFY(box->toPlainText().isEmpty());
    Q_EMIT box->anchorClicked(QUrl(link));
    QCOMPARE(seen, QStringList{opened});
    QCOMPARE(TRichBox::linkAddress(link), opened);
}

void TestPage::workAfterFirstPaint_data()
{
    // p: a paint of the window, a paint of a child, e: the events queued so far
    // handled, x: the window closed and deleted.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("runs"); // after each step
    QTest::newRow("waits for the paint, then for the paint to finish") << u"epe"_s << u"001"_s;
    QTest::newRow("once for many paints") << u"ppeppe"_s << u"001111"_s;
    QTest::newRow("a child's paint is not the window's") << u"ce"_s << u"00"_s;
    QTest::newRow("never for a window gone") << u"pxe"_s << u"000"_s;
}

// Start-up work that waits for the window's first paint runs once it is
// painted and on screen, once, and never for a window that is gone.
void TestPage::workAfterFirstPaint()
{
    QFETCH(QString, steps);
    QFETCH(QString, runs);
    auto window = std::make_unique<QWidget>();
    auto *child = new QWidget(window.get());
    int ran = 0;
    AfterFirstPaint::schedule(window.get(), [&ran] { ++ran; });
    QString seen;
    for (const QChar step : steps) {
        QPaintEvent paint(QRect(0, 0, 1, 1));
        if (step == u'p')
            QCoreApplication::sendEvent(window.get(), &paint);
        else if (step == u'c')
            QCoreApplication::sendEvent(child, &paint);
        else if (step == u'x')
            window.reset();
        else
            QCoreApplication::processEvents();
        seen += QString::number(ran);
    }
    QCOMPARE(seen, runs);
}

QTEST_MAIN(TestPage)
#include "tst_page.moc"
