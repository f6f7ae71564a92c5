// Metafiles (enhanced .emf, Windows .wmf with or without the placeable
// header) played by GDI onto a white 24-bit picture.
#pragma once

#include <windows.h>

#include <optional>

#include "decoded_image.h"

namespace codecs {

// width, height <= 0: the size of the metafile's frame at the screen's
// resolution.
std::optional<DecodedImage> RenderMetafile(LPCSTR path, int width, int height);

}  // namespace codecs
