#include "app/tmainform.h"
#include "course/cp1251.h"
#include "course/scopedflag.h"
#include "course/shutdown.h"
#include "report/reportpages.h"
#include "widgets/gradientbutton.h"
#include "widgets/messagebox.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

namespace {
QStringList g_messages;
void recordMessage(const QString &text)
{
    g_messages.append(text);
}

bool drawsColour(QWidget *w, const QColor &color)
{
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == color.rgb())
                return true;
        }
    }
    return false;
}
} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { MessageBox::setHook(nullptr); }
    void fixedControls_data();
    void fixedControls();
    void windowLook();
    void keyLettersToggleTakesTabNotClicks();
    void slideBothWaysAndNoOp();
    void closeRoutes_data();
    void closeRoutes();
    void disableAndEnableAllControls();
    void menuDisableEnable();
    void firstRunThenLaterStart();
    void startupWorkRunsOnce();
    void soundAndNetworkWaitForFirstPaint();
    void logFailureAtStartAndCloseIsShown();
    void closedBeforeStartKeepsSettings();
    void leftoversGoWhenClosedBeforePaint();
    void trayRestore_data();
    void trayRestore();
    void minimiseWithoutTrayKeepsWindowReachable();

private:
    QStringList logLines() const;
    static QAction *trayAction(TMainForm &form, const QString &text);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainForm::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("levels")));
    g_messages.clear();
    MessageBox::setHook(&recordMessage);
}

QStringList TestMainForm::logLines() const
{
    QFile f(m_dir->filePath(QStringLiteral("levels/log.dat")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &record : f.readAll().split('\x0D')) {
        if (!record.isEmpty())
            lines.append(Cp1251::decode(record.mid(record.indexOf(" - ") + 3).chopped(1)));
    }
    return lines;
}

void TestMainForm::fixedControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    QTest::newRow("imgKeyboard") << "imgKeyboard" << QRect(0, 380, 780, 251) << "";
    QTest::newRow("Image1") << "Image1" << QRect(0, 0, 121, 121) << "";
    QTest::newRow("lbInstr") << "lbInstr" << QRect(8, 120, 99, 20) << "Инструкция";
    QTest::newRow("btPart1") << "btPart1" << QRect(8, 144, 113, 25) << "Часть I";
    QTest::newRow("btPart2") << "btPart2" << QRect(8, 176, 113, 25) << "Часть II";
    QTest::newRow("btPart3") << "btPart3" << QRect(8, 208, 113, 25) << "Часть III";
    QTest::newRow("btPart4") << "btPart4" << QRect(8, 240, 113, 25) << "Часть IV";
    QTest::newRow("Label1") << "Label1" << QRect(8, 272, 112, 16) << "Полная версия";
    QTest::newRow("lbAbout") << "lbAbout" << QRect(8, 296, 111, 20) << "О программе";
    QTest::newRow("btExit") << "btExit" << QRect(8, 320, 113, 57) << "";
}

void TestMainForm::fixedControls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    TMainForm form{BasePath(m_dir->path())};
    auto *w = form.findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(w);
    QCOMPARE(w->geometry(), geometry);
    if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), text);
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        QCOMPARE(button->text(), text);
}

void TestMainForm::windowLook()
{
    TMainForm form{BasePath(m_dir->path())};
    QCOMPARE(form.windowTitle(), QStringLiteral("Нотоклюв - демоверсия"));
    QCOMPARE(form.size(), QSize(779, 383));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.font().pixelSize(), 11);
    auto *instr = form.findChild<QLabel *>(QStringLiteral("lbInstr"));
    QCOMPARE(instr->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    QVERIFY(instr->font().bold() && instr->font().underline());
    QCOMPARE(instr->font().pixelSize(), 16);
    auto *about = form.findChild<QLabel *>(QStringLiteral("lbAbout"));
    QCOMPARE(about->palette().color(QPalette::WindowText), QColor(0x33, 0x33, 0x99));
    auto *part = form.findChild<GradientButton *>(QStringLiteral("btPart1"));
    QCOMPARE(part->faceColor(), QColor(0x84, 0xC2, 0x25));
    QCOMPARE(part->font().pixelSize(), 13);
    // Tab order runs down the menu column as it reads, from the logo through
    // the links and part buttons to the exit button.
    QWidget *w = form.findChild<QWidget *>(QStringLiteral("Image1"));
    for (const char *next :
         {"lbInstr", "btPart1", "btPart2", "btPart3", "btPart4", "Label1", "lbAbout", "btExit"}) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus)
            w = w->nextInFocusChain();
        QCOMPARE(w->objectName(), QLatin1String(next));
    }
}

