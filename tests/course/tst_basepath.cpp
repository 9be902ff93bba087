#include "course/basepath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

class TestBasePath : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void resolve_data();
    void resolve();

private:
    QTemporaryDir m_dir;
};

void TestBasePath::initTestCase()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Sound/piano/First")));
    QFile f(m_dir.filePath(QStringLiteral("Sound/piano/First/00Do.WAV")));
    QVERIFY(f.open(QIODevice::WriteOnly));
}

void TestBasePath::resolve_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected"); // relative to the base, or empty for refused

    QTest::newRow("exact") << "Sound\\piano\\First\\00Do.WAV"
                           << "Sound/piano/First/00Do.WAV";
    QTest::newRow("other case") << "sound\\PIANO\\first\\00do.wav"
                                << "Sound/piano/First/00Do.WAV";
    QTest::newRow("forward slashes") << "sound/piano/first/00do.wav"
                                     << "Sound/piano/First/00Do.WAV";
    QTest::newRow("missing keeps name") << "levels\\01\\level.dat"
                                        << "levels/01/level.dat";
    QTest::newRow("doubled backslash") << "sound\\\\piano"
                                       << "Sound/piano";
    QTest::newRow("parent refused") << "levels\\..\\..\\etc\\passwd"
                                    << "";
    QTest::newRow("absolute refused") << "/etc/passwd"
                                      << "";
    QTest::newRow("root backslash refused") << "\\etc\\passwd"
                                            << "";
    QTest::newRow("drive refused") << "C:\\windows\\win.ini"
                                   << "";
    QTest::newRow("empty refused") << ""
                                   << "";
}

void TestBasePath::resolve()
{
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    const BasePath base(m_dir.path() + QLatin1Char('/'));
    const QString result = base.resolve(relative);
    if (expected.isEmpty())
        QVERIFY2(result.isEmpty(), qPrintable(result));
    else
        QCOMPARE(result, m_dir.path() + QLatin1Char('/') + expected);
}

QTEST_GUILESS_MAIN(TestBasePath)
#include "tst_basepath.moc"
