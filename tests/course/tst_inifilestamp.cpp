#include "course/fileerror.h"
#include "course/filestamp.h"
#include "course/inicache.h"
#include "course/inifile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void setModified(const QString &path, const QDateTime &when)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
}

QDateTime modified(const QString &path)
{
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

using Entries = QList<IniFile::Entry>;

// Every section with its keys and values, from the kept parse or a fresh read.
QStringList answers(const QString &path, bool fresh)
{
    if (fresh)
        IniCache::clear();
    const IniFile ini(path);
    QStringList all;
    for (const QString &s : ini.sections()) {
        for (const QString &k : ini.keys(s))
            all += s + u':' + k + u'=' + ini.readString(s, k, QStringLiteral("<none>"));
    }
    return all;
}

} // namespace

Q_DECLARE_METATYPE(Entries)

// The parse of a file is reused without reading it while the file's size,
// times and identity are those seen when it was read.
class TestIniFileStamp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        IniCache::clear();
        // Stamps are trusted at once, so a missed change would show here.
        FileStamp::setSettleTime(0);
    }
    void cleanup()
    {
        FileStamp::setSettleTime(FileStamp::DefaultSettleNsec);
        IniFile::setBeforeCommitHook({});
    }

    void changeOnDiskIsSeen_data();
    void changeOnDiskIsSeen();
    void recentChangeIsNotSettled();
    void batchEqualsKeyByKey_data();
    void batchEqualsKeyByKey();
    void interruptedBatchLeavesOldFile();
    void entriesEqualKeysAndValues();

private:
    QString file() const { return m_dir->filePath(QStringLiteral("t.dat")); }
    std::optional<QTemporaryDir> m_dir;
};

void TestIniFileStamp::changeOnDiskIsSeen_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("same size in place, other time") << "otherTime";
    QTest::newRow("same size in place, time put back") << "timeBack";
    QTest::newRow("replaced by a rename") << "rename";
    QTest::newRow("written by the program") << "program";
}

void TestIniFileStamp::changeOnDiskIsSeen()
{
    QFETCH(QString, change);
    writeBytes(file(), "[s]\r\nk=1\r\n");
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-3600);
    setModified(file(), before);
    const IniFile ini(file());
    QCOMPARE(ini.readInteger(u"s", u"k", -1), 1);
    QCOMPARE(ini.readInteger(u"s", u"k", -1), 1); // now from the kept parse
    if (change == QLatin1String("rename")) {
        const QString other = m_dir->filePath(QStringLiteral("o.dat"));
        writeBytes(other, "[s]\r\nk=7\r\n");
        setModified(other, before);
        QVERIFY(QFile::remove(file()) && QFile::rename(other, file()));
    } else if (change == QLatin1String("program")) {
        IniFile(file()).writeInteger(QStringLiteral("s"), QStringLiteral("k"), 7);
    } else {
        writeBytes(file(), "[s]\r\nk=7\r\n");
        // Only the status change time tells "timeBack" apart.
        setModified(file(), change == QLatin1String("timeBack") ? before : before.addSecs(1));
        if (change == QLatin1String("timeBack"))
            QCOMPARE(modified(file()), before);
    }
    QCOMPARE(ini.readInteger(u"s", u"k", -1), 7);
}

void TestIniFileStamp::recentChangeIsNotSettled()
{
    writeBytes(file(), "[s]\r\n");
    QFile f(file());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const std::optional<FileStamp> stamp = FileStamp::of(f.handle());
    QVERIFY(stamp.has_value());
    QCOMPARE(stamp->size, 5);
    QVERIFY(stamp->settled());
    FileStamp::setSettleTime(FileStamp::DefaultSettleNsec);
    QVERIFY(!stamp->settled());
    QVERIFY(!FileStamp::of(-1).has_value());
}