// Space on a page must stay the page's after a click on the toggle, but a
// learner without the mouse reaches it with Tab, after the menu column.
void TestMainForm::keyLettersToggleTakesTabNotClicks()
{
    TMainForm form{BasePath(m_dir->path())};
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.SlideKeyboard();
    auto *toggle = form.findChild<QCheckBox *>(QStringLiteral("cbKeyLetters"));
    auto *exit = form.findChild<QWidget *>(QStringLiteral("btExit"));
    exit->setFocus();
    QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(8, toggle->height() / 2));
    QVERIFY(!toggle->hasFocus());
    bool reached = false;
    for (int i = 0; i < 50 && !reached; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached = toggle->hasFocus();
    }
    QVERIFY(reached);
}

void TestMainForm::slideBothWaysAndNoOp()
{
    TMainForm form{BasePath(m_dir->path())};
    TGlobalSettings &s = form.state().Settings;
    QVERIFY(!form.KeyboardIsShown());

    s.KeyboardShown = false; // ask to show
    form.SlideKeyboard();
    QCOMPARE(form.height(), 635);
    QCOMPARE(form.minimumHeight(), 635);
    QCOMPARE(form.maximumHeight(), 635);
    QVERIFY(form.KeyboardIsShown());
    QCOMPARE(s.KeyboardShown, true);

    s.KeyboardShown = false; // ask to show again: nothing changes
    form.SlideKeyboard();
    QCOMPARE(form.height(), 635);
    QCOMPARE(s.KeyboardShown, false);

    s.KeyboardShown = true; // ask to hide
    form.SlideKeyboard();
    QCOMPARE(form.height(), 383);
    QCOMPARE(form.minimumHeight(), 383);
    QCOMPARE(s.KeyboardShown, false);

    s.KeyboardShown = true; // hide while hidden: nothing changes
    form.SlideKeyboard();
    QCOMPARE(form.height(), 383);
    QCOMPARE(s.KeyboardShown, true);
}

QAction *TestMainForm::trayAction(TMainForm &form, const QString &text)
{
    const QMenu *menu = form.trayMenu();
    for (QAction *action : menu ? menu->actions() : QList<QAction *>{}) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// Every way to close: refused while a playback loop runs (nothing saved), then
// settings saved and the close logged. A session end waits for the loop and
// closes by itself; the learner's routes are refused and must be taken again.
void TestMainForm::closeRoutes_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<bool>("waitsForLoop");
    QTest::newRow("exit button") << QStringLiteral("exit") << false;
    QTest::newRow("tray menu") << QStringLiteral("tray") << false;
    QTest::newRow("session end") << QStringLiteral("session") << true;
}

