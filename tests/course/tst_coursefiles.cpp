#include "course/coursefiles.h"
#include "course/cp1251.h"
#include "course/stepmap.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

namespace {

const QString kNoSettings = QStringLiteral("НЕТ НАСТРОЕК");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void writeText(const QString &path, const QString &text)
{
    QByteArray bytes;
    QVERIFY(Cp1251::encode(text, bytes));
    writeFile(path, bytes);
}

QString sectionsText(const QString &first, const QString &entry, int count)
{
    QString text = QStringLiteral("[%1]\r\nname=Заголовок\r\n").arg(first);
    for (int k = 1; k <= count; ++k)
        text += QStringLiteral("[%1%2]\r\nname=Пункт %2\r\nactive=1\r\n").arg(entry).arg(k);
    return text;
}

} // namespace

class TestCourseFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void paths_data();
    void paths();
    void partWithSecondLevelClosed();
    void partWithFirstLevelClosedMarksNothing();
    void levelWithNoActiveStep();
    void listsWithoutEntries_data();
    void listsWithoutEntries();
    void extraSectionsIgnored_data();
    void extraSectionsIgnored();
    void oversizedJunk();
    void activateCreatesMissingSection();
    void flagsFollowSectionNames();
    void stepMap_data();
    void stepMap();

private:
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CourseFiles> m_files;
};

void TestCourseFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("levels/12")));
    m_files = std::make_unique<CourseFiles>(BasePath(m_dir->path()));
}

void TestCourseFiles::paths_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("level");
    QTest::newRow("1") << 1 << "levels\\part1.dat"
                       << "levels\\01\\level.dat";
    QTest::newRow("4") << 4 << "levels\\part4.dat"
                       << "levels\\04\\level.dat";
    QTest::newRow("7") << 7 << "levels\\part7.dat"
                       << "levels\\07\\level.dat";
    QTest::newRow("10") << 10 << "levels\\part10.dat"
                        << "levels\\10\\level.dat";
    QTest::newRow("28") << 28 << "levels\\part28.dat"
                        << "levels\\28\\level.dat";
}

void TestCourseFiles::paths()
{
    QFETCH(int, number);
    QTEST(CourseFiles::partFile(number), "part");
    QTEST(CourseFiles::levelFile(number), "level");
}

void TestCourseFiles::partWithSecondLevelClosed()
{
    writeText(path(QStringLiteral("levels/part1.dat")),
              QStringLiteral("[part]\r\nname=Часть I\r\n"
                             "[a]\r\nname=Уровень 1\r\nactive=1\r\n"
                             "[b]\r\nname=Уровень 2\r\nactive=0\r\n"
                             "[c]\r\nname=Уровень 3\r\nactive=1\r\n"));
    const CourseList list = m_files->readPart(1);
    QCOMPARE(list.caption, QStringLiteral("Часть I"));
    QCOMPARE(list.entries.size(), 3);
    QCOMPARE(list.entries[1].name, QStringLiteral("Уровень 2"));
    QCOMPARE(list.entries[0].active, true);
    QCOMPARE(list.entries[1].active, false);
    QCOMPARE(list.entries[2].active, true);
    QCOMPARE(list.currentOfPart(), 3);
}

void TestCourseFiles::partWithFirstLevelClosedMarksNothing()
{
    writeText(path(QStringLiteral("levels/part2.dat")),
              QStringLiteral("[part]\r\n[l1]\r\nactive=0\r\n[l2]\r\nname=Два\r\nactive=1\r\n"));
    const CourseList list = m_files->readPart(2);
    QCOMPARE(list.caption, kNoSettings);
    QCOMPARE(list.entries.size(), 2);
    QCOMPARE(list.entries[0].name, kNoSettings);
    QCOMPARE(list.lastActive(), 2);
    QCOMPARE(list.currentOfPart(), 0);
}

void TestCourseFiles::levelWithNoActiveStep()
{
    writeText(path(QStringLiteral("levels/12/level.dat")),
              QStringLiteral("[level]\r\nname=Уровень 12\r\n[step1]\r\nname=Один\r\n"
                             "[step2]\r\nname=Два\r\nactive=0\r\n"));
    const CourseList list = m_files->readLevel(12);
    QCOMPARE(list.caption, QStringLiteral("Уровень 12"));
    QCOMPARE(list.entries.size(), 2);
    QCOMPARE(list.lastActive(), 0);
    QCOMPARE(list.currentOfLevel(), 1);
}

void TestCourseFiles::listsWithoutEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("caption");
    QTest::newRow("missing") << QByteArray() << false << kNoSettings;
    QTest::newRow("empty") << QByteArray() << true << kNoSettings;
    QTest::newRow("caption only") << QByteArray("[level]\r\nname=Only\r\n") << true << "Only";
    QTest::newRow("no sections") << QByteArray("name=x\r\nactive=1\r\n") << true << kNoSettings;
}

void TestCourseFiles::listsWithoutEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    if (exists)
        writeFile(path(QStringLiteral("levels/12/level.dat")), bytes);
    const CourseList list = m_files->readLevel(12);
    QTEST(list.caption, "caption");
    QVERIFY(list.entries.isEmpty());
    QCOMPARE(list.currentOfLevel(), 0);
    QCOMPARE(list.currentOfPart(), 0);
}

