#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

// A broken invariant ends the run like a crash, so libFuzzer saves the input.
#define NK_FUZZ_CHECK(cond, what)                                                                  \
    do {                                                                                           \
        if (!(cond))                                                                               \
            nk::fuzz::fail(#cond, what, __FILE__, __LINE__);                                       \
    } while (false)

namespace nk::fuzz {

[[noreturn]] inline void fail(const char *cond, const QString &what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, cond,
                 what.toUtf8().constData());
    std::abort();
}

} // namespace nk::fuzz
