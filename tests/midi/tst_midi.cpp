#include "app/coursepages.h"
#include "course/levels.h"
#include "jackserver.h"
#include "keyboard/keyboardlayout.h"
#include "keyboard/notearray.h"
#include "midi/midiinput.h"
#include "midi/midisystem.h"
#include "midikeys.h"
#include "skiporfail.h"
#include "steps/trainingpages.h"
#include "widgets/page.h"
#include "windowrig.h"

#include <QFile>
#include <QLabel>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace nk;
using namespace nk::test;

Q_DECLARE_METATYPE(nk::test::MidiKeys::Kind)

namespace {

const QString kSequencer = QStringLiteral("/dev/snd/seq");

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

MidiInput &listen(WindowRig &rig, MidiKeys::Kind kind)
{
    MidiInput &midi = rig.state().midi;
    // Set before the first paint starts it.
    midi.setSystems(kind == MidiKeys::Alsa ? MidiInput::Alsa : MidiInput::Jack);
    midi.setCheckInterval(20);
    return midi;
}

bool connectedTo(const MidiInput &midi, MidiKeys::Kind kind)
{
    for (const QString &source : midi.connectedSources()) {
        if (source.startsWith(MidiKeys::sourceName(kind)))
            return true;
    }
    return false;
}

// A training question of level 5 waiting for its answer on the keyboard.
void openQuestion(WindowRig &rig, const QString &question)
{
    rig.form().course().ShowLevelPage(5);
    rig.form().course().OpenStep(5, Levels::trainingStep(5));
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    rig.state().Step3Set.QuestionText = question;
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
    QVERIFY(rig.state().Allowed.Collecting);
}

bool judged(const WindowRig &rig)
{
    return !rig.logLines().filter(QStringLiteral("Ноты угаданы")).isEmpty();
}

// What the learner is left with: the log without its times, and the page.
QStringList outcome(const WindowRig &rig)
{
    QStringList seen;
    for (const QString &line : rig.logLines())
        seen.append(line.section(QStringLiteral(" - "), 1));
    for (QWidget *w : const_cast<WindowRig &>(rig).form().page().pageWidgets()) {
        if (auto *label = qobject_cast<QLabel *>(w))
            seen.append(label->text());
    }
    return seen;
}

QtMessageHandler previousHandler = nullptr;
QStringList midiConsoleLines;

void recordMidiLines(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (QLatin1String(context.category) == QLatin1String("notoklyuv.midi"))
        midiConsoleLines.append(text);
    previousHandler(type, context, text);
}

} // namespace

// The system of the row must run: JACK is started privately, ALSA's sequencer
// is used only where the machine has one (CI machines do not).
#define REQUIRE_SYSTEM(kind)                                                                       \
    do {                                                                                           \
        if ((kind) == MidiKeys::Alsa && !QFile::exists(kSequencer))                                \
            QSKIP("no ALSA sequencer on this machine");                                            \
        if (const QString why = startJack(kind); !why.isEmpty())                                   \
            NK_SKIP_OR_FAIL(why);                                                                  \
    } while (false)

class MidiTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void answerJudgedAsByClicks_data();
    void answerJudgedAsByClicks();
    void onlyStruckKeysCount_data();
    void onlyStruckKeysCount();
    void aStrokeArrivingTwiceCountsOnce();
    void strokeWhileHiddenAnswersNothing();
    void keyboardReplugged_data();
    void keyboardReplugged();
    void laterKeyboardIsConnected_data();
    void laterKeyboardIsConnected();
    void startsWithoutMidi();
    void leftoverSocketIsNoServer();

private:
    static void addSystems(const char *row, const std::function<void(QTestData &)> &values);
    QString startJack(MidiKeys::Kind kind);

    std::unique_ptr<JackServer> m_jack;
};

void MidiTest::cleanup()
{
    m_jack.reset();
}

void MidiTest::addSystems(const char *row, const std::function<void(QTestData &)> &values)
{
    for (MidiKeys::Kind kind : {MidiKeys::Jack, MidiKeys::Alsa}) {
        const char *system = kind == MidiKeys::Jack ? "JACK" : "ALSA";
        values(QTest::addRow("%s: %s", system, row) << kind);
    }
}

