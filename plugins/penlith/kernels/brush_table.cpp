// The export names of the brushes Penlith implements.
#include <cstring>

#include "penlith_brushes.h"

namespace penlith {

const BrushEntry kBrushEntries[] = {
    {"Xi_NormalBrush", NormalBrush},
    {"Xi_MarkerBrush", MarkerBrush},
    {"Xi_TouchBrush", TouchBrush},
    {"Xi_CrayonBrush", CrayonBrush},
    {"Xi_PencilBrush", PencilBrush},
    {"Xi_SprayBrush", SprayBrush},
    {"Xi_SeuratBrush", SeuratBrush},
    {"Xi_PointillismBrush", PointillismBrush},
    {"Xi_RollerBrush", RollerBrush},
    {"Xi_PipeBrush", PipeBrush},
    {"Xi_RainbowBrush", RainbowBrush},
    {"Xi_FurBrush", FurBrush},
    {"Xi_BucketBrush", BucketBrush},
};
const size_t kBrushEntryCount = sizeof kBrushEntries / sizeof kBrushEntries[0];

BrushFunction FindBrush(const char *exportName) {
    if (!exportName) return nullptr;
    for (const BrushEntry &entry : kBrushEntries) {
        if (std::strcmp(entry.exportName, exportName) == 0) return entry.run;
    }
    return nullptr;
}

}  // namespace penlith
