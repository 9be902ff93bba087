#include "course/inifile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace nk;

class TestIniFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placeholder();
};

void TestIniFile::placeholder()
{
    QTemporaryDir dir;
    IniFile f(dir.filePath(QStringLiteral("a.dat")));
    QCOMPARE(f.readInteger(u"main", u"x", 7), 7);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
