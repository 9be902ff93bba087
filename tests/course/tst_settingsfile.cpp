#include "course/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

namespace {
const QByteArray kAllTimbres = "piano,guitar,strings,clarinet,flute,vibraphone,organ,choir";
}

class TestSettingsFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void load_data();
    void load();
    void missingFileGivesFirstRunDefaults();
    void timbreKeys_data();
    void timbreKeys();
    void timbreKeysRoundTrip();
    void saveWritesKeysInOrder();
    void saveReplacesInPlaceAndKeepsCounters();
    void counters();
    void resetCountersCreatesMissingFile();
    void siteAddress();

private:
    void writeSettings(const QByteArray &body);
    QByteArray settingsBytes() const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("levels")));
}

void TestSettingsFile::writeSettings(const QByteArray &body)
{
    QFile f(m_dir->filePath(QStringLiteral("levels/settings.dat")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[main]\r\n" + body);
}

QByteArray TestSettingsFile::settingsBytes() const
{
    QFile f(m_dir->filePath(QStringLiteral("levels/settings.dat")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestSettingsFile::load_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("note");
    QTest::addColumn<int>("ti");
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("keyLetters");

    QTest::newRow("note 12") << QByteArray("note=12\r\n") << 0 << 250 << true << 1 << false;
    QTest::newRow("note -1") << QByteArray("note=-1\r\n") << 0 << 250 << true << 1 << false;
    QTest::newRow("note 0x0B") << QByteArray("note=0x0B\r\n") << 11 << 250 << true << 1 << false;
    QTest::newRow("note 5") << QByteArray("note=5\r\n") << 5 << 250 << true << 1 << false;
    QTest::newRow("level 7 ignored") << QByteArray("level=7\r\n") << 0 << 250 << true << 1 << false;
    QTest::newRow("firstrun 0") << QByteArray("firstrun=0\r\n") << 0 << 250 << false << 1 << false;
    QTest::newRow("firstrun yes") << QByteArray("firstrun=yes\r\n") << 0 << 250 << true << 1
                                  << false;
    QTest::newRow("TI 0x64") << QByteArray("TI=0x64\r\n") << 0 << 100 << true << 1 << false;
    QTest::newRow("TI 10") << QByteArray("TI=10\r\n") << 0 << 10 << true << 1 << false;
    QTest::newRow("TI 5000") << QByteArray("TI=5000\r\n") << 0 << 5000 << true << 1 << false;
    QTest::newRow("TI 9") << QByteArray("TI=9\r\n") << 0 << 250 << true << 1 << false;
    QTest::newRow("TI 5001") << QByteArray("TI=5001\r\n") << 0 << 250 << true << 1 << false;
    QTest::newRow("TI 0") << QByteArray("TI=0\r\n") << 0 << 250 << true << 1 << false;
    QTest::newRow("TI -250") << QByteArray("TI=-250\r\n") << 0 << 250 << true << 1 << false;
    QTest::newRow("TI int max") << QByteArray("TI=2147483647\r\n") << 0 << 250 << true << 1
                                << false;
    QTest::newRow("keyletters 1") << QByteArray("keyletters=1\r\n") << 0 << 250 << true << 1
                                  << true;
    QTest::newRow("keyletters yes")
        << QByteArray("keyletters=yes\r\n") << 0 << 250 << true << 1 << false;
}

void TestSettingsFile::load()
{
    QFETCH(QByteArray, body);
    writeSettings(body);
    TGlobalSettings s;
    s.Level = 9;
    s.KeyboardShown = true;
    SettingsFile(BasePath(m_dir->path())).LoadSettings(s);
    QTEST(int(s.Note), "note");
    QTEST(s.TI, "ti");
    QTEST(s.FirstRun, "firstRun");
    QTEST(s.Level, "level");
    QTEST(s.KeyLetters, "keyLetters");
    QCOMPARE(s.KeyboardShown, false);
}

void TestSettingsFile::missingFileGivesFirstRunDefaults()
{
    TGlobalSettings s;
    s.FirstRun = false;
    s.Octave = 4;
    s.Tembr = QStringLiteral("x");
    SettingsFile(BasePath(m_dir->path())).LoadSettings(s);
    QCOMPARE(s.FirstRun, true);
    QCOMPARE(s.Tembr, QStringLiteral("piano"));
    QCOMPARE(s.Octave, 5);
    QCOMPARE(s.Part, 1);
    QCOMPARE(s.Step, 0);
    QCOMPARE(s.TI, 250);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("levels/settings.dat"))));
}

void TestSettingsFile::timbreKeys_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("tembr");
    QTest::addColumn<bool>("mix");
    QTest::addColumn<QString>("set"); // joined by commas
    QTest::addColumn<bool>("masking");
    const QString all = QString::fromLatin1(kAllTimbres);
    QTest::newRow("older file") << QByteArray("tembr=organ\r\nnote=2\r\n")
                                << QStringLiteral("organ") << false << all << false;
    QTest::newRow("masking on") << QByteArray("masking=1\r\n") << QStringLiteral("piano") << false
                                << all << true;
    QTest::newRow("mix of two") << QByteArray("tembrmix=1\r\ntembrset= guitar, organ,,guitar\r\n")
                                << QStringLiteral("piano") << true << QStringLiteral("guitar,organ")
                                << false;
    QTest::newRow("mix emptied") << QByteArray("tembrmix=1\r\ntembrset=\r\n")
                                 << QStringLiteral("piano") << true << QString() << false;
    QTest::newRow("mix yes") << QByteArray("tembrmix=yes\r\n") << QStringLiteral("piano") << false
                             << all << false;
    QTest::newRow("paths dropped")
        << QByteArray("tembrset=../x,flute,a\\b,.hidden\r\n") << QStringLiteral("piano") << false
        << QStringLiteral("flute") << false;
    QTest::newRow("missing folder kept")
        << QByteArray("tembr=nosuch\r\n") << QStringLiteral("nosuch") << false << all << false;
}