void TestMainForm::closeRoutes()
{
    QFETCH(QString, route);
    QFETCH(bool, waitsForLoop);
    TMainForm form{BasePath(m_dir->path())};
    form.show();
    form.state().Settings.Part = 3;
    const QString settings = m_dir->filePath(QStringLiteral("levels/settings.dat"));
    QAction *exit = trayAction(form, QStringLiteral("Выход"));
    QVERIFY(exit);
    const auto take = [&] {
        if (route == QLatin1String("exit"))
            QTest::mouseClick(form.findChild<QWidget *>(QStringLiteral("btExit")), Qt::LeftButton);
        else if (route == QLatin1String("tray"))
            exit->trigger();
        else
            form.endSession();
    };
    QSignalSpy closed(&form, &TMainForm::closed);
    {
        ScopedFlag busy(form.state().Settings.Busy);
        take();
        QVERIFY(form.isVisible());
        QVERIFY(!QFile::exists(settings));
        QCOMPARE(Shutdown::requested(), waitsForLoop); // the loop is told to end
    }
    if (!waitsForLoop)
        take();
    QTRY_VERIFY(!form.isVisible());
    QCOMPARE(closed.size(), 1);
    QVERIFY(QFile::exists(settings));
    QVERIFY(Shutdown::requested());
    QCOMPARE(logLines(), (QStringList{QStringLiteral("Программа запущена"),
                                      QStringLiteral("Программа закрыта")}));
}

void TestMainForm::disableAndEnableAllControls()
{
    TMainForm form{BasePath(m_dir->path())};
    auto *extra = new QLabel(&form);
    extra->setEnabled(false);
    form.DisableAllControls();
    for (QWidget *w : form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    form.EnableAllControls();
    for (QWidget *w : form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(extra->isEnabled());
}

void TestMainForm::menuDisableEnable()
{
    TMainForm form{BasePath(m_dir->path())};
    const QStringList menu{QStringLiteral("lbInstr"), QStringLiteral("Label1"),
                           QStringLiteral("lbAbout"), QStringLiteral("btPart1"),
                           QStringLiteral("btPart2"), QStringLiteral("btPart3"),
                           QStringLiteral("btPart4")};
    const QList<QPair<QString, QColor>> links{
        {QStringLiteral("lbInstr"), QColor(0xFF, 0, 0)},
        {QStringLiteral("Label1"), QColor(0xFF, 0, 0)},
        {QStringLiteral("lbAbout"), QColor(0x33, 0x33, 0x99)}};
    form.DisableMenu();
    for (const QString &name : menu)
        QVERIFY(!form.findChild<QWidget *>(name)->isEnabled());
    QVERIFY(form.findChild<QWidget *>(QStringLiteral("btExit"))->isEnabled());
    // A disabled link is drawn grey, not in its own colour.
    for (const auto &[name, color] : links)
        QVERIFY2(!drawsColour(form.findChild<QWidget *>(name), color), qPrintable(name));
    form.EnableMenu();
    for (const QString &name : menu)
        QVERIFY(form.findChild<QWidget *>(name)->isEnabled());
    for (const auto &[name, color] : links)
        QVERIFY2(drawsColour(form.findChild<QWidget *>(name), color), qPrintable(name));
}

void TestMainForm::firstRunThenLaterStart()
{
    QStringList opened;
    {
        TMainForm form{BasePath(m_dir->path())};
        form.routes().showInstructionPage = [&] {
            QVERIFY(form.state().Settings.FirstRun); // the page still sees the first run
            opened << QStringLiteral("instruction");
        };
        form.routes().showLevelPage = [&](int level) { opened << QString::number(level); };
        form.show();
        QVERIFY(form.close());
    }
    {
        TMainForm form{BasePath(m_dir->path())};
        form.routes().showInstructionPage = [&] { opened << QStringLiteral("instruction"); };
        form.routes().showLevelPage = [&](int level) { opened << QString::number(level); };
        form.show();
        QVERIFY(form.close());
    }
    QCOMPARE(opened, (QStringList{QStringLiteral("instruction"), QStringLiteral("1")}));
    QCOMPARE(logLines().size(), 4);
}

void TestMainForm::startupWorkRunsOnce()
{
    TMainForm form{BasePath(m_dir->path())};
    int shown = 0;
    form.routes().showInstructionPage = [&] { ++shown; };
    form.routes().showLevelPage = [&](int) { ++shown; };
    form.show();
    form.hide();
    form.show(); // as after a return from the tray
    QCOMPARE(shown, 1);
    QVERIFY(form.state().Started);
}

void TestMainForm::soundAndNetworkWaitForFirstPaint()
{
    TMainForm form{BasePath(m_dir->path())};
    const auto ready = [&form] {
        return std::pair(form.state().player.isReady(), form.reports().uploader().isReady());
    };
    QCOMPARE(ready(), std::pair(false, false));
    int pages = 0;
    form.routes().showInstructionPage = [&] { ++pages; };
    form.show(); // the page is made and the window shown before anything is painted
    QCOMPARE(pages, 1);
    QCOMPARE(ready(), std::pair(false, false));
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_COMPARE(ready(), std::pair(true, true));
}

void TestMainForm::logFailureAtStartAndCloseIsShown()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("levels/log.dat")));
    TMainForm form{BasePath(m_dir->path())};
    QCOMPARE(g_messages.size(), 1);
    form.show();
    QVERIFY(form.close());
    QCOMPARE(g_messages.size(), 2);
    QVERIFY(g_messages.first().contains(QLatin1String("log.dat")));
}

