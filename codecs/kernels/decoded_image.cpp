#include "decoded_image.h"

namespace codecs {

std::optional<DecodedImage> AllocateDecoded(int64_t width, int64_t height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels) return std::nullopt;
    DecodedImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.bgr.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
    return image;
}

}  // namespace codecs
