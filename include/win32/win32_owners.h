// Small owners of Win32 resources, shared by every module: each releases
// what it took on every path and cannot be copied, so nothing is released
// twice.  Header only; the module handle is that of the image the code is
// linked into.
#pragma once

#include <windows.h>

// The start of the image the linker put this code into (an EXE or a DLL).
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace pintora {

// The module handle of the calling image: its own resources, not those of
// the program that loaded it.
inline HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

// A memory DC compatible with the screen (or with `reference`), deleted
// with the owner.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference = nullptr) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
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
    ~SelectGuard() {
        if (ok()) SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard &) = delete;
    SelectGuard &operator=(const SelectGuard &) = delete;
    bool ok() const { return old_ && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A global block locked for the owner's life.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL h) : handle_(h), ptr_(h ? GlobalLock(h) : nullptr) {}
    ~GlobalLockGuard() {
        if (ptr_) GlobalUnlock(handle_);
    }
    GlobalLockGuard(const GlobalLockGuard &) = delete;
    GlobalLockGuard &operator=(const GlobalLockGuard &) = delete;
    void *get() const { return ptr_; }
    SIZE_T size() const { return handle_ ? GlobalSize(handle_) : 0; }

private:
    HGLOBAL handle_;
    void *ptr_;
};

// A handle that `Free` releases unless it is released to the caller.
template <typename Handle, typename Free>
class Owned {
public:
    explicit Owned(Handle h = nullptr) : handle_(h) {}
    ~Owned() {
        if (handle_) Free()(handle_);
    }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    Handle get() const { return handle_; }
    Handle release() {
        Handle h = handle_;
        handle_ = nullptr;
        return h;
    }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_;
};

struct FreeGlobalBlock {
    void operator()(HGLOBAL h) const { GlobalFree(h); }
};
struct FreeLoadedLibrary {
    void operator()(HMODULE m) const { FreeLibrary(m); }
};

// A movable block, freed unless released to the caller.
using OwnedGlobal = Owned<HGLOBAL, FreeGlobalBlock>;
// A loaded library, freed unless released to the caller.
using LoadedModule = Owned<HMODULE, FreeLoadedLibrary>;

}  // namespace pintora
