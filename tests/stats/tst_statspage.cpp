#include "pagedriver.h"
#include "report/infopages.h"
#include "samplehistory.h"
#include "stats/accuracyplot.h"
#include "stats/answertimebars.h"
#include "stats/confusionmap.h"
#include "stats/notelabels.h"
#include "stats/pitchtestplot.h"
#include "stats/statslinks.h"
#include "stats/statspage.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/pitchtestlinks.h"
#include "widgets/trichbox.h"
#include "windowrig.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace nk;
using namespace nk::test;

namespace {

constexpr HistoryNote Fa{5, 5};
constexpr HistoryNote Sol{5, 7};
constexpr HistoryNote La{5, 9};

// Worked out by hand: ФА played 13 times (5 heard as СОЛЬ), СОЛЬ 7 times
// (2 heard as ФА), ЛЯ 6 times (1 heard as СОЛЬ).
HistorySummary knownHistory()
{
    HistorySummary s;
    s.answers = 26;
    s.rightAnswers = 18;
    s.confusions = {{Fa, Fa, 8},   {Fa, Sol, 5}, {Sol, Fa, 2},
                    {Sol, Sol, 5}, {La, Sol, 1}, {La, La, 5}};
    s.mostConfused = {{Fa, Sol, 7, 20}, {Sol, La, 1, 13}};
    s.times = {{Fa, 2400, 13}, {Sol, 3100, 7}, {La, 1800, 6}};
    s.accuracy = {{QDate(2026, 12, 1), Fa, 3, 6}, {QDate(2026, 12, 2), Fa, 5, 7}};
    s.stages = {{QDate(2026, 12, 1), 1}, {QDate(2026, 12, 2), 2}};
    return s;
}

// The window over level 1, its statistics read from `history`; every level
// asked for is recorded.
class StatsRig : public WindowRig
{
public:
    explicit StatsRig(HistorySummary history) : WindowRig({QStringLiteral("01")})
    {
        form().statistics().setSource(
            StatsSource{[this, history](int level) {
                            asked.append(level);
                            return history;
                        },
                        [this](QIODevice &out) {
                            return csvWorks && out.write("level,played,answered\n1,5:5,5:7\n") > 0;
                        },
                        [this] { return tests; }});
        form().statistics().setSaveDialog([this](QWidget *, const QString &suggested) {
            suggestedPath = suggested;
            return savePath;
        });
    }
    Page &page() { return form().page(); }
    QList<int> asked;
    QList<PitchTestRecord> tests;
    bool csvWorks = true;
    QString savePath;
    QString suggestedPath;
};

} // namespace

class TestStatsPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void levelPageLeadsThereAndBack();
    void shareRoundsDown_data();
    void shareRoundsDown();
    void aboutPageLeadsThereAndBack();
    void linksOverlapNothing();
    void sentenceInsteadOfPlots_data();
    void sentenceInsteadOfPlots();
    void noticeAboveTheFigures();
    void timbreShares_data();
    void timbreShares();
    void viewsShowTheirPlots();
    void pitchTestsPlotted();
    void legendListsOnlyNotesWithALine();
    void confusionMapCountsPerCell();
    void savesHistoryAsCsv_data();
    void savesHistoryAsCsv();
    void countWords_data();
    void countWords();
    void octaveOnlyWhereNeeded();
};

void TestStatsPage::levelPageLeadsThereAndBack()
{
    StatsRig rig(knownHistory());
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    QCOMPARE(rig.asked, QList<int>{1});
    QCOMPARE(rig.labelText(36), QStringLiteral("Ответов: 26, верных: 18 (69%)"));
    QCOMPARE(rig.labelText(52), QStringLiteral("Чаще всего вы путаете ФА и СОЛЬ: 7 раз из 20"));
    QCOMPARE(rig.labelText(67), QStringLiteral("Вы путаете также СОЛЬ и ЛЯ: 1 раз из 13"));
    QVERIFY(!rig.link(StatsLinks::FromLevelTag));

    QVERIFY(rig.clickLink(StatsLinks::CourseScopeTag));
    QCOMPARE(rig.asked, (QList<int>{1, 0}));
    QCOMPARE(rig.form().statistics().scope(), StatsPage::Scope::Course);
    QVERIFY(rig.clickLink(StatsLinks::LevelScopeTag));
    QCOMPARE(rig.asked.last(), 1);

    QVERIFY(rig.clickLink(StatsLinks::BackTag));
    QVERIFY(rig.link(StatsLinks::FromLevelTag));
    QCOMPARE(rig.state().Settings.Level, 1);
}

