// The exported brush entry points of Penlith.brs, one for each line of
// brush_list.h, named "Xi_" + the brush function as the string table's
// IDs 2400 + i give them.  Each takes the manager's context and returns the
// brush's result over the module's one engine state; no C++ exception
// leaves an entry point.
#include <windows.h>

#include "brush_platform.h"
#include "penlith_brushes.h"

namespace {

int32_t Run(penlith::BrushFunction brush, PlugInBrushContext *ctx) noexcept {
    try {
        return brush(brush::ModuleEngine(), ctx);
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" {

#define PENLITH_BRUSH(name, ordinal) \
    int32_t PLUGIN_CALL Xi_##name(PlugInBrushContext *ctx) { return Run(penlith::name, ctx); }
#include "brush_list.h"
#undef PENLITH_BRUSH

}  // extern "C"
