#include "samplehistory.h"
#include "skiporfail.h"
#include "stats/confusionmap.h"
#include "stats/statslinks.h"
#include "stats/statspage.h"
#include "windowrig.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <map>

using namespace nk;
using namespace nk::test;

// The statistics page in a real X window, read back from a screenshot as the
// learner sees it: the heat map's cells must darken with their counts.
class TestStatsScreen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void heatMapDarkensWithCounts();

private:
    static QImage screenshot();
    static void keepShots(WindowRig &rig, const QImage &shot);
};

QImage TestStatsScreen::screenshot()
{
    QProcess import;
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-depth"),
                  QStringLiteral("8"), QStringLiteral("png:-")});
    if (!import.waitForFinished(20000) || import.exitCode() != 0)
        return {};
    return QImage::fromData(import.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

void TestStatsScreen::heatMapDarkensWithCounts()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        NK_SKIP_OR_FAIL(QStringLiteral("needs a real X display"));
    WindowRig rig({QStringLiteral("01")});
    const HistorySummary history = sampleHistory(7, 24);
    rig.form().statistics().setSource({[history](int) { return history; }, {}, {}});
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form()));
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    auto *map = qobject_cast<ConfusionMap *>(rig.form().statistics().plot());
    QVERIFY(map);
    const HeatMapGeometry &g = map->geometry();
    QCOMPARE(g.notes(), 7);
    // A corner of the cell, inside its border: the count is written in the middle.
    const auto sampleAt = [map, &g](int row, int column) {
        return map->mapToGlobal(g.cellRect(row, column).topLeft() + QPoint(3, 3));
    };
    QImage shot;
    const QPoint firstCell = sampleAt(0, 0);
    QTRY_VERIFY_WITH_TIMEOUT((shot = screenshot(), !shot.isNull() &&
                                                       shot.rect().contains(firstCell) &&
                                                       QColor(shot.pixel(firstCell)) != Qt::white),
                             20000);
    // Cells of each kind by count; the same count must look the same.
    std::map<std::pair<bool, int>, QColor> seen;
    for (int row = 0; row < g.notes(); ++row) {
        for (int column = 0; column < g.notes(); ++column) {
            const int count = map->count(row, column);
            const QColor colour(shot.pixel(sampleAt(row, column)));
            const bool right = row == column;
            if (count == 0) {
                QCOMPARE(colour, QColor(Qt::white));
                continue;
            }
            QVERIFY2(right ? colour.green() > colour.red() : colour.red() > colour.green(),
                     qPrintable(colour.name()));
            const auto [it, first] = seen.emplace(std::make_pair(right, count), colour);
            QCOMPARE(colour, it->second);
        }
    }
    int kinds[2] = {0, 0};
    for (auto it = seen.cbegin(); std::next(it) != seen.cend(); ++it) {
        const auto next = std::next(it);
        ++kinds[it->first.first];
        if (next->first.first == it->first.first)
            QVERIFY2(next->second.lightness() < it->second.lightness(),
                     qPrintable(QStringLiteral("%1 at %2 is not darker than %3 at %4")
                                    .arg(next->second.name())
                                    .arg(next->first.second)
                                    .arg(it->second.name())
                                    .arg(it->first.second)));
    }
    QVERIFY(kinds[0] >= 3 && kinds[1] >= 3); // enough counts of each kind to order
    keepShots(rig, shot);
}

// For the README: with NK_STATS_SHOT=<file.png> the page is kept there, and
// its other two views beside it.
void TestStatsScreen::keepShots(WindowRig &rig, const QImage &shot)
{
    const QString keep = qEnvironmentVariable("NK_STATS_SHOT");
    if (keep.isEmpty())
        return;
    const QRect window(rig.form().mapToGlobal(QPoint(0, 0)), rig.form().size());
    QVERIFY(shot.copy(window).save(keep));
    const std::pair<int, QString> views[] = {{StatsLinks::AccuracyViewTag, QStringLiteral("-days")},
                                             {StatsLinks::TimeViewTag, QStringLiteral("-times")}};
    for (const auto &[tag, suffix] : views) {
        QVERIFY(rig.clickLink(tag));
        QWidget *plot = rig.form().statistics().plot();
        QVERIFY(plot);
        QVERIFY(QTest::qWaitForWindowExposed(plot));
        QTest::qWait(300); // only when keeping pictures: the X server paints in its own time
        QString name = keep;
        name.insert(keep.lastIndexOf(u'.'), suffix);
        QVERIFY(screenshot().copy(window).save(name));
    }
}

QTEST_MAIN(TestStatsScreen)
#include "tst_statsscreen.moc"
