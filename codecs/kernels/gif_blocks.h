// Editing the block structure of a GIF file (no pixel decoding): marking
// one palette index of the first image transparent, or none, through its
// graphic control extension.  Used after an encoder that cannot write that
// extension itself.
#pragma once

#include <cstdint>
#include <vector>

namespace codecs {

// Sets the transparency flag and `index` (0..255) in the graphic control
// extension that precedes the first image, inserting a plain one (no
// delay, no disposal) when there is none; with a negative index the flag
// of an existing one is cleared instead.  False, with the bytes
// unchanged, when the file does not parse as a GIF up to its first image.
bool SetGifTransparentIndex(std::vector<uint8_t> &gif, int index);

}  // namespace codecs
