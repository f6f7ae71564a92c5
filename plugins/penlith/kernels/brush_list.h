// Penlith's brushes, one line each: PENLITH_BRUSH(Function, ordinal).
//
// Everything that names the brushes comes from these lines: the kernel
// declarations and the brush table (penlith_brushes.h, brush_table.cpp),
// the exported entry points (src/entry_points.cpp), the .def the build
// writes (CMakeLists.txt reads the lines as text, so keep one per line)
// and the tests' list of exports.  Brush `Function` is exported as
// "Xi_Function" at `ordinal`: the descriptor row of the string table
// (IDs 2400 + ordinal - 1 in penlith.rc name the export) plus one, so the
// brushes still to come keep their places.  Ordinals above the 27 rows are
// exports that no descriptor offers.
//
// Adding a brush: one line here, its kernel file, and its row in penlith.rc.
//
// No include guard: a user defines PENLITH_BRUSH, includes this file and
// undefines it again.
PENLITH_BRUSH(NormalBrush, 1)        // airbrush: soft raised-cosine tip, one jittered colour
PENLITH_BRUSH(SprayBrush, 2)         // spray brush: 12 masks of loose dots in a disc
PENLITH_BRUSH(MarkerBrush, 3)        // marker: flat core of half the radius, soft rim
PENLITH_BRUSH(RollerBrush, 4)        // roller: flat tip, one opacity at most per stroke
PENLITH_BRUSH(CrayonBrush, 5)        // crayon: 12 speckled, blurred masks cut to a disc
PENLITH_BRUSH(PencilBrush, 6)        // pencil: 10 to 28 thinned speckle masks
PENLITH_BRUSH(WaterColorBrush, 7)    // watercolour: 8 ragged masks in turn, mixes with the canvas
PENLITH_BRUSH(OilBrush, 8)           // oil: cubic tip, carried paint over a relief turned with the stroke
PENLITH_BRUSH(PipeBrush, 9)          // pipe: round tip lit from the top left, a tube
PENLITH_BRUSH(PointillismBrush, 10)  // stippling: one small dot a dab, each its own colour
PENLITH_BRUSH(SeuratBrush, 11)       // art brush: soft tip, 64-colour palette per stroke
PENLITH_BRUSH(RainbowBrush, 12)      // rainbow: soft tip walking round the hue circle
PENLITH_BRUSH(TouchBrush, 13)        // finger: smears the colour under the stroke
PENLITH_BRUSH(IndiaInkBrush, 14)     // India ink: 12 haired soft masks, ink thinned a sixteenth a dab
PENLITH_BRUSH(CrossHatchBrush, 15)   // vertical cross: hatching texture at 35 down to -10 degrees
PENLITH_BRUSH(RippleBrush, 16)       // horizontal cross: hatching texture at 110 down to 65 degrees
PENLITH_BRUSH(CrossHatchingBrush, 17)  // cross along the stroke: 32 turns, chosen by direction
PENLITH_BRUSH(ImpressionistBrush, 18)  // impressionist: short stroke texture at 10 angles
PENLITH_BRUSH(CloudBrush, 19)        // cloud: 12 turned puffs, shaded light to dark
PENLITH_BRUSH(WaterColorDashBrush, 20)  // flat watercolour: pooled tip over a fixed paper grain
PENLITH_BRUSH(ChalkBrush, 21)        // chalk: flat tip, paper grain thins and shades the colour
PENLITH_BRUSH(DryBrush, 22)          // dry brush: 5 turned bristle marks, strength per dab
PENLITH_BRUSH(PastelBrush, 23)       // pastel: 3 turned mottled blobs, paper grain tints
PENLITH_BRUSH(OilyPenBrush, 24)      // oily pen: turned nib, ink takes away from what lies under it
PENLITH_BRUSH(FountainPenBrush, 25)  // fountain pen: 10 discs, wider as the ink pools when slow
PENLITH_BRUSH(SumieBrush, 26)        // ink wash: bristle marks fading as the stroke's ink runs out
PENLITH_BRUSH(BucketBrush, 27)       // paint bucket: one flood fill a stroke (bucket_fill.h)
PENLITH_BRUSH(FurBrush, 28)          // fur: random speckled tip; no descriptor row
