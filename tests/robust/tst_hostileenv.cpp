#include "app/application.h"
#include "app/coursepages.h"
#include "app/exercises.h"
#include "app/tmainform.h"
#include "course/inifile.h"
#include "datafiles.h"
#include "keyboard/keyboardlayout.h"
#include "report/reportedit.h"
#include "report/reportmemo.h"
#include "report/reportpages.h"
#include "skiporfail.h"
#include "steps/notepictureimport.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/tpicturebutton.h"
#include "steps/trainingpages.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/restbreak.h"
#include "widgets/tlevel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmycaption.h"
#include "widgets/tmyedit.h"
#include "widgets/tnotename.h"
#include "widgets/trichbox.h"
#include "widgets/tstep.h"
#include "windowrig.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

// A port on this machine where nothing listens: connections are refused.
int closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

const QString kNoConnection = u"Нет связи с сайтом. Проверьте подключение к интернету."_s;

} // namespace

// The real window, wired as the program wires it, where the machine works
// against it: files it cannot write, no sound server, no tray, no network.
// Each time the learner must be told what is wrong where it matters, the
// window must go on answering and it must close.
class TestHostileEnv : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readOnlyProgramFolder();
    void unreadableNotes();
    void logBecomesUnwritable();
    void fileBecomesUnwritable_data();
    void fileBecomesUnwritable();
    void noSoundServer();
    void noTray();
    void noNetwork_data();
    void noNetwork();
    void everyControlWithUnwritableFiles_data();
    void everyControlWithUnwritableFiles();

private:
    void start() { m_rig->start(); }
    QString folder(const QString &relative = {}) const;
    QString caption() const { return m_rig->caption(); }
    template <typename W> W *tagged(int tag) const
    {
        return PageDriver::withTag<W>(m_rig->page(), tag);
    }
    void clickPartAndLevel(int level);
    int fillReportForm();
    void makeUnwritable(const QString &file);
    QStringList walkAsNobody(const QStringList &more = {});
    void openPageFor(const QString &control);
    void act(const QString &control);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowRig> m_rig;
    int m_escapedBefore = 0;
};

void TestHostileEnv::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // In a folder of its own: one test takes the writing away from the folder above.
    m_rig = std::make_unique<WindowRig>(DataFiles::folderSetup().inFolder(folder()).startLater());
    QVERIFY(m_rig->ready());
    m_escapedBefore = Application::escapedFailures();
}

void TestHostileEnv::cleanup()
{
    m_rig.reset();
    // Every failure was caught where its action began, never in the event delivery.
    QCOMPARE(Application::escapedFailures(), m_escapedBefore);
}

QString TestHostileEnv::folder(const QString &relative) const
{
    const QString root = m_dir->filePath(u"prog"_s);
    return relative.isEmpty() ? root : root + u'/' + relative;
}

void TestHostileEnv::clickPartAndLevel(int level)
{
    QTest::mouseClick(m_rig->form().findChild<QWidget *>(u"btPart1"_s), Qt::LeftButton);
    QTest::mouseClick(tagged<TLevel>(110 + level), Qt::LeftButton);
}

int TestHostileEnv::fillReportForm()
{
    int fields = 0;
    for (QWidget *w : m_rig->form().page().pageWidgets()) {
        if (auto *edit = qobject_cast<ReportEdit *>(w)) {
            edit->insert(u"ответ"_s);
            ++fields;
        } else if (auto *memo = qobject_cast<ReportMemo *>(w)) {
            memo->insertPlainText(u"ответ"_s);
            ++fields;
        }
    }
    return fields;
}

