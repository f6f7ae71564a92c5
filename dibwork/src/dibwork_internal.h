// Shared helpers inside Dibwork: header access and the MetaDIB guard, with
// the owners of win32_owners.h for global blocks and memory DCs, so that
// every exported function releases what it took on every path.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dib_format.h"
#include "pixel_view.h"
#include "win32/win32_owners.h"

namespace dibwork {

using namespace dibformat;

// The layout fields of a BITMAPINFOHEADER in memory we own (the caller
// vouches for the header form it announces).
inline DibHeaderFields Fields(const BITMAPINFOHEADER *h) { return ReadDibHeaderFields(h); }

using pintora::GlobalLockGuard;
using pintora::MemoryDC;
using pintora::OwnedGlobal;
using pintora::SelectGuard;

// Header and bits of a MetaDIB pair (GetMetaBitmapInfoHeader) for the
// guard's life; the view describes the pixels.
class MetaPicture {
public:
    MetaPicture(HGLOBAL dib, HBITMAP bitmap);
    ~MetaPicture();
    MetaPicture(const MetaPicture &) = delete;
    MetaPicture &operator=(const MetaPicture &) = delete;

    explicit operator bool() const { return bits_ != nullptr; }
    BITMAPINFOHEADER *header() const { return header_; }
    BITMAPINFO *info() const { return reinterpret_cast<BITMAPINFO *>(header_); }
    uint8_t *bits() const { return bits_; }
    // Pixel view of an uncompressed bottom-up picture; bits is NULL when
    // the header does not describe one.
    PixelView view() const;

private:
    HGLOBAL dib_;
    HBITMAP bitmap_;
    BITMAPINFOHEADER *header_ = nullptr;
    uint8_t *bits_ = nullptr;
};

// Module state torn down when the library unloads.
void ShutdownUtilities();
// Unregisters the tips chip's class wherever this library registered it.
void ShutdownTipsChips();

}  // namespace dibwork
