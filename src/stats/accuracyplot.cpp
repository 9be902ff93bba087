#include "stats/accuracyplot.h"

#include "stats/plotstyle.h"
#include "widgets/fonts.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSet>

namespace nk {

namespace {

constexpr int kLegendWidth = 116;
constexpr int kLegendLine = 14;

void widen(QDate &first, QDate &last, const QDate &day)
{
    if (!day.isValid())
        return;
    if (!first.isValid() || day < first)
        first = day;
    if (!last.isValid() || day > last)
        last = day;
}

} // namespace

AccuracyPlot::AccuracyPlot(const HistorySummary &summary, QSize available, QWidget *parent)
    : QWidget(parent), m_summary(summary), m_labels(summary)
{
    for (const auto &a : summary.accuracy)
        widen(m_first, m_last, a.day);
    for (const auto &s : summary.stages) {
        widen(m_first, m_last, s.day);
        m_maxStage = qMax(m_maxStage, s.noteCount);
    }
    QSet<int> withLine; // the notes the legend lists
    for (const auto &a : summary.accuracy) {
        if (a.total > 0 && m_labels.indexOf(a.note) >= 0)
            withLine.insert(m_labels.indexOf(a.note));
    }
    const int legend = kLegendLine * int(withLine.size()) + 24;
    setFixedSize(available.width(), qMax(available.height(), legend));
    layOutLines();
}

QColor AccuracyPlot::lineColour(int index)
{
    // The golden angle keeps neighbouring notes apart in hue however many there are.
    return QColor::fromHsv((index * 137 + 210) % 360, 210, index % 2 ? 150 : 205);
}

QRect AccuracyPlot::accuracyArea() const
{
    const int plotHeight = qMin(height(), 230) - 24;
    return QRect(PlotStyle::AxisWidth, 18, width() - PlotStyle::AxisWidth - kLegendWidth - 8,
                 plotHeight * 62 / 100);
}

QRect AccuracyPlot::stageArea() const
{
    const QRect a = accuracyArea();
    const int bottom = qMin(height(), 230) - 22;
    return QRect(a.left(), a.bottom() + 26, a.width(), bottom - a.bottom() - 26);
}

int AccuracyPlot::xOf(const QDate &day, const QRect &area) const
{
    const qint64 span = m_first.daysTo(m_last);
    if (span <= 0)
        return area.center().x();
    return area.left() + int(double(m_first.daysTo(day)) / double(span) * area.width());
}

void AccuracyPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing, false);
    paintAxes(p, accuracyArea(), QStringLiteral("Верных ответов по дням, %"),
              {QStringLiteral("0"), QStringLiteral("50"), QStringLiteral("100")});
    QStringList stageTicks{QStringLiteral("0"), QString::number(m_maxStage)};
    paintAxes(p, stageArea(), QStringLiteral("Ступень тренировки: нот в вопросе"), stageTicks);
    paintDays(p);
    // Smooth lines cost a great deal once there are dozens of them, and so
    // many crossing lines read no better smoothed: the course's plot is plain.
    p.setRenderHint(QPainter::Antialiasing, m_lines.size() <= SmoothLinesUpTo);
    paintLines(p);
    paintStages(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    paintLegend(p);
}

// A frame with its title above and its tick values, bottom to top, at the left.
void AccuracyPlot::paintAxes(QPainter &p, const QRect &area, const QString &title,
                             const QStringList &ticks) const
{
    p.setFont(Fonts::arial(11, true));
    p.setPen(Qt::black);
    p.drawText(QRect(area.left(), area.top() - 17, area.width(), 15), Qt::AlignLeft, title);
    p.setFont(Fonts::arial(10));
    for (int i = 0; i < ticks.size(); ++i) {
        const int y =
            area.bottom() - (ticks.size() > 1 ? i * area.height() / (ticks.size() - 1) : 0);
        p.setPen(PlotStyle::Grid);
        p.drawLine(area.left(), y, area.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(0, y - 7, PlotStyle::AxisWidth - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
                   ticks[i]);
    }
    p.setPen(Qt::gray);
    p.drawRect(area);
}

void AccuracyPlot::paintDays(QPainter &p) const
{
    if (!m_first.isValid())
        return;
    const QRect area = stageArea();
    p.setPen(Qt::black);
    p.setFont(Fonts::arial(10));
    const QString format = QStringLiteral("dd.MM");
    p.drawText(QRect(area.left(), area.bottom() + 2, 60, 14), Qt::AlignLeft,
               m_first.toString(format));
    if (m_last != m_first)
        p.drawText(QRect(area.right() - 60, area.bottom() + 2, 60, 14), Qt::AlignRight,
                   m_last.toString(format));
}

// The widget never changes size, so the lines are laid out once.
void AccuracyPlot::layOutLines()
{
    const QRect area = accuracyArea();
    m_lines = QList<QPolygonF>(m_labels.notes().size());
    for (const auto &a : m_summary.accuracy) {
        const int i = m_labels.indexOf(a.note);
        if (i < 0 || a.total <= 0)
            continue;
        m_lines[i].append(
            QPointF(xOf(a.day, area), area.bottom() - double(a.right) / a.total * area.height()));
    }
}

void AccuracyPlot::paintLines(QPainter &p) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        p.setPen(QPen(lineColour(i), 2));
        if (m_lines[i].size() == 1)
            p.drawEllipse(m_lines[i].first(), 2, 2);
        else
            p.drawPolyline(m_lines[i]);
    }
}

void AccuracyPlot::paintStages(QPainter &p) const
{
    const QRect area = stageArea();
    QPainterPath path;
    for (const auto &s : m_summary.stages) {
        const double y = area.bottom() - double(s.noteCount) / m_maxStage * area.height();
        const QPointF point(xOf(s.day, area), y);
        if (path.elementCount() == 0) {
            path.moveTo(point);
            continue;
        }
        // A stage holds until the day it changes: steps, not slopes.
        path.lineTo(QPointF(point.x(), path.currentPosition().y()));
        path.lineTo(point);
    }
    p.setPen(QPen(QColor(0x33, 0x33, 0x99), 2));
    p.drawPath(path);
}

// A note named elsewhere on the page, in a confusion or a time, may have no
// line here: the legend leaves it out, and each line keeps its own colour.
QList<int> AccuracyPlot::legendLines() const
{
    QList<int> lines;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (!m_lines[i].isEmpty())
            lines.append(i);
    }
    return lines;
}

QStringList AccuracyPlot::legendNames() const
{
    QStringList names;
    for (int i : legendLines())
        names.append(m_labels.shortName(m_labels.notes()[i]));
    return names;
}

void AccuracyPlot::paintLegend(QPainter &p) const
{
    const int left = width() - kLegendWidth;
    p.setFont(Fonts::arial(10));
    const QList<int> lines = legendLines();
    const QStringList names = legendNames();
    for (int row = 0; row < lines.size(); ++row) {
        const int y = 4 + row * kLegendLine;
        p.fillRect(QRect(left, y + 5, 16, 3), lineColour(lines[row]));
        p.setPen(Qt::black);
        p.drawText(QRect(left + 20, y, kLegendWidth - 20, kLegendLine),
                   Qt::AlignLeft | Qt::AlignVCenter, names[row]);
    }
}

} // namespace nk
