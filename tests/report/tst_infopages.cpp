#include "app/tmainform.h"
#include "report/infopages.h"
#include "widgets/navigation.h"
#include "widgets/page.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/trichbox.h"
#include "windowrig.h"

#include <QDesktopServices>
#include <QPointer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <memory>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

// Where the course would go; the course pages themselves are tested elsewhere.
class RecordingNavigation : public Navigation
{
public:
    void ShowPartPage(int part) override { parts.append(part); }
    void ShowLevelPage(int level) override { levels.append(level); }
    void ActivateStep(int) override {}
    bool IsStepUsed(int) override { return false; }
    void MarkStepUsed(int) override {}

    QList<int> parts;
    QList<int> levels;
};

const QString kInstruction = u"Как заниматься по курсу"_s;
const QString kAbout = u"О курсе. Сайт: http://maker.example/page и вопросы: "
                       u"http://maker.example/faq#top, http://maker.example/a%20b, "
                       u"http://maker.example/q?a=1|2 и mailto:maker@maker.example"_s;
const QString kError = u"Если что-то пошло не так, напишите нам"_s;

QStringList anchorsOf(const QTextDocument *document)
{
    QStringList anchors;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (!href.isEmpty())
                anchors.append(href);
        }
    }
    return anchors;
}

} // namespace

class TestInfoPages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void firstRunThenLater();
    void secondClickChangesNothing_data();
    void secondClickChangesNothing();
    void aboutLinks_data();
    void aboutLinks();
    void errorHelpReplacesTheText();
    void continueGoesToLevelOne();
    void missingTextStillGivesTheLinks_data();
    void missingTextStillGivesTheLinks();
    void textLinksOpenTheSite_data();
    void textLinksOpenTheSite();
    void noBrowser();

private:
    void startForm();
    void click(const char *menuEntry);
    TRichBox *box(const QString &name) const;
    bool pictureAt(QPoint topLeft, int tag) const;

    RecordingNavigation m_navigation;
    std::unique_ptr<WindowRig> m_rig;
};

void TestInfoPages::init()
{
    m_rig = std::make_unique<WindowRig>(
        RigSetup(RigSetup::Bare).asFirstRun().scaledBy(1.0).startLater());
    QVERIFY(m_rig->ready());
    QVERIFY(m_rig->writeText(u"levels/instruction.dat"_s, kInstruction));
    QVERIFY(m_rig->writeText(u"levels/about.dat"_s, kAbout));
    QVERIFY(m_rig->writeText(u"levels/error.dat"_s, kError));
    m_navigation = {};
}

void TestInfoPages::cleanup()
{
    m_rig.reset();
}

// Every run here is a first run: the window opens on the instruction page, and
// the instruction page of any later run is the one opened from the menu.
void TestInfoPages::startForm()
{
    QVERIFY(m_rig->writeText(u"levels/settings.dat"_s,
                             u"[main]\r\nsite=http://maker.example\r\nfirstrun=1\r\n"_s));
    m_rig->start();
    m_rig->page().setNavigation(&m_navigation);
    QVERIFY(QTest::qWaitForWindowExposed(&m_rig->form()));
}

void TestInfoPages::click(const char *menuEntry)
{
    QWidget *entry = m_rig->form().findChild<QWidget *>(QLatin1String(menuEntry));
    QVERIFY(entry);
    QTest::mouseClick(entry, Qt::LeftButton);
}

TRichBox *TestInfoPages::box(const QString &name) const
{
    return qobject_cast<TRichBox *>(m_rig->form().page().findByName(name));
}

bool TestInfoPages::pictureAt(QPoint topLeft, int tag) const
{
    for (QWidget *w : m_rig->form().page().pageWidgets()) {
        auto *picture = qobject_cast<PagePicture *>(w);
        if (picture && picture->tag() == tag && picture->pos() == topLeft)
            return true;
    }
    return false;
}

