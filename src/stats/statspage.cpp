#include "stats/statspage.h"

#include "course/tglobalsettings.h"
#include "course/timbre.h"
#include "stats/accuracyplot.h"
#include "stats/answertimebars.h"
#include "stats/confusionmap.h"
#include "stats/notelabels.h"
#include "stats/pitchtestplot.h"
#include "stats/plotarea.h"
#include "stats/statslinks.h"
#include "widgets/fonts.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pitchtestlinks.h"
#include "widgets/tarrowlabel.h"
#include "widgets/windowcontrols.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace nk {

namespace {

constexpr int kTextLeft = 136;
constexpr int kPageRight = 770;
constexpr int kSummaryTop = 36;
constexpr int kPairsTop = 52;
constexpr int kPairLine = 15;
constexpr int kTabsTop = 100;
constexpr int kSentenceTop = 60;
constexpr int kBottomTop = 352;
const QColor kCurrent(0xFF, 0x00, 0x00);
const QColor kOther(0x33, 0x33, 0x99);
const QColor kProblem(0xC0, 0x00, 0x00);
const QColor kMastered(0x00, 0x80, 0x00);
constexpr int kPracticeLeft = 300;

QString platformDialog(QWidget *parent, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить историю ответов"),
                                        suggested, QStringLiteral("Таблица CSV (*.csv)"));
}

// Rounded down: 199 right of 200 is not yet "100%".
QString percent(int part, int whole)
{
    return QString::number(whole > 0 ? 100LL * part / whole : 0) + u'%';
}

// What a plot shows, in one sentence a screen reader says in its place.
QString plotSentence(const HistorySummary &summary, const QString &title)
{
    QString text = title + QStringLiteral(": ответов ") + QString::number(summary.answers) +
                   QStringLiteral(", верных ") + percent(summary.rightAnswers, summary.answers);
    if (!summary.mostConfused.isEmpty())
        text += QStringLiteral(". ") +
                NoteLabels(summary).pairSentence(summary.mostConfused.first(), true);
    return text + QLatin1Char('.');
}

} // namespace

const QRect StatsPage::PlotFrame(136, 118, 634, 228);

StatsPage::StatsPage(Page &page, TGlobalSettings &settings)
    : m_page(page), m_settings(settings), m_dialog(&platformDialog)
{
}

void StatsPage::ShowStatsPage(Scope scope, std::function<void()> back)
{
    m_back = std::move(back);
    m_scope = scope;
    m_view = View::Confusion;
    m_level = m_settings.Level;
    m_settings.KeyboardShown = true;
    m_page.controls().SlideKeyboard();
    build();
}

void StatsPage::showScope(Scope scope)
{
    m_scope = scope;
    build();
}

void StatsPage::showView(View view)
{
    m_view = view;
    build();
}

void StatsPage::backClick()
{
    if (m_back)
        m_back();
}

void StatsPage::linkClick(int tag)
{
    switch (tag) {
    case StatsLinks::BackTag:
        backClick();
        break;
    case StatsLinks::LevelScopeTag:
    case StatsLinks::CourseScopeTag:
        showScope(tag == StatsLinks::LevelScopeTag ? Scope::Level : Scope::Course);
        break;
    case StatsLinks::ConfusionViewTag:
        showView(View::Confusion);
        break;
    case StatsLinks::AccuracyViewTag:
        showView(View::Accuracy);
        break;
    case StatsLinks::TimeViewTag:
        showView(View::Time);
        break;
    case StatsLinks::PitchTestsViewTag:
        showView(View::PitchTests);
        break;
    case StatsLinks::PracticeTag:
        if (m_practice.start)
            m_practice.start(m_level);
        break;
    default:
        break;
    }
}

QWidget *StatsPage::plot() const
{
    return m_plot && !m_plot->isBeingRemoved() ? m_plot->widget() : nullptr;
}

