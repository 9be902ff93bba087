#include "course/randomsource.h"
#include "damage.h"
#include "levelwalk.h"
#include "windowrig.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTest>

using namespace nk;
using namespace nk::test;

namespace {

using Damages = QList<Damage>;
using enum Damage;

struct LevelCase
{
    int level;
    QList<int> folders;
    QList<QPair<QString, Damages>> files;
};

// A level of each kind, the level folders it needs, and the files it reads,
// each with the damage it is given. The level's own data files and the shared
// INI files get most kinds; texts, pictures and sounds a few. A 10 MB notes.dat
// of junk holds about a hundred sections, each note of which a page reads; a
// padded source notes.dat of a revision level is a note of a few hundred
// thousand keys that the level copies.
QList<LevelCase> levelCases()
{
    const auto level = [](int n, const char *file) -> QString {
        return QStringLiteral("levels/%1/").arg(n, 2, 10, QLatin1Char('0')) +
               QString::fromUtf8(file);
    };
    const auto shared = [](const char *file) -> QString { return QString::fromUtf8(file); };
    const Damages sparse{Junk, Removed};
    return {
        {1,
         {1},
         {{level(1, "level.dat"), {Emptied, Halved, Junk, HugeJunk, Padded, Removed}},
          {level(1, "notes.dat"), {Emptied, Halved, Junk, HugeJunk, Padded, Removed}},
          {level(1, "melody.dat"), {Halved, Junk, HugeJunk, Padded, Removed}},
          {level(1, "report.dat"), {Emptied, Junk, Removed}},
          {level(1, "ДО.bmp"), {Junk, Removed}},
          {shared("levels/settings.dat"), {Emptied, Halved, Junk, Padded, Removed}},
          {shared("levels/log.dat"), {HugeJunk}},
          {shared("levels/part1.dat"), {Halved, Junk, Removed}},
          {shared("levels/questions.dat"), {Emptied, Halved, Junk, HugeJunk, Padded, Removed}},
          {shared("levels/instrlearn.dat"), {Halved, Junk, HugeJunk, Removed}},
          {shared("levels/mem.dat"), sparse},
          {shared("levels/step3.dat"), sparse},
          {shared("levels/step4.dat"), sparse},
          {shared("levels/about.dat"), sparse},
          {shared("pictures/notes/first/00do.gif"), {Removed}},
          {shared("pictures/notes/first/00do_5.gif"), {Junk}},
          {shared("pictures/step3/1_2.gif"), {Removed}},
          {shared("pictures/melody/1.gif"), {Junk}},
          {shared("pictures/relax.gif"), {HugeJunk}},
          {shared("sound/piano/first/00do.wav"), sparse}}},
        {4,
         {4},
         {{level(4, "level.dat"), sparse},
          {level(4, "chords.dat"), {Emptied, Halved, Junk, Padded, Removed}},
          {level(4, "melody.dat"), {Junk, Padded, Removed}},
          {level(4, "notes.dat"), {Junk, HugeJunk, Padded, Removed}},
          {level(4, "report.dat"), sparse},
          {shared("sound/piano/chords/black1.wav"), {Junk}},
          {shared("pictures/chords/1.gif"), {Removed}},
          {shared("pictures/black.gif"), {Removed}}}},
        {12,
         {10, 11, 12},
         {{level(12, "level.dat"), {Removed}},
          {level(12, "notes.dat"), {Halved, Junk, Removed}},
          {level(12, "melody.dat"), {Junk}},
          {level(10, "notes.dat"), {Halved, Junk, HugeJunk, Padded, Removed}},
          {level(10, "ДО.bmp"), {Removed}}}},
        {9,
         {9},
         {{level(9, "notes.dat"), {Halved, Junk, Removed}},
          {level(9, "melody.dat"), {Halved, Junk, Removed}},
          {level(9, "report.dat"), {Removed}}}},
        {28,
         {28},
         {{level(28, "notes.dat"), {Halved, Junk, Removed}},
          {level(28, "melody.dat"), sparse},
          {level(28, "СИ.bmp"), {Junk}},
          {shared("levels/part4.dat"), sparse}}},
    };
}

struct Walked
{
    QStringList reached;
    QMap<QString, QStringList> texts;
};

// A fresh program folder with the levels asked for and this file spoilt:
// pictures and sounds are linked, except the spoilt file itself.
Walked walk(const QList<int> &folders, int level, const QString &file, Damage damage)
{
    QStringList levels;
    for (int folder : folders)
        levels << QStringLiteral("%1").arg(folder, 2, 10, QLatin1Char('0'));
    WindowRig rig(RigSetup(RigSetup::Levels, levels)
                      .withSounds()
                      .ownCopyOf(file)
                      .scaledBy(0.0001)
                      .startLater());
    QLoggingCategory::setFilterRules(
        QStringLiteral("notoklyuv.audio.warning=false\nnotoklyuv.course.warning=false"));
    RandomSource::seed(1209);
    if (!rig.ready() || !Damager::apply(rig.path(file), damage))
        return {};
    rig.start();
    LevelWalk walk(rig, level);
    walk.run();
    return {walk.reached(), walk.texts()};
}

// Pages that only a playable item of this file leads to.
QStringList behind(const QString &file)
{
    if (file.endsWith(QLatin1String("/notes.dat")))
        return {QStringLiteral("step1 chosen note"), QStringLiteral("step3 right"),
                QStringLiteral("step3 wrong"),       QStringLiteral("step3 compare"),
                QStringLiteral("step3 compared"),    QStringLiteral("drill3 right"),
                QStringLiteral("drill3 wrong"),      QStringLiteral("drill3 listen"),
                QStringLiteral("drill3 repeated")};
    if (file.endsWith(QLatin1String("/melody.dat")))
        return {QStringLiteral("step4 wrong"),    QStringLiteral("step4 right"),
                QStringLiteral("step4 passed"),   QStringLiteral("drill2 right"),
                QStringLiteral("drill2 wrong"),   QStringLiteral("drill2 listen"),
                QStringLiteral("drill2 repeated")};
    if (file.endsWith(QLatin1String("/chords.dat")))
        return {QStringLiteral("drill1 right"), QStringLiteral("drill1 wrong"),
                QStringLiteral("drill1 listen"), QStringLiteral("drill1 repeated")};
    if (file.endsWith(QLatin1String("/questions.dat")))
        return {QStringLiteral("step1 question 2"), QStringLiteral("step1 question 3"),
                QStringLiteral("step1 back"), QStringLiteral("step1 saved")};
    return {};
}

bool isIni(const QString &file)
{
    static const QStringList texts{QStringLiteral("instrlearn.dat"), QStringLiteral("mem.dat"),
                                   QStringLiteral("step3.dat"),      QStringLiteral("step4.dat"),
                                   QStringLiteral("about.dat"),      QStringLiteral("log.dat")};
    return file.endsWith(QLatin1String(".dat")) &&
           !texts.contains(file.mid(file.lastIndexOf(u'/') + 1));
}

bool readsAsEmpty(Damage damage)
{
    return damage == Damage::Emptied || damage == Damage::Removed || damage == Damage::Junk ||
           damage == Damage::HugeJunk;
}

const QString kNoSettings = QStringLiteral("НЕТ НАСТРОЕК");
const QString kNoData = QStringLiteral("нет данных");

} // namespace