// Installed for a user who may not write there: the program run as nobody on
// a folder of root's with nothing writable in it.
void TestHostileEnv::readOnlyProgramFolder()
{
    if (::geteuid() != 0)
        NK_SKIP_OR_FAIL(QStringLiteral("needs root to run the program as another user"));
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadOther |
                                                     QFile::ExeOther));
    QVERIFY(QProcess::execute(u"chmod"_s, {u"-R"_s, u"a-w,a+rX"_s, folder()}) == 0);
    const QByteArray settingsBefore = DataFiles::readAll(folder(u"levels/settings.dat"_s));
    const QStringList lines = walkAsNobody();
    QVERIFY2(lines.contains(u"closed"_s), qPrintable(lines.join(u'\n')));
    // Every file the program could not write is named, with the reason, in Russian.
    const QStringList messages = lines.filter(QRegularExpression(u"^message: "_s));
    QCOMPARE(
        messages.filter(u"Не удалось записать файл "_s + folder(u"levels/settings.dat"_s)).size(),
        1);                                                                // at close
    QVERIFY(messages.filter(u"Не удалось открыть журнал "_s).size() >= 2); // start and close
    for (const QString &m : messages) {
        QVERIFY2(m.contains(u"нет прав на запись"_s), qPrintable(m));
        QVERIFY2(m.contains(u".dat"_s), qPrintable(m));
        QVERIFY2(!m.contains(u"Permission denied"_s), qPrintable(m));
    }
    QVERIFY2(lines.contains(u"page: Часть I. Первая октава"_s), qPrintable(lines.join(u'\n')));
    QCOMPARE(DataFiles::readAll(folder(u"levels/settings.dat"_s)), settingsBefore);
    QProcess::execute(u"chmod"_s, {u"-R"_s, u"u+w"_s, folder()});
}

// A level's answers the learner cannot read, in a folder they may write:
// saving an answer must not replace the file with the one answer.
void TestHostileEnv::unreadableNotes()
{
    if (::geteuid() != 0)
        NK_SKIP_OR_FAIL(QStringLiteral("needs root to run the program as another user"));
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadOther |
                                                     QFile::ExeOther));
    QVERIFY(QProcess::execute(u"chmod"_s, {u"-R"_s, u"a+rwX"_s, folder()}) == 0);
    const QString notes = folder(u"levels/01/notes.dat"_s);
    QVERIFY(QFile::setPermissions(notes, QFile::ReadOwner | QFile::WriteOwner));
    const QByteArray before = DataFiles::readAll(notes);
    QVERIFY(before.count('\n') > 2);
    const QStringList lines = walkAsNobody({u"answer"_s});
    QVERIFY2(lines.contains(u"closed"_s), qPrintable(lines.join(u'\n')));
    const QStringList messages = lines.filter(QRegularExpression(u"^message: "_s));
    QCOMPARE(messages,
             QStringList{u"message: Не удалось записать файл %1: нет прав на чтение"_s.arg(notes)});
    QCOMPARE(DataFiles::readAll(notes), before);
}

// The log turns unwritable in the middle of Step 1: the answer is kept, the
// learner is told, the menu still works and the window closes.
void TestHostileEnv::logBecomesUnwritable()
{
    start();
    clickPartAndLevel(1);
    QTest::mouseClick(tagged<TStep>(11), Qt::LeftButton);
    QVERIFY(m_rig->clickButton(Step1::ConfirmTag));
    QVERIFY(tagged<TMyEdit>(TMyEdit::AnswerBoxTag));
    QVERIFY(WindowRig::messages().isEmpty());

    QVERIFY(QFile::rename(folder(u"levels/log.dat"_s), folder(u"levels/log.old"_s)));
    QVERIFY(QDir().mkdir(folder(u"levels/log.dat"_s)));
    tagged<TMyEdit>(TMyEdit::AnswerBoxTag)->insert(u"тихая"_s);
    QTest::mouseClick(tagged<TMyButton>(1), Qt::LeftButton);
    QCOMPARE(WindowRig::messages().size(), 1);
    QVERIFY2(WindowRig::messages()[0].contains(u"levels/log.dat: на его месте папка"_s),
             qPrintable(WindowRig::messages()[0]));
    const IniFile notes(folder(u"levels/01/notes.dat"_s));
    QCOMPARE(notes.readString(u"note1", u"a1", {}), u"тихая"_s); // the answer is kept

    QTest::mouseClick(m_rig->form().findChild<QWidget *>(u"btPart1"_s), Qt::LeftButton);
    QCOMPARE(caption(), u"Часть I. Первая октава"_s);
    QTest::mouseClick(tagged<TLevel>(111), Qt::LeftButton); // logs first, so it stops
    QCOMPARE(WindowRig::messages().size(), 2);
    QVERIFY(m_rig->form().close());
    QCOMPARE(WindowRig::messages().size(), 3);
}

