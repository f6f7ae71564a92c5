// Checking a device-independent bitmap taken from the clipboard before it
// becomes the canvas picture.  Anything on the clipboard comes from other
// programs and may be malformed: the header is trusted only after every
// size it implies is known to lie inside the block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pintora {

// True when `block` (the locked CF_DIB memory, `blockBytes` long) holds a
// 40-byte info header of exactly screenWidth x screenHeight, stored
// bottom-up, with one plane, a bit count and compression the system's DIB
// conversion handles (1, 4, 8, 16, 24 or 32 bits uncompressed; 16 or 32
// with bit fields; run-length 8 or 4 bits), a colour count no larger than
// the bit count allows, and the whole colour table and pixel data inside
// the block.
bool IsScreenSizeDib(const void *block, size_t blockBytes, int32_t screenWidth, int32_t screenHeight);

}  // namespace pintora
