#include "history/notemastery.h"

#include <QTest>

using namespace nk;

namespace {

// `times` in ms, the newest answer first; the first `wrong` answers are missed.
QList<NoteAnswer> answers(int wrong, const QList<qint64> &times)
{
    QList<NoteAnswer> list;
    for (qsizetype i = 0; i < times.size(); ++i)
        list.append({i >= wrong, times[i]});
    return list;
}

QList<qint64> times(int count, qint64 ms)
{
    return QList<qint64>(count, ms);
}

} // namespace

Q_DECLARE_METATYPE(QList<NoteAnswer>)

// When a note of a level counts as mastered.
class NoteMasteryTest : public QObject
{
    Q_OBJECT
private slots:
    void mastered_data();
    void mastered();
    void countsOnlyTheLevelsNotes();
};

void NoteMasteryTest::mastered_data()
{
    QTest::addColumn<QList<NoteAnswer>>("history");
    QTest::addColumn<bool>("expected");
    QTest::newRow("20 of 20 at 2 s") << answers(0, times(20, 2000)) << true;
    QTest::newRow("19 of 20") << answers(1, times(20, 2000)) << true;
    QTest::newRow("18 of 20 is 90 %") << answers(2, times(20, 2000)) << true;
    QTest::newRow("17 of 20") << answers(3, times(20, 2000)) << false;
    QTest::newRow("19 answers only") << answers(0, times(19, 1000)) << false;
    QTest::newRow("median 2.9 s of 2.0 and 3.8")
        << answers(1, times(10, 2000) + times(10, 3800)) << true;
    QTest::newRow("median 3.1 s of 2.2 and 4.0")
        << answers(1, times(10, 2200) + times(10, 4000)) << false;
    QTest::newRow("median exactly 3 s") << answers(0, times(20, 3000)) << false;
    QTest::newRow("median 2.999 s") << answers(0, times(20, 2999)) << true;
    QTest::newRow("misses older than the last 20")
        << answers(0, times(20, 1000)) + answers(10, times(10, 1000)) << true;
    QTest::newRow("slow answers older than the last 20")
        << answers(0, times(20, 1000)) + answers(0, times(10, 9000)) << true;
    QTest::newRow("3 misses among the newest") << answers(3, times(30, 1000)) << false;
    QList<NoteAnswer> tenUnknown = answers(0, times(10, 1000) + times(10, -1));
    QTest::newRow("half the times unknown") << tenUnknown << false;
    QTest::newRow("9 of 20 times unknown") << answers(0, times(11, 1000) + times(9, -1)) << true;
}

void NoteMasteryTest::mastered()
{
    QFETCH(QList<NoteAnswer>, history);
    QFETCH(bool, expected);
    QCOMPARE(NoteMastery::mastered(history), expected);
}

void NoteMasteryTest::countsOnlyTheLevelsNotes()
{
    const HistoryNote Do{5, 0}, Re{5, 2}, Mi{5, 4};
    const QList<NoteRecord> records = {{Do, answers(0, times(20, 1000))},
                                       {Re, answers(5, times(20, 1000))},
                                       {HistoryNote{6, 0}, answers(0, times(20, 1000))}};
    QCOMPARE(NoteMastery::count({Do, Re, Mi}, records), 1);
    QCOMPARE(NoteMastery::count({Re, Mi}, records), 0);
    QCOMPARE(NoteMastery::count({Do, HistoryNote{6, 0}}, records), 2);
}

QTEST_GUILESS_MAIN(NoteMasteryTest)
#include "tst_notemastery.moc"