void TestStatsPage::shareRoundsDown_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("answers");
    QTest::addColumn<QString>("shown");
    QTest::newRow("199 of 200") << 199 << 200 << QStringLiteral("Ответов: 200, верных: 199 (99%)");
    QTest::newRow("all") << 200 << 200 << QStringLiteral("Ответов: 200, верных: 200 (100%)");
    QTest::newRow("1 of 200") << 1 << 200 << QStringLiteral("Ответов: 200, верных: 1 (0%)");
    QTest::newRow("2 of 3") << 2 << 3 << QStringLiteral("Ответов: 3, верных: 2 (66%)");
}

// "100%" only when every answer was right.
void TestStatsPage::shareRoundsDown()
{
    QFETCH(int, right);
    QFETCH(int, answers);
    HistorySummary history = knownHistory();
    history.answers = answers;
    history.rightAnswers = right;
    StatsRig rig(history);
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    QTEST(rig.labelText(36), "shown");
}

void TestStatsPage::aboutPageLeadsThereAndBack()
{
    StatsRig rig(knownHistory());
    auto *about = rig.form().findChild<QWidget *>(QStringLiteral("lbAbout"));
    QVERIFY(about);
    QTest::mouseClick(about, Qt::LeftButton); // the menu column's «О программе»
    QVERIFY(rig.clickLink(StatsLinks::FromAboutTag));
    QCOMPARE(rig.asked, QList<int>{0}); // the whole course, from the menu column
    QCOMPARE(rig.labelText(52), QStringLiteral("Чаще всего вы путаете ФА и СОЛЬ: 7 раз из 20"));
    QVERIFY(!rig.page().findByName(QStringLiteral("abox")));
    QVERIFY(rig.clickLink(StatsLinks::BackTag));
    QVERIFY(rig.page().findByName(QStringLiteral("abox")));
    QVERIFY(rig.link(StatsLinks::FromAboutTag));
}

// Two widgets of a page overlap only where a link has its arrow picture.
static QString overlapOn(Page &page)
{
    const QList<QWidget *> widgets = page.pageWidgets();
    for (int i = 0; i < widgets.size(); ++i) {
        for (int j = i + 1; j < widgets.size(); ++j) {
            QWidget *a = widgets[i];
            QWidget *b = widgets[j];
            const bool arrow = PageItem::of(a)->tag() == PageItem::of(b)->tag() &&
                               (qobject_cast<PagePicture *>(a) || qobject_cast<PagePicture *>(b));
            if (!arrow && a->geometry().intersects(b->geometry()))
                return QString::fromLatin1(a->metaObject()->className()) + u' ' +
                       QString::fromLatin1(b->metaObject()->className());
        }
        // The small arrow of a level's current step stands at 124, by design.
        if (!QRect(121, 0, 779 - 121, 383).contains(widgets[i]->geometry()))
            return QStringLiteral("outside the page area: ") +
                   QString::fromLatin1(widgets[i]->metaObject()->className());
    }
    return {};
}

void TestStatsPage::linksOverlapNothing()
{
    StatsRig rig(sampleHistory(7, 20));
    QVERIFY(rig.link(StatsLinks::FromLevelTag));
    QCOMPARE(overlapOn(rig.page()), QString());
    rig.form().infoPages().ShowAboutPage();
    QVERIFY(rig.link(StatsLinks::FromAboutTag));
    QCOMPARE(overlapOn(rig.page()), QString());
    QVERIFY(rig.clickLink(StatsLinks::FromAboutTag));
    QCOMPARE(overlapOn(rig.page()), QString());
}

