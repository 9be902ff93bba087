#pragma once

#include <QString>

namespace nk {

// Why a file of the program folder could not be written, in words a learner
// understands: the usual causes are told in Russian, anything else keeps the
// system's own text.
class WriteFailure
{
public:
    static QString reason(const QString &path, const QString &systemText);
    // Why a file that is there could not be read before it was to be changed.
    static QString unreadable(const QString &path, const QString &systemText);
};

} // namespace nk
