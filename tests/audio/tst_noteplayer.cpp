#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "course/programclock.h"
#include "tonetools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {

// Collects the audio subsystem's warnings, so a test can wait for the one a
// bad file must produce. Installed once the test runner has set up its own
// handler, which it passes messages on to.
class AudioWarnings
{
public:
    static void install() { s_previous = qInstallMessageHandler(&AudioWarnings::handle); }
    static void uninstall() { qInstallMessageHandler(s_previous); }
    static bool mentions(const QString &text)
    {
        return std::any_of(s_messages.cbegin(), s_messages.cend(),
                           [&](const QString &m) { return m.contains(text); });
    }
    static qsizetype count(const QString &text)
    {
        return std::count_if(s_messages.cbegin(), s_messages.cend(),
                             [&](const QString &m) { return m.contains(text); });
    }
    static void clear() { s_messages.clear(); }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtWarningMsg && qstrcmp(context.category, "notoklyuv.audio") == 0)
            s_messages << message;
        if (s_previous)
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_messages;
};

const char *const folders[] = {"little", "first", "second"};
const char *const files[] = {"00do.wav",       "01do-diez.wav", "02re.wav",      "03re-diez.wav",
                             "04mi.wav",       "05fa.wav",      "06fa-diez.wav", "07sol.wav",
                             "08sol-diez.wav", "09la.wav",      "10la-diez.wav", "11si.wav"};

} // namespace

class TestNotePlayer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { AudioWarnings::uninstall(); }
    void cleanup();
    void relativePath();
    void notePath_data();
    void notePath();
    void refusedNotes_data();
    void refusedNotes();
    void timbre_data();
    void timbre();
    void letterCaseOfFolders();
    void missingFileIsReported_data();
    void missingFileIsReported();
    void undecodableFileIsReported();
    void silentWithoutSoundServer();
    void readyOnlyWhenAskedOrUsed_data();
    void readyOnlyWhenAskedOrUsed();
    void borrowedTimbre_data();
    void borrowedTimbre();
    void missingTimbreToldOnce();

private:
    QTemporaryDir m_base;
};

void TestNotePlayer::initTestCase()
{
    // No sound server: the player must work silently, as on a machine without one.
    qputenv("PULSE_SERVER", "unix:/nonexistent/notoklyuv-test/native");
    AudioWarnings::install();
    QVERIFY(m_base.isValid());
    for (const char *folder : folders) {
        for (const char *file : files) {
            const QString path = m_base.filePath(u"sound/piano/"_s + QLatin1String(folder) + u'/' +
                                                 QLatin1String(file));
            QVERIFY(testkit::writeToneWav(path, {440.0}, 30, 300));
        }
    }
    QVERIFY(testkit::writeToneWav(m_base.filePath(u"sound/organ/first/00do.wav"_s), {262}, 30, 0));
}

void TestNotePlayer::cleanup()
{
    ProgramClock::setScale(1.0);
    AudioWarnings::clear();
}

void TestNotePlayer::relativePath()
{
    QCOMPARE(NotePlayer::noteRelativePath(u"piano"_s, 5, 1),
             u"sound\\piano\\first\\01do-diez.wav"_s);
    QCOMPARE(NotePlayer::noteRelativePath(u"organ"_s, 4, 11), u"sound\\organ\\little\\11si.wav"_s);
    QCOMPARE(NotePlayer::noteRelativePath(u"a/b"_s, 6, 0), u"sound\\piano\\second\\00do.wav"_s);
    QVERIFY(NotePlayer::noteRelativePath(u"piano"_s, 7, 0).isEmpty());
}

void TestNotePlayer::notePath_data()
{
    QTest::addColumn<int>("octave");
    QTest::addColumn<int>("pitch");
    QTest::addColumn<QString>("relative");
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            QTest::addRow("%d-%d", octave, pitch)
                << octave << pitch
                << (u"sound/piano/"_s + QLatin1String(folders[octave - 4]) + u'/' +
                    QLatin1String(files[pitch]));
        }
    }
}

void TestNotePlayer::notePath()
{
    QFETCH(int, octave);
    QFETCH(int, pitch);
    QFETCH(QString, relative);
    NotePlayer player(BasePath(m_base.path()), u"piano"_s);
    const QString path = player.notePath(octave, pitch);
    QCOMPARE(path, m_base.filePath(relative));
    QVERIFY(QFile::exists(path));
}