void TestInfoPages::firstRunThenLater()
{
    startForm();
    QCOMPARE(m_rig->logMessages(), (QStringList{u"Программа запущена"_s, u"Открыта инструкция"_s}));
    TRichBox *instruct = box(u"instruct"_s);
    QVERIFY(instruct);
    QCOMPARE(instruct->geometry(), QRect(128, 0, 649, 345));
    QCOMPARE(instruct->tag(), 2);
    QCOMPARE(instruct->toPlainText(), kInstruction);
    QVERIFY(instruct->hasFocus());
    TArrowLabel *start = m_rig->link(InfoPages::StartTag);
    QVERIFY(start);
    QCOMPARE(start->text(), u"Начать работу!"_s);
    QCOMPARE(start->pos(), QPoint(156, 360));
    QCOMPARE(start->textColor(), QColor(0xFF, 0, 0));
    QVERIFY(pictureAt(QPoint(132, 360), InfoPages::StartTag));
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(m_navigation.parts, QList<int>{1});
    QVERIFY(m_navigation.levels.isEmpty());

    // Later visits, the keyboard panel open meanwhile.
    click("lbAbout");
    m_rig->form().state().Settings.KeyboardShown = false;
    m_rig->form().SlideKeyboard();
    QVERIFY(m_rig->form().KeyboardIsShown());
    click("lbInstr");
    QVERIFY(!m_rig->form().KeyboardIsShown());
    QCOMPARE(m_rig->link(InfoPages::StartTag)->text(), u"Продолжить работу!"_s);
    QTest::mouseClick(m_rig->link(InfoPages::StartTag), Qt::LeftButton);
    QCOMPARE(m_navigation.levels, QList<int>{1});
    QCOMPARE(m_navigation.parts, QList<int>{1});
}

void TestInfoPages::secondClickChangesNothing_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("name");
    QTest::newRow("Инструкция") << QByteArray("lbInstr") << u"instruct"_s;
    QTest::newRow("О программе") << QByteArray("lbAbout") << u"abox"_s;
}

void TestInfoPages::secondClickChangesNothing()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, name);
    startForm();
    click(entry.constData());
    QPointer<TRichBox> first = box(name);
    QVERIFY(first);
    const QList<QWidget *> widgets = m_rig->form().page().pageWidgets();
    const QStringList log = m_rig->logMessages();
    click(entry.constData());
    QCOMPARE(m_rig->logMessages(), log);
    QCOMPARE(box(name), first.data());
    QCOMPARE(m_rig->form().page().pageWidgets(), widgets);
}

void TestInfoPages::aboutLinks_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("left");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("underlined");
    QTest::newRow("continue") << 11 << u"Продолжить работу!"_s << 156 << QColor(0xFF, 0, 0)
                              << false;
    QTest::newRow("send") << 19 << u"Отправить отчёт"_s << 370 << QColor(0x84, 0xC2, 0x25) << true;
    QTest::newRow("error help") << 20 << u"Что делать при ошибке"_s << 570 << QColor(0, 0, 0xFF)
                                << true;
}

void TestInfoPages::aboutLinks()
{
    QFETCH(int, tag);
    startForm();
    click("lbAbout");
    QCOMPARE(m_rig->logMessages().count(u"Открыт раздел О программе"_s), 1);
    TRichBox *about = box(u"abox"_s);
    QVERIFY(about);
    QCOMPARE(about->geometry(), QRect(128, 0, 649, 345));
    QCOMPARE(about->tag(), 3);
    QVERIFY(pictureAt(QPoint(132, 360), InfoPages::ContinueTag));
    TArrowLabel *l = m_rig->link(tag);
    QVERIFY(l);
    QTEST(l->text(), "text");
    QFETCH(int, left);
    QCOMPARE(l->pos(), QPoint(left, 360));
    QTEST(l->textColor(), "color");
    QTEST(l->font().underline(), "underlined");
    QVERIFY(l->font().bold());
    QCOMPARE(l->cursor().shape(), Qt::PointingHandCursor);
}

void TestInfoPages::errorHelpReplacesTheText()
{
    startForm();
    click("lbAbout");
    QPointer<TRichBox> about = box(u"abox"_s);
    QVERIFY(about);
    QVERIFY(about->toPlainText().startsWith(u"О курсе."_s));
    const QStringList log = m_rig->logMessages();
    QTest::mouseClick(m_rig->link(InfoPages::ErrorHelpTag), Qt::LeftButton);
    QCOMPARE(box(u"abox"_s), about.data());
    QCOMPARE(about->toPlainText(), kError);
    QCOMPARE(m_rig->logMessages(), log);
    for (int tag : {11, 19, 20})
        QVERIFY(m_rig->link(tag));
}

void TestInfoPages::continueGoesToLevelOne()
{
    startForm();
    click("lbAbout");
    QTest::mouseClick(m_rig->link(InfoPages::ContinueTag), Qt::LeftButton);
    QCOMPARE(m_navigation.levels, QList<int>{1});
    QVERIFY(m_navigation.parts.isEmpty());
}

