#pragma once

#include <QString>
#include <QTemporaryDir>

namespace nk::bench {

// A private copy of the built program folder (course files, sounds, pictures),
// so a measured run writes its progress and log where no one else looks.
class ProgramCopy
{
public:
    // The folder named by NK_PROGRAM_DIR, else the one this build made.
    static QString builtFolder();

    // False, with the reason, when the built folder is missing or cannot be copied.
    bool make(QString *error);
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
};

} // namespace nk::bench
