#pragma once

#include "history/pitchtesthistory.h"

#include <QList>
#include <QWidget>

namespace nk {

// The pitch tests' scores over time: right answers of 36 for each finished
// test, in the order taken and named by day, above the level of guessing.
class PitchTestPlot : public QWidget
{
    Q_OBJECT
public:
    PitchTestPlot(const QList<PitchTestRecord> &tests, QSize available, QWidget *parent = nullptr);

    // What a screen reader says of the plot.
    static QString sentence(const QList<PitchTestRecord> &tests);
    // Where a test's point is drawn, for the checks of the picture.
    QPoint pointOf(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect area() const;
    int yOf(int right) const;
    void paintAxes(QPainter &p) const;
    void paintScores(QPainter &p) const;

    QList<PitchTestRecord> m_tests;
};

} // namespace nk