void TestInfoPages::missingTextStillGivesTheLinks_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("tags");
    QTest::addColumn<bool>("errorHelp"); // "Что делать при ошибке" is clicked
    QTest::newRow("instruction") << QByteArray("lbInstr") << u"levels/instruction.dat"_s
                                 << u"instruct"_s << QList<int>{4} << false;
    QTest::newRow("about") << QByteArray("lbAbout") << u"levels/about.dat"_s << u"abox"_s
                           << QList<int>{11, 19, 20} << false;
    QTest::newRow("error help") << QByteArray("lbAbout") << u"levels/error.dat"_s << u"abox"_s
                                << QList<int>{11, 19, 20} << true;
}

// The learner is told which file could not be opened, once, and keeps the
// way on.
void TestInfoPages::missingTextStillGivesTheLinks()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, file);
    QFETCH(QString, name);
    QFETCH(QList<int>, tags);
    QFETCH(bool, errorHelp);
    QVERIFY(QFile::remove(m_rig->path(file)));
    startForm();
    click(entry.constData());
    if (errorHelp)
        QTest::mouseClick(m_rig->link(InfoPages::ErrorHelpTag), Qt::LeftButton);
    QVERIFY(box(name));
    QCOMPARE(box(name)->toPlainText(), QString());
    for (int tag : tags)
        QVERIFY2(m_rig->link(tag), qPrintable(QString::number(tag)));
    QCOMPARE(WindowRig::messages().size(), 1);
    QVERIFY2(WindowRig::messages().first().startsWith(u"Не удалось открыть файл "_s) &&
                 WindowRig::messages().first().endsWith(file),
             qPrintable(WindowRig::messages().first()));
}

void TestInfoPages::textLinksOpenTheSite_data()
{
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<QString>("opened");
    QTest::newRow("without #") << u"http://maker.example/page"_s
                               << u"http://maker.example/page?id=demo"_s;
    QTest::newRow("with #") << u"http://maker.example/faq#top"_s
                            << u"http://maker.example/faq#top"_s;
    QTest::newRow("escaped blank")
        << u"http://maker.example/a%20b"_s << u"http://maker.example/a%20b?id=demo"_s;
    QTest::newRow("bar") << u"http://maker.example/q?a=1|2"_s
                         << u"http://maker.example/q?a=1%7C2?id=demo"_s;
    QTest::newRow("mail") << u"mailto:maker@maker.example"_s << u"mailto:maker@maker.example"_s;
}

void TestInfoPages::textLinksOpenTheSite()
{
    QFETCH(QString, anchor);
    QFETCH(QString, opened);
    startForm();
    click("lbAbout");
    TRichBox *about = box(u"abox"_s);
    QVERIFY(anchorsOf(about->document()).contains(anchor));
    Q_EMIT about->anchorClicked(QUrl(anchor));
    QCOMPARE(m_rig->openedUrls(), QList<QUrl>{QUrl(opened)});
    if (opened.startsWith(u"mailto:"_s))
        QVERIFY(!m_rig->logMessages().last().startsWith(u"Открытие сайта"_s));
    else
        QCOMPARE(m_rig->logMessages().last(), u"Открытие сайта "_s + opened);
    QVERIFY(box(u"abox"_s));
}

// With no browser to start the learner is given the address to copy, and
// the log does not claim the site was opened.
void TestInfoPages::noBrowser()
{
    startForm();
    click("lbAbout");
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QTemporaryDir emptyPath;
    const QByteArray path = qgetenv("PATH");
    const QByteArray browser = qgetenv("BROWSER");
    qputenv("PATH", QFile::encodeName(emptyPath.path()));
    qunsetenv("BROWSER");
    const auto restore = qScopeGuard([&] {
        qputenv("PATH", path);
        if (!browser.isEmpty())
            qputenv("BROWSER", browser);
    });
    const qsizetype logged = m_rig->logMessages().size();
    WindowRig::messages().clear();
    Q_EMIT box(u"abox"_s)->anchorClicked(QUrl(u"http://maker.example/page"_s));
    QCOMPARE(WindowRig::messages(), QStringList{u"Не удалось открыть браузер. Откройте адрес сами: "
                                                "http://maker.example/page?id=demo"_s});
    QCOMPARE(m_rig->logMessages().size(), logged);
}

QTEST_MAIN(TestInfoPages)
#include "tst_infopages.moc"
