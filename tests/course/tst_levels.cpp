#include "course/levels.h"

#include <QTest>

using namespace nk;

class TestLevels : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void folder_data();
    void folder();
    void shortLevels();
};

void TestLevels::folder_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("name");
    QTest::newRow("1") << 1 << "01";
    QTest::newRow("9") << 9 << "09";
    QTest::newRow("10") << 10 << "10";
    QTest::newRow("28") << 28 << "28";
    QTest::newRow("0") << 0 << "0";
    QTest::newRow("100") << 100 << "100";
}

void TestLevels::folder()
{
    QFETCH(int, level);
    QTEST(Levels::LevelFolder(level), "name");
}

void TestLevels::shortLevels()
{
    QList<int> found;
    for (int level = 0; level <= 30; ++level) {
        if (Levels::isShortLevel(level))
            found << level;
    }
    QCOMPARE(found, (QList<int>{3, 8, 9, 12, 16, 17, 18, 21, 25, 26, 27, 28}));
    QCOMPARE(Levels::trainingStep(3), 1);
    QCOMPARE(Levels::melodyStep(3), 2);
    QCOMPARE(Levels::trainingStep(4), 3);
    QCOMPARE(Levels::melodyStep(7), 4);
}

QTEST_GUILESS_MAIN(TestLevels)
#include "tst_levels.moc"
