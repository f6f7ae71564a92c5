// The grey-scale textures Penlith carries as bitmap resources (drawn by
// textures/make_textures.py) and their loading for a tip.  A brush loads a
// texture on select, builds its masks from it (brush::RotateTexture, or a
// plain copy of a 64 x 64 paper grain) and releases it again before it
// returns, on every path.
//
// Loading is a platform service: src/textures_win32.cpp loads the resource
// through the image library, native/textures_native.cpp reads the same
// bitmaps from the source tree for the sanitizer build.
#pragma once

#include <cstdint>

namespace penlith {

// Texture ids: 128 x 128 tips and reliefs, 64 x 64 paper grains.
enum TextureId : int32_t {
    kTextureHatching = 101,
    kTextureImpressionist = 102,
    kTextureOilReliefA = 103,
    kTextureOilReliefB = 104,
    kTextureCloudFirst = 105,  // 105..108
    kTextureBristleMarks = 111,
    kTexturePastel = 112,
    kTextureNib = 113,
    kTextureWatercolourPaper = 201,
    kTextureFinePaper = 202,
};
constexpr int32_t kTipTextureSide = 128;
constexpr int32_t kGrainTextureSide = 64;
constexpr int32_t kGrainBytes = kGrainTextureSide * kGrainTextureSide;

// The side of a texture id (128 or 64).
constexpr int32_t TextureSide(int32_t id) { return id >= 200 ? kGrainTextureSide : kTipTextureSide; }

// A loaded texture: side x side grey levels, `side` bytes a row, rows in
// the bitmap's own order (bottom row first).  The handles are the
// platform's, for the release.
struct TextureBits {
    const uint8_t *bits = nullptr;
    int32_t side = 0;
    void *bitmap = nullptr;
    void *header = nullptr;
};

// Loads texture `id`.  True with `bits` set when the bitmap could be loaded
// and read and is an 8-bit square of TextureSide(id), bottom-up; false
// otherwise, with whatever was loaded released again.
bool LoadTexture(int32_t id, TextureBits *texture);
// Releases a texture of LoadTexture (its bits and the bitmap) and clears
// it; a cleared texture is ignored.
void ReleaseTexture(TextureBits *texture);

// A texture held for the length of a tip build and released on every way
// out of it.
class HeldTexture {
public:
    explicit HeldTexture(int32_t id) { loaded_ = LoadTexture(id, &texture_); }
    ~HeldTexture() { ReleaseTexture(&texture_); }
    HeldTexture(const HeldTexture &) = delete;
    HeldTexture &operator=(const HeldTexture &) = delete;
    explicit operator bool() const { return loaded_; }
    const uint8_t *bits() const { return texture_.bits; }
    int32_t side() const { return texture_.side; }

private:
    TextureBits texture_;
    bool loaded_ = false;
};

}  // namespace penlith