HistorySummary StatsPage::readSummary() const
{
    const int level = m_scope == Scope::Level ? m_level : 0;
    HistorySummary summary;
    if (m_source.summary)
        summary = m_source.summary(level);
    summary.level = level;
    return summary;
}

void StatsPage::build()
{
    m_page.ClearPage();
    const HistorySummary summary = readSummary();
    createCaption();
    createScopeSwitch();
    if (!createSentenceInstead(summary)) {
        // A problem that does not stop the reading is one line above the
        // figures, which move down by a line and give up their third pair.
        const int shift = summary.notice.isEmpty() ? 0 : kPairLine;
        if (shift != 0)
            createNotice(summary.notice);
        createSummaryLine(summary, kSummaryTop + shift);
        // Shares per timbre take the line of the last pair shown, clear of a
        // bold pair above.
        const bool timbres = summary.timbres.size() > 1;
        const int lines = (shift == 0 ? 3 : 2) - (timbres ? 1 : 0);
        createPairs(summary, kPairsTop + shift, lines);
        if (timbres)
            createTimbreShares(summary, kPairsTop + shift + lines * kPairLine + 2);
        createViewTabs();
        createPlot(summary);
        const QList<HistoryNote> notes = m_scope == Scope::Level && m_practice.notes
                                             ? m_practice.notes(m_level)
                                             : QList<HistoryNote>();
        if (!notes.isEmpty()) {
            createMastered(notes, summary);
            if (m_practice.start)
                createPracticeLink();
        }
    }
    createPitchTestLink();
    createSaveButton();
    createBackLink();
}

// At the right end of the views' row, on every page of the statistics: in the
// row's own font, red as a way on, without an arrow, which the plot below
// leaves no room for.
void StatsPage::createPitchTestLink()
{
    const int width =
        QFontMetrics(Fonts::arial(12, true)).horizontalAdvance(PitchTestLinks::text());
    TArrowLabel *link = createSwitch(PitchTestLinks::text(), PitchTestLinks::FromStatsTag, false,
                                     kPageRight - width, kTabsTop);
    link->setTextColor(QColor(0xFF, 0x00, 0x00));
}

void StatsPage::createCaption()
{
    m_page.addCaption(StatsLinks::text());
}

TArrowLabel *StatsPage::createSwitch(const QString &text, int tag, bool current, int left, int top)
{
    auto *link = new TArrowLabel(m_page, {}, tag);
    QFont font = Fonts::arial(12, true);
    font.setUnderline(!current);
    link->setFont(font);
    link->setCaption(text);
    link->setTextColor(current ? kCurrent : kOther);
    link->setCursor(current ? Qt::ArrowCursor : Qt::PointingHandCursor);
    link->move(left, top);
    return link;
}

// Right-aligned at the top, clear of the caption.
void StatsPage::createScopeSwitch()
{
    const bool course = m_scope == Scope::Course;
    TArrowLabel *whole =
        createSwitch(QStringLiteral("Весь курс"), StatsLinks::CourseScopeTag, course, 0, 12);
    whole->move(kPageRight - whole->width(), 12);
    TArrowLabel *level = createSwitch(QStringLiteral("Уровень ") + QString::number(m_level),
                                      StatsLinks::LevelScopeTag, !course, 0, 12);
    level->move(whole->x() - 20 - level->width(), 12);
}

PageLabel *StatsPage::createSentence(const QString &text, int top, const QColor &colour)
{
    PageLabel *label = m_page.addText(text, QPoint(kTextLeft, top));
    label->setFont(Fonts::arial(12));
    label->setWordWrap(true);
    const int width = kPageRight - kTextLeft;
    label->setFixedSize(width, label->heightForWidth(width));
    label->setTextColor(colour);
    return label;
}

