#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace qm::fuzz {

// A broken promise of the code under test: libFuzzer reports the abort as a
// crash and keeps the input that caused it.
[[noreturn]] inline void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "\nFUZZ CHECK FAILED: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void check(bool condition, const char *what, const QString &detail = QString())
{
    if (!condition)
        fail(what, detail);
}

}  // namespace qm::fuzz