void TestStatsPage::sentenceInsteadOfPlots_data()
{
    QTest::addColumn<bool>("course");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("empty level") << false << QString()
                                 << QStringLiteral("Ответьте на первые вопросы этого уровня, и "
                                                   "здесь появятся ваши успехи!");
    QTest::newRow("empty course")
        << true << QString()
        << QStringLiteral("Ответьте на первые вопросы курса, и здесь появятся ваши успехи!");
    QTest::newRow("unreadable") << false << QStringLiteral("файл истории повреждён")
                                << QStringLiteral("Историю ваших ответов не удалось прочитать: "
                                                  "файл истории повреждён");
}

void TestStatsPage::sentenceInsteadOfPlots()
{
    QFETCH(bool, course);
    QFETCH(QString, problem);
    QFETCH(QString, sentence);
    HistorySummary history = problem.isEmpty() ? HistorySummary{} : knownHistory();
    history.problem = problem;
    StatsRig rig(history);
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    if (course)
        QVERIFY(rig.clickLink(StatsLinks::CourseScopeTag));
    QCOMPARE(rig.labelText(60), sentence);
    QVERIFY(!rig.form().statistics().plot());
    QVERIFY(!rig.link(StatsLinks::AccuracyViewTag));
    QCOMPARE(rig.labelText(52), QStringLiteral("<no label>"));
    QVERIFY(rig.button(StatsLinks::SaveCsvTag));
    QVERIFY(rig.link(StatsLinks::BackTag));
}

// A history that reads but could not be written to, or was started anew,
// still shows its figures, under one line about it.
void TestStatsPage::noticeAboveTheFigures()
{
    HistorySummary history = knownHistory();
    history.notice = QStringLiteral("История ответов (levels/history.db) не сохраняется: на диске "
                                    "нет места.");
    StatsRig rig(history);
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    QCOMPARE(rig.labelText(36), history.notice);
    QCOMPARE(rig.labelText(51), QStringLiteral("Ответов: 26, верных: 18 (69%)"));
    QCOMPARE(rig.labelText(67), QStringLiteral("Чаще всего вы путаете ФА и СОЛЬ: 7 раз из 20"));
    QVERIFY(rig.form().statistics().plot());
}

void TestStatsPage::timbreShares_data()
{
    using T = HistorySummary::TimbreAccuracy;
    QTest::addColumn<QList<T>>("timbres");
    QTest::addColumn<bool>("notice");
    QTest::addColumn<QString>("shown"); // empty: no line
    QTest::addColumn<int>("top");
    QTest::newRow("one timbre") << QList<T>{{QStringLiteral("guitar"), 18, 26}} << false
                                << QString() << 0;
    QTest::newRow("two, in the course's order")
        << QList<T>{{QStringLiteral("guitar"), 9, 9}, {QStringLiteral("piano"), 9, 17}} << false
        << QStringLiteral("Верных по тембрам: Фортепиано 52%, Гитара 100%") << 84;
    QTest::newRow("a folder of its own last")
        << QList<T>{{QStringLiteral("harp"), 1, 3}, {QStringLiteral("choir"), 17, 23}} << false
        << QStringLiteral("Верных по тембрам: Хор 73%, harp 33%") << 84;
    QTest::newRow("under a notice")
        << QList<T>{{QStringLiteral("organ"), 2, 6}, {QStringLiteral("flute"), 16, 20}} << true
        << QStringLiteral("Верных по тембрам: Флейта 80%, Орган 33%") << 84;
}

