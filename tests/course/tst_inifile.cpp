#include "course/cp1251.h"
#include "course/fileerror.h"
#include "course/inicache.h"
#include "course/inidocument.h"
#include "course/inifile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

namespace {

QByteArray cp(const QString &text)
{
    QByteArray out;
    Cp1251::encode(text, out);
    return out;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { IniFile::setBeforeCommitHook({}); }

    void readInteger_data();
    void readInteger();
    void readString_data();
    void readString();
    void readBool_data();
    void readBool();
    void missingFileGivesDefaults();
    void order();
    void write_data();
    void write();
    void writeCreatesMissingFile();
    void writeKeepsLineBreaksOut();
    void writeRefusesUnencodable();
    void writeIntoMissingFolderThrows();
    void cp1251RoundTripIsByteExact();
    void bracketlessHeaderIsNoKey();
    void interruptedWriteLeavesOldFile();
    void cp1251DecodesAsTheCodec();
    void keptParseFollowsTheDisk_data();
    void keptParseFollowsTheDisk();
    void writtenDocumentEqualsItsReread_data();
    void writtenDocumentEqualsItsReread();
    void keysFollowWrites_data();
    void keysFollowWrites();
    void interruptedWriteKeepsOldValue();
    void manyFilesStayApart();

private:
    QString file() const { return m_dir->filePath(QStringLiteral("t.dat")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("expected");

    QTest::newRow("decimal") << QByteArray("[main]\r\nnote=7\r\n") << "main"
                             << "note" << 7;
    QTest::newRow("case-insensitive") << QByteArray("[Main]\r\nNOTE=7\r\n") << "MAIN"
                                      << "note" << 7;
    QTest::newRow("hex lower") << QByteArray("[m]\r\nTI=0x64\r\n") << "m"
                               << "TI" << 100;
    QTest::newRow("hex upper") << QByteArray("[m]\r\nTI=0X0B\r\n") << "m"
                               << "TI" << 11;
    QTest::newRow("negative") << QByteArray("[m]\r\nk=-1\r\n") << "m"
                              << "k" << -1;
    QTest::newRow("blanks around") << QByteArray("[m]\r\n k = 12 \r\n") << "m"
                                   << "k" << 12;
    QTest::newRow("not a number") << QByteArray("[m]\r\nk=yes\r\n") << "m"
                                  << "k" << -5;
    QTest::newRow("trailing junk") << QByteArray("[m]\r\nk=12ab\r\n") << "m"
                                   << "k" << -5;
    QTest::newRow("empty value") << QByteArray("[m]\r\nk=\r\n") << "m"
                                 << "k" << -5;
    QTest::newRow("bad hex") << QByteArray("[m]\r\nk=0xZZ\r\n") << "m"
                             << "k" << -5;
    QTest::newRow("overflow") << QByteArray("[m]\r\nk=99999999999\r\n") << "m"
                              << "k" << -5;
    QTest::newRow("missing key") << QByteArray("[m]\r\nother=1\r\n") << "m"
                                 << "k" << -5;
    QTest::newRow("missing section") << QByteArray("[x]\r\nk=1\r\n") << "m"
                                     << "k" << -5;
    QTest::newRow("key of next section") << QByteArray("[m]\r\n[x]\r\nk=1\r\n") << "m"
                                         << "k" << -5;
    QTest::newRow("LF only") << QByteArray("[m]\nk=3\n") << "m"
                             << "k" << 3;
    QTest::newRow("CR only") << QByteArray("[m]\rk=4\r") << "m"
                             << "k" << 4;
    QTest::newRow("no final newline") << QByteArray("[m]\r\nk=5") << "m"
                                      << "k" << 5;
    QTest::newRow("first duplicate wins") << QByteArray("[m]\r\nk=1\r\nk=2\r\n") << "m"
                                          << "k" << 1;
    QTest::newRow("binary junk") << QByteArray("\x00\xff[m\x01]\r\nk\x02=1") << "m"
                                 << "k" << -5;
}

void TestIniFile::readInteger()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(int, expected);
    writeBytes(file(), content);
    QCOMPARE(IniFile(file()).readInteger(section, key, -5), expected);
}

void TestIniFile::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    QTest::newRow("cyrillic") << cp(QStringLiteral("[m]\r\nk=Привет, мир\r\n"))
                              << QStringLiteral("Привет, мир");
    QTest::newRow("equals inside value") << QByteArray("[m]\r\nk=a=b\r\n") << QStringLiteral("a=b");
    QTest::newRow("missing") << QByteArray("[m]\r\n") << QStringLiteral("НЕТ НАСТРОЕК");
    QTest::newRow("cut at 2047") << (QByteArray("[m]\r\nk=") + QByteArray(3000, 'x'))
                                 << QString(2047, QLatin1Char('x'));
    QTest::newRow("exactly 2047") << (QByteArray("[m]\r\nk=") + QByteArray(2047, 'y'))
                                  << QString(2047, QLatin1Char('y'));
}

void TestIniFile::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    writeBytes(file(), content);
    QCOMPARE(IniFile(file()).readString(u"M", u"K", QStringLiteral("НЕТ НАСТРОЕК")), expected);
}

