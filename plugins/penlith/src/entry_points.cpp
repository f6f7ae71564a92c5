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

int32_t PLUGIN_CALL Xi_CrayonBrush(PlugInBrushContext *ctx) {
    return Run(penlith::CrayonBrush, ctx);
}

int32_t PLUGIN_CALL Xi_PencilBrush(PlugInBrushContext *ctx) {
    return Run(penlith::PencilBrush, ctx);
}

int32_t PLUGIN_CALL Xi_SprayBrush(PlugInBrushContext *ctx) {
    return Run(penlith::SprayBrush, ctx);
}

int32_t PLUGIN_CALL Xi_SeuratBrush(PlugInBrushContext *ctx) {
    return Run(penlith::SeuratBrush, ctx);
}

int32_t PLUGIN_CALL Xi_PointillismBrush(PlugInBrushContext *ctx) {
    return Run(penlith::PointillismBrush, ctx);
}

int32_t PLUGIN_CALL Xi_RollerBrush(PlugInBrushContext *ctx) {
    return Run(penlith::RollerBrush, ctx);
}

int32_t PLUGIN_CALL Xi_PipeBrush(PlugInBrushContext *ctx) {
    return Run(penlith::PipeBrush, ctx);
}

int32_t PLUGIN_CALL Xi_RainbowBrush(PlugInBrushContext *ctx) {
    return Run(penlith::RainbowBrush, ctx);
}

int32_t PLUGIN_CALL Xi_FurBrush(PlugInBrushContext *ctx) {
    return Run(penlith::FurBrush, ctx);
}

int32_t PLUGIN_CALL Xi_BucketBrush(PlugInBrushContext *ctx) {
    return Run(penlith::BucketBrush, ctx);
}

}  // extern "C"
