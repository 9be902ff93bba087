#include "course/cp1251.h"
#include "course/fileerror.h"
#include "course/programclock.h"
#include "report/activitylog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;
using namespace Qt::StringLiterals;

class TestActivityLog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { ProgramClock::setNowSource({}); }
    void dateTimeText_data();
    void dateTimeText();
    void firstRecordCreatesFile();
    void records_data();
    void records();
    void appendsInCallOrder();
    void failureLeavesFileAndThrows();
    void unencodableMessageIsRefused();
    void outsideTextIsLogged_data();
    void outsideTextIsLogged();

private:
    QByteArray logBytes() const;
    QString logPath() const { return m_dir->filePath(QStringLiteral("levels/log.dat")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestActivityLog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("levels")));
    ProgramClock::setNowSource([] { return QDateTime(QDate(2026, 12, 8), QTime(7, 29, 26)); });
}

QByteArray TestActivityLog::logBytes() const
{
    QFile f(logPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestActivityLog::dateTimeText_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("text");
    QTest::newRow("morning") << QDateTime(QDate(2026, 12, 8), QTime(7, 29, 26))
                             << "08.12.2026 7:29:26";
    QTest::newRow("afternoon") << QDateTime(QDate(2027, 1, 31), QTime(15, 5, 0))
                               << "31.01.2027 15:05:00";
    QTest::newRow("midnight") << QDateTime(QDate(2026, 3, 1), QTime(0, 0, 0)) << "01.03.2026";
    QTest::newRow("one second past")
        << QDateTime(QDate(2026, 3, 1), QTime(0, 0, 1)) << "01.03.2026 0:00:01";
}

void TestActivityLog::dateTimeText()
{
    QFETCH(QDateTime, when);
    QTEST(ActivityLog::dateTimeText(when), "text");
}

void TestActivityLog::firstRecordCreatesFile()
{
    QVERIFY(!QFile::exists(logPath()));
    ActivityLog(BasePath(m_dir->path())).WriteLog(QStringLiteral("Программа запущена"));
    QByteArray expected;
    QVERIFY(Cp1251::encode(QStringLiteral("08.12.2026 7:29:26 - Программа запущена"), expected));
    QCOMPARE(logBytes(), expected + "\x0A\x0D");
}

void TestActivityLog::records_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("record");
    QTest::newRow("empty") << QString() << QByteArray("08.12.2026 7:29:26 - \x0A\x0D");
    QTest::newRow("CR LF inside") << QStringLiteral("line one\r\nline two")
                                  << QByteArray(
                                         "08.12.2026 7:29:26 - line one\r\nline two\x0A\x0D");
    QTest::newRow("blanks kept") << QStringLiteral(" Конец ) ")
                                 << QByteArray(
                                        "08.12.2026 7:29:26 -  \xCA\xEE\xED\xE5\xF6 ) \x0A\x0D");
}

void TestActivityLog::records()
{
    QFETCH(QString, message);
    QFETCH(QByteArray, record);
    ActivityLog log(BasePath(m_dir->path()));
    log.WriteLog(QStringLiteral("x"));
    const qint64 before = logBytes().size();
    log.WriteLog(message);
    QCOMPARE(logBytes().mid(before), record);
}

void TestActivityLog::appendsInCallOrder()
{
    ActivityLog log(BasePath(m_dir->path()));
    {
        QFile f(logPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old history\x0A\x0D");
    }
    log.WriteLog(QStringLiteral("a"));
    log.WriteLog(QStringLiteral("b"));
    QCOMPARE(logBytes(), QByteArray("old history\x0A\x0D"
                                    "08.12.2026 7:29:26 - a\x0A\x0D"
                                    "08.12.2026 7:29:26 - b\x0A\x0D"));
}

void TestActivityLog::failureLeavesFileAndThrows()
{
    // As root, permissions stop nothing: a folder in the file's place does.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("levels/log.dat")));
    ActivityLog log(BasePath(m_dir->path()));
    QVERIFY_THROWS_EXCEPTION(FileError, log.WriteLog(QStringLiteral("a")));
    QVERIFY(QFileInfo(logPath()).isDir());

    ActivityLog missingFolder(BasePath(m_dir->filePath(QStringLiteral("nowhere"))));
    QVERIFY_THROWS_EXCEPTION(FileError, missingFolder.WriteLog(QStringLiteral("a")));
}

void TestActivityLog::unencodableMessageIsRefused()
{
    ActivityLog log(BasePath(m_dir->path()));
    log.WriteLog(QStringLiteral("a"));
    const QByteArray before = logBytes();
    QVERIFY_THROWS_EXCEPTION(FileError, log.WriteLog(QStringLiteral("ноты ♪")));
    QCOMPARE(logBytes(), before);
}

void TestActivityLog::outsideTextIsLogged_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Russian and Latin kept") << u"C:/Ёжик/notes.bmp"_s << u"C:/Ёжик/notes.bmp"_s;
    QTest::newRow("accented letter") << u"café.png"_s << u"caf?.png"_s;
    QTest::newRow("another script") << u"http://例え.jp/ноты"_s << u"http://??.jp/ноты"_s;
    QTest::newRow("beyond the basic plane is one character") << u"a𝄞b"_s << u"a?b"_s;
    QTest::newRow("lone surrogate") << QString(QChar(0xD834)) << u"?"_s;
}

// A path or an address is written with "?" for what the log cannot hold.
void TestActivityLog::outsideTextIsLogged()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(ActivityLog::fromOutside(text), shown);
    ActivityLog log(BasePath(m_dir->path()));
    log.WriteLog(u"Открытие сайта "_s + ActivityLog::fromOutside(text));
    QVERIFY(Cp1251::decode(logBytes()).endsWith(u"Открытие сайта "_s + shown + u"\n\r"_s));
}

QTEST_GUILESS_MAIN(TestActivityLog)
#include "tst_activitylog.moc"
