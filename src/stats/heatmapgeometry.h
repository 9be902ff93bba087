#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

namespace nk {

// Where the cells of the confusion map lie, worked out in one place for the
// drawing and for whoever reads the drawing back (a screenshot check).
// Rows are the played notes, columns the answered ones.
class HeatMapGeometry
{
public:
    static constexpr int RowLabelWidth = 64;
    static constexpr int HeaderHeight = 56; // axis title and column names
    static constexpr int MinCell = 22;
    static constexpr int MaxCell = 34;
    static constexpr int ScaleWidth = 150; // the colour scales right of the grid

    // The largest cell that lets `notes` rows fit into `available`, within the
    // limits above; the map scrolls when even the smallest is too big. Cells
    // widen, where there is room, until a column's name of `widestName` pixels
    // stands upright.
    static HeatMapGeometry fit(int notes, QSize available, int widestName = 0);

    int notes() const { return m_notes; }
    int cell() const { return m_cell; } // the height
    int cellWidth() const { return m_width; }
    QRect grid() const;
    QRect cellRect(int row, int column) const;
    QRect rowLabel(int row) const;
    QRect columnLabel(int column) const;
    QRect scaleArea() const;
    QSize size() const;

    // The colour of a cell holding `count` where the fullest cell of its kind
    // holds `max`: white for nothing, darker with every answer more. Right
    // answers (the diagonal) are green, confusions red.
    static QColor colour(int count, int max, bool right);

private:
    int m_notes = 0;
    int m_cell = MinCell;
    int m_width = MinCell;
};

} // namespace nk
