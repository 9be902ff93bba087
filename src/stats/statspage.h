#pragma once

#include "stats/statssource.h"

#include <QPointer>
#include <QRect>
#include <functional>

class QWidget;

namespace nk {

class Page;
class PageLabel;
class PlotArea;
class TArrowLabel;
struct TGlobalSettings;

// The learner's own statistics: which notes they confuse, whether they get
// better day by day, how long they take to answer, for the current level or
// the whole course, and the whole history saved as CSV.
class StatsPage
{
public:
    enum class Scope
    {
        Level,
        Course
    };
    enum class View
    {
        Confusion,
        Accuracy,
        Time,
        PitchTests
    };
    // Asks where to save, as the platform's file dialog does; empty to cancel.
    using SaveDialog = std::function<QString(QWidget *parent, const QString &suggested)>;

    static const QRect PlotFrame; // where the plots stand on the page
    static QString masteredName() { return QStringLiteral("masteredNotes"); }
    static QString timbreSharesName() { return QStringLiteral("timbreShares"); }

    StatsPage(Page &page, TGlobalSettings &settings);

    void setSource(StatsSource source) { m_source = std::move(source); }
    void setSaveDialog(SaveDialog dialog) { m_dialog = std::move(dialog); }
    void setPractice(StatsPractice practice) { m_practice = std::move(practice); }
    // Where "Вернуться" leads now, for a page that comes back here.
    const std::function<void()> &back() const { return m_back; }

    // `back` leads to the page the learner came from.
    void ShowStatsPage(Scope scope, std::function<void()> back);
    void showScope(Scope scope);
    void showView(View view);
    void backClick();
    // The page's own links, from "Вернуться" to the views (StatsLinks).
    void linkClick(int tag);
    void saveCsvClick();

    Scope scope() const { return m_scope; }
    View view() const { return m_view; }
    // The plot shown, null when the page shows a sentence instead.
    QWidget *plot() const;

private:
    void build();
    void createCaption();
    void createScopeSwitch();
    bool createSentenceInstead(const HistorySummary &summary);
    void createNotice(const QString &text);
    void createSummaryLine(const HistorySummary &summary, int top);
    void createPairs(const HistorySummary &summary, int first, int lines);
    void createTimbreShares(const HistorySummary &summary, int top);
    void createViewTabs();
    void createPitchTestLink();
    void createPlot(const HistorySummary &summary);
    void createMastered(const QList<HistoryNote> &notes, const HistorySummary &summary);
    void createPracticeLink();
    void createSaveButton();
    void createBackLink();
    TArrowLabel *createSwitch(const QString &text, int tag, bool current, int left, int top);
    PageLabel *createSentence(const QString &text, int top, const QColor &colour);
    HistorySummary readSummary() const;
    QString askWhere() const;

    Page &m_page;
    TGlobalSettings &m_settings;
    StatsSource m_source;
    SaveDialog m_dialog;
    StatsPractice m_practice;
    std::function<void()> m_back;
    Scope m_scope = Scope::Level;
    View m_view = View::Confusion;
    int m_level = 1;
    QPointer<PlotArea> m_plot;
};

} // namespace nk