void TestHostileEnv::fileBecomesUnwritable_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("stage"); // what the learner does next: 0 close, 1 start Step 1, 2 answer
    QTest::newRow("settings at close") << u"levels/settings.dat"_s << 0;
    QTest::newRow("level's step flags") << u"levels/01/level.dat"_s << 1;
    QTest::newRow("note answers") << u"levels/01/notes.dat"_s << 2;
}

// A data file turns into something that cannot be written just before the
// learner's action writes it: the action stops with a message naming the
// file, the menu still works and the window closes.
void TestHostileEnv::fileBecomesUnwritable()
{
    QFETCH(QString, file);
    QFETCH(int, stage);
    start();
    clickPartAndLevel(1);
    QTest::mouseClick(tagged<TStep>(11), Qt::LeftButton);
    if (stage == 2)
        QVERIFY(m_rig->clickButton(Step1::ConfirmTag));
    QVERIFY(QFile::remove(folder(file)) && QDir().mkdir(folder(file)));
    const QString expected = u"Не удалось записать файл %1: на его месте папка"_s.arg(folder(file));
    if (stage == 0) {
        QVERIFY(m_rig->form().close());
        QCOMPARE(WindowRig::messages(), QStringList{expected});
        return;
    }
    if (stage == 1) {
        QVERIFY(m_rig->clickButton(Step1::ConfirmTag));
    } else {
        tagged<TMyEdit>(TMyEdit::AnswerBoxTag)->insert(u"тихая"_s);
        QTest::mouseClick(tagged<TMyButton>(1), Qt::LeftButton);
    }
    QCOMPARE(WindowRig::messages(), QStringList{expected});
    QTest::mouseClick(m_rig->form().findChild<QWidget *>(u"btPart1"_s), Qt::LeftButton);
    QCOMPARE(caption(), u"Часть I. Первая октава"_s);
    QVERIFY(m_rig->form().close());
    QCOMPARE(WindowRig::messages().size(), 1);
}

void TestHostileEnv::noSoundServer()
{
    QVERIFY(qEnvironmentVariable("PULSE_SERVER").startsWith(u"unix:/nonexistent"_s));
    QVERIFY(QFile::link(qEnvironmentVariable("NK_PROGRAM_DIR") + u"/sound"_s, folder(u"sound"_s)));
    start();
    clickPartAndLevel(1);
    m_rig->form().course().OpenStep(1, 3);
    QVERIFY(m_rig->clickLink(TrainingPages::ContinueLinkTag));
    QVERIFY(m_rig->clickButton(TrainingPages::ListenTag));
    QVERIFY(!m_rig->form().state().Settings.Busy);
    QVERIFY(!m_rig->form().state().MelodyPlaying);
    QVERIFY(m_rig->clickButton(TrainingPages::AnswerTag));
    QVERIFY(m_rig->form().KeyboardIsShown());
    // The keys still play, light and count: the right answer is judged right.
    const GlobalState &state = m_rig->form().state();
    for (int i = 0; i < state.Allowed.AnswerLen; ++i) {
        const TNote &note = state.NotesB[std::size_t(i)];
        QTest::mousePress(m_rig->form().keyboardPicture(), Qt::LeftButton, {},
                          KeyboardLayout::seed(note.Octave, note.Pitch));
    }
    QTRY_VERIFY(DataFiles::readLog(folder()).messages.contains(u"Ноты угаданы правильно"_s));
    QVERIFY(WindowRig::messages().isEmpty());
    // The learner is told on the page, not by a box, why nothing is heard.
    const auto *notice = m_rig->form().findChild<QLabel *>(u"lbNoSound"_s);
    QVERIFY(notice && notice->isVisible());
    QVERIFY2(notice->text().contains(u"нет звукового сервера"_s), qPrintable(notice->text()));
    QVERIFY(m_rig->form().close());
}