class TestBadContent : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void spoiltFile_data();
    void spoiltFile();

private:
    const Walked &intact(const LevelCase &c);
    void checkDefaults(const QString &file, Damage damage, const Walked &w);

    QMap<int, Walked> m_intact;
};

const Walked &TestBadContent::intact(const LevelCase &c)
{
    if (!m_intact.contains(c.level))
        m_intact.insert(c.level, walk(c.folders, c.level, QString(), Damage::Intact));
    return m_intact[c.level];
}

void TestBadContent::spoiltFile_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("file");
    QTest::addColumn<Damage>("damage");
    // The first level's cases and the others' run as two programs, side by side.
    const QList<LevelCase> cases = levelCases();
    for (int i = 0; i < cases.size(); ++i) {
        if ((cases[i].level == 1) != (BADCONTENT_FIRST_LEVEL == 1))
            continue;
        QTest::addRow("level %d intact", cases[i].level) << i << QString() << Damage::Intact;
        for (const auto &[file, damages] : cases[i].files) {
            for (Damage d : damages)
                QTest::addRow("level %d, %s %s", cases[i].level, qPrintable(file),
                              qPrintable(Damager::name(d)))
                    << i << file << d;
        }
    }
}

void TestBadContent::spoiltFile()
{
    QFETCH(int, index);
    QFETCH(QString, file);
    QFETCH(Damage, damage);
    const LevelCase c = levelCases()[index];
    const Walked &baseline = intact(c);
    QElapsedTimer clock;
    clock.start();
    const Walked w = damage == Damage::Intact ? baseline : walk(c.folders, c.level, file, damage);
    if (QTest::currentTestFailed())
        return;
    qInfo("%lld ms, %lld pages", clock.elapsed(), qlonglong(w.reached.size()));
    QVERIFY2(!w.reached.isEmpty(), "the program folder could be made and the window shown");
    // Every page the intact course shows opens, bar those behind the spoilt item.
    const QStringList skipped = behind(file);
    for (const QString &page : baseline.reached) {
        if (!skipped.contains(page) && page != QLatin1String("start level"))
            QVERIFY2(w.reached.contains(page), qPrintable(page + QStringLiteral(" did not open")));
    }
    if (damage == Damage::Padded && isIni(file)) {
        // What the file says is unchanged, and so is every page.
        for (const QString &page : w.reached)
            QCOMPARE(w.texts.value(page), baseline.texts.value(page));
    }
    checkDefaults(file, damage, w);
}

