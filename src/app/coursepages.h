#pragma once

#include "course/coursefiles.h"
#include "course/stepmap.h"
#include "widgets/navigation.h"

#include <QDate>
#include <QPointer>
#include <array>
#include <functional>

namespace nk {

struct CourseList;
struct GlobalState;
class Page;
class PageLabel;
class TLevel;
class TStep;

// The course part and level pages and the way from a step list into the
// exercises. The exercises themselves belong to other parts of the program and
// are reached through the hooks, filled in by the wiring place; an empty hook
// does nothing.
class CoursePages : public Navigation
{
public:
    struct Hooks
    {
        std::function<void(int level)> StartStep1;
        std::function<void()> StartStep2;
        std::function<void()> StartStep3;
        std::function<void()> StartStep4;
        std::function<void()> StartChordsDrill;
        std::function<void()> StartMelodiesDrill;
        std::function<void()> StartNotesDrill;
        std::function<void()> ShowReportPage;
        // Describes the note chosen in the questionnaire's note index.
        std::function<void()> StartQuestionnaire;
        // The keyboard loses its colouring when a level is opened.
        std::function<void()> ClearAllKeys;
        // A level or step page is about to reset what an exercise was doing.
        std::function<void()> LevelOrStepOpened;
        // The pitch test's retest day reached and not yet told; null: none.
        std::function<QDate()> PitchTestDue;
    };

    CoursePages(Page &page, GlobalState &state);

    Hooks &hooks() { return m_hooks; }
    // The label of "Освоено нот: k из n" on a level page.
    static QString masteredLineName() { return QStringLiteral("masteredLine"); }

    void ShowPartPage(int part) override;
    void ShowLevelPage(int level) override;
    void ActivateStep(int step) override;
    bool IsStepUsed(int step) override;
    void MarkStepUsed(int step) override;
    void OpenStep(int level, int step);

    void levelClick(int tag);
    void stepClick(int tag);
    void noteClick(int tag);

    // 111-119, 121-129, 131-139 and 141 name levels 1-28; anything else is 0.
    static int levelOfTag(int tag);

private:
    template <typename Label, std::size_t N>
    void createEntries(const CourseList &list, std::array<QPointer<Label>, N> &labels,
                       int firstTag);
    void markCurrent(PageLabel *label);
    void createBear();
    void createStatisticsLink();
    void createSettingsLink();
    void createPitchTestReminder(const QDate &due);
    void createMasteredLine(int level);
    void resetLevelState();
    const std::function<void()> &hookFor(StepTarget target) const;

    Page &m_page;
    GlobalState &m_state;
    CourseFiles m_files;
    Hooks m_hooks;
    // The labels of the list page shown last; empty once another list is built.
    std::array<QPointer<TLevel>, CourseFiles::MaxLevelsPerPart> m_levelLabels;
    std::array<QPointer<TStep>, CourseFiles::MaxStepsPerLevel> m_stepLabels;
};

} // namespace nk
