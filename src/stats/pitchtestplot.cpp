#include "stats/pitchtestplot.h"

#include "stats/plotstyle.h"
#include "widgets/fonts.h"

#include <QPainter>

namespace nk {

namespace {
constexpr int kTrials = 36;
constexpr int kChance = 3;
const QColor kScore(0x33, 0x33, 0x99);
const QColor kGuess(0xC0, 0x40, 0x40);
} // namespace

PitchTestPlot::PitchTestPlot(const QList<PitchTestRecord> &tests, QSize available, QWidget *parent)
    : QWidget(parent), m_tests(tests)
{
    setFixedSize(available);
}

QString PitchTestPlot::sentence(const QList<PitchTestRecord> &tests)
{
    if (tests.isEmpty())
        return QStringLiteral("Проверок слуха ещё не было.");
    const PitchTestRecord &last = tests.last();
    return QStringLiteral("Проверок слуха: %1. Последняя, ").arg(tests.size()) +
           last.at.date().toString(QStringLiteral("dd.MM.yyyy")) +
           QStringLiteral(": верно %1 из %2.").arg(last.right).arg(last.trials);
}

QRect PitchTestPlot::area() const
{
    return QRect(PlotStyle::AxisWidth, 14, width() - PlotStyle::AxisWidth - 16, height() - 44);
}

int PitchTestPlot::yOf(int right) const
{
    const QRect a = area();
    return a.bottom() - a.height() * qBound(0, right, kTrials) / kTrials;
}

QPoint PitchTestPlot::pointOf(int index) const
{
    const QRect a = area();
    const int count = int(m_tests.size());
    const int x = count == 1 ? a.center().x() : a.left() + a.width() * index / (count - 1);
    return QPoint(x, yOf(m_tests[index].right));
}

void PitchTestPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(Fonts::arial(Fonts::pointsToPixels(8)));
    paintAxes(p);
    if (m_tests.isEmpty()) {
        p.drawText(area(), Qt::AlignCenter, sentence(m_tests));
        return;
    }
    paintScores(p);
}

void PitchTestPlot::paintAxes(QPainter &p) const
{
    const QRect a = area();
    for (int right = 0; right <= kTrials; right += 6) {
        p.setPen(PlotStyle::Grid);
        p.drawLine(a.left(), yOf(right), a.right(), yOf(right));
        p.setPen(Qt::black);
        p.drawText(QRect(0, yOf(right) - 8, PlotStyle::AxisWidth - 6, 16),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(right));
    }
    p.setPen(QPen(kGuess, 1, Qt::DashLine));
    p.drawLine(a.left(), yOf(kChance), a.right(), yOf(kChance));
    p.drawText(a.left() + 4, yOf(kChance) - 4, QStringLiteral("наугад"));
}

void PitchTestPlot::paintScores(QPainter &p) const
{
    p.setPen(QPen(kScore, 2));
    for (int i = 1; i < m_tests.size(); ++i)
        p.drawLine(pointOf(i - 1), pointOf(i));
    p.setBrush(kScore);
    for (int i = 0; i < m_tests.size(); ++i) {
        const QPoint at = pointOf(i);
        p.setPen(QPen(kScore, 2));
        p.drawEllipse(at, 4, 4);
        p.setPen(Qt::black);
        p.drawText(QRect(at.x() - 40, area().bottom() + 4, 80, 16), Qt::AlignCenter,
                   m_tests[i].at.date().toString(QStringLiteral("dd.MM.yy")));
        p.drawText(QRect(at.x() - 20, at.y() - 22, 40, 16), Qt::AlignCenter,
                   QString::number(m_tests[i].right));
    }
}

} // namespace nk