QString MidiTest::startJack(MidiKeys::Kind kind)
{
    if (kind != MidiKeys::Jack)
        return {};
    if (!JackServer::installed())
        return QStringLiteral("jackd is not installed (scripts/setup installs jackd2)");
    m_jack = std::make_unique<JackServer>();
    QString error;
    return m_jack->start(&error) ? QString() : error;
}

void MidiTest::answerJudgedAsByClicks_data()
{
    QTest::addColumn<MidiKeys::Kind>("kind");
    QTest::addColumn<QList<int>>("notes");
    QTest::addColumn<bool>("right");
    addSystems("right", [](QTestData &d) { d << QList<int>{60, 62, 64} << true; });
    addSystems("wrong", [](QTestData &d) { d << QList<int>{60, 65, 67} << false; });
    addSystems("wrong octave", [](QTestData &d) { d << QList<int>{48, 74, 64} << false; });
}

void MidiTest::answerJudgedAsByClicks()
{
    QFETCH(MidiKeys::Kind, kind);
    QFETCH(QList<int>, notes);
    QFETCH(bool, right);
    REQUIRE_SYSTEM(kind);
    const QString question = QStringLiteral("450 452 454");
    QStringList byClicks;
    {
        WindowRig rig({QStringLiteral("05")});
        openQuestion(rig, question);
        for (int note : notes)
            QTest::mousePress(rig.form().keyboardPicture(), Qt::LeftButton, {},
                              KeyboardLayout::seed(note / 12, note % 12));
        QTRY_VERIFY(judged(rig));
        byClicks = outcome(rig);
    }
    MidiKeys keys;
    QString error;
    QVERIFY2(keys.open(kind, &error), qPrintable(error));
    WindowRig rig({QStringLiteral("05")});
    MidiInput &midi = listen(rig, kind);
    QTRY_VERIFY(connectedTo(midi, kind));
    openQuestion(rig, question);
    for (int note : notes)
        keys.noteOn(note);
    QTRY_VERIFY(judged(rig));
    QCOMPARE(outcome(rig), byClicks);
    QVERIFY(outcome(rig).contains(right ? QStringLiteral("Ноты угаданы правильно")
                                        : QStringLiteral("Ноты угаданы неправильно")));
}