void TestSettingsFile::timbreKeys()
{
    QFETCH(QByteArray, body);
    writeSettings(body);
    TGlobalSettings s;
    SettingsFile(BasePath(m_dir->path())).LoadSettings(s);
    QTEST(s.Tembr, "tembr");
    QTEST(s.TembrMix, "mix");
    QTEST(s.TembrSet.join(u','), "set");
    QTEST(s.Masking, "masking");
}

void TestSettingsFile::timbreKeysRoundTrip()
{
    TGlobalSettings s;
    s.Tembr = QStringLiteral("flute");
    s.TembrMix = true;
    s.TembrSet = {QStringLiteral("choir"), QStringLiteral("guitar")};
    s.Masking = true;
    SettingsFile file(BasePath(m_dir->path()));
    file.SaveSettings(s);
    TGlobalSettings back;
    file.LoadSettings(back);
    QCOMPARE(back.Tembr, s.Tembr);
    QCOMPARE(back.TembrMix, true);
    QCOMPARE(back.TembrSet, s.TembrSet);
    QCOMPARE(back.Masking, true);
    QVERIFY(settingsBytes().endsWith("tembrmix=1\r\ntembrset=choir,guitar\r\nmasking=1\r\n"));
}

void TestSettingsFile::saveWritesKeysInOrder()
{
    TGlobalSettings s;
    s.Note = 3;
    s.Octave = 6;
    s.Part = 2;
    s.Level = 12;
    s.Step = 4;
    s.TI = 300;
    s.FirstRun = false;
    s.KeyLetters = true;
    SettingsFile(BasePath(m_dir->path())).SaveSettings(s);
    QCOMPARE(settingsBytes(),
             QByteArray("[main]\r\nnote=3\r\noctave=6\r\npart=2\r\nlevel=12\r\n"
                        "step=4\r\nTI=300\r\ntembr=piano\r\nfirstrun=0\r\nkeyletters=1\r\n"
                        "tembrmix=0\r\ntembrset=" +
                        kAllTimbres + "\r\nmasking=0\r\n"));
}

void TestSettingsFile::saveReplacesInPlaceAndKeepsCounters()
{
    writeSettings("learnnote=3\r\nsite=http://x.example\r\nnote=1\r\n");
    TGlobalSettings s;
    SettingsFile(BasePath(m_dir->path())).SaveSettings(s);
    QCOMPARE(settingsBytes(),
             QByteArray("[main]\r\nlearnnote=3\r\nsite=http://x.example\r\nnote=0\r\noctave=5\r\n"
                        "part=1\r\nlevel=1\r\nstep=0\r\nTI=250\r\ntembr=piano\r\nfirstrun=1\r\n"
                        "keyletters=0\r\ntembrmix=0\r\ntembrset=" +
                        kAllTimbres + "\r\nmasking=0\r\n"));
}

void TestSettingsFile::counters()
{
    SettingsFile file(BasePath(m_dir->path()));
    QCOMPARE(file.LoadLearnNote(), 1);
    QCOMPARE(file.LoadNoteNum(), 1);
    QCOMPARE(file.LoadNoteCount(), 1);
    file.SaveLearnNote(4);
    file.SaveNoteNum(2);
    file.SaveNoteCount(3);
    QCOMPARE(file.LoadLearnNote(), 4);
    QCOMPARE(file.LoadNoteNum(), 2);
    QCOMPARE(file.LoadNoteCount(), 3);
    file.ResetCounters();
    QCOMPARE(file.LoadLearnNote(), 1);
    QCOMPARE(file.LoadNoteNum(), 1);
    QCOMPARE(file.LoadNoteCount(), 1);
}

void TestSettingsFile::resetCountersCreatesMissingFile()
{
    SettingsFile(BasePath(m_dir->path())).ResetCounters();
    QCOMPARE(settingsBytes(), QByteArray("[main]\r\nlearnnote=1\r\nnotenum=1\r\nnotecount=1\r\n"));
}

void TestSettingsFile::siteAddress()
{
    SettingsFile file(BasePath(m_dir->path()));
    QCOMPARE(file.SiteAddress(), SettingsFile::defaultSiteAddress());
    QVERIFY(SettingsFile::defaultSiteAddress().endsWith(QLatin1String(".example")));
    writeSettings("site=https://teacher.example/course/\r\n");
    QCOMPARE(file.SiteAddress(), QStringLiteral("https://teacher.example/course"));
    file.SaveSettings(TGlobalSettings{});
    QVERIFY(settingsBytes().contains("site=https://teacher.example/course/\r\n"));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