void TestIniFile::readBool_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");

    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("2 is true") << QByteArray("2") << false << true;
    QTest::newRow("yes is default true") << QByteArray("yes") << true << true;
    QTest::newRow("yes is default false") << QByteArray("yes") << false << false;
    QTest::newRow("hex") << QByteArray("0x1") << false << true;
}

void TestIniFile::readBool()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    writeBytes(file(), "[m]\r\nb=" + value + "\r\n");
    QCOMPARE(IniFile(file()).readBool(u"m", u"b", def), expected);
}

void TestIniFile::missingFileGivesDefaults()
{
    IniFile ini(m_dir->filePath(QStringLiteral("none.dat")));
    QCOMPARE(ini.readInteger(u"m", u"k", 42), 42);
    QCOMPARE(ini.readString(u"m", u"k", QStringLiteral("нет данных")),
             QStringLiteral("нет данных"));
    QCOMPARE(ini.readBool(u"m", u"k", true), true);
    QVERIFY(ini.sections().isEmpty());
    QVERIFY(ini.keys(u"m").isEmpty());
    // A folder where the file should be reads as missing, not as an error.
    QDir(m_dir->path()).mkdir(QStringLiteral("folder.dat"));
    QCOMPARE(IniFile(m_dir->filePath(QStringLiteral("folder.dat"))).readInteger(u"m", u"k", 3), 3);
}

void TestIniFile::order()
{
    writeBytes(file(), cp(QStringLiteral("[level3]\r\nz=1\r\na=2\r\n[level1]\r\nm=3\r\n; note\r\n"
                                         "[LEVEL3]\r\nq=4\r\n[уровень]\r\nб=5\r\nа=6\r\nБ=7\r\n")));
    IniFile ini(file());
    QCOMPARE(ini.sections(), (QStringList{QStringLiteral("level3"), QStringLiteral("level1"),
                                          QStringLiteral("уровень")}));
    QCOMPARE(ini.keys(u"level3"), (QStringList{QStringLiteral("z"), QStringLiteral("a")}));
    QCOMPARE(ini.keys(u"УРОВЕНЬ"), (QStringList{QStringLiteral("б"), QStringLiteral("а")}));
    QCOMPARE(ini.readInteger(u"уровень", u"Б", 0), 5);
}

