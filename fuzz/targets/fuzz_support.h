// Shared by the fuzz targets: a failed property aborts (libFuzzer keeps
// the input as a crash), and Touch reads every byte of a range so that
// AddressSanitizer sees a verdict that vouched for bytes which are not
// there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzing {

[[noreturn]] inline void Fail(const char *what, const char *file, int line) {
    std::fprintf(stderr, "fuzz property broken at %s:%d: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(cond) ((cond) ? (void)0 : ::fuzzing::Fail(#cond, __FILE__, __LINE__))

inline void Touch(const uint8_t *p, size_t n) {
    volatile uint8_t sink = 0;
    for (size_t i = 0; i < n; ++i) sink = static_cast<uint8_t>(sink + p[i]);
    (void)sink;
}

}  // namespace fuzzing
