// The routes through the codec libraries.  "Lumaio.dll" is loaded by name
// and freed again around every single call; the first failed load turns
// every Lumaio route off for the life of the process.  "Lumamisc.dll", the
// fallback reader, is loaded around each fallback read, and never again
// once it could not be loaded.  Both are bound by ordinal only.
#include <cstring>

#include "dibwork.h"
#include "dibwork_internal.h"
#include "file_io_internal.h"
#include "lumaio.h"

namespace {

using namespace dibwork;
using namespace dibwork::fileio;

// Module state, process-wide; everything runs on the caller's UI thread.
int g_codecEnabled = 1;
int g_gifEnabled = 1;
int g_jpegOption = 20;
// Lumamisc while a fallback read runs; kMiscUnavailable once it failed.
HMODULE g_lumamisc = nullptr;
const HMODULE kMiscUnavailable = reinterpret_cast<HMODULE>(-1);

// Calls Lumaio entry `ordinal` as F with the arguments: 0 when the codecs
// are off, the library cannot be loaded (the codecs are then off for
// good) or the entry is missing.
template <typename F, typename... Args>
int CallLumaio(unsigned ordinal, Args... args) {
    if (!g_codecEnabled) return 0;
    const pintora::LoadedModule library(LoadLibraryA("Lumaio.dll"));
    if (!library) {
        g_codecEnabled = 0;
        return 0;
    }
    auto entry =
        reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(library.get(), MAKEINTRESOURCEA(ordinal))));
    return entry ? entry(args...) : 0;
}

// Looks up a Lumamisc entry; when it is missing the library is let go.
LumaioReadProc MiscEntry(unsigned ordinal) {
    auto entry = reinterpret_cast<LumaioReadProc>(
        reinterpret_cast<void *>(GetProcAddress(g_lumamisc, MAKEINTRESOURCEA(ordinal))));
    if (!entry) {
        FreeLibrary(g_lumamisc);
        g_lumamisc = nullptr;
    }
    return entry;
}

}  // namespace

namespace dibwork::fileio {

bool FallbackAllowed(PictureKind kind) { return kind != PictureKind::kGif || g_gifEnabled; }

int ReadWithFallback(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (g_lumamisc == kMiscUnavailable) return 0;
    if (!g_lumamisc) {
        g_lumamisc = LoadLibraryA("Lumamisc.dll");
        if (!g_lumamisc) {
            g_lumamisc = kMiscUnavailable;
            return 0;
        }
    }
    LumaioReadProc first = MiscEntry(LUMAMISC_READ_IMAGING);
    if (!first) return 0;
    int result = first(path, dib, bitmap);
    if (!result) {
        LumaioReadProc second = MiscEntry(LUMAMISC_READ_SYSTEM);
        if (!second) return 0;
        result = second(path, dib, bitmap);
    }
    FreeLibrary(g_lumamisc);
    g_lumamisc = nullptr;
    return result;
}

int ReadByRoute(PictureKind kind, LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    switch (kind) {
    case PictureKind::kBmp:
        if (dib) {
            *dib = ReadDIBFile(path);
            return *dib != nullptr;
        }
        *bitmap = ReadDIBitmapFile(path);
        return *bitmap != nullptr;
    case PictureKind::kIcon: return ReadIconFile(path, dib, bitmap);
    case PictureKind::kJpeg: return ReadJpegFile(path, dib, bitmap);
    case PictureKind::kGif: return ReadGIFFile(path, dib, bitmap);
    case PictureKind::kPng: return ReadPNGFile(path, dib, bitmap);
    case PictureKind::kMetafile: return ReadMetaFile(path, dib, bitmap, 0, 0);
    case PictureKind::kPcx: return ReadPCXFile(path, dib, bitmap);
    case PictureKind::kAnyMap:
        // The any-map reader's own result: a file it could not read is a
        // failure (and goes on to the fallback reader).
        return CallLumaio<LumaioReadProc>(LUMAIO_READ_ANYMAP, path, dib, bitmap);
    case PictureKind::kOther: break;
    }
    return 0;
}

int WriteByRoute(PictureKind kind, HWND owner, bool withDialog, LPCSTR path, HGLOBAL dib, HBITMAP bitmap) {
    switch (kind) {
    case PictureKind::kBmp: return WriteBMPFile(path, dib, bitmap);
    case PictureKind::kJpeg:
        return withDialog ? WriteJpegFileWithDlg(owner, path, dib, bitmap, &g_jpegOption)
                          : WriteJpegFile(path, dib, bitmap, g_jpegOption);
    case PictureKind::kPng: return WritePNGFile(path, dib, bitmap);
    case PictureKind::kGif: return WriteGIFFileEngineWithTrans(path, dib, bitmap, 1);
    default: break;
    }
    return 0;
}

}  // namespace dibwork::fileio