void TestIniFile::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("replace in place")
        << QByteArray("; top\r\n[a]\r\nx=1\r\ny=2\r\n[b]\r\nx=3\r\n") << "a"
        << "X"
        << "9" << QByteArray("; top\r\n[a]\r\nX=9\r\ny=2\r\n[b]\r\nx=3\r\n");
    QTest::newRow("append key at end of its section")
        << QByteArray("[a]\r\nx=1\r\n\r\n[b]\r\nx=3\r\n") << "A"
        << "z"
        << "5" << QByteArray("[a]\r\nx=1\r\nz=5\r\n\r\n[b]\r\nx=3\r\n");
    QTest::newRow("append key to last section")
        << QByteArray("[a]\r\nx=1\r\n[b]\r\nx=3\r\n") << "b"
        << "y"
        << "4" << QByteArray("[a]\r\nx=1\r\n[b]\r\nx=3\r\ny=4\r\n");
    QTest::newRow("append section at end") << QByteArray("[a]\r\nx=1\r\n") << "c"
                                           << "k"
                                           << "v" << QByteArray("[a]\r\nx=1\r\n[c]\r\nk=v\r\n");
    QTest::newRow("no final newline") << QByteArray("[a]\r\nx=1") << "c"
                                      << "k"
                                      << "v" << QByteArray("[a]\r\nx=1\r\n[c]\r\nk=v\r\n");
    QTest::newRow("LF file keeps LF") << QByteArray("[a]\nx=1\n") << "a"
                                      << "y"
                                      << "2" << QByteArray("[a]\nx=1\ny=2\n");
    QTest::newRow("odd lines keep their bytes")
        << QByteArray("junk \x01\xff\r\n[a]  \r\n  x = 1 \n;c\rx=2\r\n") << "a"
        << "y"
        << "3" << QByteArray("junk \x01\xff\r\n[a]  \r\n  x = 1 \n;c\rx=2\r\ny=3\r\n");
    QTest::newRow("cyrillic value")
        << QByteArray("[a]\r\n") << "a"
        << "a1"
        << "Круглая" << QByteArray("[a]\r\na1=") + cp(QStringLiteral("Круглая")) + "\r\n";
}

void TestIniFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    writeBytes(file(), before);
    IniFile(file()).writeString(section, key, value);
    QCOMPARE(readBytes(file()), after);
}

void TestIniFile::writeCreatesMissingFile()
{
    IniFile ini(file());
    ini.writeInteger(QStringLiteral("main"), QStringLiteral("learnnote"), 1);
    ini.writeBool(QStringLiteral("main"), QStringLiteral("firstrun"), false);
    QCOMPARE(readBytes(file()), QByteArray("[main]\r\nlearnnote=1\r\nfirstrun=0\r\n"));
}

void TestIniFile::writeKeepsLineBreaksOut()
{
    IniFile ini(file());
    ini.writeString(QStringLiteral("a"), QStringLiteral("k"),
                    QStringLiteral("one\r\ntwo\n[x]\rz=1"));
    QCOMPARE(readBytes(file()), QByteArray("[a]\r\nk=one  two [x] z=1\r\n"));
    QCOMPARE(ini.sections(), QStringList{QStringLiteral("a")});
}

void TestIniFile::writeRefusesUnencodable()
{
    writeBytes(file(), "[a]\r\nk=1\r\n");
    IniFile ini(file());
    QVERIFY_THROWS_EXCEPTION(FileError, ini.writeString(QStringLiteral("a"), QStringLiteral("k"),
                                                        QStringLiteral("нота ♪")));
    QCOMPARE(readBytes(file()), QByteArray("[a]\r\nk=1\r\n"));
}

void TestIniFile::writeIntoMissingFolderThrows()
{
    IniFile ini(m_dir->filePath(QStringLiteral("no/such/folder/t.dat")));
    QVERIFY_THROWS_EXCEPTION(FileError,
                             ini.writeInteger(QStringLiteral("a"), QStringLiteral("k"), 1));
}

// A key named like "[k" could never be written back: with a value holding ']'
// its line would read as a section header and take the keys after it along.
void TestIniFile::bracketlessHeaderIsNoKey()
{
    writeBytes(file(), "[m]\r\n[k=1\r\nk=2\r\n");
    IniFile ini(file());
    QCOMPARE(ini.keys(u"m"), QStringList{QStringLiteral("k")});
    QCOMPARE(ini.readString(u"m", u"[k", QStringLiteral("none")), QStringLiteral("none"));
    for (const QString &key : ini.keys(u"m"))
        ini.writeString(QStringLiteral("m"), key, QStringLiteral("x]"));
    QCOMPARE(ini.readString(u"m", u"k", {}), QStringLiteral("x]"));
}

void TestIniFile::cp1251RoundTripIsByteExact()
{
    // Every byte that has a Windows-1251 character survives decode and encode.
    QByteArray all;
    for (int b = 0x20; b < 0x100; ++b) {
        if (b != 0x98 && b != '=' && b != '[' && b != ';')
            all += char(b);
    }
    IniFile ini(file());
    const QString text = Cp1251::decode(all);
    ini.writeString(QStringLiteral("a"), QStringLiteral("k"), text);
    QCOMPARE(readBytes(file()), "[a]\r\nk=" + all + "\r\n");
    QCOMPARE(ini.readString(u"a", u"k", {}), text.trimmed());
}

