// Picture files through Dibwork's exports, bound by ordinal: the BMP
// layout, round trips through every codec route, the dispatchers' rules,
// refusals of broken files, GIF transparency and the resource readers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "file_test_pictures.h"
#include "file_test_support.h"

using namespace file_test;
using pintora_test::Narrow;
using pintora_test::TempDir;

namespace {

std::string PathIn(const TempDir &dir, const wchar_t *name) { return Narrow(dir.File(name)); }

// A picture whose rows and columns all differ, so any flip or shift shows.
COLORREF Gradient(int x, int y) { return RGB(x * 7 % 256, y * 11 % 256, (x + y) * 3 % 256); }

// Largest channel difference between two pictures of equal size.
int MaxDifference(HBITMAP a, HBITMAP b, int w, int h) {
    int worst = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const COLORREF p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            worst = std::max({worst, std::abs(GetRValue(p) - GetRValue(q)), std::abs(GetGValue(p) - GetGValue(q)),
                              std::abs(GetBValue(p) - GetBValue(q))});
        }
    }
    return worst;
}

}  // namespace

TEST(WriteBMPFile, WritesHeadersTableAndRowsExactly) {
    TempDir dir;
    HBITMAP screen = MakePicture(640, 480, Gradient);
    const std::string path = PathIn(dir, L"page.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(path.c_str(), nullptr, screen), 1);
    const Bytes file = ReadBytes(path);
    ASSERT_EQ(file.size(), 54u + 921600u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), 54u + 921600u);
    EXPECT_EQ(U32(file, 6), 0u);  // both reserved words
    EXPECT_EQ(U32(file, 10), 54u);
    const BITMAPINFOHEADER held = HeaderOf(screen);
    EXPECT_EQ(std::memcmp(&file[14], &held, 40), 0) << "the picture's own header";
    EXPECT_EQ(std::memcmp(&file[54], Dw().GetDIBitmapDataAddress(screen), 921600), 0);

    // 8 bits: the 256-entry grey table between header and rows.
    HBITMAP grey = Dw().MakeBlank256GrayDIBitmap(5, 3);
    const std::string greyPath = PathIn(dir, L"grey.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(greyPath.c_str(), nullptr, grey), 1);
    const Bytes g = ReadBytes(greyPath);
    ASSERT_EQ(g.size(), 54u + 1024u + 8u * 3u);
    EXPECT_EQ(U32(g, 10), 54u + 1024u);
    EXPECT_EQ(U32(g, 54 + 4 * 200), 0x00C8C8C8u);

    // A DIB writes the same way as a DIBitmap.
    HGLOBAL dib = Dw().MakeBlankDIB(3, 3, 1);
    const std::string monoPath = PathIn(dir, L"mono.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(monoPath.c_str(), dib, nullptr), 1);
    EXPECT_EQ(ReadBytes(monoPath).size(), 54u + 8u + 12u);

    EXPECT_EQ(Dw().WriteBMPFile(path.c_str(), nullptr, nullptr), 0);
    EXPECT_EQ(Dw().WriteBMPFile(PathIn(dir, L"no\\such\\folder.bmp").c_str(), nullptr, screen), 0);
    Dw().FreeDIB(&dib);
    Dw().FreeDIBitmap(&grey);
    Dw().FreeDIBitmap(&screen);
}

// A biSizeImage smaller than the rows does not cut them: the file holds
// every row and its own reader takes it back.
TEST(WriteBMPFile, WritesTheTrueRowsWhateverBiSizeImageClaims) {
    TempDir dir;
    HGLOBAL dib = Dw().MakeBlankDIB(5, 3, 24);
    ASSERT_NE(dib, nullptr);
    auto *p = static_cast<uint8_t *>(GlobalLock(dib));
    reinterpret_cast<BITMAPINFOHEADER *>(p)->biSizeImage = 1;
    p[40 + 2 * 16 + 14] = 0x5A;  // the top row's last byte
    GlobalUnlock(dib);
    const std::string path = PathIn(dir, L"short.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(path.c_str(), dib, nullptr), 1);
    const Bytes file = ReadBytes(path);
    ASSERT_EQ(file.size(), 54u + 16u * 3u);
    EXPECT_EQ(U32(file, 14 + 20), 48u) << "biSizeImage as written";
    EXPECT_EQ(file[54 + 2 * 16 + 14], 0x5A);
    HGLOBAL back = Dw().ReadDIBFile(path.c_str());
    EXPECT_NE(back, nullptr);
    if (back) Dw().FreeDIB(&back);
    Dw().FreeDIB(&dib);
}

TEST(ReadDIBFile, ReadsBackWhatWasWritten) {
    TempDir dir;
    HBITMAP picture = MakePicture(13, 7, Gradient);
    const std::string path = PathIn(dir, L"r.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(path.c_str(), nullptr, picture), 1);

    HGLOBAL dib = Dw().ReadDIBFile(path.c_str());
    ASSERT_NE(dib, nullptr);
    BITMAPINFOHEADER *h = nullptr;
    BYTE *bits = Dw().GetMetaBitmapInfoHeader(dib, nullptr, &h);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(h->biWidth, 13);
    EXPECT_EQ(h->biHeight, 7);
    EXPECT_EQ(std::memcmp(bits, Dw().GetDIBitmapDataAddress(picture), Dw().GetImageSize(h)), 0);
    Dw().ReleaseMetaBitmapInfoHeader(dib, nullptr, h);
    Dw().FreeDIB(&dib);

    HBITMAP back = Dw().ReadDIBitmapFile(path.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(HeaderOf(back).biBitCount, 24);
    EXPECT_EQ(MaxDifference(back, picture, 13, 7), 0);
    Dw().FreeDIBitmap(&back);

    // An 8-bit file comes back as a 24-bit picture with the table's colours.
    HBITMAP grey = Dw().MakeBlank256GrayDIBitmap(4, 4);
    static_cast<BYTE *>(Dw().GetDIBitmapDataAddress(grey))[0] = 77;  // bottom-left pixel
    const std::string greyPath = PathIn(dir, L"g.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(greyPath.c_str(), nullptr, grey), 1);
    back = Dw().ReadDIBitmapFile(greyPath.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(HeaderOf(back).biBitCount, 24);
    EXPECT_EQ(PixelAt(back, 0, 3), RGB(77, 77, 77));
    Dw().FreeDIBitmap(&back);
    Dw().FreeDIBitmap(&grey);
    Dw().FreeDIBitmap(&picture);
}

namespace {

// A 16-bit BMP of 2 x 1 pixels: 5-6-5 with its masks after the header, or
// 5-5-5 without.
Bytes SixteenBitBmp(bool fiveSixFive, uint16_t left, uint16_t right) {
    const uint32_t masks = fiveSixFive ? 12 : 0, offBits = 54 + masks;
    Bytes b(offBits + 4, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, offBits);
    put32(14, 40);
    put32(18, 2);
    put32(22, 1);
    b[26] = 1;
    b[28] = 16;
    put32(30, fiveSixFive ? BI_BITFIELDS : BI_RGB);
    if (fiveSixFive) {
        put32(54, 0xF800);
        put32(58, 0x07E0);
        put32(62, 0x001F);
    }
    std::memcpy(&b[offBits], &left, 2);
    std::memcpy(&b[offBits + 2], &right, 2);
    return b;
}

void ExpectNear(COLORREF got, COLORREF want, const char *what) {
    EXPECT_LE(std::abs(GetRValue(got) - GetRValue(want)), 8) << what << std::hex << " got " << got;
    EXPECT_LE(std::abs(GetGValue(got) - GetGValue(want)), 8) << what << std::hex << " got " << got;
    EXPECT_LE(std::abs(GetBValue(got) - GetBValue(want)), 8) << what << std::hex << " got " << got;
}

}  // namespace

// 16-bit pictures keep their bit-field masks: the header copy of a 16-bit
// section carries them, so a 5-6-5 and a 5-5-5 file read with their true
// colours through the system's loader and through Dibwork's own reader.
TEST(ReadDIBitmapFile, SixteenBitFilesKeepTheirColoursThroughBothRoutes) {
    TempDir dir;
    struct Case {
        bool fiveSixFive;
        uint16_t left, right;
        COLORREF leftColour, rightColour;
    };
    for (const Case c : {Case{true, 0xF800, 0x07E0 | 0x0010, RGB(255, 0, 0), RGB(0, 255, 132)},
                         Case{false, 0x7C00, 0x03E0 | 0x0010, RGB(255, 0, 0), RGB(0, 255, 132)}}) {
        const char *what = c.fiveSixFive ? "5-6-5" : "5-5-5";
        const std::string path = PathIn(dir, L"sixteen.bmp");
        WriteBytes(path, SixteenBitBmp(c.fiveSixFive, c.left, c.right));

        HBITMAP loaded = Dw().ReadDIBitmapFile(path.c_str());
        ASSERT_NE(loaded, nullptr) << what;
        ExpectNear(PixelAt(loaded, 0, 0), c.leftColour, what);
        ExpectNear(PixelAt(loaded, 1, 0), c.rightColour, what);
        Dw().FreeDIBitmap(&loaded);

        HGLOBAL dib = Dw().ReadDIBFile(path.c_str());
        ASSERT_NE(dib, nullptr) << what;
        HBITMAP wide = Dw().Create24DIBFromMetaDIB(dib, nullptr);
        ASSERT_NE(wide, nullptr) << what;
        ExpectNear(PixelAt(wide, 0, 0), c.leftColour, what);
        ExpectNear(PixelAt(wide, 1, 0), c.rightColour, what);

        // A 16-bit section of the picture: its header copy holds the masks
        // the section has, and a section made from it reads the same.
        HBITMAP section = Dw().ConvertDIB2DIBitmap(dib);
        ASSERT_NE(section, nullptr) << what;
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectW(section, sizeof ds, &ds), static_cast<int>(sizeof ds));
        BITMAPINFOHEADER *copy = nullptr;
        ASSERT_NE(Dw().GetMetaBitmapInfoHeader(nullptr, section, &copy), nullptr);
        if (copy->biCompression == BI_BITFIELDS) {
            EXPECT_EQ(std::memcmp(copy + 1, ds.dsBitfields, 12), 0) << what;
        }
        Dw().ReleaseMetaBitmapInfoHeader(nullptr, section, copy);
        HBITMAP again = Dw().Create24DIBFromAnyDIBitmap(section);
        ASSERT_NE(again, nullptr) << what;
        ExpectNear(PixelAt(again, 1, 0), c.rightColour, what);
        Dw().FreeDIBitmap(&again);
        Dw().FreeDIBitmap(&section);
        Dw().FreeDIBitmap(&wide);
        Dw().FreeDIB(&dib);
    }
}

// Broken files give NULL/0 through every reader, and never crash.
TEST(ReadDIBFile, RefusesTruncatedOversizedAndMalformedFiles) {
    TempDir dir;
    HBITMAP picture = MakePicture(20, 10, Gradient);
    const std::string good = PathIn(dir, L"good.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(good.c_str(), nullptr, picture), 1);
    const Bytes original = ReadBytes(good);
    Dw().FreeDIBitmap(&picture);

    const std::string bad = PathIn(dir, L"bad.bmp");
    auto refused = [&](const Bytes &bytes, const char *what) {
        WriteBytes(bad, bytes);
        HGLOBAL dib = Dw().ReadDIBFile(bad.c_str());
        EXPECT_EQ(dib, nullptr) << what;
        if (dib) Dw().FreeDIB(&dib);
        HBITMAP bmp = nullptr;
        HGLOBAL viaDispatcher = nullptr;
        Dw().ReadGraphicsFile(bad.c_str(), &viaDispatcher, nullptr);
        EXPECT_EQ(viaDispatcher, nullptr) << what;
        if (viaDispatcher) Dw().FreeDIB(&viaDispatcher);
        (void)bmp;
    };
    refused(Bytes(original.begin(), original.begin() + 10), "shorter than the file header");
    refused(Bytes(original.begin(), original.begin() + 30), "header cut");
    refused(Bytes(original.begin(), original.end() - 1), "last row cut");
    Bytes small = original;
    std::memcpy(&small[2], "\x20\0\0\0", 4);  // bfSize 32: the rest would overrun the block
    refused(small, "bfSize smaller than the file");
    Bytes absurd = original;
    std::memcpy(&absurd[2], "\0\0\0\x70", 4);
    refused(absurd, "bfSize far beyond the file");
    Bytes wide = original;
    std::memcpy(&wide[18], "\0\0\x10\0", 4);  // width 1 M
    refused(wide, "rows announced that are not there");
    Bytes colours = original;
    std::memcpy(&colours[46], "\xFF\xFF\0\0", 4);
    refused(colours, "65535 colours");
    refused(Bytes(), "empty file");
    EXPECT_EQ(Dw().ReadDIBFile(PathIn(dir, L"missing.bmp").c_str()), nullptr);
}

// A bounded fuzz-style run over mutated BMP headers through the export:
// no crash, and anything accepted is a picture whose rows can be used.
TEST(ReadDIBFile, SurvivesMutatedHeaders) {
    TempDir dir;
    HBITMAP picture = MakePicture(9, 5, Gradient);
    const std::string path = PathIn(dir, L"fuzz.bmp");
    ASSERT_EQ(Dw().WriteBMPFile(path.c_str(), nullptr, picture), 1);
    Dw().FreeDIBitmap(&picture);
    const Bytes original = ReadBytes(path);
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        Bytes b = original;
        const int flips = 1 + random() % 3;
        for (int i = 0; i < flips; ++i) b[random() % 54] = static_cast<uint8_t>(random());
        if (random() % 4 == 0) b.resize(random() % b.size());
        WriteBytes(path, b);
        HBITMAP bmp = Dw().ReadDIBitmapFile(path.c_str());
        if (bmp) {
            EXPECT_EQ(HeaderOf(bmp).biBitCount, 24);
            Dw().FreeDIBitmap(&bmp);
        }
    }
}

TEST(ReadGraphicsFile, RefusesShortPathsAndPathsWithoutDot) {
    HBITMAP bmp = nullptr;
    EXPECT_EQ(Dw().ReadGraphicsFile("a.bm", nullptr, &bmp), 0);
    EXPECT_EQ(Dw().ReadGraphicsFile("C:\\pictures\\nodot", nullptr, &bmp), 0);
    EXPECT_EQ(Dw().ReadGraphicsFile(nullptr, nullptr, &bmp), 0);
    EXPECT_EQ(Dw().ReadGraphicsFile("C:\\x.bmp", nullptr, nullptr), 0);
    EXPECT_EQ(Dw().WriteGraphicsFile("a.bm", nullptr, nullptr), 0);
    EXPECT_EQ(bmp, nullptr);
}

// Every route there and back: BMP exact, PNG exact, JPEG close, GIF exact
// for a picture of few colours; capital extensions take the same routes.
TEST(GraphicsFiles, RoundTripThroughEveryWritableRoute) {
    TempDir dir;
    // Smooth (no wrap-around edges), so that JPEG's loss stays small.
    HBITMAP picture = MakePicture(40, 30, [](int x, int y) { return RGB(x * 6, y * 8, (x + y) * 3); });
    struct Case {
        const wchar_t *name;
        const char *magic;
        int tolerance;
    } cases[] = {{L"a.bmp", "BM", 0}, {L"b.PNG", "\x89PNG", 0},
                 // The dispatcher writes JPEG at the module's option, quality
                 // 20 until a save dialog changes it: close, not exact.
                 {L"c.JPG", "\xFF\xD8", 40}, {L"d.jpeg", "\xFF\xD8", 40}};
    for (const Case &c : cases) {
        const std::string path = PathIn(dir, c.name);
        ASSERT_NE(Dw().WriteGraphicsFile(path.c_str(), nullptr, picture), 0) << path;
        const Bytes bytes = ReadBytes(path);
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_EQ(std::memcmp(bytes.data(), c.magic, std::strlen(c.magic)), 0) << path;
        HBITMAP back = nullptr;
        ASSERT_NE(Dw().ReadGraphicsFile(path.c_str(), nullptr, &back), 0) << path;
        ASSERT_NE(back, nullptr);
        EXPECT_LE(MaxDifference(back, picture, 40, 30), c.tolerance) << path;
        Dw().FreeDIBitmap(&back);
        HGLOBAL dib = nullptr;
        EXPECT_NE(Dw().ReadGraphicsFile(path.c_str(), &dib, nullptr), 0) << path;
        EXPECT_NE(dib, nullptr);
        Dw().FreeDIB(&dib);
    }

    // At quality 95, as the program saves, JPEG is all but exact.
    const std::string fine = PathIn(dir, L"fine.jpg");
    ASSERT_NE(Dw().WriteJpegFile(fine.c_str(), nullptr, picture, 95), 0);
    HBITMAP fineBack = nullptr;
    ASSERT_NE(Dw().ReadGraphicsFile(fine.c_str(), nullptr, &fineBack), 0);
    EXPECT_LE(MaxDifference(fineBack, picture, 40, 30), 12);
    Dw().FreeDIBitmap(&fineBack);

    HBITMAP fewColours = MakePicture(12, 9, [](int x, int y) { return (x + y) % 3 ? RGB(200, 30, 30) : RGB(10, 90, 250); });
    const std::string gif = PathIn(dir, L"e.gif");
    ASSERT_NE(Dw().WriteGraphicsFile(gif.c_str(), nullptr, fewColours), 0);
    HBITMAP back = nullptr;
    ASSERT_NE(Dw().ReadGIFFile(gif.c_str(), nullptr, &back), 0);
    EXPECT_EQ(MaxDifference(back, fewColours, 12, 9), 0);
    Dw().FreeDIBitmap(&back);
    // Many colours go through the reduced palette: close, not exact.
    const std::string gradientGif = PathIn(dir, L"f.gif");
    ASSERT_NE(Dw().WriteGIFFile(gradientGif.c_str(), nullptr, picture), 0);
    ASSERT_NE(Dw().ReadGraphicsFile(gradientGif.c_str(), nullptr, &back), 0);
    EXPECT_LE(MaxDifference(back, picture, 40, 30), 40);
    Dw().FreeDIBitmap(&back);

    EXPECT_EQ(Dw().WriteGraphicsFile(PathIn(dir, L"g.tga").c_str(), nullptr, picture), 0);
    EXPECT_FALSE(FileExists(PathIn(dir, L"g.tga")));
    Dw().FreeDIBitmap(&fewColours);
    Dw().FreeDIBitmap(&picture);
}

TEST(GraphicsFiles, ReadOnlyRoutesAndTheFallback) {
    TempDir dir;
    // Any-map and PCX through our own readers.
    Bytes ppm = {'P', '6', ' ', '2', ' ', '1', ' ', '2', '5', '5', '\n', 1, 2, 3, 250, 251, 252};
    WriteBytes(PathIn(dir, L"a.ppm"), ppm);
    HBITMAP bmp = nullptr;
    ASSERT_NE(Dw().ReadGraphicsFile(PathIn(dir, L"a.ppm").c_str(), nullptr, &bmp), 0);
    EXPECT_EQ(PixelAt(bmp, 1, 0), RGB(250, 251, 252));
    Dw().FreeDIBitmap(&bmp);

    Bytes pcx(128, 0);
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 1;  // xmax 1: two pixels
    pcx[65] = 3;
    pcx[66] = 2;
    for (uint8_t v : {10, 20, 30, 40, 50, 60}) pcx.push_back(v);
    WriteBytes(PathIn(dir, L"b.pcx"), pcx);
    ASSERT_NE(Dw().ReadPCXFile(PathIn(dir, L"b.pcx").c_str(), nullptr, &bmp), 0);
    EXPECT_EQ(PixelAt(bmp, 0, 0), RGB(10, 30, 50));
    Dw().FreeDIBitmap(&bmp);

    // A metafile rendered at its own frame size through the dispatcher.
    const std::wstring emfPath = dir.File(L"c.emf");
    RECT frame{0, 0, 1000, 1000};  // 10 mm
    HDC meta = CreateEnhMetaFileW(nullptr, emfPath.c_str(), &frame, nullptr);
    RECT all{0, 0, 2000, 2000};
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(meta, &all, green);
    DeleteObject(green);
    DeleteEnhMetaFile(CloseEnhMetaFile(meta));
    ASSERT_NE(Dw().ReadGraphicsFile(Narrow(emfPath).c_str(), nullptr, &bmp), 0);
    EXPECT_GT(HeaderOf(bmp).biWidth, 10);
    EXPECT_EQ(PixelAt(bmp, 2, 2), RGB(0, 200, 0));
    Dw().FreeDIBitmap(&bmp);

    // A PNG under ".tga": no route, the fallback reader takes it by content.
    HBITMAP picture = MakePicture(5, 4, Gradient);
    ASSERT_NE(Dw().WritePNGFile(PathIn(dir, L"d.png").c_str(), nullptr, picture), 0);
    MoveFileA(PathIn(dir, L"d.png").c_str(), PathIn(dir, L"d.tga").c_str());
    ASSERT_NE(Dw().ReadGraphicsFile(PathIn(dir, L"d.tga").c_str(), nullptr, &bmp), 0);
    EXPECT_EQ(MaxDifference(bmp, picture, 5, 4), 0);
    Dw().FreeDIBitmap(&bmp);

    // Broken files of the codec routes: 0 and nothing stored.
    for (const wchar_t *name : {L"x.ppm", L"x.pcx", L"x.gif", L"x.png", L"x.jpg", L"x.emf"}) {
        WriteBytes(PathIn(dir, name), Bytes(64, 0x21));
        bmp = nullptr;
        EXPECT_EQ(Dw().ReadGraphicsFile(PathIn(dir, name).c_str(), nullptr, &bmp), 0) << Narrow(name);
        EXPECT_EQ(bmp, nullptr);
    }
    Dw().FreeDIBitmap(&picture);
}

// Codec files cut short or with their header broken: 0, nothing stored,
// no crash, through the route and the fallback reader alike.
TEST(GraphicsFiles, CodecRoutesRefuseTruncatedAndBrokenFiles) {
    TempDir dir;
    HBITMAP picture = MakePicture(64, 48, Gradient);
    for (const wchar_t *name : {L"t.gif", L"t.png", L"t.jpg"}) {
        const std::string path = PathIn(dir, name);
        ASSERT_NE(Dw().WriteGraphicsFile(path.c_str(), nullptr, picture), 0);
        const Bytes whole = ReadBytes(path);
        for (size_t keep : {size_t(6), size_t(20), whole.size() / 2}) {
            WriteBytes(path, Bytes(whole.begin(), whole.begin() + keep));
            HBITMAP bmp = nullptr;
            EXPECT_EQ(Dw().ReadGraphicsFile(path.c_str(), nullptr, &bmp), 0) << Narrow(name) << " cut to " << keep;
            EXPECT_EQ(bmp, nullptr);
            if (bmp) Dw().FreeDIBitmap(&bmp);
        }
        Bytes broken = whole;
        for (size_t i = 4; i < 24 && i < broken.size(); ++i) broken[i] = 0xFF;
        WriteBytes(path, broken);
        HBITMAP bmp = nullptr;
        EXPECT_EQ(Dw().ReadGraphicsFile(path.c_str(), nullptr, &bmp), 0) << Narrow(name) << " broken header";
        if (bmp) Dw().FreeDIBitmap(&bmp);
    }
    Dw().FreeDIBitmap(&picture);
}

TEST(GraphicsFiles, IconFilesAreDrawnOnWhite) {
    TempDir dir;
    // A 2 x 2 icon, 24 bits: XOR rows bottom-up, red; the AND mask makes
    // the bottom-right pixel transparent (and its XOR pixel black).
    Bytes ico = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 24, 0};
    const uint32_t imageBytes = 40 + 8 * 2 + 4 * 2;
    for (int i = 0; i < 4; ++i) ico.push_back(static_cast<uint8_t>(imageBytes >> (8 * i)));
    for (int i = 0; i < 4; ++i) ico.push_back(static_cast<uint8_t>(22 >> (8 * i)));
    Bytes header(40, 0);
    header[0] = 40;
    header[4] = 2;
    header[8] = 4;  // height doubled: XOR + AND
    header[12] = 1;
    header[14] = 24;
    ico.insert(ico.end(), header.begin(), header.end());
    const uint8_t red[] = {0, 0, 255};
    const uint8_t black[] = {0, 0, 0};
    for (int row = 0; row < 2; ++row) {
        for (int px = 0; px < 2; ++px) {
            const uint8_t *colour = row == 0 && px == 1 ? black : red;
            ico.insert(ico.end(), colour, colour + 3);
        }
        ico.insert(ico.end(), {0, 0});
    }
    ico.insert(ico.end(), {0x40, 0, 0, 0, 0, 0, 0, 0});
    const std::string path = PathIn(dir, L"i.ico");
    WriteBytes(path, ico);
    HBITMAP bmp = nullptr;
    ASSERT_EQ(Dw().ReadIconFile(path.c_str(), nullptr, &bmp), 1);
    const BITMAPINFOHEADER h = HeaderOf(bmp);
    EXPECT_EQ(h.biWidth, 32);
    EXPECT_EQ(h.biHeight, 32);
    // Drawn at the default size over white: opaque red top-left, the
    // white fill where the mask is transparent.
    EXPECT_EQ(PixelAt(bmp, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(bmp, 31, 31), RGB(255, 255, 255));
    Dw().FreeDIBitmap(&bmp);
    HGLOBAL dib = nullptr;
    ASSERT_EQ(Dw().ReadGraphicsFile(path.c_str(), &dib, nullptr), 1);
    Dw().FreeDIB(&dib);
    WriteBytes(path, Bytes(30, 1));
    EXPECT_EQ(Dw().ReadIconFile(path.c_str(), nullptr, &bmp), 0);
}

// A 24-bit picture whose corners share one colour is written with that
// colour transparent; below 6 x 6, or without the flag, nothing is.
TEST(GifTransparency, FromTheCorners) {
    TempDir dir;
    const COLORREF sky = RGB(30, 140, 250), sun = RGB(250, 200, 20);
    auto framed = [&](int x, int y) { return (x > 1 && y > 1 && x < 8 && y < 6) ? sun : sky; };
    HBITMAP picture = MakePicture(10, 8, framed);
    const std::string path = PathIn(dir, L"t.gif");

    ASSERT_NE(Dw().WriteGIFFileEngineWithTrans(path.c_str(), nullptr, picture, 1), 0);
    Bytes gif = ReadBytes(path);
    auto index = GifTransparentIndex(gif);
    ASSERT_TRUE(index.has_value());
    ASSERT_GE(*index, 0);
    EXPECT_EQ(GifColour(gif, *index), std::optional<COLORREF>(sky));

    ASSERT_NE(Dw().WriteGIFFile(path.c_str(), nullptr, picture), 0);
    EXPECT_EQ(GifTransparentIndex(ReadBytes(path)), std::optional<int>(-1)) << "no flag, no transparency";

    HBITMAP small = MakePicture(5, 5, [&](int, int) { return sky; });
    ASSERT_NE(Dw().WriteGIFFileEngineWithTrans(path.c_str(), nullptr, small, 1), 0);
    EXPECT_EQ(GifTransparentIndex(ReadBytes(path)), std::optional<int>(-1));

    // The top-left corner's colour must come back at 3 of the 7 other
    // corner and inner-corner pixels: 2 is not enough, 3 is.
    auto skyAt = [&](std::initializer_list<POINT> points) {
        return [&, points = std::vector<POINT>(points)](int x, int y) {
            for (const POINT &p : points) {
                if (p.x == x && p.y == y) return sky;
            }
            return sun;
        };
    };
    HBITMAP two = MakePicture(10, 10, skyAt({{0, 0}, {1, 1}, {9, 9}}));
    ASSERT_NE(Dw().WriteGraphicsFile(path.c_str(), nullptr, two), 0);
    EXPECT_EQ(GifTransparentIndex(ReadBytes(path)), std::optional<int>(-1)) << "two of seven";
    Dw().FreeDIBitmap(&two);
    HBITMAP three = MakePicture(10, 10, skyAt({{0, 0}, {1, 1}, {9, 9}, {8, 8}}));
    ASSERT_NE(Dw().WriteGraphicsFile(path.c_str(), nullptr, three), 0);
    const Bytes threeGif = ReadBytes(path);
    ASSERT_GE(GifTransparentIndex(threeGif).value_or(-1), 0) << "three of seven";
    EXPECT_EQ(GifColour(threeGif, *GifTransparentIndex(threeGif)), std::optional<COLORREF>(sky));
    Dw().FreeDIBitmap(&three);
    Dw().FreeDIBitmap(&small);
    Dw().FreeDIBitmap(&picture);
}

TEST(ResourcePictures, WholeFileResourceAndButtonFace) {
    HMODULE self = GetModuleHandleW(nullptr);
    HGLOBAL dib = Dw().LoadDIBFromResource(self, IDR_FACE_FILE);
    ASSERT_NE(dib, nullptr);
    BITMAPINFOHEADER *h = nullptr;
    BYTE *bits = Dw().GetMetaBitmapInfoHeader(dib, nullptr, &h);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 4);
    EXPECT_EQ(h->biHeight, 2);
    EXPECT_EQ(bits[0], 255);  // bottom-left pixel blue
    EXPECT_EQ(bits[12 + 5], 255);  // top row, second pixel red
    Dw().ReleaseMetaBitmapInfoHeader(dib, nullptr, h);
    Dw().FreeDIB(&dib);
    EXPECT_EQ(Dw().LoadDIBFromResource(self, 999), nullptr);

    HBITMAP face = Dw().LoadBitmapForIcon(self, IDB_FACE, RGB(255, 0, 255));
    ASSERT_NE(face, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, face);
    const COLORREF buttonFace = GetNearestColor(dc, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(dc, 0, 0), buttonFace);
    EXPECT_EQ(GetPixel(dc, 2, 0), buttonFace);
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(face);
    EXPECT_EQ(Dw().LoadBitmapForIcon(self, 999, 0), nullptr);

    HBITMAP loaded = Dw().LoadImageDIBitmap(self, MAKEINTRESOURCEA(IDB_FACE), LR_CREATEDIBSECTION);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(HeaderOf(loaded).biWidth, 4);
    Dw().FreeDIBitmap(&loaded);
}
