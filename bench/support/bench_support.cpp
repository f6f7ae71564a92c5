#include "bench_support.h"

#include <windows.h>
#include <cpuid.h>

#include <cstdio>
#include <cstring>

namespace pintora_bench {

namespace {

std::string CpuName() {
    unsigned regs[12] = {};
    unsigned max = __get_cpuid_max(0x80000000u, nullptr);
    if (max < 0x80000004u) return "unknown-cpu";
    for (unsigned i = 0; i < 3; ++i) {
        __get_cpuid(0x80000002u + i, &regs[4 * i], &regs[4 * i + 1], &regs[4 * i + 2], &regs[4 * i + 3]);
    }
    char name[49] = {};
    std::memcpy(name, regs, 48);
    std::string s(name);
    for (char &c : s) if (c == ' ') c = '_';
    while (!s.empty() && s.front() == '_') s.erase(s.begin());
    return s;
}

std::string SystemName() {
    using WineVersion = const char *(__cdecl *)();
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto wine = reinterpret_cast<WineVersion>(
        reinterpret_cast<void *>(GetProcAddress(ntdll, "wine_get_version")));
    if (wine) return std::string("wine-") + wine();
    return "windows";
}

}  // namespace

void PrintHeader(const std::string &benchmark) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::printf("# %s %04u-%02u-%02u %s %s\n", benchmark.c_str(), t.wYear, t.wMonth, t.wDay,
                CpuName().c_str(), SystemName().c_str());
    std::fflush(stdout);
}

void Report(const std::string &name, double value, const std::string &unit) {
    std::printf("%s %.4g %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / frequency;
}

}  // namespace pintora_bench
