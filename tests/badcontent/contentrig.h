#pragma once

#include "app/tmainform.h"
#include "damage.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace nk::test {

// A fresh program folder with the default course, one of its files spoilt,
// and the real window over it, wired as the program wires it. The learner's
// files and the levels asked for are copied; pictures and sounds are linked,
// except along the way to the spoilt file. Time runs ten thousand times
// faster; messages are recorded instead of shown.
class ContentRig
{
public:
    // `damaged` is relative to the program folder, written with slashes.
    ContentRig(const QList<int> &levels, const QString &damaged, Damage damage);
    ~ContentRig();

    bool ready() const { return m_ready; }
    TMainForm &form() { return *m_form; }
    GlobalState &state() { return m_form->state(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    static QStringList &messages();

private:
    bool copyLevels(const QString &from, const QList<int> &levels);
    bool linkTree(const QString &from, const QString &to, const QString &keepReal);

    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_form;
    bool m_ready = false;
};

} // namespace nk::test
