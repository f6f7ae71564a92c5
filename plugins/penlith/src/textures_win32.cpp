// Penlith's textures from its own bitmap resources: LoadImageDIBitmap gives
// a DIB section of the resource (the RLE8 bitmap expanded to one byte a
// pixel), GetMetaBitmapInfoHeader its header and bits; the release gives
// the header back and deletes the bitmap.
#include <windows.h>

#include "brush_textures.h"
#include "dibwork.h"
#include "plugin_module.h"

namespace penlith {

bool LoadTexture(int32_t id, TextureBits *texture) {
    if (!texture) return false;
    *texture = TextureBits{};
    HBITMAP bitmap = LoadImageDIBitmap(brush::PlugInHandle(), MAKEINTRESOURCEA(id), LR_CREATEDIBSECTION);
    if (!bitmap) return false;
    texture->bitmap = bitmap;
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = GetMetaBitmapInfoHeader(nullptr, bitmap, &header);
    if (!bits || !header) {
        ReleaseTexture(texture);
        return false;
    }
    texture->header = header;
    // Rows of exactly `side` bytes, bottom row first: anything else would
    // be read with the wrong layout.
    const int32_t side = TextureSide(id);
    if (header->biBitCount != 8 || header->biWidth != side || header->biHeight != side ||
        header->biCompression != BI_RGB) {
        ReleaseTexture(texture);
        return false;
    }
    texture->bits = bits;
    texture->side = side;
    return true;
}

void ReleaseTexture(TextureBits *texture) {
    if (!texture) return;
    auto bitmap = static_cast<HBITMAP>(texture->bitmap);
    if (texture->header) {
        ReleaseMetaBitmapInfoHeader(nullptr, bitmap, static_cast<BITMAPINFOHEADER *>(texture->header));
    }
    if (bitmap) DeleteObject(bitmap);
    *texture = TextureBits{};
}

}  // namespace penlith