// The tray's "Выход" taken before the window has started (while a start-up
// message is up): the settings were never read, so none are written.
void TestMainForm::closedBeforeStartKeepsSettings()
{
    const QString settings = m_dir->filePath(QStringLiteral("levels/settings.dat"));
    const QByteArray stored = "[main]\r\nfirstrun=0\r\npart=3\r\nTI=400\r\n";
    {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
    }
    TMainForm form{BasePath(m_dir->path())};
    QSignalSpy closed(&form, &TMainForm::closed);
    trayAction(form, QStringLiteral("Выход"))->trigger();
    QCOMPARE(closed.size(), 1);
    QFile file(settings);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), stored);
    QCOMPARE(logLines().last(), QStringLiteral("Программа закрыта"));
}

// A start closed before its first paint still clears what a killed run left.
void TestMainForm::leftoversGoWhenClosedBeforePaint()
{
    const QString leftover =
        m_dir->filePath(QStringLiteral("levels/settings.dat.Ab12Cd.notoklyuv-tmp"));
    {
        QFile file(leftover);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[main]\r\n") > 0);
    }
    TMainForm form{BasePath(m_dir->path())};
    form.show();
    QVERIFY(QFile::exists(leftover)); // not painted yet: cleared later
    QVERIFY(form.close());
    QVERIFY(!QFile::exists(leftover));
}

// A click (all a StatusNotifierItem tray reports), a double click and the
// menu's "Открыть" bring the window back, except during a rest; asking for the
// menu does not.
void TestMainForm::trayRestore_data()
{
    QTest::addColumn<int>("reason"); // -1: the menu's "Открыть"
    QTest::addColumn<bool>("restores");
    QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << true;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
    QTest::newRow("menu Открыть") << -1 << true;
    QTest::newRow("menu asked for") << int(QSystemTrayIcon::Context) << false;
}

void TestMainForm::trayRestore()
{
    QFETCH(int, reason);
    QFETCH(bool, restores);
    TMainForm form{BasePath(m_dir->path())};
    form.show();
    QAction *open = trayAction(form, QStringLiteral("Открыть"));
    QVERIFY(open);
    const auto activate = [&] {
        if (reason < 0)
            open->trigger();
        else
            Q_EMIT form.trayIcon()->activated(QSystemTrayIcon::ActivationReason(reason));
    };
    form.hide();
    form.state().Resting = true;
    activate();
    QVERIFY(!form.isVisible());
    form.state().Resting = false;
    activate();
    QCOMPARE(form.isVisible(), restores);
}

void TestMainForm::minimiseWithoutTrayKeepsWindowReachable()
{
    TMainForm form{BasePath(m_dir->path())};
    form.show();
    QVERIFY(!form.hasTray()); // the offscreen desktop has no tray
    form.minimizeToTray();
    QVERIFY(form.isMinimized());
    QVERIFY(!form.isHidden());
    form.restoreFromTray();
    QVERIFY(!form.isMinimized());
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
