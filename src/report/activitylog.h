#pragma once

#include "course/basepath.h"

#include <QDateTime>
#include <QString>

namespace nk {

// levels\log.dat: the learner's activity, one dated record per event, appended
// and never truncated. It is the body of every report sent to the maker.
class ActivityLog
{
public:
    explicit ActivityLog(const BasePath &base);

    // Appends "date time - message" and the bytes 0x0A 0x0D in one write.
    // Throws FileError when the record cannot be written; the file is left as it was.
    void WriteLog(const QString &message);

    // Text that comes from outside the program (a path, a web address, a
    // system message) with every character the log cannot hold shown as "?":
    // the learner cannot change such text, so refusing it would stop the action.
    static QString fromOutside(QStringView text);

    const QString &path() const { return m_path; }

    // "08.12.2026 7:29:26"; the time is left out at exactly midnight.
    static QString dateTimeText(const QDateTime &when);

private:
    QString m_path;
};

} // namespace nk
