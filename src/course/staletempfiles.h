#pragma once

#include "course/basepath.h"

#include <QStringList>

namespace nk {

// Files a killed program can leave in the levels folders: the temporary copy
// of a data file whose replacement was cut short ("notes.dat.Ab12Cd"), and the
// upload copy of the log ("DEMO_..._log.dat"). Nothing reads them; removed at
// start so they never pile up. The learner's own files never match.
class StaleTempFiles
{
public:
    // Removes them from levels\ and its level folders; returns what it removed.
    static QStringList remove(const BasePath &base);
};

} // namespace nk
