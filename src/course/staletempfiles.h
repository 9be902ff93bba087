#pragma once

#include "course/basepath.h"

#include <QDateTime>
#include <QStringList>

namespace nk {

// Files a killed program can leave in the levels folders: the temporary copy
// of a file whose replacement was cut short ("notes.dat.Ab12Cd.notoklyuv-tmp"),
// and the upload copy of the log ("DEMO_..._log.dat"). Nothing reads them;
// removed at start so they never pile up. Only names the program makes match:
// a learner's "notes.dat.backup" stays.
class StaleTempFiles
{
public:
    // Removes them from levels\ and its level folders; returns what it removed.
    // With `before` valid, only those last changed before it: a run clearing up
    // after its start leaves what it has made itself since.
    static QStringList remove(const BasePath &base, const QDateTime &before = {});
};

} // namespace nk
