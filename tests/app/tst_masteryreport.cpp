#include "app/historyreport.h"
#include "course/basepath.h"
#include "history/historystore.h"

#include <QTemporaryDir>
#include <QTest>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {

// Level 5 of the default course holds ДО# and РЕ# of the first octave.
const HistoryNote DoSharp{5, 1};
const HistoryNote ReSharp{5, 3};

bool answerMany(HistoryStore &store, int level, HistoryNote note, int count, int wrong, qint64 ms)
{
    for (int i = 0; i < count; ++i) {
        HistoryAnswer a;
        a.at = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC).addSecs(i * 10);
        a.level = level;
        a.kind = i % 2 ? HistoryKind::Practice : HistoryKind::Training;
        a.played = {note};
        a.answered = {i < wrong ? HistoryNote{6, 0} : note};
        a.right = a.played == a.answered;
        a.answerMs = ms;
        if (!store.recordAnswer(a))
            return false;
    }
    return true;
}

} // namespace

// The mastered notes `notoklyuv --stats` prints per level, read from the
// history and the level's own note catalogue.
class MasteryReportTest : public QObject
{
    Q_OBJECT
private slots:
    void perLevel_data();
    void perLevel();
};

void MasteryReportTest::perLevel_data()
{
    QTest::addColumn<int>("doSharp"); // answers of ДО#, the first `wrong` of them missed
    QTest::addColumn<int>("wrong");
    QTest::addColumn<int>("ms");
    QTest::addColumn<QString>("expected");
    QTest::newRow("20 right and quick") << 20 << 0 << 2000 << u"Освоено нот: 1 из 2"_s;
    QTest::newRow("19 of 20 at 2.9 s") << 20 << 1 << 2900 << u"Освоено нот: 1 из 2"_s;
    QTest::newRow("17 of 20") << 20 << 3 << 2000 << u"Освоено нот: 0 из 2"_s;
    QTest::newRow("3.1 s") << 20 << 0 << 3100 << u"Освоено нот: 0 из 2"_s;
    QTest::newRow("19 answers") << 19 << 0 << 1000 << u"Освоено нот: 0 из 2"_s;
}

void MasteryReportTest::perLevel()
{
    QFETCH(int, doSharp);
    QFETCH(int, wrong);
    QFETCH(int, ms);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    HistoryStore store(dir.filePath(u"history.db"_s));
    QVERIFY(answerMany(store, 5, DoSharp, doSharp, wrong, ms));
    // The drills' level has no notes to master; a note outside level 5 counts nowhere.
    QVERIFY(answerMany(store, 4, ReSharp, 20, 0, 1000));
    QVERIFY(answerMany(store, 5, HistoryNote{4, 7}, 20, 0, 1000));
    const BasePath course(qEnvironmentVariable("NK_PROGRAM_DIR"));
    const HistorySummary summary = store.summary(0);
    const HistoryReport::Mastery mastery = HistoryReport::mastery(store, course, summary);
    QCOMPARE(mastery.keys(), QList<int>{5});
    const QStringList lines = HistoryReport::text(summary, mastery).split(u'\n');
    const qsizetype level5 =
        lines.indexOf(u"Уровень 5: верно %1 из %2 (%3%)"_s.arg(doSharp - wrong + 20)
                          .arg(doSharp + 20)
                          .arg(100 * (doSharp - wrong + 20) / (doSharp + 20))); // rounded down
    QVERIFY2(level5 > 0, qPrintable(lines.join(u'|')));
    QCOMPARE(lines[level5 + 1], expected);
    QCOMPARE(lines[level5 - 1], u"Уровень 4: верно 20 из 20 (100%)"_s);
}

QTEST_GUILESS_MAIN(MasteryReportTest)
#include "tst_masteryreport.moc"
