// BMP files, icon files and the dispatchers by file extension.
#include <cstring>
#include <string>

#include "dibwork.h"
#include "dibwork_internal.h"
#include "file_io_internal.h"

using namespace dibwork;
using namespace dibwork::fileio;

namespace {

// A file handle closed with the guard.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { if (ok()) CloseHandle(h_); }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    void Close() {
        if (ok()) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }
private:
    HANDLE h_;
};

bool ReadExactly(HANDLE file, void *buffer, DWORD bytes) {
    DWORD read = 0;
    return ReadFile(file, buffer, bytes, &read, nullptr) && read == bytes;
}

bool WriteExactly(HANDLE file, const void *buffer, DWORD bytes) {
    DWORD written = 0;
    return bytes == 0 || (WriteFile(file, buffer, bytes, &written, nullptr) && written == bytes);
}

// The pieces WriteBMPFile writes: a 40-byte header fixed up by the plan,
// the colour table and the rows.  Nothing when the picture does not hold
// what its header announces.
struct BmpPieces {
    BITMAPINFOHEADER header;
    const uint8_t *table;
    const uint8_t *bits;
    BmpWritePlan plan;
};

std::optional<BmpPieces> PiecesOf(const MetaPicture &picture, HGLOBAL dib) {
    const auto f = Fields(picture.header());
    auto plan = PlanBmpWrite(f);
    if (!plan) return std::nullopt;
    const auto *table = reinterpret_cast<const uint8_t *>(picture.header()) + f.headerSize;
    // What the picture really holds behind its header.
    uint64_t tableHeld, imageHeld;
    if (dib) {
        const uint64_t block = GlobalSize(dib);
        const uint64_t bitsAt = static_cast<uint64_t>(picture.bits() - reinterpret_cast<uint8_t *>(picture.header()));
        tableHeld = (bitsAt - f.headerSize) / 4;
        imageHeld = block > bitsAt ? block - bitsAt : 0;
    } else {
        tableHeld = f.bitCount <= 8 ? (1u << f.bitCount) : 0;
        const auto layout = ComputeBlockLayout(f);
        imageHeld = layout ? layout->imageBytes : 0;
    }
    // A table announced on a picture above 8 bits that carries none is
    // optional: leave it out rather than write stray bytes.
    if (plan->colours > tableHeld && f.bitCount > 8) {
        plan = PlanBmpWrite([&] { auto g = f; g.colorsUsed = 0; return g; }());
        if (!plan) return std::nullopt;
    }
    if (plan->colours > tableHeld || plan->imageBytes > imageHeld) return std::nullopt;
    BmpPieces pieces{*picture.header(), table, picture.bits(), *plan};
    pieces.header.biSize = sizeof(BITMAPINFOHEADER);
    pieces.header.biClrUsed = plan->colours;
    if (pieces.header.biClrImportant > plan->colours) pieces.header.biClrImportant = plan->colours;
    pieces.header.biSizeImage = plan->imageBytes;
    return pieces;
}

bool WritePieces(HANDLE file, const BmpPieces &p) {
    uint8_t fileHeader[kBmpFileHeaderBytes];
    StoreBmpFileHeader(p.plan.file, fileHeader);
    return WriteExactly(file, fileHeader, sizeof(fileHeader)) && WriteExactly(file, &p.header, sizeof(p.header)) &&
           WriteExactly(file, p.table, p.plan.colours * 4) && WriteExactly(file, p.bits, p.plan.imageBytes);
}

// The read checks of ReadGraphicsFile: the extension, or nothing.
std::optional<PictureKind> KindForPath(LPCSTR path) {
    if (!path || std::strlen(path) < 5) return std::nullopt;
    const auto extension = PathExtension(path);
    if (!extension) return std::nullopt;
    return ClassifyExtension(*extension);
}

// BmpHeadLooksWhole for a file: its headers and its size decide, so a
// file of any size is judged and none is read whole for it.  An unreadable
// file is left to the loaders, which fail on their own.
bool BmpFileOnDiskLooksWhole(LPCSTR path) {
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    uint8_t head[kBmpHeadBytes];
    DWORD read = 0;
    if (!file.ok() || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        !ReadFile(file.get(), head, sizeof(head), &read, nullptr)) {
        return true;
    }
    return BmpHeadLooksWhole(head, read, static_cast<uint64_t>(size.QuadPart));
}

}  // namespace

