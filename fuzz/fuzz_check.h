#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep; a broken one stops the run with the
// reason, so the fuzzer keeps the input as a crash.
inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", property);
    std::abort();
}