void TestBadContent::checkDefaults(const QString &file, Damage damage, const Walked &w)
{
    if (!readsAsEmpty(damage))
        return;
    const auto textsOf = [&](const char *page) { return w.texts.value(QLatin1String(page)); };
    if (file.endsWith(QLatin1String("/level.dat")))
        QCOMPARE(textsOf("level").value(0), kNoSettings);
    if (file.contains(QLatin1String("/part")))
        QCOMPARE(textsOf("part"), QStringList{kNoSettings});
    if (file.endsWith(QLatin1String("settings.dat")))
        QVERIFY2(w.reached.contains(QStringLiteral("instruction")), "a first run by default");
    if (file.endsWith(QLatin1String("questions.dat"))) {
        const QStringList q = textsOf("step1 question 1");
        QVERIFY2(q.contains(kNoData), qPrintable(q.join(u'|')));
        QVERIFY2(q.contains(kNoData + QStringLiteral(" ДО ") + kNoData), qPrintable(q.join(u'|')));
    }
    if (file == QLatin1String("levels/01/notes.dat")) {
        // No step caption, and the note without a pitch is ДО.
        const QStringList q = textsOf("step1 question 1");
        QVERIFY2(q.contains(kNoSettings), qPrintable(q.join(u'|')));
        QVERIFY2(q.filter(QStringLiteral(" ДО ")).size() == 1, qPrintable(q.join(u'|')));
    }
    if (file.endsWith(QLatin1String("/report.dat")) && damage != Damage::Junk &&
        damage != Damage::HugeJunk)
        QCOMPARE(textsOf("report"), QStringList{QStringLiteral("Отчёт")});
}

QTEST_MAIN(TestBadContent)
#include "tst_badcontent.moc"