void TestIniFile::interruptedWriteLeavesOldFile()
{
    const QByteArray old("[main]\r\nlearnnote=3\r\n");
    writeBytes(file(), old);
    IniFile::setBeforeCommitHook([] { throw std::runtime_error("power lost"); });
    QVERIFY_THROWS_EXCEPTION(
        std::runtime_error,
        IniFile(file()).writeInteger(QStringLiteral("main"), QStringLiteral("learnnote"), 4));
    QCOMPARE(readBytes(file()), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("t.dat")});
}

void TestIniFile::cp1251DecodesAsTheCodec()
{
    QByteArray all;
    for (int b = 0; b < 0x100; ++b)
        all += char(b);
    QStringDecoder codec("windows-1251");
    QCOMPARE(Cp1251::decode(all), QString(codec.decode(all)));
}

// Each change happens right after a read, so size and times may well be
// unchanged; the new contents must show all the same.
void TestIniFile::keptParseFollowsTheDisk_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("expected");
    QTest::newRow("rewritten in place, same size") << "inplace" << 7;
    QTest::newRow("replaced by another file") << "rename" << 7;
    QTest::newRow("removed") << "remove" << -1;
    QTest::newRow("emptied") << "empty" << -1;
    QTest::newRow("written by the program") << "program" << 7;
    QTest::newRow("written, then back by hand") << "programThenBack" << 1;
}

void TestIniFile::keptParseFollowsTheDisk()
{
    QFETCH(QString, change);
    QFETCH(int, expected);
    const QByteArray before("[s]\r\nk=1\r\n");
    writeBytes(file(), before);
    IniFile ini(file());
    QCOMPARE(ini.readInteger(u"s", u"k", -1), 1);
    const QString other = m_dir->filePath(QStringLiteral("other.dat"));
    if (change == QLatin1String("inplace")) {
        writeBytes(file(), "[s]\r\nk=7\r\n");
    } else if (change == QLatin1String("rename")) {
        writeBytes(other, "[s]\r\nk=7\r\n");
        QVERIFY(QFile::remove(file()) && QFile::rename(other, file()));
    } else if (change == QLatin1String("remove")) {
        QVERIFY(QFile::remove(file()));
    } else if (change == QLatin1String("empty")) {
        writeBytes(file(), {});
    } else {
        ini.writeInteger(QStringLiteral("s"), QStringLiteral("k"), 7);
        QCOMPARE(ini.readInteger(u"s", u"k", -1), 7);
        if (change == QLatin1String("programThenBack"))
            writeBytes(file(), before);
    }
    QCOMPARE(ini.readInteger(u"s", u"k", -1), expected);
    QCOMPARE(IniFile(file()).readInteger(u"s", u"k", -1), expected);
}

// The document kept after a write answers exactly as a fresh parse of the
// written file does, however odd the names written.
void TestIniFile::writtenDocumentEqualsItsReread_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QByteArray("[a]\r\nx=1\r\n") << "a"
                           << "x"
                           << "2";
    QTest::newRow("blanks round the key") << QByteArray("[a]\r\nx=1\r\n") << "a"
                                          << " k "
                                          << " v ";
    QTest::newRow("equals sign in the key") << QByteArray("[a]\r\n") << "a"
                                            << "k=j"
                                            << "v";
    QTest::newRow("key of a comment") << QByteArray("[a]\r\n") << "a"
                                      << ";k"
                                      << "v";
    QTest::newRow("empty key") << QByteArray("[a]\r\n") << "a"
                               << ""
                               << "v";
    QTest::newRow("bracket in a new section") << QByteArray("[a]\r\n") << "b]c"
                                              << "k"
                                              << "v";
    QTest::newRow("blank new section") << QByteArray() << " "
                                       << "k"
                                       << "v";
    QTest::newRow("into junk") << QByteArray("\x00\xff[\r=\r\r\n[a]x\n") << "a"
                               << "k"
                               << "v";
}

