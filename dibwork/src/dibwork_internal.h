// Shared helpers inside Dibwork: RAII guards for global blocks, header
// access and memory DCs, so that every exported function releases what it
// took on every path.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dib_layout.h"
#include "pixel_view.h"

namespace dibwork {

// The layout fields of a BITMAPINFOHEADER in memory we own (the caller
// vouches for the header form it announces).
inline DibHeaderFields Fields(const BITMAPINFOHEADER *h) { return ReadDibHeaderFields(h); }

// A global block locked for the guard's life.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL h) : handle_(h), ptr_(h ? GlobalLock(h) : nullptr) {}
    ~GlobalLockGuard() { if (ptr_) GlobalUnlock(handle_); }
    GlobalLockGuard(const GlobalLockGuard &) = delete;
    GlobalLockGuard &operator=(const GlobalLockGuard &) = delete;
    void *get() const { return ptr_; }
    SIZE_T size() const { return handle_ ? GlobalSize(handle_) : 0; }
private:
    HGLOBAL handle_;
    void *ptr_;
};

// A movable block that is freed unless released to the caller.
class OwnedGlobal {
public:
    explicit OwnedGlobal(HGLOBAL h = nullptr) : handle_(h) {}
    ~OwnedGlobal() { if (handle_) GlobalFree(handle_); }
    OwnedGlobal(const OwnedGlobal &) = delete;
    OwnedGlobal &operator=(const OwnedGlobal &) = delete;
    HGLOBAL get() const { return handle_; }
    HGLOBAL release() { HGLOBAL h = handle_; handle_ = nullptr; return h; }
    explicit operator bool() const { return handle_ != nullptr; }
private:
    HGLOBAL handle_;
};

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

// A memory DC compatible with the screen, deleted with the guard.
class MemoryDC {
public:
    MemoryDC() : dc_(CreateCompatibleDC(nullptr)) {}
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    MemoryDC(const MemoryDC &) = delete;
    MemoryDC &operator=(const MemoryDC &) = delete;
    HDC get() const { return dc_; }
private:
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectGuard() { if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard &) = delete;
    SelectGuard &operator=(const SelectGuard &) = delete;
    bool ok() const { return old_ && old_ != HGDI_ERROR; }
private:
    HDC dc_;
    HGDIOBJ old_;
};

// Module state torn down when the library unloads.
void ShutdownUtilities();
// Unregisters the tips chip's class wherever this library registered it.
void ShutdownTipsChips();

}  // namespace dibwork
