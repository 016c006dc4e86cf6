// Property checks inside the fuzzers: a failed check aborts, which libFuzzer
// reports as a crash together with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// Writing back what was read never makes a file much larger than it was:
// escaping and the six-decimal numbers expand a few bytes each, nothing
// multiplies entries or offsets.
inline bool WrittenSizeIsBounded(std::string_view input, std::string_view written) {
    return written.size() <= 8 * input.size() + 256;
}

#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

inline bool IsReaderResult(int r) {
    return r == 0 || r == 2 || r == 3 || r == 4 || r == 5 || r == 7;
}
