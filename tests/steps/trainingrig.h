#pragma once

#include "app/tmainform.h"

#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace nk {
class PageLabel;
class Step3;
class TArrowLabel;
class TYesButton;
struct StepContext;
} // namespace nk

namespace nk::test {

// The real window, wired as the program wires it, over a program folder that
// holds the default course's pictures, text pages and the given level folders.
// Time runs a thousand times faster; messages are recorded instead of shown.
class TrainingRig
{
public:
    explicit TrainingRig(const QStringList &levelFolders);
    ~TrainingRig();

    TMainForm &form() { return *m_form; }
    GlobalState &state() { return m_form->state(); }
    StepContext &context() { return m_form->steps(); }
    Step3 &training() { return m_form->training(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    void writeText(const QString &relative, const QString &text) const;
    // The level page, then its training step, as a learner opens them.
    void openTraining(int level);

    TYesButton *button(int tag) const;
    TArrowLabel *link(int tag) const;
    QString labelText(int top) const; // the page label at left 136 and this top
    bool clickButton(int tag);
    bool clickLink(int tag);
    void pressKey(int octave, int pitch);
    bool comparisonShown() const;
    QStringList logLines() const;

    static QStringList &messages();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_form;
};

} // namespace nk::test
