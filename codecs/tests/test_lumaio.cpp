// Lumaio.dll and Lumamisc.dll bound by ordinal, as Dibwork binds them:
// where readers store, the JPEG dialog, Lumamisc's two entries.  The
// formats themselves are tested through Dibwork's routes.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <fstream>
#include <string>
#include <vector>

#include "lumaio.h"
#include "wic.h"
#include "test_support.h"

using namespace pintora_test;

namespace {

struct Library {
    HMODULE module;
    explicit Library(const wchar_t *name) : module(LoadProductLibrary(name)) {}
    ~Library() { if (module) FreeLibrary(module); }
    template <typename F>
    F Entry(unsigned ordinal) const { return Ordinal<F>(module, ordinal); }
};

// A 24-bit DIB section filled by f(x, y) -> COLORREF, y from the top.
template <typename F>
HBITMAP MakePicture(int w, int h, F colour) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
    void *bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const int stride = ((w * 24 + 31) / 32) * 4;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            BYTE *p = static_cast<BYTE *>(bits) + (h - 1 - y) * stride + 3 * x;
            const COLORREF c = colour(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
    return bmp;
}

COLORREF PixelOf(HBITMAP bmp, int x, int y) {
    DIBSECTION ds{};
    GetObjectW(bmp, sizeof(ds), &ds);
    const int h = ds.dsBmih.biHeight;
    const BYTE *p = static_cast<BYTE *>(ds.dsBm.bmBits) + (h - 1 - y) * ds.dsBm.bmWidthBytes + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

std::string Utf8(const std::wstring &w) { return Narrow(w); }

void WriteBytes(const std::wstring &path, const std::string &bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

}  // namespace

TEST(Lumaio, ReadersStoreIntoTheDibVariableFirst) {
    Library lib(L"Lumaio.dll");
    ASSERT_NE(lib.module, nullptr);
    TempDir dir;
    const std::string ppm = Utf8(dir.File(L"a.ppm"));
    WriteBytes(dir.File(L"a.ppm"), std::string("P6 2 1 255\n") + std::string("\x0A\x14\x1E\x28\x32\x3C", 6));
    auto readAnyMap = lib.Entry<LumaioReadProc>(LUMAIO_READ_ANYMAP);
    ASSERT_NE(readAnyMap, nullptr);

    HBITMAP bmp = nullptr;
    ASSERT_NE(readAnyMap(ppm.c_str(), nullptr, &bmp), 0);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(PixelOf(bmp, 0, 0), RGB(10, 20, 30));
    EXPECT_EQ(PixelOf(bmp, 1, 0), RGB(40, 50, 60));
    DeleteObject(bmp);

    HGLOBAL dib = nullptr;
    bmp = nullptr;
    ASSERT_NE(readAnyMap(ppm.c_str(), &dib, &bmp), 0);
    EXPECT_EQ(bmp, nullptr) << "the DIB variable takes precedence";
    ASSERT_NE(dib, nullptr);
    auto *h = static_cast<BITMAPINFOHEADER *>(GlobalLock(dib));
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biWidth, 2);
    const BYTE *px = reinterpret_cast<BYTE *>(h + 1);
    EXPECT_EQ(px[0], 30);  // blue of the first pixel
    GlobalUnlock(dib);
    GlobalFree(dib);
}

// The JPEG dialog: the proposal shows in its edit; OK with a new value
// writes the file and hands the value back; Cancel writes nothing.
TEST(Lumaio, JpegDialogTakesTheQualityOrCancels) {
    Library lib(L"Lumaio.dll");
    auto writeWithDialog = lib.Entry<LumaioWriteJpegDlgProc>(LUMAIO_WRITE_JPEG_DIALOG);
    ASSERT_NE(writeWithDialog, nullptr);
    TempDir dir;
    const std::string path = Utf8(dir.File(L"q.jpg"));
    HBITMAP picture = MakePicture(16, 16, [](int x, int) { return RGB(x * 16, 0, 0); });

    for (bool confirm : {true, false}) {
        std::atomic<bool> done{false};
        std::wstring shownCaption, shownValue;
        std::thread driver([&] {
            for (int i = 0; i < 500 && !done; ++i) {
                HWND dialog = FindWindowW(L"#32770", nullptr);
                DWORD pid = 0;
                if (dialog) GetWindowThreadProcessId(dialog, &pid);
                if (dialog && pid == GetCurrentProcessId() && GetDlgItem(dialog, 1001)) {
                    wchar_t text[64] = {};
                    GetWindowTextW(dialog, text, 64);
                    shownCaption = text;
                    GetDlgItemTextW(dialog, 1001, text, 64);
                    shownValue = text;
                    SetDlgItemTextW(dialog, 1001, L"77");
                    PostMessageW(dialog, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
                    return;
                }
                Sleep(10);
            }
        });
        int quality = 20;
        const int result = writeWithDialog(nullptr, path.c_str(), nullptr, picture, &quality);
        done = true;
        driver.join();
        EXPECT_EQ(shownCaption, Widen(u8"JPEG 保存"));
        EXPECT_EQ(shownValue, L"20");
        if (confirm) {
            EXPECT_NE(result, 0);
            EXPECT_EQ(quality, 77);
            EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(quality, 20);
        }
        DeleteFileA(path.c_str());
    }
    DeleteObject(picture);
}

// A packed DIB of `rows` stored rows whose header announces 8 x 8 pixels
// of `bits` bits (a grey colour table for 8 bits).
HGLOBAL PackedDib(int bits, int rows) {
    const int colours = bits == 8 ? 256 : 0;
    const size_t stride = ((8 * bits + 31) / 32) * 4;
    const size_t bytes = sizeof(BITMAPINFOHEADER) + 4 * colours + stride * rows;
    HGLOBAL block = GlobalAlloc(GHND, bytes);
    auto *p = static_cast<BYTE *>(GlobalLock(block));
    const BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 8, 8, 1, static_cast<WORD>(bits), BI_RGB};
    std::memcpy(p, &header, sizeof header);
    for (int i = 0; i < colours; ++i) std::memset(p + sizeof header + 4 * i, i, 3);
    GlobalUnlock(block);
    return block;
}

// The writers take the DIB's rows from its block only when the block holds
// all of them; a header that claims more rows is refused, not read past.
TEST(Lumaio, WritersRefuseADibWhoseRowsDoNotFitItsBlock) {
    Library lib(L"Lumaio.dll");
    auto writePng = lib.Entry<LumaioWriteProc>(LUMAIO_WRITE_PNG);
    auto writeGif = lib.Entry<LumaioWriteGifProc>(LUMAIO_WRITE_GIF);
    ASSERT_NE(writePng, nullptr);
    ASSERT_NE(writeGif, nullptr);
    TempDir dir;
    const std::string png = Utf8(dir.File(L"a.png")), gif = Utf8(dir.File(L"a.gif"));
    for (int rows : {8, 1}) {
        HGLOBAL full = PackedDib(24, rows), indexed = PackedDib(8, rows);
        EXPECT_EQ(writePng(png.c_str(), full, nullptr) != 0, rows == 8) << rows;
        EXPECT_EQ(writeGif(gif.c_str(), indexed, nullptr, -1) != 0, rows == 8) << rows;
        DeleteFileA(png.c_str());
        DeleteFileA(gif.c_str());
        GlobalFree(full);
        GlobalFree(indexed);
    }
}

// The colour table follows the header, whatever biSize makes it: a GIF
// written from a DIB with a 124-byte header keeps the DIB's colours.  And
// a header that claims 4000 x 4000 pixels in a block of 1,080 bytes is
// refused by every writer.
TEST(Lumaio, WritersTakeTheTableAfterTheHeaderAndOnlyRowsInTheBlock) {
    Library lib(L"Lumaio.dll");
    auto writeGif = lib.Entry<LumaioWriteGifProc>(LUMAIO_WRITE_GIF);
    auto writePng = lib.Entry<LumaioWriteProc>(LUMAIO_WRITE_PNG);
    auto readGif = lib.Entry<LumaioReadProc>(LUMAIO_READ_GIF);
    ASSERT_TRUE(writeGif && writePng && readGif);
    TempDir dir;
    const std::string gif = Utf8(dir.File(L"v5.gif")), png = Utf8(dir.File(L"v5.png"));

    // 2 x 1 pixels at 8 bits, entries 0 and 1 used: red and blue.
    constexpr DWORD kHeader = 124;
    HGLOBAL block = GlobalAlloc(GHND, kHeader + 2 * 4 + 4);
    auto *p = static_cast<BYTE *>(GlobalLock(block));
    const BITMAPINFOHEADER info{kHeader, 2, 1, 1, 8, BI_RGB, 4, 0, 0, 2, 2};
    std::memcpy(p, &info, sizeof info);
    std::memset(p + 40, 0x77, kHeader - 40);  // the rest of the long header: not colours
    const RGBQUAD table[2] = {{0, 0, 255, 0}, {255, 0, 0, 0}};
    std::memcpy(p + kHeader, table, sizeof table);
    p[kHeader + 8] = 0;
    p[kHeader + 9] = 1;
    GlobalUnlock(block);
    ASSERT_NE(writeGif(gif.c_str(), block, nullptr, -1), 0);
    HBITMAP back = nullptr;
    ASSERT_NE(readGif(gif.c_str(), nullptr, &back), 0);
    EXPECT_EQ(PixelOf(back, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(back, 1, 0), RGB(0, 0, 255));
    DeleteObject(back);
    GlobalFree(block);

    block = GlobalAlloc(GHND, 1080);
    p = static_cast<BYTE *>(GlobalLock(block));
    const BITMAPINFOHEADER huge{sizeof(BITMAPINFOHEADER), 4000, 4000, 1, 8, BI_RGB};
    std::memcpy(p, &huge, sizeof huge);
    GlobalUnlock(block);
    EXPECT_EQ(writeGif(gif.c_str(), block, nullptr, -1), 0);
    EXPECT_EQ(writePng(png.c_str(), block, nullptr), 0);
    GlobalFree(block);
}

TEST(Lumamisc, ReadsImagingFormatsThroughEntryOneAndBitmapsThroughEntryTwo) {
    Library misc(L"Lumamisc.dll");
    ASSERT_NE(misc.module, nullptr);
    TempDir dir;
    // A TIFF (written here with the imaging component), which no Lumaio
    // route reads.
    auto tiff = codecs::AllocateDecoded(3, 2);
    ASSERT_TRUE(tiff);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            uint8_t *p = tiff->Pixel(x, y);
            p[0] = 7;
            p[1] = static_cast<uint8_t>(y * 100);
            p[2] = static_cast<uint8_t>(x * 100);
        }
    }
    const std::string tif = Utf8(dir.File(L"p.tif"));
    ASSERT_TRUE(codecs::WicEncode24(tif.c_str(), codecs::WicContainer::kTiff, *tiff));
    HBITMAP out = nullptr;
    ASSERT_NE(misc.Entry<LumaioReadProc>(LUMAMISC_READ_IMAGING)(tif.c_str(), nullptr, &out), 0);
    EXPECT_EQ(PixelOf(out, 2, 1), RGB(200, 100, 7));
    DeleteObject(out);