// ------------------------------------------------------------ exports --

void WINAPI DisableGifSaved(void) { g_gifEnabled = 0; }

int WINAPI ReadJpegFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return CallLumaio<LumaioReadProc>(LUMAIO_READ_JPEG, path, dib, bitmap);
}

int WINAPI WriteJpegFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int option) {
    return CallLumaio<LumaioWriteJpegProc>(LUMAIO_WRITE_JPEG, path, dib, bitmap, option);
}

int WINAPI WriteJpegFileWithDlg(HWND owner, LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int *option) {
    return CallLumaio<LumaioWriteJpegDlgProc>(LUMAIO_WRITE_JPEG_DIALOG, owner, path, dib, bitmap, option);
}

int WINAPI ReadPNGFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return CallLumaio<LumaioReadProc>(LUMAIO_READ_PNG, path, dib, bitmap);
}

int WINAPI WritePNGFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap) {
    return CallLumaio<LumaioWriteProc>(LUMAIO_WRITE_PNG, path, dib, bitmap);
}

int WINAPI ReadMetaFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap, int value1, int value2) {
    return CallLumaio<LumaioReadMetaProc>(LUMAIO_READ_META, path, dib, bitmap, value1, value2);
}

int WINAPI ReadPCXFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    return CallLumaio<LumaioReadProc>(LUMAIO_READ_PCX, path, dib, bitmap);
}

int WINAPI ReadGIFFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!g_gifEnabled) return 0;
    return CallLumaio<LumaioReadProc>(LUMAIO_READ_GIF, path, dib, bitmap);
}

int WINAPI WriteGIFFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap) {
    return WriteGIFFileEngineWithTrans(path, dib, bitmap, 0);
}

int WINAPI WriteGIFFileEngineWithTrans(LPCSTR path, HGLOBAL dib, HBITMAP bitmap, int transparent) {
    if (!g_codecEnabled || !g_gifEnabled) return 0;
    BITMAPINFOHEADER header{};
    {
        MetaPicture picture(dib, bitmap);
        if (!picture) return 0;
        header = *picture.header();
    }
    // Pictures above 8 bits are written from an 8-bit copy; a DIB goes
    // through a DIBitmap of its own for that.
    HBITMAP reduced = nullptr;
    if (header.biBitCount > 8) {
        HBITMAP temp24 = nullptr;
        HBITMAP from = bitmap;
        if (dib || header.biBitCount != 24 || header.biCompression != BI_RGB) {
            temp24 = Create24DIBFromMetaDIB(dib, bitmap);
            from = temp24;
        }
        reduced = from ? CreateReducedColorDIBitmap(nullptr, from) : nullptr;
        if (temp24) FreeDIBitmap(&temp24);
        if (!reduced) return 0;
    }
    int index = -1;
    if (transparent) {
        MetaPicture written(reduced ? nullptr : dib, reduced ? reduced : bitmap);
        index = CornerTransparentIndex(written.view());
    }
    const int result = reduced ? CallLumaio<LumaioWriteGifProc>(LUMAIO_WRITE_GIF, path, nullptr, reduced, index)
                               : CallLumaio<LumaioWriteGifProc>(LUMAIO_WRITE_GIF, path, dib, bitmap, index);
    if (reduced) FreeDIBitmap(&reduced);
    return result;
}
