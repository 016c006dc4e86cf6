// Property checks inside the fuzzers: a failed check aborts, which libFuzzer
// reports as a crash together with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

inline bool IsReaderResult(int r) {
    return r == 0 || r == 2 || r == 3 || r == 4 || r == 7;
}
