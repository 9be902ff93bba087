#include "audio/pcmclip.h"
#include "audio/soundoutput.h"
#include "course/deviceplugin.h"
#include "course/shutdown.h"
#include "jackserver.h"
#include "midi/midisystem.h"
#include "phpserver.h"
#include "privatepulse.h"
#include "report/reportuploader.h"
#include "sinkrecorder.h"
#include "skiporfail.h"
#include "tonetools.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;
using namespace nk::testkit;
using namespace Qt::StringLiterals;

// The program reaches its sound output, MIDI and the network only through the
// plug-in beside it. Without the plug-in each says so and stays quiet; with it
// each works as when linked in, the end of a session included.
class TestDevicePlugin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void missingPluginIsSaid();
    void programLoadsNoDeviceLibraryAtStart_data();
    void programLoadsNoDeviceLibraryAtStart();
    void soundThroughThePlugin();
    void midiThroughThePlugin();
    void uploadThroughThePlugin();
    void sessionEndReachesThePlugin();

private:
    static QStringList neededLibraries(const QString &file);
    QString writeLog();

    QTemporaryDir m_dir;
};

void TestDevicePlugin::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::exists(qEnvironmentVariable("NK_PROGRAM_DIR") + u'/' + DevicePlugin::fileName()));
}

// Looked for where there is none (first: a plug-in once loaded stays loaded).
void TestDevicePlugin::missingPluginIsSaid()
{
    DevicePlugin::setFolder(m_dir.path());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"device plug-in did not load"_s));
    SoundOutput output;
    QSignalSpy silenced(&output, &SoundOutput::silenced);
    QVERIFY(silenced.wait(2000));
    QCOMPARE(silenced.first().first().toString(), u"программа установлена не полностью"_s);
    QVERIFY(!MidiSystem::running(MidiSystem::Jack));
    ReportUploader uploader;
    const UploadResult result = uploader.upload(QUrl(u"http://127.0.0.1:9"_s), writeLog());
    QVERIFY(!result.ok);
    QCOMPARE(result.error, u"Отчёт не отправлен: программа установлена не полностью."_s);
    DevicePlugin::setFolder(qEnvironmentVariable("NK_PROGRAM_DIR"));
}

QStringList TestDevicePlugin::neededLibraries(const QString &file)
{
    QProcess readelf;
    readelf.start(u"readelf"_s, {u"-d"_s, u"-W"_s, file});
    if (!readelf.waitForFinished(20000) || readelf.exitCode() != 0)
        return {};
    QStringList needed;
    const QRegularExpression entry(u"\\(NEEDED\\).*\\[(.+)\\]"_s);
    for (const QString &line : QString::fromUtf8(readelf.readAllStandardOutput()).split(u'\n'))
        if (const auto match = entry.match(line); match.hasMatch())
            needed << match.captured(1);
    return needed;
}

void TestDevicePlugin::programLoadsNoDeviceLibraryAtStart_data()
{
    QTest::addColumn<QString>("library");
    for (const char *name : {"libQt6Multimedia", "libQt6Network", "libpulse", "librtmidi", "libjack"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestDevicePlugin::programLoadsNoDeviceLibraryAtStart()
{
    QFETCH(QString, library);
    const QString folder = qEnvironmentVariable("NK_PROGRAM_DIR");
    const QStringList program = neededLibraries(folder + u"/notoklyuv"_s);
    const QStringList plugin = neededLibraries(folder + u'/' + DevicePlugin::fileName());
    QVERIFY2(!program.isEmpty() && !plugin.isEmpty(), "readelf read neither");
    const auto named = [&library](const QString &file) { return file.startsWith(library + u'.'); };
    QVERIFY2(std::none_of(program.cbegin(), program.cend(), named), qPrintable(program.join(u' ')));
    QVERIFY2(std::any_of(plugin.cbegin(), plugin.cend(), named), qPrintable(plugin.join(u' ')));
}

void TestDevicePlugin::soundThroughThePlugin()
{
    if (const QString missing = PrivatePulse::missingTools(); !missing.isEmpty())
        NK_SKIP_OR_FAIL(missing);
    PrivatePulse pulse;
    SinkRecorder recorder;
    QString error;
    QVERIFY2(pulse.start(&error) && recorder.start(PrivatePulse::monitorName(), &error),
             qPrintable(error));
    SoundOutput output;
    std::vector<qint16> tone(SoundOutput::Rate / 5);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = qint16(8000 * std::sin(2 * M_PI * 440.0 * double(i) / SoundOutput::Rate));
    const qsizetype from = recorder.sampleCount();
    output.play(std::make_shared<const PcmClip>(PcmClip{SoundOutput::Rate, 1, tone}));
    QVERIFY(recorder.waitForSamples(from + SoundOutput::Rate / 2, 5000));
    QVERIFY2(firstLoudSample(recorder.samples(), from, 2000) >= 0, "the tone was not heard");
}

void TestDevicePlugin::midiThroughThePlugin()
{
    if (!nk::test::JackServer::installed())
        NK_SKIP_OR_FAIL(u"jackd is not installed"_s);
    nk::test::JackServer jack;
    QString error;
    QVERIFY2(jack.start(&error), qPrintable(error));
    QVERIFY(MidiSystem::running(MidiSystem::Jack));
    const auto system = MidiSystem::open(
        MidiSystem::Jack, u"Нотоклюв"_s, [](double, std::vector<unsigned char> *, void *) {},
        nullptr);
    QVERIFY(system);
    QCOMPARE(system->name(), u"JACK"_s);
    QVERIFY(system->stillThere());
}

QString TestDevicePlugin::writeLog()
{
    const QString path = m_dir.filePath(u"DEMO_1_log.dat"_s);
    QFile log(path);
    if (log.open(QIODevice::WriteOnly))
        log.write("Программа запущена\r\n");
    return path;
}

void TestDevicePlugin::uploadThroughThePlugin()
{
    QTemporaryDir site;
    QVERIFY(QDir(site.path()).mkpath(u"s"_s));
    QFile script(site.filePath(u"s/upreport.php"_s));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("<?php echo isset($_FILES['filename']) ? 'OK' : 'no file';\n");
    script.close();
    PhpServer server;
    QVERIFY(server.start(site.path()));
    ReportUploader uploader;
    const UploadResult result = uploader.upload(server.url(u"/s"_s), writeLog());
    QVERIFY2(result.ok, qPrintable(result.error));
}

// The plug-in has a copy of its own of what it takes from the libraries: the
// end of the session must still reach an upload it runs.
void TestDevicePlugin::sessionEndReachesThePlugin()
{
    QTcpServer silent; // takes the connection and never answers
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    ReportUploader uploader;
    QTimer::singleShot(200, this, [] { Shutdown::request(); });
    const UploadResult result = uploader.upload(
        QUrl(u"http://127.0.0.1:%1"_s.arg(silent.serverPort())), writeLog());
    Shutdown::reset();
    QVERIFY(!result.ok);
    QCOMPARE(result.error, ReportUploader::sessionEndText());
}

QTEST_GUILESS_MAIN(TestDevicePlugin)
#include "tst_deviceplugin.moc"