// Once answers were played in more than one timbre, a line tells the share
// of right ones in each, in the place of the last pair of confused notes.
void TestStatsPage::timbreShares()
{
    QFETCH(QList<HistorySummary::TimbreAccuracy>, timbres);
    QFETCH(bool, notice);
    QFETCH(QString, shown);
    QFETCH(int, top);
    HistorySummary history = knownHistory();
    history.timbres = timbres;
    if (notice)
        history.notice = QStringLiteral("нет места");
    StatsRig rig(history);
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    auto *line = qobject_cast<PageLabel *>(rig.page().findByName(StatsPage::timbreSharesName()));
    QCOMPARE(line ? line->text() : QString(), shown);
    if (line) {
        QCOMPARE(line->y(), top);
        QCOMPARE(line->accessibleName(), shown);
        // The pairs above it keep clear of it.
        QCOMPARE(rig.labelText(notice ? 67 : 52).startsWith(QStringLiteral("Чаще всего")), true);
        QCOMPARE(rig.labelText(top), shown);
        for (QWidget *other : rig.page().pageWidgets())
            QVERIFY2(other == line || !other->geometry().intersects(line->geometry()),
                     other->metaObject()->className());
    }
}

void TestStatsPage::viewsShowTheirPlots()
{
    StatsRig rig(sampleHistory(7, 20));
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    StatsPage &stats = rig.form().statistics();
    QVERIFY(qobject_cast<ConfusionMap *>(stats.plot()));
    QVERIFY(rig.clickLink(StatsLinks::AccuracyViewTag));
    QVERIFY(qobject_cast<AccuracyPlot *>(stats.plot()));
    QVERIFY(rig.clickLink(StatsLinks::TimeViewTag));
    auto *bars = qobject_cast<AnswerTimeBars *>(stats.plot());
    QVERIFY(bars);
    // The slowest note has the tallest bar.
    const HistorySummary h = sampleHistory(7, 20);
    const auto slowest = std::max_element(h.times.cbegin(), h.times.cend(), [](auto &a, auto &b) {
        return a.averageMs < b.averageMs;
    });
    const int tallest = int(slowest - h.times.cbegin());
    for (int i = 0; i < h.times.size(); ++i)
        QVERIFY(bars->barRect(i).height() <= bars->barRect(tallest).height());
    QVERIFY(bars->barRect(tallest).height() > 0);
    // A view chosen stays when the scope changes.
    QVERIFY(rig.clickLink(StatsLinks::CourseScopeTag));
    QVERIFY(qobject_cast<AnswerTimeBars *>(stats.plot()));
}

// Each test a point, higher for more right answers, in the order taken.
void TestStatsPage::pitchTestsPlotted()
{
    StatsRig rig(sampleHistory(7, 20));
    const QDateTime first(QDate(2026, 11, 1), QTime(10, 0));
    rig.tests = {{1, first, 36, 8, 25, 6, 2}, {2, first.addDays(7), 36, 20, 12, 9, 11}};
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    QVERIFY(rig.link(PitchTestLinks::FromStatsTag));
    QVERIFY(rig.clickLink(StatsLinks::PitchTestsViewTag));
    auto *plot = qobject_cast<PitchTestPlot *>(rig.form().statistics().plot());
    QVERIFY(plot);
    QVERIFY(plot->pointOf(1).y() < plot->pointOf(0).y());
    QVERIFY(plot->pointOf(1).x() > plot->pointOf(0).x());
    QCOMPARE(PitchTestPlot::sentence(rig.tests),
             QStringLiteral("Проверок слуха: 2. Последняя, 08.11.2026: верно 20 из 36."));
    QCOMPARE(PitchTestPlot::sentence({}), QStringLiteral("Проверок слуха ещё не было."));
}

// ФА is the only note with days of accuracy; СОЛЬ and ЛЯ are only confused.
void TestStatsPage::legendListsOnlyNotesWithALine()
{
    const AccuracyPlot plot(knownHistory(), QSize(634, 228));
    QCOMPARE(plot.legendNames(), QStringList{QStringLiteral("ФА")});
}

