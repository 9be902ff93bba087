#include "stats/confusionmap.h"

#include "widgets/fonts.h"

#include <QFontMetrics>
#include <QPainter>

namespace nk {

namespace {

// Dark text on a pale cell, white on a dark one.
QColor textOn(const QColor &fill)
{
    return fill.lightness() > 150 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

ConfusionMap::ConfusionMap(const HistorySummary &summary, QSize available, QWidget *parent)
    : QWidget(parent), m_labels(summary)
{
    const int n = int(m_labels.notes().size());
    int widest = 0;
    const QFontMetrics metrics(Fonts::arial(10));
    for (const HistoryNote &note : m_labels.notes())
        widest = qMax(widest, metrics.horizontalAdvance(m_labels.shortName(note)));
    m_geometry = HeatMapGeometry::fit(n, available, widest);
    m_counts.assign(std::size_t(n) * std::size_t(n), 0);
    for (const auto &c : summary.confusions) {
        const int row = m_labels.indexOf(c.played);
        const int column = m_labels.indexOf(c.answered);
        if (row < 0 || column < 0 || c.count <= 0)
            continue;
        int &cell = m_counts[std::size_t(row) * std::size_t(n) + std::size_t(column)];
        cell += c.count;
        int &max = row == column ? m_maxRight : m_maxWrong;
        max = qMax(max, cell);
    }
    setFixedSize(m_geometry.size());
    setAutoFillBackground(false);
}

int ConfusionMap::count(int row, int column) const
{
    const int n = m_geometry.notes();
    if (row < 0 || column < 0 || row >= n || column >= n)
        return 0;
    return m_counts[std::size_t(row) * std::size_t(n) + std::size_t(column)];
}

void ConfusionMap::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    paintCells(p);
    paintLabels(p);
    const int top = m_geometry.scaleArea().top();
    paintScale(p, top, true, QStringLiteral("верно"));
    paintScale(p, top + 48, false, QStringLiteral("спутано"));
}

void ConfusionMap::paintCells(QPainter &p) const
{
    p.setFont(Fonts::arial(m_geometry.cell() >= 28 ? 12 : 10));
    const int n = m_geometry.notes();
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < n; ++column) {
            const bool right = row == column;
            const int value = count(row, column);
            const QRect r = m_geometry.cellRect(row, column);
            const QColor fill =
                HeatMapGeometry::colour(value, right ? m_maxRight : m_maxWrong, right);
            p.fillRect(r, fill);
            p.setPen(QColor(0xD0, 0xD0, 0xD0));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            if (value > 0) {
                p.setPen(textOn(fill));
                p.drawText(r, Qt::AlignCenter, QString::number(value));
            }
        }
    }
}

void ConfusionMap::paintLabels(QPainter &p) const
{
    p.setPen(Qt::black);
    p.setFont(Fonts::arial(10, true));
    const QRect g = m_geometry.grid();
    p.drawText(QRect(g.left(), 0, qMax(g.width(), 120), 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("ответ →"));
    p.drawText(QRect(0, 0, HeatMapGeometry::RowLabelWidth, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("звучала ↓"));
    p.setFont(Fonts::arial(10));
    const QList<HistoryNote> &notes = m_labels.notes();
    // Column names all stand on end as soon as one of them is wider than its
    // column: a header half upright and half on end reads badly.
    bool upright = true;
    for (const HistoryNote &note : notes)
        upright = upright && p.fontMetrics().horizontalAdvance(m_labels.shortName(note)) <=
                                 m_geometry.cellWidth() - 2;
    for (int i = 0; i < notes.size(); ++i) {
        const QString name = m_labels.shortName(notes[i]);
        p.drawText(m_geometry.rowLabel(i), Qt::AlignRight | Qt::AlignVCenter, name);
        paintColumnLabel(p, m_geometry.columnLabel(i), name, upright);
    }
}

void ConfusionMap::paintColumnLabel(QPainter &p, const QRect &r, const QString &name,
                                    bool upright) const
{
    if (upright) {
        p.drawText(r, Qt::AlignHCenter | Qt::AlignBottom, name);
        return;
    }
    p.save();
    p.translate(r.left() + r.width() / 2, r.bottom());
    p.rotate(-90);
    const int h = p.fontMetrics().height();
    p.drawText(QRect(2, -h / 2, r.height() - 2, h), Qt::AlignLeft | Qt::AlignVCenter, name);
    p.restore();
}

void ConfusionMap::paintScale(QPainter &p, int top, bool right, const QString &title) const
{
    const QRect area = m_geometry.scaleArea();
    const int max = right ? m_maxRight : m_maxWrong;
    p.setPen(Qt::black);
    p.setFont(Fonts::arial(10));
    p.drawText(QRect(area.left(), top, area.width(), 14), Qt::AlignLeft, title);
    const QRect bar(area.left(), top + 16, area.width() - 8, 12);
    for (int x = 0; x < bar.width(); ++x) {
        const int value = max > 0 ? qMax(1, qRound(double(max) * (x + 1) / bar.width())) : 0;
        p.fillRect(QRect(bar.left() + x, bar.top(), 1, bar.height()),
                   HeatMapGeometry::colour(value, max, right));
    }
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawRect(bar.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(QRect(bar.left(), bar.bottom() + 2, bar.width(), 14), Qt::AlignLeft,
               QStringLiteral("1"));
    p.drawText(QRect(bar.left(), bar.bottom() + 2, bar.width(), 14), Qt::AlignRight,
               QString::number(qMax(1, max)));
}

} // namespace nk