void TestIniFile::writtenDocumentEqualsItsReread()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    writeBytes(file(), before);
    IniFile ini(file());
    ini.writeString(section, key, value);
    const auto answers = [&] {
        QStringList all{ini.sections().join(u'|')};
        for (const QString &s : ini.sections() + QStringList{section, section.trimmed()}) {
            all += s + u':' + ini.keys(s).join(u'|');
            for (const QString &k : ini.keys(s) + QStringList{key, key.trimmed()})
                all += ini.readString(s, k, QStringLiteral("<none>"));
        }
        return all;
    };
    const QStringList kept = answers();
    IniCache::clear();
    QCOMPARE(kept, answers());
}

// A section's keys, once listed, are listed anew after every kind of write,
// and a document read before the write still lists what it was read with.
void TestIniFile::keysFollowWrites_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<QStringList>("r");
    QTest::addColumn<QStringList>("s");
    const auto names = [](const char *list) { return QString::fromLatin1(list).split(u' '); };
    QTest::newRow("a new key") << "new" << names("x") << names("A b c");
    QTest::newRow("a key respelt") << "respell" << names("x") << names("a b");
    QTest::newRow("keys set at once, one respelt, one new")
        << "batch" << names("x") << names("A B d");
    QTest::newRow("a key in the section before") << "before" << names("x y") << names("A b");
}

void TestIniFile::keysFollowWrites()
{
    QFETCH(QString, write);
    QFETCH(QStringList, r);
    QFETCH(QStringList, s);
    writeBytes(file(), "[r]\r\nx=0\r\n[s]\r\nA=1\r\nb=2\r\n");
    IniFile ini(file());
    const QStringList before{QStringLiteral("A"), QStringLiteral("b")};
    QCOMPARE(ini.keys(u"s"), before);
    QCOMPARE(ini.keys(u"r"), QStringList{QStringLiteral("x")});
    const IniDocument read = IniDocument::parse("[s]\r\nA=1\r\nb=2\r\n");
    IniDocument copy = read;
    QCOMPARE(copy.keys(u"s"), before);
    if (write == QLatin1String("new")) {
        ini.writeString(QStringLiteral("s"), QStringLiteral("c"), QStringLiteral("3"));
        copy.setValue("s", "c", "3");
    } else if (write == QLatin1String("respell")) {
        ini.writeString(QStringLiteral("s"), QStringLiteral("a"), QStringLiteral("3"));
        copy.setValue("s", "a", "3");
    } else if (write == QLatin1String("batch")) {
        const QList<IniFile::Entry> values{{QStringLiteral("B"), QStringLiteral("3")},
                                           {QStringLiteral("d"), QStringLiteral("4")}};
        ini.writeStrings(QStringLiteral("s"), values);
        copy.setValues("s", {{"B", "3"}, {"d", "4"}});
    } else {
        ini.writeString(QStringLiteral("r"), QStringLiteral("y"), QStringLiteral("3"));
        copy.setValue("r", "y", "3");
    }
    QCOMPARE(ini.keys(u"r"), r);
    QCOMPARE(ini.keys(u"s"), s);
    QCOMPARE(copy.keys(u"s"), write == QLatin1String("before") ? before : s);
    QCOMPARE(read.keys(u"s"), before);
    IniCache::clear();
    QCOMPARE(ini.keys(u"r"), r);
    QCOMPARE(ini.keys(u"s"), s);
}

void TestIniFile::interruptedWriteKeepsOldValue()
{
    writeBytes(file(), "[main]\r\nlearnnote=3\r\n");
    IniFile ini(file());
    QCOMPARE(ini.readInteger(u"main", u"learnnote", 0), 3);
    IniFile::setBeforeCommitHook([] { throw std::runtime_error("power lost"); });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, ini.writeInteger(QStringLiteral("main"),
                                                                  QStringLiteral("learnnote"), 4));
    IniFile::setBeforeCommitHook({});
    QCOMPARE(ini.readInteger(u"main", u"learnnote", 0), 3);
}

// More files than are kept, read in turns, each with its own contents.
void TestIniFile::manyFilesStayApart()
{
    const int count = IniCache::MaxEntries + 3;
    for (int round = 0; round < 2; ++round) {
        for (int n = 0; n < count; ++n) {
            const QString path = m_dir->filePath(QStringLiteral("f%1.dat").arg(n));
            if (round == 0)
                writeBytes(path, "[s]\r\nk=" + QByteArray::number(n) + "\r\n");
            QCOMPARE(IniFile(path).readInteger(u"s", u"k", -1), n);
        }
    }
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
