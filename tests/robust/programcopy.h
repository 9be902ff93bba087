#pragma once

#include <QString>

namespace nk::test {

// A small program folder for one run: the course's top-level files and
// levels 1 and 2 (their .dat files only), the pictures of the built course by a
// link, and settings that skip the first-run instruction page.
class ProgramCopy
{
public:
    // Makes `folder` a fresh copy; false when something could not be copied.
    static bool make(const QString &folder);
    // Replaces `to` by a byte copy of the folder tree `from` (links stay links).
    static bool copyTree(const QString &from, const QString &to);
};

} // namespace nk::test