    // A 2 x 2 BMP with a 2-colour table, read by the system's loader.
    std::string bmp(62 + 8, '\0');
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&bmp[at], &v, 4); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 62);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    bmp[26] = 1;
    bmp[28] = 1;
    put32(58, 0x0000FF00);   // entry 1 green
    bmp[66] = '\x80';         // top row (stored last): first pixel entry 1
    WriteBytes(dir.File(L"b.xyz"), bmp);
    out = nullptr;
    ASSERT_NE(misc.Entry<LumaioReadProc>(LUMAMISC_READ_SYSTEM)(Utf8(dir.File(L"b.xyz")).c_str(), nullptr, &out), 0);
    EXPECT_EQ(PixelOf(out, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(out, 1, 0), RGB(0, 0, 0));
    DeleteObject(out);

    WriteBytes(dir.File(L"junk.xyz"), std::string(100, 'j'));
    out = nullptr;
    EXPECT_EQ(misc.Entry<LumaioReadProc>(LUMAMISC_READ_IMAGING)(Utf8(dir.File(L"junk.xyz")).c_str(), nullptr, &out), 0);
    EXPECT_EQ(misc.Entry<LumaioReadProc>(LUMAMISC_READ_SYSTEM)(Utf8(dir.File(L"junk.xyz")).c_str(), nullptr, &out), 0);
    EXPECT_EQ(out, nullptr);
}
