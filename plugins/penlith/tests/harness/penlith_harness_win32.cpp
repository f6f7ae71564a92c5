// Penlith's entry points under Wine: the plug-in is loaded from the
// product folder once for the test process and each brush is resolved by
// its export name with GetProcAddress, as the brush manager does.
#include <windows.h>

#include "penlith_harness.h"
#include "test_support.h"

namespace penlith_test {

namespace {

HMODULE Plugin() {
    static const HMODULE module = pintora_test::LoadProductLibrary(L"Penlith.brs");
    return module;
}

}  // namespace

BrushHarness::Entry PenlithEntry(const char *exportName) {
    const HMODULE module = Plugin();
    if (!module) return {};
    const auto proc = reinterpret_cast<PlugInBrushProc>(
        reinterpret_cast<void *>(GetProcAddress(module, exportName)));
    if (!proc) return {};
    return [proc](PlugInBrushContext *ctx) { return proc(ctx); };
}

}  // namespace penlith_test
