// The exported brush entry points of Penlith.brs, named as the string
// table's IDs 2400 + i give them.  Each takes the manager's context and
// returns the brush's result; no C++ exception leaves an entry point.
#include <windows.h>

#include "penlith_brushes.h"

namespace {

int32_t Run(penlith::BrushFunction brush, PlugInBrushContext *ctx) noexcept {
    try {
        return brush(ctx);
    } catch (...) {
        return 0;
    }
}

}  // namespace

extern "C" {

int32_t PLUGIN_CALL Xi_NormalBrush(PlugInBrushContext *ctx) {
    return Run(penlith::NormalBrush, ctx);
}

int32_t PLUGIN_CALL Xi_MarkerBrush(PlugInBrushContext *ctx) {
    return Run(penlith::MarkerBrush, ctx);
}

int32_t PLUGIN_CALL Xi_TouchBrush(PlugInBrushContext *ctx) {
    return Run(penlith::TouchBrush, ctx);
}

}  // extern "C"
