#pragma once

#include <QTest>

// A check that cannot run on this machine skips on a developer's machine, but
// fails in CI: there a skip would hide an install step the project is missing.
#define NK_SKIP_OR_FAIL(reason)                                                                    \
    do {                                                                                           \
        if (qEnvironmentVariable("CI") == QLatin1String("true"))                                   \
            QFAIL(qPrintable(QLatin1String("cannot run in CI: ") + (reason)));                     \
        QSKIP(qPrintable(reason));                                                                 \
    } while (false)
