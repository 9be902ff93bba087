#pragma once

#include <QString>

namespace nk {

// The program folder. Every file the program reads or writes is named by a path
// relative to it, written with backslashes as in the course files.
class BasePath
{
public:
    BasePath() = default;
    explicit BasePath(QString folder);

    // The folder of the running program.
    static BasePath ofApplication();

    const QString &folder() const { return m_folder; }
    bool isEmpty() const { return m_folder.isEmpty(); }

    // Joins a relative path. Backslashes become slashes; where a name does not
    // exist with that exact spelling, an entry differing only in letter case is
    // taken. An absolute path or one with ".." never leaves the folder: it
    // gives an empty string, which every caller treats as a missing file.
    QString resolve(const QString &relative) const;

private:
    QString m_folder; // without trailing slash
};

} // namespace nk
