#pragma once

#include "history/historysummary.h"
#include "stats/heatmapgeometry.h"
#include "stats/notelabels.h"

#include <QWidget>
#include <vector>

namespace nk {

// The confusion table as a heat map: played notes down, answered notes
// across, the count in every cell, the right answers green on the diagonal
// and the confusions red, each on its own scale shown beside the grid.
class ConfusionMap : public QWidget
{
    Q_OBJECT
public:
    ConfusionMap(const HistorySummary &summary, QSize available, QWidget *parent = nullptr);

    const HeatMapGeometry &geometry() const { return m_geometry; }
    const NoteLabels &labels() const { return m_labels; }
    int count(int row, int column) const;
    int maxRight() const { return m_maxRight; }
    int maxWrong() const { return m_maxWrong; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintCells(QPainter &p) const;
    void paintLabels(QPainter &p) const;
    void paintColumnLabel(QPainter &p, const QRect &r, const QString &name, bool upright) const;
    void paintScale(QPainter &p, int top, bool right, const QString &title) const;

    NoteLabels m_labels;
    HeatMapGeometry m_geometry;
    std::vector<int> m_counts; // row-major, rows the played notes
    int m_maxRight = 0;
    int m_maxWrong = 0;
};

} // namespace nk
