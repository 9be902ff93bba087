#include "stats/answertimebars.h"

#include "stats/plotstyle.h"
#include "widgets/fonts.h"

#include <QLocale>
#include <QPainter>
#include <cmath>

namespace nk {

namespace {

constexpr int kTop = 34;
constexpr int kBottom = 20;
const QColor kBar(0x84, 0xC2, 0x25);

QString seconds(double value)
{
    return QLocale(QLocale::Russian).toString(value, 'f', 1);
}

} // namespace

AnswerTimeBars::AnswerTimeBars(const HistorySummary &summary, QSize available, QWidget *parent)
    : QWidget(parent), m_labels(summary)
{
    const QList<HistoryNote> &notes = m_labels.notes();
    for (int i = 0; i < notes.size(); ++i)
        m_seconds.append(-1);
    for (const auto &t : summary.times) {
        const int i = m_labels.indexOf(t.note);
        if (i >= 0 && t.answers > 0) {
            m_seconds[i] = t.averageMs / 1000.0;
            m_maxSeconds = qMax(m_maxSeconds, m_seconds[i]);
        }
    }
    m_maxSeconds = std::ceil(m_maxSeconds);
    const int n = qMax(1, int(notes.size()));
    m_barStep = qBound(26, (available.width() - PlotStyle::AxisWidth - 8) / n, 60);
    setFixedSize(qMax(available.width(), PlotStyle::AxisWidth + 8 + n * m_barStep),
                 available.height());
}

QRect AnswerTimeBars::plotArea() const
{
    return QRect(PlotStyle::AxisWidth, kTop, width() - PlotStyle::AxisWidth - 8,
                 height() - kTop - kBottom);
}

double AnswerTimeBars::secondsAt(int index) const
{
    return index >= 0 && index < m_seconds.size() ? m_seconds[index] : -1;
}

QRect AnswerTimeBars::barRect(int index) const
{
    const QRect area = plotArea();
    const double value = qMax(0.0, secondsAt(index));
    const int h = int(value / m_maxSeconds * area.height());
    const int left = area.left() + index * m_barStep + m_barStep / 6;
    return QRect(left, area.bottom() + 1 - h, m_barStep - m_barStep / 3, h);
}

void AnswerTimeBars::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRect area = plotArea();
    p.setPen(Qt::black);
    p.setFont(Fonts::arial(11, true));
    p.drawText(QRect(area.left(), 2, area.width(), 15), Qt::AlignLeft,
               QStringLiteral("Среднее время ответа, секунд"));
    p.setFont(Fonts::arial(10));
    for (int tick = 0; tick <= 2; ++tick) {
        const int y = area.bottom() - tick * area.height() / 2;
        p.setPen(QColor(0xE4, 0xE4, 0xE4));
        p.drawLine(area.left(), y, area.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(0, y - 7, PlotStyle::AxisWidth - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
                   seconds(m_maxSeconds * tick / 2));
    }
    const QList<HistoryNote> &notes = m_labels.notes();
    for (int i = 0; i < notes.size(); ++i) {
        const QRect bar = barRect(i);
        const QRect column(area.left() + i * m_barStep, 0, m_barStep, height());
        if (secondsAt(i) >= 0) {
            p.fillRect(bar, kBar);
            p.drawText(QRect(column.left(), bar.top() - 15, column.width(), 14), Qt::AlignCenter,
                       seconds(secondsAt(i)));
        }
        p.drawText(QRect(column.left(), area.bottom() + 3, column.width(), 14), Qt::AlignCenter,
                   m_labels.shortName(notes[i]));
    }
    p.setPen(Qt::gray);
    p.drawLine(area.bottomLeft(), area.bottomRight());
}

} // namespace nk