// No notification area: a rest break minimises the window instead of hiding
// it, so it stays reachable; it comes back by itself and closes at any time.
void TestHostileEnv::noTray()
{
    start();
    QVERIFY(!m_rig->form().hasTray());
    m_rig->form().state().Settings.Level = 1;
    m_rig->form().restBreak().start(RestBreak::Kind::Memorisation);
    QTRY_VERIFY(m_rig->form().isMinimized());
    QVERIFY(!m_rig->form().isHidden());
    m_rig->form().CoolTrayIcon1DblClick(); // refused while resting
    QVERIFY(m_rig->form().isMinimized());
    QTRY_VERIFY(!m_rig->form().state().Resting);
    QVERIFY(!m_rig->form().isMinimized() && m_rig->form().isVisible());
    m_rig->form().restBreak().start(RestBreak::Kind::Memorisation);
    QTRY_VERIFY(m_rig->form().isMinimized());
    QVERIFY(m_rig->form().close());
    QVERIFY(WindowRig::messages().isEmpty());
}

void TestHostileEnv::noNetwork_data()
{
    QTest::addColumn<QString>("site");
    QTest::newRow("refused") << u"http://127.0.0.1:%1"_s.arg(closedPort());
    QTest::newRow("no such host") << u"http://notoklyuv.invalid"_s;
}

void TestHostileEnv::noNetwork()
{
    QFETCH(QString, site);
    QFile settings(folder(u"levels/settings.dat"_s));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[main]\r\nfirstrun=0\r\nsite=" + site.toLatin1() + "\r\n");
    settings.close();
    start();
    clickPartAndLevel(1);
    m_rig->form().course().OpenStep(1, 5);
    QVERIFY(fillReportForm() > 0);
    QVERIFY(m_rig->clickButton(ReportPages::SendTag));
    QCOMPARE(WindowRig::messages(), QStringList{kNoConnection});
    QCOMPARE(caption(), u"Отчёт"_s); // the form stays, filled in
    QVERIFY(m_rig->button(ReportPages::SendTag)->isEnabled());
    const QStringList log = DataFiles::readLog(folder()).messages;
    QVERIFY(log.contains(u"Отправляем отчёт..."_s));
    // The outcome is logged as a failure with the reason shown; nothing says it was sent.
    QCOMPARE(log.filter(u" отправлен"_s).size(), log.filter(u" не отправлен: "_s).size());
    QVERIFY(log.last().endsWith(u" не отправлен: "_s + kNoConnection));
    // The unsent copy stays for the learner; the next start clears it away.
    QCOMPARE(QDir(folder(u"levels"_s)).entryList({u"DEMO_*"_s}).size(), 1);
    // The about page's link says the same.
    QTest::mouseClick(m_rig->form().findChild<QWidget *>(u"lbAbout"_s), Qt::LeftButton);
    QVERIFY(m_rig->clickLink(ReportPages::SendLogTag));
    QCOMPARE(WindowRig::messages(), (QStringList{kNoConnection, kNoConnection}));
    QVERIFY(m_rig->form().close());
}

// The walk driver run as nobody on the rig's folder; what it printed, by lines.
QStringList TestHostileEnv::walkAsNobody(const QStringList &more)
{
    // A copy the other user can reach wherever the build lies.
    const QString driver = m_dir->filePath(u"walk"_s);
    if (!QFile::exists(driver) && !QFile::copy(QStringLiteral(NK_WALK_DRIVER), driver))
        return {u"no driver"_s};
    QProcess walk;
    walk.start(u"setpriv"_s, QStringList{u"--reuid=65534"_s, u"--regid=65534"_s,
                                         u"--clear-groups"_s, driver, folder()} +
                                 more);
    if (!walk.waitForFinished(60000) || walk.exitCode() != 0)
        return {u"walk failed"_s, QString::fromUtf8(walk.readAllStandardError())};
    return QString::fromUtf8(walk.readAllStandardOutput()).split(u'\n');
}

