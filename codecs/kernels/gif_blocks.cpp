#include "gif_blocks.h"

#include <cstring>

namespace codecs {
namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr size_t kHeaderBytes = 6;
constexpr size_t kScreenDescriptorBytes = 7;

// The offset just past the sub-blocks starting at `at` (ending with a
// zero-length block), or 0 when they run past the end.
size_t SkipSubBlocks(const std::vector<uint8_t> &gif, size_t at) {
    while (at < gif.size()) {
        const size_t length = gif[at];
        if (length == 0) return at + 1;
        at += 1 + length;
    }
    return 0;
}

}  // namespace

bool SetGifTransparentIndex(std::vector<uint8_t> &gif, int index) {
    if (index > 255) return false;
    if (gif.size() < kHeaderBytes + kScreenDescriptorBytes || std::memcmp(gif.data(), "GIF8", 4) != 0) {
        return false;
    }
    const uint8_t screenFlags = gif[kHeaderBytes + 4];
    size_t at = kHeaderBytes + kScreenDescriptorBytes;
    if (screenFlags & 0x80) at += 3u * (2u << (screenFlags & 0x07));
    size_t control = 0;  // offset of the last graphic control extension seen
    while (at < gif.size()) {
        if (gif[at] == kImageSeparator) {
            if (index < 0) {
                if (control) gif[control + 3] &= static_cast<uint8_t>(~0x01);
            } else if (control) {
                gif[control + 3] |= 0x01;
                gif[control + 6] = static_cast<uint8_t>(index);
            } else {
                const uint8_t block[] = {kExtensionIntroducer, kGraphicControlLabel, 4, 0x01, 0, 0,
                                         static_cast<uint8_t>(index), 0};
                gif.insert(gif.begin() + static_cast<std::ptrdiff_t>(at), block, block + sizeof block);
            }
            return true;
        }
        if (gif[at] != kExtensionIntroducer || at + 2 >= gif.size()) return false;
        if (gif[at + 1] == kGraphicControlLabel) {
            if (gif[at + 2] != 4 || at + 8 > gif.size()) return false;
            control = at;
        }
        at = SkipSubBlocks(gif, at + 2);
        if (!at) return false;
    }
    return false;
}

}  // namespace codecs
