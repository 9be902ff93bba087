#pragma once

#include "drills/pitchtestscore.h"
#include "history/pitchtesthistory.h"

#include <QList>

class QWidget;

namespace nk {

class Page;
class PageLabel;

// The pitch test's pages: what it measures and the start, the circle of the
// twelve note names a trial is answered on, and the result beside the earlier
// tests. Nothing on them tells right from wrong before the result.
class PitchTestPages
{
public:
    static constexpr int CircleCentreX = 452;
    static constexpr int CircleCentreY = 212;
    static constexpr int CircleRadiusX = 170;
    static constexpr int CircleRadiusY = 124;

    explicit PitchTestPages(Page &page) : m_page(page) {}

    // `lastLeft`: the sitting before was left before its end.
    void createIntro(bool lastLeft);
    // Returns the line that counts the trials, to be updated in place.
    PageLabel *createTrial();
    static QString trialText(int number);
    void createResult(const PitchTestScore &score, const QList<PitchTestRecord> &earlier,
                      const QList<QDate> &next);

private:
    void createText(const QString &text, int top, bool bold = false);
    void createCircle();
    void createPitchTable(const PitchTestScore &score, int top);
    void createEarlier(const QList<PitchTestRecord> &earlier, int top);
    void createBackLink();

    Page &m_page;
};

} // namespace nk
