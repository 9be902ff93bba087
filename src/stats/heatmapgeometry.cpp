#include "stats/heatmapgeometry.h"

#include <QtGlobal>

namespace nk {

namespace {

const QColor kRight(0x1E, 0x7B, 0x34);
const QColor kWrong(0xC0, 0x1E, 0x1E);

int mix(int from, int to, double t)
{
    return qRound(from + (to - from) * t);
}

} // namespace

HeatMapGeometry HeatMapGeometry::fit(int notes, QSize available, int widestName)
{
    HeatMapGeometry g;
    g.m_notes = qMax(0, notes);
    if (g.m_notes > 0) {
        const int byHeight = (available.height() - HeaderHeight - 2) / g.m_notes;
        const int byWidth = (available.width() - RowLabelWidth - ScaleWidth - 2) / g.m_notes;
        g.m_cell = qBound(MinCell, qMin(byHeight, byWidth), MaxCell);
        g.m_width = qMax(g.m_cell, qMin(widestName + 6, byWidth));
    }
    return g;
}

QRect HeatMapGeometry::grid() const
{
    return QRect(RowLabelWidth, HeaderHeight, m_notes * m_width, m_notes * m_cell);
}

QRect HeatMapGeometry::cellRect(int row, int column) const
{
    return QRect(RowLabelWidth + column * m_width, HeaderHeight + row * m_cell, m_width, m_cell);
}

QRect HeatMapGeometry::rowLabel(int row) const
{
    return QRect(0, HeaderHeight + row * m_cell, RowLabelWidth - 4, m_cell);
}

QRect HeatMapGeometry::columnLabel(int column) const
{
    return QRect(RowLabelWidth + column * m_width, 18, m_width, HeaderHeight - 20);
}

QRect HeatMapGeometry::scaleArea() const
{
    const QRect g = grid();
    return QRect(g.right() + 16, HeaderHeight, ScaleWidth - 16, 96);
}

QSize HeatMapGeometry::size() const
{
    const QRect g = grid();
    return QSize(g.right() + 1 + ScaleWidth, qMax(g.bottom() + 2, scaleArea().bottom() + 2));
}

QColor HeatMapGeometry::colour(int count, int max, bool right)
{
    if (count <= 0 || max <= 0)
        return QColor(Qt::white);
    // Even a single answer must show, so the scale starts a step above white.
    const double t = 0.15 + 0.85 * qMin(1.0, double(count) / max);
    const QColor &full = right ? kRight : kWrong;
    return QColor(mix(255, full.red(), t), mix(255, full.green(), t), mix(255, full.blue(), t));
}

} // namespace nk
