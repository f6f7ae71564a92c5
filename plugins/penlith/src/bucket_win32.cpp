// The paint bucket's Windows side: the match mask is a one-bit DIBitmap of
// Dibwork (black = 0, white = 1), the connected part is taken with GDI's
// border flood fill and "destination AND NOT source", the growth with four
// "destination OR source" transfers, and the wait cursor is shown while a
// fill runs.
#include <windows.h>

#include <new>

#include "bucket_fill.h"
#include "dibwork.h"
#include "win32/win32_owners.h"

namespace penlith::bucket {

namespace {

// Runs of marked pixels above which the connected part is taken by the
// plug-in's own scanline fill instead of ExtFloodFill.  Some
// implementations of the border flood fill recurse once per run of the
// area (Wine's does: a 200 x 200 serpentine of one-pixel corridors, 20 000
// runs, overflows a 2 MB stack), so only areas whose runs fit comfortably
// on any thread's stack go to the platform.  Both give the same area.
constexpr uint64_t kPlatformFloodRunLimit = 2048;

constexpr DWORD kDestinationAndNotSource = 0x00220326;

// A memory DC with one bitmap selected, restored and deleted on leaving;
// get() is NULL when either step failed.
class BitmapDC {
public:
    explicit BitmapDC(HBITMAP bitmap) : selected_(dc_.get(), bitmap) {}
    HDC get() const { return selected_.ok() ? dc_.get() : nullptr; }

private:
    pintora::MemoryDC dc_;  // declared first: deleted after the bitmap is deselected
    pintora::SelectGuard selected_;
};

class DibworkMaskPicture final : public MaskPicture {
public:
    // Takes a cleared one-bit DIBitmap and its bits.
    DibworkMaskPicture(HBITMAP bitmap, BITMAPINFOHEADER *header, BYTE *bits) : bitmap_(bitmap), header_(header) {
        mask_.bits = bits;
        mask_.width = header->biWidth;
        mask_.height = header->biHeight;
        mask_.rowBytes = GetBitmapWidthBytes(header);
    }
    ~DibworkMaskPicture() override {
        ReleaseMetaBitmapInfoHeader(nullptr, bitmap_, header_);
        FreeDIBitmap(&bitmap_);
        if (copy_) FreeDIBitmap(&copy_);
    }
    DibworkMaskPicture(const DibworkMaskPicture &) = delete;
    DibworkMaskPicture &operator=(const DibworkMaskPicture &) = delete;

    const MonoMask &Mask() const override { return mask_; }

    // The seed's pixels are white (1) in a copy; flooding the copy black
    // from the seed up to the black border clears exactly the area there,
    // and mask AND NOT copy keeps exactly the area.
    bool KeepConnectedPart(int32_t x, int32_t memoryRow, const Band &band) override {
        if (band.runs > kPlatformFloodRunLimit) return bucket::KeepConnectedPart(mask_, x, memoryRow, band);
        if (!MakeCopy()) return false;
        BOOL filled = FALSE;
        {
            BitmapDC copy(copy_);
            if (!copy.get()) return false;
            {
                const pintora::SelectGuard black(copy.get(), GetStockObject(BLACK_BRUSH));
                filled = ExtFloodFill(copy.get(), x, mask_.height - 1 - memoryRow, RGB(0, 0, 0), FLOODFILLBORDER);
            }
            if (filled) {
                BitmapDC mask(bitmap_);
                if (!mask.get()) return false;
                BitBlt(mask.get(), 0, 0, mask_.width, mask_.height, copy.get(), 0, 0, kDestinationAndNotSource);
            }
        }
        GdiFlush();
        // A fill the platform could not complete is taken again by the
        // plug-in; the mask itself is still as the band scans left it.
        return filled ? true : bucket::KeepConnectedPart(mask_, x, memoryRow, band);
    }

    bool GrowDiagonally() override {
        if (mask_.width < 2 || mask_.height < 2) return true;  // no pixel has a diagonal neighbour
        if (!MakeCopy()) return false;
        {
            BitmapDC mask(bitmap_), copy(copy_);
            if (!mask.get() || !copy.get()) return false;
            const int w = mask_.width - 1, h = mask_.height - 1;
            BitBlt(mask.get(), 0, 0, w, h, copy.get(), 1, 1, SRCPAINT);
            BitBlt(mask.get(), 1, 0, w, h, copy.get(), 0, 1, SRCPAINT);
            BitBlt(mask.get(), 0, 1, w, h, copy.get(), 1, 0, SRCPAINT);
            BitBlt(mask.get(), 1, 1, w, h, copy.get(), 0, 0, SRCPAINT);
        }
        GdiFlush();
        return true;
    }

private:
    // copy := mask, made on first use.
    bool MakeCopy() {
        GdiFlush();
        if (!copy_) {
            copy_ = CopyDIBitmap(bitmap_);
            return copy_ != nullptr;
        }
        BitmapDC mask(bitmap_), copy(copy_);
        if (!mask.get() || !copy.get()) return false;
        return BitBlt(copy.get(), 0, 0, mask_.width, mask_.height, mask.get(), 0, 0, SRCCOPY) != FALSE;
    }

    HBITMAP bitmap_;
    BITMAPINFOHEADER *header_;
    HBITMAP copy_ = nullptr;
    MonoMask mask_;
};

}  // namespace

std::unique_ptr<MaskPicture> MakeMaskPicture(int32_t width, int32_t height) {
    HBITMAP bitmap = MakeBlankMonoDIBitmap(width, height);
    if (!bitmap) return nullptr;
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = nullptr;
    if (MetaDIBFillBlack(nullptr, bitmap)) bits = GetMetaBitmapInfoHeader(nullptr, bitmap, &header);
    GdiFlush();
    if (!bits || !header || header->biBitCount != 1 || header->biWidth != width || header->biHeight != height) {
        if (bits) ReleaseMetaBitmapInfoHeader(nullptr, bitmap, header);
        FreeDIBitmap(&bitmap);
        return nullptr;
    }
    auto *picture = new (std::nothrow) DibworkMaskPicture(bitmap, header, bits);
    if (!picture) {
        ReleaseMetaBitmapInfoHeader(nullptr, bitmap, header);
        FreeDIBitmap(&bitmap);
    }
    return std::unique_ptr<MaskPicture>(picture);
}

void *ShowWaitCursor() {
    return SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
}

void RestoreCursor(void *previous) { SetCursor(static_cast<HCURSOR>(previous)); }

}  // namespace penlith::bucket
