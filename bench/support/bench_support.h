// Benchmarks print one line per figure, "name value unit", after a header
// naming the machine and the date.  Figures are ratios against a reference
// measured in the same process wherever possible, because absolute times
// drift on shared machines.
#pragma once

#include <string>

namespace pintora_bench {

// "# <benchmark> <date> <cpu> <system>"
void PrintHeader(const std::string &benchmark);
// "name value unit"
void Report(const std::string &name, double value, const std::string &unit);
// Seconds on the performance counter.
double Now();
// The smallest time of `repeats` runs of f, in seconds.
template <typename F>
double BestOf(int repeats, F &&f) {
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const double start = Now();
        f();
        const double t = Now() - start;
        if (t < best) best = t;
    }
    return best;
}

}  // namespace pintora_bench
