#pragma once

#include "history/historysummary.h"
#include "stats/notelabels.h"

#include <QWidget>

namespace nk {

// The average time to answer, note by note, as bars in seconds with the
// value on top of each bar.
class AnswerTimeBars : public QWidget
{
    Q_OBJECT
public:
    AnswerTimeBars(const HistorySummary &summary, QSize available, QWidget *parent = nullptr);

    // The bar of the i-th note of the summary, for drawing and for checks.
    QRect barRect(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect plotArea() const;
    double secondsAt(int index) const;

    NoteLabels m_labels;
    QList<double> m_seconds; // per note of m_labels, -1 where nothing was answered
    double m_maxSeconds = 1;
    int m_barStep = 40;
};

} // namespace nk
