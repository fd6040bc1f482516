#pragma once

// A failed invariant in a fuzz target: print what was seen and abort, so that libFuzzer keeps the
// input that caused it. Unlike assert(), this stays on in every build type.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

[[noreturn]] inline void fail(const char *file, int line, const char *condition,
                              const QString &detail)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 detail.toUtf8().constData());
    std::abort();
}

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::fail(__FILE__, __LINE__, #condition, (detail));                                \
    } while (false)