void MidiTest::onlyStruckKeysCount_data()
{
    QTest::addColumn<MidiKeys::Kind>("kind");
    QTest::addColumn<QByteArray>("message");
    addSystems("note-off", [](QTestData &d) { d << bytes({0x80, 60, 64}); });
    addSystems("note-on, velocity 0", [](QTestData &d) { d << bytes({0x90, 60, 0}); });
    addSystems("below the small octave", [](QTestData &d) { d << bytes({0x90, 47, 100}); });
    addSystems("above the second octave", [](QTestData &d) { d << bytes({0x90, 84, 100}); });
    addSystems("key pressure", [](QTestData &d) { d << bytes({0xA0, 60, 100}); });
    addSystems("controller", [](QTestData &d) { d << bytes({0xB0, 64, 127}); });
    addSystems("clock", [](QTestData &d) { d << bytes({0xF8}); });
    addSystems("system exclusive", [](QTestData &d) {
        d << bytes({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
    });
}

// The message is followed by a struck key: once that key has played, the
// message before it has been handled too.
void MidiTest::onlyStruckKeysCount()
{
    QFETCH(MidiKeys::Kind, kind);
    QFETCH(QByteArray, message);
    REQUIRE_SYSTEM(kind);
    MidiKeys keys;
    QString error;
    QVERIFY2(keys.open(kind, &error), qPrintable(error));
    WindowRig rig({QStringLiteral("05")});
    MidiInput &midi = listen(rig, kind);
    QTRY_VERIFY(connectedTo(midi, kind));
    openQuestion(rig, QStringLiteral("450 452"));
    keys.send(message);
    keys.send(bytes({0x95, 83, 1})); // the picture's last key, softly, on another channel
    const GlobalState &s = rig.state();
    QTRY_VERIFY(s.Settings.Octave == 6 && s.Settings.Note == 11);
    QCOMPARE(s.Allowed.AnswerPos, 2);
    QCOMPARE(atPosition(s.NotesA, 1).Octave, 6);
    QCOMPARE(atPosition(s.NotesA, 1).Pitch, quint8(11));
}

// As a JACK client late for a cycle delivers its last events again.
void MidiTest::aStrokeArrivingTwiceCountsOnce()
{
    REQUIRE_SYSTEM(MidiKeys::Jack);
    MidiKeys keys;
    QString error;
    QVERIFY2(keys.open(MidiKeys::Jack, &error), qPrintable(error));
    WindowRig rig({QStringLiteral("05")});
    MidiInput &midi = listen(rig, MidiKeys::Jack);
    QTRY_VERIFY(connectedTo(midi, MidiKeys::Jack));
    openQuestion(rig, QStringLiteral("450 452 454"));
    keys.noteOn(60);
    keys.noteOn(60);
    keys.noteOn(62);
    const GlobalState &s = rig.state();
    QTRY_VERIFY(s.Settings.Note == 2);
    QCOMPARE(s.Allowed.AnswerPos, 3);
    QCOMPARE(atPosition(s.NotesA, 1).Pitch, quint8(0));
    QCOMPARE(atPosition(s.NotesA, 2).Pitch, quint8(2));
}

// The window in the tray: a key struck then is no answer; once the window is
// back, the next key is the answer's first note.
void MidiTest::strokeWhileHiddenAnswersNothing()
{
    REQUIRE_SYSTEM(MidiKeys::Jack);
    MidiKeys keys;
    QString error;
    QVERIFY2(keys.open(MidiKeys::Jack, &error), qPrintable(error));
    WindowRig rig({QStringLiteral("05")});
    MidiInput &midi = listen(rig, MidiKeys::Jack);
    QTRY_VERIFY(connectedTo(midi, MidiKeys::Jack));
    openQuestion(rig, QStringLiteral("450 452 454"));
    QSignalSpy struck(&midi, &MidiInput::notePressed);
    rig.form().hide();
    keys.noteOn(60);
    QTRY_COMPARE(struck.size(), 1); // handled by the window before this spy
    const GlobalState &s = rig.state();
    QCOMPARE(s.Allowed.AnswerPos, 1);
    rig.form().showNormal();
    keys.noteOn(62);
    QTRY_COMPARE(struck.size(), 2);
    QCOMPARE(s.Allowed.AnswerPos, 2);
    QCOMPARE(atPosition(s.NotesA, 1).Pitch, quint8(2));
}

void MidiTest::keyboardReplugged_data()
{
    QTest::addColumn<bool>("serverRestarted");
    QTest::newRow("unplugged and plugged in again between two checks") << false;
    QTest::newRow("the JACK server restarted") << true;
}

// The keyboard goes and comes back before the program looks again (within
// milliseconds), or the whole JACK server does: once the program has looked
// again, the keyboard's keys answer.
void MidiTest::keyboardReplugged()
{
    QFETCH(bool, serverRestarted);
    REQUIRE_SYSTEM(MidiKeys::Jack);
    auto keys = std::make_unique<MidiKeys>();
    QString error;
    QVERIFY2(keys->open(MidiKeys::Jack, &error), qPrintable(error));
    WindowRig rig({QStringLiteral("05")});
    MidiInput &midi = listen(rig, MidiKeys::Jack);
    QTRY_VERIFY(connectedTo(midi, MidiKeys::Jack));
    midi.setCheckInterval(3600 * 1000); // no look while it happens
    keys.reset();
    if (serverRestarted) {
        m_jack.reset();
        QVERIFY2(startJack(MidiKeys::Jack).isEmpty(), "the JACK server did not start again");
    }
    keys = std::make_unique<MidiKeys>();
    QVERIFY2(keys->open(MidiKeys::Jack, &error), qPrintable(error));
    QSignalSpy struck(&midi, &MidiInput::notePressed);
    midi.setCheckInterval(20);
    openQuestion(rig, QStringLiteral("450 452"));
    // Struck until it arrives: the check that connects it comes within milliseconds.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            keys->noteOn(48);
            return !struck.isEmpty();
        }(),
        10000);
    QCOMPARE(atPosition(rig.state().NotesA, 1).Octave, 4);
}

