#include "logical_palette.h"

namespace pintora {
namespace {

constexpr PaletteColor Rgb(uint32_t rgb) {
    return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), 0};
}

constexpr uint32_t kFirstStatic[10] = {0x000000, 0xbf0000, 0x00bf00, 0xbfbf00, 0x0000bf,
                                       0xbf00bf, 0x00bfbf, 0xc0c0c0, 0xc0dcc0, 0xa4c8f0};
constexpr uint32_t kGreys[7] = {0x555555, 0x777777, 0x888888, 0xaaaaaa, 0xbbbbbb, 0xdddddd, 0xeeeeee};
// The tints repeat two colours (e14b19, e17d7d); the table keeps them so
// that every later entry stays at its index.
constexpr uint32_t kTints[21] = {0xe14b19, 0xe14b4b, 0xe14b19, 0xe14baf, 0xe14be1, 0xe17d00, 0xe17de1,
                                 0xe17d4b, 0xe17d7d, 0xe17daf, 0xe17d7d, 0xe1af00, 0xe1af19, 0xe1af4b,
                                 0xe1af7d, 0xe1afaf, 0xe1afe1, 0xe1e119, 0xe1e14b, 0xe1e17d, 0xe1e1af};
constexpr uint32_t kLastStatic[10] = {0xfffbf0, 0xa0a0a4, 0x808080, 0xff0000, 0x00ff00,
                                      0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};

// A cube corner whose every channel is 00 or ff: those eight colours are
// already among the static colours.
constexpr bool IsCubeCorner(int r, int g, int b) {
    return (r == 0 || r == 5) && (g == 0 || g == 5) && (b == 0 || b == 5);
}

constexpr std::array<PaletteColor, 256> BuildTable() {
    std::array<PaletteColor, 256> t{};
    int n = 0;
    for (uint32_t c : kFirstStatic) t[n++] = Rgb(c);
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                if (IsCubeCorner(r, g, b)) continue;
                t[n++] = {static_cast<uint8_t>(r * 0x33), static_cast<uint8_t>(g * 0x33),
                          static_cast<uint8_t>(b * 0x33), 0};
            }
        }
    }
    for (uint32_t c : kGreys) t[n++] = Rgb(c);
    for (uint32_t c : kTints) t[n++] = Rgb(c);
    for (uint32_t c : kLastStatic) t[n++] = Rgb(c);
    for (int i = 10; i <= 42; i += 4) t[i].flags = kPaletteNoCollapse;
    return t;
}

constexpr std::array<PaletteColor, 256> kTable = BuildTable();
static_assert(kTable[217].red == 0xff && kTable[217].green == 0xff && kTable[217].blue == 0xcc,
              "the cube ends at index 217");
static_assert(kTable[255].red == 0xff && kTable[255].green == 0xff && kTable[255].blue == 0xff,
              "the table ends with white");

}  // namespace

const std::array<PaletteColor, 256> &LogicalPaletteTable() { return kTable; }

}  // namespace pintora