void TestCourseFiles::extraSectionsIgnored_data()
{
    QTest::addColumn<bool>("part");
    QTest::addColumn<int>("sections");
    QTest::addColumn<int>("listed");
    QTest::newRow("part 9") << true << 9 << 9;
    QTest::newRow("part 12") << true << 12 << 9;
    QTest::newRow("level 5") << false << 5 << 5;
    QTest::newRow("level 7") << false << 7 << 5;
}

void TestCourseFiles::extraSectionsIgnored()
{
    QFETCH(bool, part);
    QFETCH(int, sections);
    QFETCH(int, listed);
    if (part)
        writeText(path(QStringLiteral("levels/part3.dat")),
                  sectionsText(QStringLiteral("part"), QStringLiteral("level"), sections));
    else
        writeText(path(QStringLiteral("levels/12/level.dat")),
                  sectionsText(QStringLiteral("level"), QStringLiteral("step"), sections));
    const CourseList list = part ? m_files->readPart(3) : m_files->readLevel(12);
    QCOMPARE(list.entries.size(), listed);
    QCOMPARE(list.entries.last().name, QStringLiteral("Пункт %1").arg(listed));
    // The current entry is the last active one of those shown.
    QCOMPARE(part ? list.currentOfPart() : list.currentOfLevel(), listed);
}

void TestCourseFiles::oversizedJunk()
{
    QByteArray junk(10 * 1024 * 1024, '\0');
    QRandomGenerator random(4);
    for (char &c : junk)
        c = char(random.bounded(256));
    // Some of it parses as sections and keys, the rest as noise.
    junk.insert(5 * 1024 * 1024, "\r\n[step1]\r\nname=Полёт\r\nactive=1\r\n");
    writeFile(path(QStringLiteral("levels/12/level.dat")), junk);
    const CourseList list = m_files->readLevel(12);
    QVERIFY(list.entries.size() <= CourseFiles::MaxStepsPerLevel);
    QVERIFY(list.caption.size() <= 2047);
    m_files->ActivateStep(12, 3);
    QVERIFY(m_files->readLevel(12).entries.size() <= CourseFiles::MaxStepsPerLevel);
    QCOMPARE(QFileInfo(path(QStringLiteral("levels/12/level.dat"))).size() > junk.size(), true);
}

void TestCourseFiles::activateCreatesMissingSection()
{
    const QString file = path(QStringLiteral("levels/12/level.dat"));
    writeText(file, QStringLiteral("[level]\r\nname=Двенадцать\r\n[step1]\r\nname=Тренировка\r\n"
                                   "active=1\r\n"));
    m_files->ActivateStep(12, 3);
    const CourseList list = m_files->readLevel(12);
    QCOMPARE(list.caption, QStringLiteral("Двенадцать"));
    QCOMPARE(list.entries.size(), 2);
    QCOMPARE(list.entries[0].name, QStringLiteral("Тренировка"));
    QCOMPARE(list.entries[1].name, kNoSettings);
    QCOMPARE(list.entries[1].active, true);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("[step3]\r\nactive=1"));
}

void TestCourseFiles::flagsFollowSectionNames()
{
    writeText(path(QStringLiteral("levels/12/level.dat")),
              QStringLiteral("[level]\r\n[step2]\r\nused=1\r\n[step1]\r\nused=0\r\n"));
    QCOMPARE(m_files->IsStepUsed(12, 2), true);
    QCOMPARE(m_files->IsStepUsed(12, 1), false);
    QCOMPARE(m_files->IsStepUsed(12, 4), false);
    m_files->MarkStepUsed(12, 1);
    m_files->MarkStepUsed(12, 4);
    QCOMPARE(m_files->IsStepUsed(12, 1), true);
    QCOMPARE(m_files->IsStepUsed(12, 4), true);
    // Marking used opens nothing, and other levels are untouched.
    QCOMPARE(m_files->readLevel(12).entries[1].active, false);
    QCOMPARE(m_files->IsStepUsed(13, 1), false);
    QVERIFY(!QFile::exists(path(QStringLiteral("levels/13/level.dat"))));
}

void TestCourseFiles::stepMap_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QList<StepTarget>>("targets");
    using T = StepTarget;
    const QList<T> full{T::LearnNote, T::Memorise, T::Training, T::Melodies, T::Report};
    const QList<T> shortList{T::Training, T::Melodies, T::Report, T::None, T::None};
    const QList<T> drills{T::ChordsDrill, T::MelodiesDrill, T::NotesDrill, T::Report, T::None};
    for (int level : {1, 2, 5, 6, 7, 10, 11, 13, 14, 15, 19, 20, 22, 23, 24})
        QTest::addRow("level %d", level) << level << full;
    for (int level : {3, 8, 9, 12, 16, 17, 18, 21, 25, 26, 27, 28})
        QTest::addRow("level %d", level) << level << shortList;
    QTest::newRow("level 4") << 4 << drills;
}

void TestCourseFiles::stepMap()
{
    QFETCH(int, level);
    QFETCH(QList<StepTarget>, targets);
    for (int position = 1; position <= 5; ++position)
        QCOMPARE(StepMap::target(level, position), targets[position - 1]);
    QCOMPARE(StepMap::target(level, 0), StepTarget::None);
    QCOMPARE(StepMap::target(level, 6), StepTarget::None);
}

QTEST_GUILESS_MAIN(TestCourseFiles)
#include "tst_coursefiles.moc"