// Rows are played notes, columns answered ones, in keyboard order; the
// course's 36 keys get cells big enough for their counts and scroll.
void TestStatsPage::confusionMapCountsPerCell()
{
    const ConfusionMap map(knownHistory(), QSize(600, 220));
    QCOMPARE(map.count(0, 1), 5); // ФА answered as СОЛЬ
    QCOMPARE(map.count(1, 0), 2);
    QCOMPARE(map.count(2, 1), 1);
    QCOMPARE(map.count(1, 2), 0);
    QCOMPARE(map.maxRight(), 8);
    QCOMPARE(map.maxWrong(), 5);
    const ConfusionMap course(sampleHistory(36, 5, {4, 0}), QSize(600, 220));
    QCOMPARE(course.geometry().notes(), 36);
    QCOMPARE(course.geometry().cell(), HeatMapGeometry::MinCell);
    QVERIFY(course.width() > 600);
}

void TestStatsPage::savesHistoryAsCsv_data()
{
    QTest::addColumn<QString>("where"); // relative to a temporary folder; "" cancels
    QTest::addColumn<bool>("csvWorks");
    QTest::addColumn<bool>("saved");
    QTest::newRow("saved") << QStringLiteral("history.csv") << true << true;
    QTest::newRow("cancelled") << QString() << true << false;
    QTest::newRow("store fails") << QStringLiteral("history.csv") << false << false;
    QTest::newRow("no such folder") << QStringLiteral("missing/history.csv") << true << false;
}

void TestStatsPage::savesHistoryAsCsv()
{
    QFETCH(QString, where);
    QFETCH(bool, csvWorks);
    QFETCH(bool, saved);
    StatsRig rig(knownHistory());
    QTemporaryDir dir;
    rig.savePath = where.isEmpty() ? QString() : dir.filePath(where);
    rig.csvWorks = csvWorks;
    QVERIFY(rig.clickLink(StatsLinks::FromLevelTag));
    QVERIFY(rig.clickButton(StatsLinks::SaveCsvTag));
    QVERIFY(rig.suggestedPath.endsWith(QStringLiteral(".csv")));
    QFile file(rig.savePath);
    QCOMPARE(file.exists(), saved);
    if (saved) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("level,played,answered\n1,5:5,5:7\n"));
    }
    const bool failed = !where.isEmpty() && !saved;
    QCOMPARE(WindowRig::messages().size(), failed ? 1 : 0);
    if (failed)
        QVERIFY(WindowRig::messages().first().startsWith(
            QStringLiteral("Не удалось сохранить историю в файл ")));
}

void TestStatsPage::countWords_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("word");
    const std::pair<int, const char16_t *> rows[] = {
        {1, u"раз"},  {2, u"раза"}, {4, u"раза"},  {5, u"раз"},   {11, u"раз"},  {12, u"раз"},
        {14, u"раз"}, {21, u"раз"}, {22, u"раза"}, {112, u"раз"}, {123, u"раза"}};
    for (const auto &[count, word] : rows)
        QTest::addRow("%d", count) << count << QString::fromUtf16(word);
}

void TestStatsPage::countWords()
{
    QFETCH(int, count);
    QFETCH(QString, word);
    QCOMPARE(NoteLabels::times(count), word);
}

void TestStatsPage::octaveOnlyWhereNeeded()
{
    HistorySummary s = knownHistory();
    s.confusions.append({La, HistoryNote{6, 5}, 3});
    const NoteLabels labels(s);
    QCOMPARE(labels.notes().size(), 4);
    QCOMPARE(labels.name(Fa), QStringLiteral("ФА первой октавы"));
    QCOMPARE(labels.name(HistoryNote{6, 5}), QStringLiteral("ФА второй октавы"));
    QCOMPARE(labels.shortName(HistoryNote{6, 5}), QStringLiteral("ФА2"));
    QCOMPARE(labels.name(Sol), QStringLiteral("СОЛЬ"));
    QCOMPARE(
        labels.pairSentence({Fa, HistoryNote{6, 5}, 3, 19}, true),
        QStringLiteral("Чаще всего вы путаете ФА первой октавы и ФА второй октавы: 3 раза из 19"));
}

QTEST_MAIN(TestStatsPage)
#include "tst_statspage.moc"
