// Dibwork bound the way its callers bind it: every export by its ordinal.
// The member of each export has the name and type the public header
// declares, so a test reads like a caller.
#pragma once

#include <windows.h>

#include "dibwork.h"
#include "test_support.h"

struct DibworkBinding {
    HMODULE module = nullptr;
#define PINTORA_DECLARE_EXPORT(ordinal, name) decltype(&::name) name = nullptr;
    DIBWORK_EXPORTS(PINTORA_DECLARE_EXPORT)
#undef PINTORA_DECLARE_EXPORT

    DibworkBinding() {
        module = pintora_test::LoadProductLibrary(L"Dibwork.dll");
        if (!module) return;
#define PINTORA_BIND_EXPORT(ordinal, name) \
    name = pintora_test::Ordinal<decltype(&::name)>(module, ordinal);
        DIBWORK_EXPORTS(PINTORA_BIND_EXPORT)
#undef PINTORA_BIND_EXPORT
    }
    ~DibworkBinding() {
        if (module) FreeLibrary(module);
    }
    DibworkBinding(const DibworkBinding &) = delete;
    DibworkBinding &operator=(const DibworkBinding &) = delete;
};

// One binding for the whole test executable (the library stays loaded).
inline DibworkBinding &Dw() {
    static DibworkBinding binding;
    return binding;
}
