// Penlith's textures in the sanitizer build: the bitmaps the plug-in
// carries as resources, read from the source tree (PENLITH_TEXTURE_DIR)
// and their RLE8 rows expanded here, bottom row first as the resource
// loader gives them.  Tests can make every texture missing.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "brush_textures.h"
#include "textures_native.h"

namespace penlith {

namespace {

bool g_missing = false;

uint32_t Le32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// The RLE8 rows of `data` into side x side bytes; false for a malformed
// stream (a run past the row or picture end).
bool ExpandRle8(const uint8_t *data, size_t size, uint8_t *pixels, int32_t side) {
    int32_t x = 0, y = 0;
    size_t i = 0;
    while (i + 1 < size) {
        const uint8_t count = data[i], value = data[i + 1];
        i += 2;
        if (count) {
            if (y >= side || x + count > side) return false;
            std::memset(pixels + static_cast<size_t>(y) * side + x, value, count);
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (i + 1 >= size) return false;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {
            if (y >= side || x + value > side || i + value > size) return false;
            std::memcpy(pixels + static_cast<size_t>(y) * side + x, data + i, value);
            x += value;
            i += value + (value & 1);
        }
    }
    return false;
}

}  // namespace

void SetTexturesMissing(bool missing) { g_missing = missing; }

bool LoadTexture(int32_t id, TextureBits *texture) {
    if (!texture) return false;
    *texture = TextureBits{};
    if (g_missing) return false;
    char path[1024];
    std::snprintf(path, sizeof path, "%s/texture%d.bmp", PENLITH_TEXTURE_DIR, static_cast<int>(id));
    std::FILE *file = std::fopen(path, "rb");
    if (!file) return false;
    std::vector<uint8_t> data;
    uint8_t chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) data.insert(data.end(), chunk, chunk + n);
    std::fclose(file);
    const int32_t side = TextureSide(id);
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t offset = Le32(&data[10]);
    const uint8_t *info = &data[14];
    if (static_cast<int32_t>(Le32(info + 4)) != side || static_cast<int32_t>(Le32(info + 8)) != side ||
        (info[14] | info[15] << 8) != 8 || Le32(info + 16) != 1 /* RLE8 */ || offset >= data.size()) {
        return false;
    }
    auto *pixels = static_cast<uint8_t *>(std::calloc(static_cast<size_t>(side) * side, 1));
    if (!pixels) return false;
    if (!ExpandRle8(&data[offset], data.size() - offset, pixels, side)) {
        std::free(pixels);
        return false;
    }
    texture->bits = pixels;
    texture->side = side;
    texture->bitmap = pixels;
    return true;
}

void ReleaseTexture(TextureBits *texture) {
    if (!texture) return;
    std::free(texture->bitmap);
    *texture = TextureBits{};
}

}  // namespace penlith