void TestNotePlayer::refusedNotes_data()
{
    QTest::addColumn<int>("octave");
    QTest::addColumn<int>("pitch");
    QTest::newRow("octave 3") << 3 << 0;
    QTest::newRow("octave 7") << 7 << 5;
    QTest::newRow("octave 0") << 0 << 0;
    QTest::newRow("octave -5") << -5 << 1;
    QTest::newRow("pitch 12") << 5 << 12;
    QTest::newRow("pitch 255") << 4 << 255;
    QTest::newRow("pitch -1") << 6 << -1;
}

void TestNotePlayer::refusedNotes()
{
    QFETCH(int, octave);
    QFETCH(int, pitch);
    // A bare file name in the working folder must not be picked up instead.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_base.filePath(u"sound/piano/first"_s));
    NotePlayer player(BasePath(m_base.path()));
    QVERIFY(player.notePath(octave, pitch).isEmpty());
    QVERIFY(NotePlayer::noteRelativePath(u"piano"_s, octave, pitch).isEmpty());
    player.PlayNote(octave, quint8(pitch));
    QDir::setCurrent(previous);
    QVERIFY(AudioWarnings::mentions(u"octave %1 pitch %2"_s.arg(octave).arg(quint8(pitch))));
}

void TestNotePlayer::timbre_data()
{
    QTest::addColumn<QString>("timbre");
    QTest::addColumn<QString>("used");
    QTest::newRow("plain") << u"organ"_s << u"organ"_s;
    QTest::newRow("empty") << QString() << u"piano"_s;
    QTest::newRow("slash") << u"organ/../piano"_s << u"piano"_s;
    QTest::newRow("backslash") << u"sub\\organ"_s << u"piano"_s;
    QTest::newRow("parent") << u".."_s << u"piano"_s;
    QTest::newRow("dots inside") << u"a..b"_s << u"piano"_s;
    QTest::newRow("dot") << u"."_s << u"piano"_s;
    QTest::newRow("absolute") << u"/etc"_s << u"piano"_s;
}

void TestNotePlayer::timbre()
{
    QFETCH(QString, timbre);
    QFETCH(QString, used);
    NotePlayer player(BasePath(m_base.path()), timbre);
    QCOMPARE(player.timbre(), used);
    QCOMPARE(player.notePath(5, 0), m_base.filePath(u"sound/"_s + used + u"/first/00do.wav"_s));
    player.setTimbre(u"piano"_s);
    QCOMPARE(player.notePath(5, 0), m_base.filePath(u"sound/piano/first/00do.wav"_s));
}

void TestNotePlayer::letterCaseOfFolders()
{
    QTemporaryDir base;
    const QString file = base.filePath(u"Sound/Piano/FIRST/01DO-DIEZ.WAV"_s);
    QVERIFY(testkit::writeToneWav(file, {277.18}, 30, 0));
    NotePlayer player(BasePath(base.path()));
    QCOMPARE(player.notePath(5, 1), file);
}

void TestNotePlayer::missingFileIsReported_data()
{
    QTest::addColumn<QString>("relative"); // empty: play the note 5-9 instead
    QTest::addColumn<QString>("reported");
    QTest::newRow("note") << QString() << u"sound/piano/first/09la.wav"_s;
    QTest::newRow("file") << u"sound\\piano\\chord7.wav"_s << u"sound/piano/chord7.wav"_s;
    QTest::newRow("escaping file") << u"..\\x.wav"_s << u"..\\x.wav"_s;
}

void TestNotePlayer::missingFileIsReported()
{
    QFETCH(QString, relative);
    QFETCH(QString, reported);
    QTemporaryDir empty;
    NotePlayer player(BasePath(empty.path()));
    if (relative.isEmpty())
        player.PlayNote(5, 9);
    else
        player.playFile(relative);
    QVERIFY2(AudioWarnings::mentions(reported), qPrintable(reported));
}

void TestNotePlayer::undecodableFileIsReported()
{
    QTemporaryDir base;
    const QString path = base.filePath(u"sound/piano/second/11si.wav"_s);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("RIFF this is not a wave file at all");
    file.close();
    NotePlayer player(BasePath(base.path()));
    player.PlayNote(6, 11);
    QTRY_VERIFY_WITH_TIMEOUT(AudioWarnings::mentions(path), 10000);
}

void TestNotePlayer::silentWithoutSoundServer()
{
    ProgramClock::setScale(0.01);
    NotePlayer player(BasePath(m_base.path()));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 8; ++i) {
        player.PlayNote(4 + i % 3, quint8(i));
        WaitMs(1000);
    }
    player.playFile(u"sound\\piano\\first\\00do.wav"_s);
    player.stop();
    // Eight waits of 10 ms: bounded by the waits, not by any sound (a generous
    // bound, only to catch a hang).
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(clock.elapsed() >= 80);
    QVERIFY(!AudioWarnings::mentions(u"No playable sound"_s));
}