// An empty history or one that cannot be read is told in words, not shown as
// empty axes.
bool StatsPage::createSentenceInstead(const HistorySummary &summary)
{
    if (!summary.problem.isEmpty()) {
        createSentence(QStringLiteral("Историю ваших ответов не удалось прочитать: ") +
                           summary.problem,
                       kSentenceTop, kProblem);
        return true;
    }
    if (!summary.isEmpty())
        return false;
    createSentence(m_scope == Scope::Level
                       ? QStringLiteral("Ответьте на первые вопросы этого уровня, и здесь "
                                        "появятся ваши успехи!")
                       : QStringLiteral("Ответьте на первые вопросы курса, и здесь появятся "
                                        "ваши успехи!"),
                   kSentenceTop, Qt::black);
    return true;
}

void StatsPage::createNotice(const QString &text)
{
    PageLabel *line = m_page.addText(text, QPoint(kTextLeft, kSummaryTop));
    line->setFont(Fonts::arial(10));
    line->setTextColor(kProblem);
    line->setFixedWidth(kPageRight - kTextLeft);
}

void StatsPage::createSummaryLine(const HistorySummary &summary, int top)
{
    m_page.addText(QStringLiteral("Ответов: ") + QString::number(summary.answers) +
                       QStringLiteral(", верных: ") + QString::number(summary.rightAnswers) +
                       QStringLiteral(" (") + percent(summary.rightAnswers, summary.answers) + u')',
                   QPoint(kTextLeft, top));
}

void StatsPage::createPairs(const HistorySummary &summary, int first, int lines)
{
    const NoteLabels labels(summary);
    int top = first;
    for (const auto &pair : summary.mostConfused) {
        if (pair.confused <= 0 || top >= first + lines * kPairLine)
            continue;
        PageLabel *line =
            m_page.addText(labels.pairSentence(pair, top == first), QPoint(kTextLeft, top));
        line->setFont(Fonts::arial(12, top == first));
        line->adjustSize();
        top += kPairLine;
    }
    if (top == first)
        m_page.addText(QStringLiteral("Вы ещё ни разу не спутали ноты."), QPoint(kTextLeft, first))
            ->setFont(Fonts::arial(12, true));
}

// Once answers were played in more than one timbre: the share of right
// answers in each, the timbres in the course's order.
void StatsPage::createTimbreShares(const HistorySummary &summary, int top)
{
    QStringList shares;
    QList<HistorySummary::TimbreAccuracy> ordered = summary.timbres;
    const QStringList table = Timbre::folders();
    std::stable_sort(ordered.begin(), ordered.end(), [&table](const auto &a, const auto &b) {
        const auto rank = [&table](const QString &folder) {
            const qsizetype at = table.indexOf(folder);
            return at < 0 ? table.size() : at;
        };
        return rank(a.timbre) < rank(b.timbre);
    });
    for (const auto &timbre : ordered)
        shares.append(Timbre::nameOf(timbre.timbre) + u' ' + percent(timbre.right, timbre.total));
    const QString text = QStringLiteral("Верных по тембрам: ") + shares.join(QStringLiteral(", "));
    PageLabel *line = m_page.addText(text, QPoint(kTextLeft, top));
    line->setFont(Fonts::arial(10));
    line->setFixedWidth(kPageRight - kTextLeft);
    line->setObjectName(timbreSharesName());
    line->setAccessibleName(text);
}

void StatsPage::createViewTabs()
{
    struct Tab
    {
        QString text;
        int tag;
        View view;
    };
    const Tab tabs[] = {
        {QStringLiteral("Путаница нот"), StatsLinks::ConfusionViewTag, View::Confusion},
        {QStringLiteral("Успехи по дням"), StatsLinks::AccuracyViewTag, View::Accuracy},
        {QStringLiteral("Время ответа"), StatsLinks::TimeViewTag, View::Time},
        {QStringLiteral("Проверки слуха"), StatsLinks::PitchTestsViewTag, View::PitchTests},
    };
    int left = kTextLeft;
    for (const Tab &tab : tabs) {
        TArrowLabel *link = createSwitch(tab.text, tab.tag, tab.view == m_view, left, kTabsTop);
        left += link->width() + 24;
    }
}