// As root, permissions stop nothing: a folder in the file's place does.
void TestHostileEnv::makeUnwritable(const QString &file)
{
    QVERIFY(QFile::remove(folder(file)) && QDir().mkdir(folder(file)));
}

void TestHostileEnv::everyControlWithUnwritableFiles_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("fails"); // whether its action writes a file
    for (const char *control :
         {"instruction link", "about link", "full version link", "logo", "level", "yes button",
          "answer button", "answer box Enter", "arrow link", "text box link", "picture button",
          "keyboard", "exit button"}) {
        QTest::newRow(control) << QString::fromLatin1(control) << true;
    }
    for (const char *control : {"part button", "step", "note name"}) // they only read
        QTest::newRow(control) << QString::fromLatin1(control) << false;
    // Fired with no rest begun, the ends of the rests (4 and 7) only bring the
    // window back; hiding (3) and releasing the keys (6) write nothing either.
    for (int tag = 2; tag <= OneShotTimers::MaxTag; ++tag) {
        if (OneShotTimers::isTimerTag(tag))
            QTest::addRow("timer %d", tag)
                << u"timer %1"_s.arg(tag) << (tag != 3 && tag != 4 && tag != 6 && tag != 7);
    }
}

// The log and the level's files cannot be written. Whatever the learner
// clicks and whichever timer fires, the action stops with a message, the
// menu still works and the window closes.
void TestHostileEnv::everyControlWithUnwritableFiles()
{
    QFETCH(QString, control);
    QFETCH(bool, fails);
    start();
    openPageFor(control);
    QVERIFY(WindowRig::messages().isEmpty());
    for (const QString &file : {u"levels/log.dat"_s, u"levels/01/level.dat"_s,
                                u"levels/01/notes.dat"_s, u"levels/settings.dat"_s})
        makeUnwritable(file);
    act(control);
    QCOMPARE(!WindowRig::messages().isEmpty(), fails);
    if (control == u"exit button"_s) {
        QVERIFY(!m_rig->form().isVisible());
        return;
    }
    m_rig->form().showNormal();
    QTest::mouseClick(m_rig->form().findChild<QWidget *>(u"btPart1"_s), Qt::LeftButton);
    QCOMPARE(caption(), u"Часть I. Первая октава"_s);
    QVERIFY(m_rig->form().close());
}

// Goes where the control is, while every file can still be written.
void TestHostileEnv::openPageFor(const QString &control)
{
    const QStringList inStep1{u"yes button"_s, u"answer button"_s, u"answer box Enter"_s};
    if (control == u"level"_s) {
        QTest::mouseClick(m_rig->form().findChild<QWidget *>(u"btPart1"_s), Qt::LeftButton);
    } else if (control == u"step"_s || inStep1.contains(control)) {
        clickPartAndLevel(1);
        if (control != u"step"_s)
            QTest::mouseClick(tagged<TStep>(11), Qt::LeftButton);
        if (control != u"step"_s && control != u"yes button"_s) {
            QVERIFY(m_rig->clickButton(Step1::ConfirmTag));
            tagged<TMyEdit>(TMyEdit::AnswerBoxTag)->insert(u"тихая"_s);
        }
    } else if (control == u"arrow link"_s || control == u"text box link"_s) {
        QTest::mouseClick(m_rig->form().findChild<QWidget *>(u"lbAbout"_s), Qt::LeftButton);
    } else if (control == u"note name"_s) {
        clickPartAndLevel(1);
        m_rig->form().exercises().learning().ShowNoteChoice();
    } else if (control == u"picture button"_s) {
        clickPartAndLevel(1);
        m_rig->form().course().OpenStep(1, 2);
        m_rig->clickLink(Step2::ContinueLinkTag); // the introduction, once
        QVERIFY(m_rig->form().findChild<TPictureButton *>());
        const QString source = folder(u"mine.bmp"_s);
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(source, "BMP"));
        NotePictureImport::setChooser([source](QWidget *) { return source; });
    } else if (control == u"keyboard"_s) {
        clickPartAndLevel(1);
        m_rig->form().course().OpenStep(1, 3);
        QVERIFY(m_rig->clickLink(TrainingPages::ContinueLinkTag));
        QVERIFY(m_rig->clickButton(TrainingPages::ListenTag));
        QVERIFY(m_rig->clickButton(TrainingPages::AnswerTag));
    }
}