void TestIniFileStamp::batchEqualsKeyByKey_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<Entries>("values");
    const Entries mixed{{QStringLiteral("x"), QStringLiteral("2")},
                        {QStringLiteral("new"), QStringLiteral("n")},
                        {QStringLiteral("X"), QStringLiteral("3")},
                        {QStringLiteral("NEW"), QStringLiteral("m")},
                        {QStringLiteral("ещё"), QStringLiteral("значение")}};
    const QByteArray twoSections("[a]\r\nx=1\r\nx=9\r\n\r\n\r\n[b]\r\nx=5\r\n");
    QTest::newRow("into a section followed by blanks") << twoSections << "a" << mixed;
    QTest::newRow("into the last section") << twoSections << "B" << mixed;
    QTest::newRow("new section") << twoSections << "c" << mixed;
    QTest::newRow("missing file") << QByteArray() << "a" << mixed;
    QTest::newRow("no final line break") << QByteArray("[a]\nx=1") << "a" << mixed;
    QTest::newRow("into junk") << QByteArray("\x00\xff[\r=\r\r\n[a]x\n=\r[a\n", 18) << "a" << mixed;
    QTest::newRow("odd keys") << twoSections << "a"
                              << Entries{{QStringLiteral(" k "), QStringLiteral("1")},
                                         {QStringLiteral("k=j"), QStringLiteral("2")},
                                         {QStringLiteral("[b]"), QStringLiteral("3")},
                                         {QStringLiteral("x"), QStringLiteral("4")},
                                         {QStringLiteral(";c"), QStringLiteral("5")},
                                         {QString(), QStringLiteral("6")}};
    QTest::newRow("bracket in a new section") << twoSections << "d]e" << mixed;
    QTest::newRow("line breaks in values")
        << twoSections << "a" << Entries{{QStringLiteral("x"), QStringLiteral("1\r\n[b]\r\ny=2")}};
    QTest::newRow("nothing") << twoSections << "a" << Entries{};
    QTest::newRow("nothing into a missing file") << QByteArray() << "a" << Entries{};
}

void TestIniFileStamp::batchEqualsKeyByKey()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(Entries, values);
    const QString single = m_dir->filePath(QStringLiteral("single.dat"));
    if (!before.isEmpty()) {
        writeBytes(file(), before);
        writeBytes(single, before);
    }
    IniFile(file()).writeStrings(section, values);
    for (const IniFile::Entry &e : values)
        IniFile(single).writeString(section, e.key, e.value);
    QCOMPARE(readBytes(file()), readBytes(single));
    QCOMPARE(QFile::exists(file()), QFile::exists(single));
    // The parse kept after the write answers as a fresh read does.
    const QStringList kept = answers(file(), false);
    QCOMPARE(kept, answers(file(), true));
}

void TestIniFileStamp::interruptedBatchLeavesOldFile()
{
    const QByteArray old("[a]\r\nx=1\r\n");
    writeBytes(file(), old);
    IniFile ini(file());
    QCOMPARE(ini.readInteger(u"a", u"x", 0), 1);
    IniFile::setBeforeCommitHook([] { throw std::runtime_error("power lost"); });
    const Entries values{{QStringLiteral("x"), QStringLiteral("2")},
                         {QStringLiteral("y"), QStringLiteral("3")}};
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, ini.writeStrings(QStringLiteral("a"), values));
    IniFile::setBeforeCommitHook({});
    QCOMPARE(readBytes(file()), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("t.dat")});
    QCOMPARE(ini.readInteger(u"a", u"x", 0), 1);
    QCOMPARE(ini.readInteger(u"a", u"y", 0), 0);
    // A value the file's code page cannot hold stops the batch before anything is written.
    const Entries unencodable{{QStringLiteral("x"), QStringLiteral("5")},
                              {QStringLiteral("y"), QStringLiteral("\u4e2d")}};
    QVERIFY_THROWS_EXCEPTION(FileError, ini.writeStrings(QStringLiteral("a"), unencodable));
    QCOMPARE(readBytes(file()), old);
}

void TestIniFileStamp::entriesEqualKeysAndValues()
{
    const QByteArray longValue(IniFile::MaxStringLength + 10, 'v');
    writeBytes(file(), "[a]\r\nx=1\r\nX=2\r\n y = 3 \r\n; c=4\r\nlong=" + longValue +
                           "\r\n[b]\r\nz=5\r\n[A]\r\nw=6\r\n");
    const IniFile ini(file());
    const Entries entries = ini.entries(u"a");
    QStringList keys;
    for (const IniFile::Entry &e : entries) {
        keys += e.key;
        QCOMPARE(e.value.left(IniFile::MaxStringLength), ini.readString(u"a", e.key, {}));
    }
    QCOMPARE(keys, ini.keys(u"a"));
    QCOMPARE(keys, (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("long")}));
    QCOMPARE(entries.last().value.size(), longValue.size());
    QVERIFY(ini.entries(u"missing").isEmpty());
    const QList<std::optional<QString>> values =
        ini.values(u"A", {QStringLiteral("X"), QStringLiteral("y"), QStringLiteral("long"),
                          QStringLiteral("c"), QStringLiteral("w")});
    QCOMPARE(values, (QList<std::optional<QString>>{QStringLiteral("1"), QStringLiteral("3"),
                                                    QString::fromLatin1(longValue), std::nullopt,
                                                    std::nullopt}));
}

QTEST_GUILESS_MAIN(TestIniFileStamp)
#include "tst_inifilestamp.moc"
