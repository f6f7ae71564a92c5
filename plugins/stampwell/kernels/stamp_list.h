// Stampwell's stamps, one line each:
//     STAMPWELL_STAMP(Function, ordinal, picture strip, pictures)
//
// Everything that names the stamps comes from these lines: the kernel
// declarations (stamp_brushes.h), the exported entry points
// (src/entry_points.cpp), the .def the build writes (CMakeLists.txt reads
// the lines as text, so keep one per line) and the tests' list of exports.
// Stamp `Function` is exported as "Xi_Function" at `ordinal`, its
// descriptor row in stampwell.rc (IDs 2400 + ordinal - 1 name the export).
// The picture strip is a bitmap resource of `pictures` pictures of
// kPictureSide x kPictureSide stacked top to bottom; its mask strip is the
// resource after it (art/make_stamps.py draws both).
//
// No include guard: a user defines STAMPWELL_STAMP, includes this file and
// undefines it again.
STAMPWELL_STAMP(StampRFruitBrush, 1, 101, 5)      // apple, cherries, strawberry, orange, grapes
STAMPWELL_STAMP(StampLeafBrush, 2, 103, 4)        // green leaf, maple, ginkgo, clover
STAMPWELL_STAMP(StampShellBrush, 3, 105, 5)       // scallops, spiral shell, cone shell, clam
STAMPWELL_STAMP(StampButterflyBrush, 4, 107, 5)   // five butterflies
STAMPWELL_STAMP(StampStarBrush, 5, 109, 5)        // five stars, three of them smiling
