// The brushes of Penlith as plain functions over a PlugInBrushContext,
// without <windows.h>: the exported entry points (src/entry_points.cpp)
// call them, and the sanitizer build links them into the brush tests
// directly.  Each brush follows the engine's command skeleton
// (brush::RunBrush); the files of this folder hold one brush family each.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/brush_plugin.h"

namespace penlith {

using BrushFunction = int32_t (*)(PlugInBrushContext *ctx);

// Airbrush ("エアブラシ"): soft raised-cosine tip, one jittered colour.
int32_t NormalBrush(PlugInBrushContext *ctx);
// Marker ("マーカー"): flat core of half the radius with a soft rim.
int32_t MarkerBrush(PlugInBrushContext *ctx);
// Finger ("指"): soft tip that smears the colour found under the stroke.
int32_t TouchBrush(PlugInBrushContext *ctx);
// Crayon ("クレヨン"): 12 speckled, blurred masks cut to a disc.
int32_t CrayonBrush(PlugInBrushContext *ctx);
// Pencil ("鉛筆"): 10 to 28 thinned speckle masks, 2 x 2 at the thinnest.
int32_t PencilBrush(PlugInBrushContext *ctx);
// Spray brush ("スプレーブラシ"): 12 masks of loose dots in a disc.
int32_t SprayBrush(PlugInBrushContext *ctx);
// Art brush ("アートブラシ"): soft tip, every pixel from a 64-colour
// palette drawn at the stroke start.
int32_t SeuratBrush(PlugInBrushContext *ctx);
// Stippling ("点描"): one small dot per dab, each in a colour of its own.
int32_t PointillismBrush(PlugInBrushContext *ctx);
// Roller ("ローラー"): flat tip that never builds up beyond one opacity
// within a stroke (a per-stroke coverage map of the canvas).
int32_t RollerBrush(PlugInBrushContext *ctx);
// Pipe ("パイプ"): round tip shaded by a light from the top left, a tube.
int32_t PipeBrush(PlugInBrushContext *ctx);
// Rainbow ("虹色"): soft tip whose colour walks round the hue circle.
int32_t RainbowBrush(PlugInBrushContext *ctx);
// Fur: a random speckled tip made on every selection.  No descriptor row
// offers it; it is reachable only by its export.
int32_t FurBrush(PlugInBrushContext *ctx);
// Paint bucket ("バケツ"): one flood fill per stroke at its start point
// (bucket_fill.h).
int32_t BucketBrush(PlugInBrushContext *ctx);

// The brushes implemented so far, by the export name the string table
// gives (ID 2400 + i).  The entry points of the other descriptors come with
// their brushes; until then the brush manager skips those descriptors
// because their export cannot be resolved.
struct BrushEntry {
    const char *exportName;
    BrushFunction run;
};
extern const BrushEntry kBrushEntries[];
extern const size_t kBrushEntryCount;

// The brush of an export name, or NULL.
BrushFunction FindBrush(const char *exportName);

}  // namespace penlith
