#include "benchmain.h"

#include <QCoreApplication>
#include <cstdio>

namespace nk::bench {

void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

int fail(const QString &why)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(why));
    return 1;
}

} // namespace nk::bench
