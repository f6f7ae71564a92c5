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

// A movable block that is freed unless released to the caller.
class OwnedGlobal {
public:
    explicit OwnedGlobal(HGLOBAL h = nullptr) : handle_(h) {}
    ~OwnedGlobal() {
        if (handle_) GlobalFree(handle_);
    }
    OwnedGlobal(const OwnedGlobal &) = delete;
    OwnedGlobal &operator=(const OwnedGlobal &) = delete;
    HGLOBAL get() const { return handle_; }
    HGLOBAL release() {
        HGLOBAL h = handle_;
        handle_ = nullptr;
        return h;
    }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HGLOBAL handle_;
};

// A loaded library, freed unless released to the caller.
class LoadedModule {
public:
    explicit LoadedModule(HMODULE module = nullptr) : module_(module) {}
    ~LoadedModule() {
        if (module_) FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule &) = delete;
    LoadedModule &operator=(const LoadedModule &) = delete;
    HMODULE get() const { return module_; }
    HMODULE release() {
        HMODULE m = module_;
        module_ = nullptr;
        return m;
    }
    explicit operator bool() const { return module_ != nullptr; }

private:
    HMODULE module_;
};

}  // namespace pintora
