#pragma once

#include "history/historysummary.h"
#include "stats/notelabels.h"

#include <QDate>
#include <QPolygonF>
#include <QWidget>

namespace nk {

// How the learner got better: above, the share of right answers of every
// note day by day, one line per note; below, the training stage (notes in a
// question) reached on each day. A legend names the lines.
class AccuracyPlot : public QWidget
{
    Q_OBJECT
public:
    static constexpr int SmoothLinesUpTo = 12;

    AccuracyPlot(const HistorySummary &summary, QSize available, QWidget *parent = nullptr);

    static QColor lineColour(int index);
    // The names the legend lists, in its order: only notes that have a line.
    QStringList legendNames() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect accuracyArea() const;
    QRect stageArea() const;
    int xOf(const QDate &day, const QRect &area) const;
    void paintAxes(QPainter &p, const QRect &area, const QString &title,
                   const QStringList &ticks) const;
    void paintDays(QPainter &p) const;
    void layOutLines();
    void paintLines(QPainter &p) const;
    void paintStages(QPainter &p) const;
    void paintLegend(QPainter &p) const;
    QList<int> legendLines() const;

    HistorySummary m_summary;
    NoteLabels m_labels;
    QDate m_first;
    QDate m_last;
    int m_maxStage = 1;
    QList<QPolygonF> m_lines; // one per note of m_labels, by day
};

} // namespace nk