void StatsPage::createPlot(const HistorySummary &summary)
{
    m_plot = new PlotArea(m_page, PlotFrame);
    const QSize room = m_plot->room();
    QString title;
    switch (m_view) {
    case View::Confusion:
        m_plot->setWidget(new ConfusionMap(summary, room));
        title = QStringLiteral("Путаница нот");
        break;
    case View::Accuracy:
        m_plot->setWidget(new AccuracyPlot(summary, room));
        title = QStringLiteral("Успехи по дням");
        break;
    case View::Time:
        m_plot->setWidget(new AnswerTimeBars(summary, room));
        title = QStringLiteral("Время ответа");
        break;
    case View::PitchTests: {
        const QList<PitchTestRecord> tests =
            m_source.pitchTests ? m_source.pitchTests() : QList<PitchTestRecord>();
        m_plot->setWidget(new PitchTestPlot(tests, room));
        m_plot->setAccessibleName(QStringLiteral("Проверки слуха"));
        m_plot->setAccessibleDescription(PitchTestPlot::sentence(tests));
        return;
    }
    }
    m_plot->setAccessibleName(title);
    m_plot->setAccessibleDescription(plotSentence(summary, title));
}

// Right of the summary line: which of the level's notes are mastered.
void StatsPage::createMastered(const QList<HistoryNote> &notes, const HistorySummary &summary)
{
    const QList<HistoryNote> mastered =
        m_practice.mastered ? m_practice.mastered(m_level) : QList<HistoryNote>();
    QString text = QStringLiteral("Освоено нот: ") + QString::number(mastered.size()) +
                   QStringLiteral(" из ") + QString::number(notes.size());
    const NoteLabels labels(summary);
    QStringList names;
    for (const HistoryNote &note : mastered)
        names.append(labels.name(note));
    PageLabel *line = m_page.addText(text, QPoint(kTextLeft, kSummaryTop));
    // The names while they leave the summary line on its left clear.
    line->setCaption(text + QStringLiteral(": ") + names.join(QStringLiteral(", ")));
    line->adjustSize();
    if (names.isEmpty() || line->width() > (kPageRight - kTextLeft) / 2) {
        line->setCaption(text);
        line->adjustSize();
    }
    line->move(kPageRight - line->width(), kSummaryTop);
    line->setObjectName(masteredName());
    line->setTextColor(kMastered);
}

// Between "Вернуться" and the save button.
void StatsPage::createPracticeLink()
{
    m_page.addArrowLink(StatsLinks::practiceText(), StatsLinks::PracticeTag, Page::Link::Forward,
                        kBottomTop, kPracticeLeft);
}

void StatsPage::createSaveButton()
{
    m_page.addButton(QStringLiteral("Сохранить историю в CSV"),
                     QRect(kPageRight - 200, kBottomTop, 200, 25), StatsLinks::SaveCsvTag);
}

void StatsPage::createBackLink()
{
    m_page.addArrowLink(QStringLiteral("Вернуться"), StatsLinks::BackTag, Page::Link::Backward,
                        kBottomTop);
}

QString StatsPage::askWhere() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(QStringLiteral("notoklyuv-history.csv"));
    if (!m_dialog)
        return {};
    const QString path = m_dialog(m_page.window(), suggested);
    // Where no window manager hands the focus back, the window takes it, so
    // the keyboard and a screen reader go on where they were.
    m_page.window()->activateWindow();
    return path;
}

// The file is replaced only once the whole history is written, so a failed
// save never leaves half a table where a good one was.
void StatsPage::saveCsvClick()
{
    const QString path = askWhere();
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) && m_source.writeCsv &&
                       m_source.writeCsv(file) && file.commit();
    if (!saved)
        m_page.message(QStringLiteral("Не удалось сохранить историю в файл ") +
                       QDir::toNativeSeparators(path));
}

} // namespace nk
