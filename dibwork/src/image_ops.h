// Helpers shared by the image operations (copying, converting, scaling,
// display, cut-out, masks, rotation): size checks of pictures, owned
// picture handles and the system's DIB conversion.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "dib_convert.h"
#include "dibwork_internal.h"

namespace dibwork {

// Width, height and image size (stride x rows) of a picture whose header
// and bits came from GetMetaBitmapInfoHeader.  For a DIB the block must
// also hold all the rows; a DIB section always does.
struct Geometry {
    int32_t width;
    int32_t height;     // as stored
    uint32_t bitCount;
    uint32_t imageBytes;
};
std::optional<Geometry> GeometryOf(HGLOBAL dib, const BITMAPINFOHEADER *header, const uint8_t *bits);
inline std::optional<Geometry> GeometryOf(HGLOBAL dib, const MetaPicture &p) {
    return p ? GeometryOf(dib, p.header(), p.bits()) : std::nullopt;
}

// The bits of a DIB section when it holds at least `bytes` of them.
uint8_t *SectionBits(HBITMAP bitmap, uint32_t bytes);

// A picture made on a path that may still fail: freed with the owner unless
// released to the caller.
class OwnedPicture {
public:
    OwnedPicture() = default;
    explicit OwnedPicture(HGLOBAL dib) : dib_(dib) {}
    explicit OwnedPicture(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~OwnedPicture() { Reset(); }
    OwnedPicture(const OwnedPicture &) = delete;
    OwnedPicture &operator=(const OwnedPicture &) = delete;
    OwnedPicture(OwnedPicture &&o) noexcept : dib_(o.ReleaseDib()), bitmap_(o.ReleaseBitmap()) {}
    OwnedPicture &operator=(OwnedPicture &&o) noexcept {
        if (this != &o) {
            Reset();
            dib_ = o.ReleaseDib();
            bitmap_ = o.ReleaseBitmap();
        }
        return *this;
    }

    HGLOBAL dib() const { return dib_; }
    HBITMAP bitmap() const { return bitmap_; }
    explicit operator bool() const { return dib_ || bitmap_; }
    HGLOBAL ReleaseDib() { HGLOBAL h = dib_; dib_ = nullptr; return h; }
    HBITMAP ReleaseBitmap() { HBITMAP h = bitmap_; bitmap_ = nullptr; return h; }
    void Reset();

private:
    HGLOBAL dib_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

// Lets the system convert source rows (any format it knows, compressed
// included) into a DIB section: SetDIBits over all rows on a
// screen-compatible memory DC.  The caller has checked that the source
// bits hold what the header announces.
bool SystemConvertInto(HBITMAP section, const BITMAPINFO *sourceInfo, const void *sourceBits);

// True when a DIB block (locked at `header`, `blockBytes` long) holds the
// pixel data its header announces; run-length data must also stay inside
// its rows.  Only such sources are handed to the system's conversion.
bool DibSourceIsSound(const BITMAPINFOHEADER *header, SIZE_T blockBytes);

// A rectangle with left <= right and top <= bottom.
RECT NormalisedRect(const RECT &r);

// Module state of the display helpers, torn down when the library unloads.
void ShutdownDisplay();

}  // namespace dibwork