void MidiTest::laterKeyboardIsConnected_data()
{
    QTest::addColumn<MidiKeys::Kind>("kind");
    QTest::addColumn<bool>("replugged");
    addSystems("plugged in after start", [](QTestData &d) { d << false; });
    addSystems("unplugged and plugged in again", [](QTestData &d) { d << true; });
}

void MidiTest::laterKeyboardIsConnected()
{
    QFETCH(MidiKeys::Kind, kind);
    QFETCH(bool, replugged);
    REQUIRE_SYSTEM(kind);
    WindowRig rig({QStringLiteral("05")});
    MidiInput &midi = listen(rig, kind);
    QTRY_VERIFY(midi.isStarted());
    QCOMPARE(midi.openSystems().size(), 1);
    QVERIFY(!connectedTo(midi, kind));
    auto keys = std::make_unique<MidiKeys>();
    QString error;
    QVERIFY2(keys->open(kind, &error), qPrintable(error));
    QTRY_VERIFY(connectedTo(midi, kind));
    if (replugged) {
        keys.reset();
        QTRY_VERIFY(!connectedTo(midi, kind));
        keys = std::make_unique<MidiKeys>();
        QVERIFY2(keys->open(kind, &error), qPrintable(error));
        QTRY_VERIFY(connectedTo(midi, kind));
    }
    openQuestion(rig, QStringLiteral("450 452"));
    keys->noteOn(48);
    QTRY_COMPARE(rig.state().Allowed.AnswerPos, 2);
    QCOMPARE(atPosition(rig.state().NotesA, 1).Octave, 4);
}

// No JACK server of that name and no sequencer looked for: the window comes
// up as always, the console says so once, and the learner's log is silent.
void MidiTest::startsWithoutMidi()
{
    const QString server =
        QStringLiteral("nk-test-none-%1").arg(QCoreApplication::applicationPid());
    qputenv("JACK_DEFAULT_SERVER", server.toUtf8());
    midiConsoleLines.clear();
    previousHandler = qInstallMessageHandler(&recordMidiLines);
    WindowRig rig({QStringLiteral("05")});
    MidiInput &midi = listen(rig, MidiKeys::Jack);
    QTRY_VERIFY(midi.isStarted());
    qInstallMessageHandler(previousHandler);
    QVERIFY(midi.openSystems().isEmpty());
    QCOMPARE(midiConsoleLines.size(), 1);
    QVERIFY(!JackServer::runs(server)); // asking must not have started one
    QVERIFY(rig.form().isVisible());
    QVERIFY(!rig.form().page().pageWidgets().isEmpty());
    const QStringList log = rig.logLines();
    QCOMPARE(log.filter(QStringLiteral("Программа запущена")).size(), 1);
    QVERIFY(log.filter(QStringLiteral("MIDI"), Qt::CaseInsensitive).isEmpty());
}

// A server killed leaves its socket behind; asking must not take that for a
// server, nor go into libjack for it.
void MidiTest::leftoverSocketIsNoServer()
{
    const QString server =
        QStringLiteral("nk-test-left-%1").arg(QCoreApplication::applicationPid());
    qputenv("JACK_DEFAULT_SERVER", server.toUtf8());
    const QByteArray path =
        QFile::encodeName(QStringLiteral("/dev/shm/jack_%1_%2_0").arg(server).arg(::getuid()));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)), 0);
    QCOMPARE(::listen(fd, 1), 0);
    ::close(fd);
    QVERIFY(QFile::exists(QFile::decodeName(path)));
    // libjack's own words reach the subsystem's debugging lines: none may come.
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.midi.debug=true"));
    midiConsoleLines.clear();
    previousHandler = qInstallMessageHandler(&recordMidiLines);
    const bool runs = MidiSystem::running(MidiSystem::Jack);
    qInstallMessageHandler(previousHandler);
    QLoggingCategory::setFilterRules(QString());
    QFile::remove(QFile::decodeName(path));
    QVERIFY(!runs);
    QCOMPARE(midiConsoleLines, QStringList());
}

QTEST_MAIN(MidiTest)
#include "tst_midi.moc"
