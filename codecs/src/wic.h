// Decoding and encoding through the platform's Windows Imaging Component.
// Each call initialises COM for itself on the calling thread (and undoes
// that), so the codec library can be loaded and freed around every call.
#pragma once

#include <windows.h>

#include <optional>

#include "decoded_image.h"
#include "picture_handles.h"

namespace codecs {

// Any format the component decodes; the first frame, converted to 24 bits.
std::optional<DecodedImage> WicDecode(LPCSTR path);

enum class WicContainer { kJpeg, kPng, kTiff };

// Writes 24-bit pixels; quality (0..1) applies to JPEG.  A failed write
// removes the partial file.
bool WicEncode24(LPCSTR path, WicContainer container, const DecodedImage &image, float quality = 0.9f);

// Writes an indexed GIF with the picture's colour table; transparentIndex
// below 0 writes no transparent colour.
bool WicEncodeGif(LPCSTR path, const IndexedPixels &image, int transparentIndex);

}  // namespace codecs
