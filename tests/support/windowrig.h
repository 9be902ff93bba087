#pragma once

#include "app/tmainform.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace nk {
class TArrowLabel;
class TYesButton;
} // namespace nk

namespace nk::test {

// The real window, wired as the program wires it, over a program folder that
// holds the default course's pictures, its top-level files and the given level
// folders, past its first run. Time runs a thousand times faster; messages are
// recorded instead of shown.
class WindowRig
{
public:
    explicit WindowRig(const QStringList &levelFolders);
    virtual ~WindowRig();

    TMainForm &form() { return *m_form; }
    GlobalState &state() { return m_form->state(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    // Writes a data file as the course keeps them, in Windows-1251.
    void writeText(const QString &relative, const QString &text) const;

    TYesButton *button(int tag) const;
    TArrowLabel *link(int tag) const;
    QString labelText(int top) const; // the page label at left 136 and this top
    bool clickButton(int tag);
    bool clickLink(int tag);
    QStringList logLines() const; // the log's non-empty lines, trimmed

    static QStringList &messages();

protected:
    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_form;
};

} // namespace nk::test