void TestNotePlayer::readyOnlyWhenAskedOrUsed_data()
{
    QTest::addColumn<QString>("use");
    QTest::addColumn<bool>("ready");
    QTest::newRow("nothing") << QString() << false;
    QTest::newRow("timbre chosen") << u"timbre"_s << false;
    QTest::newRow("stopped") << u"stop"_s << false;
    QTest::newRow("asked") << u"ready"_s << true;
    QTest::newRow("note played") << u"note"_s << true;
    QTest::newRow("note outside the keyboard") << u"bad note"_s << true;
    QTest::newRow("file played") << u"file"_s << true;
}

// The window is painted before any sound is set up: making the player, and
// what start-up does with it, must not start the output or decode a note (the
// organ lacks 35 notes, which decoding reports).
void TestNotePlayer::readyOnlyWhenAskedOrUsed()
{
    QFETCH(QString, use);
    QFETCH(bool, ready);
    NotePlayer player(BasePath(m_base.path()), u"organ"_s);
    if (use == u"timbre")
        player.setTimbre(u"piano"_s);
    else if (use == u"stop")
        player.stop();
    else if (use == u"ready")
        player.makeReady();
    else if (use == u"note")
        player.PlayNote(5, 0);
    else if (use == u"bad note")
        player.PlayNote(7, 0);
    else if (use == u"file")
        player.playFile(u"sound\\organ\\first\\00do.wav"_s);
    QCOMPARE(player.isReady(), ready);
    QCOMPARE(AudioWarnings::mentions(u"35 of 36 note recordings of timbre organ"_s), ready);
}

void TestNotePlayer::borrowedTimbre_data()
{
    QTest::addColumn<QStringList>("steps"); // use:NAME, choose:NAME
    QTest::addColumn<QString>("playing");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("borrowed") << QStringList{u"use:organ"_s} << u"organ"_s << u"piano"_s;
    QTest::newRow("given back") << QStringList{u"use:organ"_s, u"use:"_s} << u"piano"_s
                                << u"piano"_s;
    QTest::newRow("another borrowed")
        << QStringList{u"use:organ"_s, u"use:flute"_s} << u"flute"_s << u"piano"_s;
    QTest::newRow("a path is no timbre") << QStringList{u"use:../x"_s} << u"piano"_s << u"piano"_s;
    QTest::newRow("choosing ends borrowing")
        << QStringList{u"use:organ"_s, u"choose:flute"_s} << u"flute"_s << u"flute"_s;
    QTest::newRow("chosen, then borrowed")
        << QStringList{u"choose:flute"_s, u"use:organ"_s, u"use:"_s} << u"flute"_s << u"flute"_s;
}

// What a question borrows is played, and the chosen timbre comes back after.
void TestNotePlayer::borrowedTimbre()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, playing);
    NotePlayer player(BasePath(m_base.path()));
    for (const QString &step : steps) {
        const QString name = step.section(u':', 1);
        if (step.startsWith(u"use:"))
            player.useTimbre(name);
        else
            player.setTimbre(name);
    }
    QCOMPARE(player.timbre(), playing);
    QTEST(player.chosenTimbre(), "chosen");
    QCOMPARE(player.notePath(5, 9),
             QDir(m_base.path()).filePath(u"sound/"_s + playing + u"/first/09la.wav"_s));
}

// A borrowed timbre is looked at when it is first used, not at start-up, and
// its missing recordings are told once however often it comes back.
void TestNotePlayer::missingTimbreToldOnce()
{
    NotePlayer player(BasePath(m_base.path()));
    player.makeReady();
    QVERIFY(!AudioWarnings::mentions(u"timbre organ"_s));
    QVERIFY(!AudioWarnings::mentions(u"timbre nosuch"_s));
    for (int round = 0; round < 3; ++round) {
        player.useTimbre(u"nosuch"_s);
        player.PlayNote(5, 9);
        player.PlayNote(4, 0);
        player.useTimbre({});
        player.PlayNote(5, 9);
    }
    QCOMPARE(AudioWarnings::count(u"36 of 36 note recordings of timbre nosuch missing"_s), 1);
    QVERIFY(!AudioWarnings::mentions(u"timbre organ"_s));
    QVERIFY(!AudioWarnings::mentions(u"timbre piano"_s));
}

QTEST_MAIN(TestNotePlayer)
#include "tst_noteplayer.moc"