HGLOBAL WINAPI ReadDIBFile(LPCSTR path) {
    if (!path) return nullptr;
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.ok()) return nullptr;
    LARGE_INTEGER fileSize{};
    uint8_t raw[kBmpFileHeaderBytes];
    if (!GetFileSizeEx(file.get(), &fileSize) || !ReadExactly(file.get(), raw, sizeof(raw))) return nullptr;
    // The block is bfSize bytes and receives the rest of the file: it must
    // hold all of it, and a claim far beyond the file is a broken file.
    const auto blockBytes = BmpBlockBytes(ReadBmpFileHeader(raw), static_cast<uint64_t>(fileSize.QuadPart));
    if (!blockBytes) return nullptr;
    const DWORD rest = static_cast<DWORD>(fileSize.QuadPart - kBmpFileHeaderBytes);
    OwnedGlobal block(GlobalAlloc(GHND, *blockBytes));
    if (!block) return nullptr;
    {
        GlobalLockGuard lock(block.get());
        if (!lock.get() || !ReadExactly(file.get(), lock.get(), rest)) return nullptr;
        // Every later user trusts the header: the rows it announces must
        // be there.
        if (!DibBlockIsWhole(static_cast<const uint8_t *>(lock.get()), rest)) return nullptr;
    }
    return block.release();
}

HBITMAP WINAPI ReadDIBitmapFile(LPCSTR path) {
    if (!path) return nullptr;
    // The system loader reads past the end of a BMP whose headers lie;
    // such a file goes only to ReadDIBFile, which checks it itself.
    HBITMAP bitmap = BmpFileOnDiskLooksWhole(path)
                         ? LoadImageDIBitmap(nullptr, path, LR_LOADFROMFILE | LR_CREATEDIBSECTION)
                         : nullptr;
    if (bitmap) {
        if (Convert24DIBitmap(&bitmap)) return bitmap;
        FreeDIBitmap(&bitmap);  // and Dibwork's own reader tries
    }
    HGLOBAL dib = ReadDIBFile(path);
    if (!dib) return nullptr;
    bitmap = Create24DIBFromMetaDIB(dib, nullptr);
    FreeDIB(&dib);
    return bitmap;
}

int WINAPI WriteBMPFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap) {
    if (!path || (!dib && !bitmap)) return 0;
    MetaPicture picture(dib, bitmap);
    if (!picture) return 0;
    const auto pieces = PiecesOf(picture, dib);
    if (!pieces) return 0;
    FileHandle file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.ok()) return 0;
    if (!WritePieces(file.get(), *pieces)) {
        // A short file would pass for a picture later: do not leave it.
        file.Close();
        DeleteFileA(path);
        return 0;
    }
    return 1;
}

int WINAPI ReadIconFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!path || (!dib && !bitmap)) return 0;
    HICON icon = static_cast<HICON>(LoadImageA(nullptr, path, IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
    if (!icon) return 0;
    HBITMAP picture = MakeBlankFCDIBitmap(32, 32);
    if (picture) {
        MemoryDC dc;
        SelectGuard select(dc.get(), picture);
        RECT all{0, 0, 32, 32};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIcon(dc.get(), 0, 0, icon);
    }
    DestroyIcon(icon);
    if (!picture) return 0;
    if (dib) {
        *dib = ConvertDIBitmap2DIB(picture);
        FreeDIBitmap(&picture);
        return *dib != nullptr;
    }
    *bitmap = picture;
    return 1;
}

HBITMAP WINAPI LoadImageDIBitmap(HINSTANCE instance, LPCSTR name, UINT flags) {
    if (!IsNT351()) return static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, flags));
    // Without LoadImage (NT 3.51): files through Dibwork's own reader,
    // resources through the system's DIB conversion.
    if (flags & LR_LOADFROMFILE) {
        HGLOBAL dib = ReadDIBFile(name);
        if (!dib) return nullptr;
        HBITMAP bitmap = ConvNormalDIB(&dib) ? ConvertDIB2DIBitmap(dib) : nullptr;
        FreeDIB(&dib);
        return bitmap;
    }
    HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void *resource = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    if (!resource || !DibBlockIsWhole(static_cast<const uint8_t *>(resource), size)) return nullptr;
    OwnedGlobal copy(GlobalAlloc(GHND, size));
    if (!copy) return nullptr;
    {
        GlobalLockGuard lock(copy.get());
        if (!lock.get()) return nullptr;
        std::memcpy(lock.get(), resource, size);
    }
    HGLOBAL dib = copy.release();
    HBITMAP bitmap = ConvNormalDIB(&dib) ? ConvertDIB2DIBitmap(dib) : nullptr;
    FreeDIB(&dib);
    return bitmap;
}

int WINAPI ReadGraphicsFile(LPCSTR path, HGLOBAL *dib, HBITMAP *bitmap) {
    if (!dib && !bitmap) return 0;
    const auto kind = KindForPath(path);
    if (!kind) return 0;
    const int result = ReadByRoute(*kind, path, dib, bitmap);
    if (result || !FallbackAllowed(*kind)) return result;
    return ReadWithFallback(path, dib, bitmap);
}

int WINAPI WriteGraphicsFile(LPCSTR path, HGLOBAL dib, HBITMAP bitmap) {
    if (!dib && !bitmap) return 0;
    const auto kind = KindForPath(path);
    if (!kind) return 0;
    return WriteByRoute(*kind, nullptr, false, path, dib, bitmap);
}