void TestHostileEnv::act(const QString &control)
{
    static const QHash<QString, QString> menu{
        {u"instruction link"_s, u"lbInstr"_s}, {u"about link"_s, u"lbAbout"_s},
        {u"full version link"_s, u"Label1"_s}, {u"logo"_s, u"Image1"_s},
        {u"part button"_s, u"btPart1"_s},      {u"exit button"_s, u"btExit"_s}};
    Page &page = m_rig->form().page();
    if (menu.contains(control)) {
        QTest::mouseClick(m_rig->form().findChild<QWidget *>(menu[control]), Qt::LeftButton);
    } else if (control == u"level"_s) {
        QTest::mouseClick(tagged<TLevel>(111), Qt::LeftButton);
    } else if (control == u"step"_s) {
        QTest::mouseClick(tagged<TStep>(11), Qt::LeftButton);
    } else if (control == u"yes button"_s) {
        QVERIFY(PageDriver::clickButton(page, Step1::ConfirmTag));
    } else if (control == u"answer button"_s) {
        QTest::mouseClick(tagged<TMyButton>(1), Qt::LeftButton);
    } else if (control == u"answer box Enter"_s) {
        QTest::keyClick(tagged<TMyEdit>(TMyEdit::AnswerBoxTag), Qt::Key_Return);
    } else if (control == u"arrow link"_s) {
        QVERIFY(PageDriver::clickLink(page, ReportPages::SendLogTag));
    } else if (control == u"text box link"_s) {
        auto *box = PageDriver::firstOf<TRichBox>(page);
        QVERIFY(box);
        Q_EMIT box->anchorClicked(QUrl(u"http://notoklyuv.example/help"_s));
    } else if (control == u"note name"_s) {
        QTest::mouseClick(PageDriver::firstOf<TNoteName>(page), Qt::LeftButton);
    } else if (control == u"picture button"_s) {
        QTest::mouseClick(m_rig->form().findChild<TPictureButton *>(), Qt::LeftButton);
        NotePictureImport::setChooser({});
    } else if (control == u"keyboard"_s) {
        const GlobalState &state = m_rig->form().state();
        for (int i = 0; i < state.Allowed.AnswerLen; ++i) {
            const TNote &note = state.NotesB[std::size_t(i)];
            QTest::mousePress(m_rig->form().keyboardPicture(), Qt::LeftButton, {},
                              KeyboardLayout::seed(note.Octave, note.Pitch));
        }
        QTRY_VERIFY(!WindowRig::messages().isEmpty()); // judged a second later
    } else {
        OneShotTimers &timers = m_rig->form().timers();
        timers.create(1, control.mid(6).toInt());
        QTRY_COMPARE(timers.pendingCount(), 0);
    }
}

int main(int argc, char *argv[])
{
    // No sound server can be reached, whatever the machine runs.
    qputenv("PULSE_SERVER", "unix:/nonexistent/native");
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("PULSE_RUNTIME_PATH");
    Application app(argc, argv); // its top-level handler shows a failed action's error
    QLoggingCategory::setFilterRules(u"notoklyuv.audio.warning=false"_s);
    TestHostileEnv test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostileenv.moc"
