// The plain parts of picture files: the BMP checks (with a bounded
// mutation run under the sanitizers), the write plan, the extension table
// and the GIF corner rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "picture_files.h"

using namespace dibwork;
using Bytes = std::vector<uint8_t>;

namespace {

void Put32(Bytes &b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(Bytes &b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// A packed DIB (no file header): 40-byte header, `colours` table entries,
// the rows.
Bytes MakeDib(int width, int height, int bits, uint32_t colours, uint32_t compression = 0, uint32_t sizeImage = 0) {
    const uint32_t stride = ((width * bits + 31) / 32) * 4;
    const uint32_t image = compression ? sizeImage : stride * static_cast<uint32_t>(height < 0 ? -height : height);
    Bytes b(40 + colours * 4 + image, 0);
    Put32(b, 0, 40);
    Put32(b, 4, static_cast<uint32_t>(width));
    Put32(b, 8, static_cast<uint32_t>(height));
    Put16(b, 12, 1);
    Put16(b, 14, static_cast<uint16_t>(bits));
    Put32(b, 16, compression);
    Put32(b, 20, sizeImage);
    Put32(b, 32, colours);
    return b;
}

// An 8-bit view over a buffer filled with `fill`.
struct Picture8 {
    int w, h;
    std::vector<uint8_t> bits;
    Picture8(int width, int height, uint8_t fill) : w(width), h(height), bits(((width + 3) & ~3) * height, fill) {}
    uint8_t &At(int x, int y) { return view().Row(y)[x]; }
    PixelView view() {
        PixelView v;
        v.bits = bits.data();
        v.width = w;
        v.height = h;
        v.stride = static_cast<uint32_t>((w + 3) & ~3);
        v.bitCount = 8;
        return v;
    }
};

}  // namespace

TEST(BmpChecks, BlockSizeMustHoldTheFileWithoutAbsurdClaims) {
    BmpFileHeader h;
    h.type = kBmpSignature;
    h.size = 1000;
    EXPECT_EQ(BmpBlockBytes(h, 1000), std::optional<uint32_t>(1000));
    EXPECT_EQ(BmpBlockBytes(h, 1014), std::optional<uint32_t>(1000)) << "exactly the rest after the file header";
    EXPECT_FALSE(BmpBlockBytes(h, 1015)) << "the rest would overrun the block";
    EXPECT_TRUE(BmpBlockBytes(h, 500)) << "a little larger than the file: zero-filled tail";
    h.size = 500 + kBmpSizeSlack + 1;
    EXPECT_FALSE(BmpBlockBytes(h, 500));
    h.size = 0xFFFFFFF0u;
    EXPECT_FALSE(BmpBlockBytes(h, 0xFFFFFFF0ull));
    h.size = 0;
    EXPECT_FALSE(BmpBlockBytes(h, 13));
}

TEST(BmpChecks, DibMustHoldWhatItsHeaderAnnounces) {
    const Bytes rgb = MakeDib(3, 2, 24, 0);
    EXPECT_TRUE(DibBlockIsWhole(rgb.data(), rgb.size()));
    EXPECT_FALSE(DibBlockIsWhole(rgb.data(), rgb.size() - 1));
    const Bytes pal = MakeDib(5, 5, 8, 256);
    EXPECT_TRUE(DibBlockIsWhole(pal.data(), pal.size()));
    EXPECT_FALSE(DibBlockIsWhole(pal.data(), 40 + 1023));
    Bytes implied = MakeDib(5, 5, 8, 0);  // 0 colours = the full 256 table
    EXPECT_FALSE(DibBlockIsWhole(implied.data(), implied.size()));
    Bytes tooManyColours = MakeDib(2, 2, 8, 257);
    EXPECT_FALSE(DibBlockIsWhole(tooManyColours.data(), tooManyColours.size()));
    Bytes badBits = MakeDib(2, 2, 24, 0);
    Put16(badBits, 14, 7);
    EXPECT_FALSE(DibBlockIsWhole(badBits.data(), badBits.size()));
    Bytes twoPlanes = MakeDib(2, 2, 24, 0);
    Put16(twoPlanes, 12, 2);
    EXPECT_FALSE(DibBlockIsWhole(twoPlanes.data(), twoPlanes.size()));
    Bytes huge = MakeDib(2, 2, 24, 0);
    Put32(huge, 4, 0x7FFFFFFF);
    EXPECT_FALSE(DibBlockIsWhole(huge.data(), huge.size()));
    const Bytes rle = MakeDib(64, 64, 8, 256, 1, 10);
    EXPECT_TRUE(DibBlockIsWhole(rle.data(), rle.size())) << "run-length rows: biSizeImage bytes";
    EXPECT_FALSE(DibBlockIsWhole(rle.data(), rle.size() - 1));
    Bytes jpegInside = MakeDib(2, 2, 24, 0, 4, 4);
    EXPECT_FALSE(DibBlockIsWhole(jpegInside.data(), jpegInside.size()));
}

// Bounded mutation run: whatever the header says, the checks never read
// past the bytes they are given (AddressSanitizer watches an exact copy).
TEST(BmpChecks, SurviveMutatedHeaders) {
    std::mt19937 random(2024);
    const Bytes seeds[] = {MakeDib(7, 3, 24, 0), MakeDib(9, 4, 8, 256), MakeDib(17, 2, 1, 2), MakeDib(8, 8, 8, 256, 1, 20)};
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes b = seeds[round % 4];
        const int flips = 1 + random() % 4;
        for (int i = 0; i < flips; ++i) b[random() % 40] = static_cast<uint8_t>(random());
        size_t size = b.size();
        if (random() % 3 == 0) size = random() % (b.size() + 1);
        std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
        std::memcpy(exact.get(), b.data(), size);
        if (DibBlockIsWhole(exact.get(), size)) ++accepted;
        uint8_t file[14];
        std::memcpy(file, b.data(), 14);
        (void)BmpBlockBytes(ReadBmpFileHeader(file), size);
    }
    EXPECT_GT(accepted, 0);
}

// A BMP file judged from its headers and size alone gives the verdict of
// the whole-file check, for files of any size: one past 4 GiB included,
// whose claimed rows do not fit 32 bits of file.
TEST(BmpChecks, HeadersAndSizeDecideForFilesOfAnySize) {
    std::mt19937 random(99);
    const Bytes seeds[] = {MakeDib(7, 3, 24, 0), MakeDib(9, 4, 8, 256), MakeDib(8, 8, 8, 256, 1, 20)};
    int whole = 0;
    for (int round = 0; round < 5000; ++round) {
        const Bytes &dib = seeds[round % 3];
        Bytes file(14 + dib.size() + random() % 3, 0);
        file[0] = 'B';
        file[1] = 'M';
        Put32(file, 2, static_cast<uint32_t>(file.size() - 14));
        Put32(file, 10, 14 + 40 + 4 * ReadDibHeaderFields(dib.data()).colorsUsed);
        std::copy(dib.begin(), dib.end(), file.begin() + 14);
        if (round % 2) file[14 + random() % 40] = static_cast<uint8_t>(random());
        if (round % 5 == 0) file.resize(random() % file.size());
        const size_t head = std::min(file.size(), kBmpHeadBytes);
        const bool verdict = BmpFileLooksWhole(file.data(), file.size());
        ASSERT_EQ(BmpHeadLooksWhole(file.data(), head, file.size()), verdict) << round;
        whole += verdict;
    }
    EXPECT_GT(whole, 0);

    // A header of 60000 x 60000 at 24 bits (about 10 GiB of rows) in a
    // 300 MiB file: refused without reading the file.
    Bytes head(14 + 40, 0);
    head[0] = 'B';
    head[1] = 'M';
    Put32(head, 2, 300u << 20);
    Put32(head, 10, 54);
    Put32(head, 14, 40);
    Put32(head, 18, 60000);
    Put32(head, 22, 60000);
    Put16(head, 26, 1);
    Put16(head, 28, 24);
    EXPECT_FALSE(BmpHeadLooksWhole(head.data(), head.size(), (300ull << 20) + 14));
    // 300 MiB of rows that are all there pass.
    Put32(head, 2, 54 + (300u << 20));
    Put32(head, 18, 1024);
    Put32(head, 22, 102400);  // 3072 x 102400 = 300 MiB
    EXPECT_TRUE(BmpHeadLooksWhole(head.data(), head.size(), 54ull + (300ull << 20)));
}

TEST(BmpWritePlan, LayoutOfTheFile) {
    DibHeaderFields h;
    h.headerSize = 40;
    h.width = 640;
    h.height = 480;
    h.planes = 1;
    h.bitCount = 24;
    h.sizeImage = 640 * 3 * 480;
    auto plan = PlanBmpWrite(h);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->file.type, 0x4D42);
    EXPECT_EQ(plan->file.size, 54u + 921600u);
    EXPECT_EQ(plan->file.offBits, 54u);
    EXPECT_EQ(plan->colours, 0u);

    h.bitCount = 8;
    h.width = 5;
    h.height = 3;
    h.sizeImage = 0;  // not filled in: the rows are still written
    h.colorsUsed = 0; // not filled in: the whole table is still written
    plan = PlanBmpWrite(h);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->colours, 256u);
    EXPECT_EQ(plan->imageBytes, 8u * 3u);
    EXPECT_EQ(plan->file.offBits, 54u + 1024u);
    EXPECT_EQ(plan->file.size, 54u + 1024u + 24u);

    h.colorsUsed = 5;
    plan = PlanBmpWrite(h);
    EXPECT_EQ(plan->file.offBits, 54u + 20u) << "biClrUsed entries, as the header holds them";

    // A biSizeImage smaller (or larger) than the rows: the rows are written.
    for (uint32_t claimed : {1u, 23u, 25u, 4096u}) {
        h.sizeImage = claimed;
        plan = PlanBmpWrite(h);
        ASSERT_TRUE(plan);
        EXPECT_EQ(plan->imageBytes, 24u) << claimed;
        EXPECT_EQ(plan->file.size, 54u + 20u + 24u) << claimed;
    }
    h.sizeImage = 0;
    h.colorsUsed = 257;
    EXPECT_FALSE(PlanBmpWrite(h)) << "more colours than 8 bits index";
    h.colorsUsed = 5;

    h.compression = kCompressionBitfields;
    h.bitCount = 16;
    EXPECT_FALSE(PlanBmpWrite(h)) << "no room for the masks";

    uint8_t raw[14];
    StoreBmpFileHeader(plan->file, raw);
    EXPECT_EQ(raw[0], 'B');
    EXPECT_EQ(raw[1], 'M');
    const BmpFileHeader back = ReadBmpFileHeader(raw);
    EXPECT_EQ(back.size, plan->file.size);
    EXPECT_EQ(back.offBits, plan->file.offBits);
}

TEST(ExtensionTable, LastDotAtMostFourCharactersAnyCase) {
    EXPECT_FALSE(PathExtension("nodot"));
    EXPECT_EQ(*PathExtension("a.b.JPEG"), "JPEG");
    EXPECT_EQ(*PathExtension("x.abcdef"), "abcd");
    EXPECT_EQ(ClassifyExtension("JPG"), PictureKind::kJpeg);
    EXPECT_EQ(ClassifyExtension("Jpeg"), PictureKind::kJpeg);
    EXPECT_EQ(ClassifyExtension("rle"), PictureKind::kBmp);
    EXPECT_EQ(ClassifyExtension("ANI"), PictureKind::kIcon);
    EXPECT_EQ(ClassifyExtension("emf"), PictureKind::kMetafile);
    EXPECT_EQ(ClassifyExtension("pgm"), PictureKind::kAnyMap);
    EXPECT_EQ(ClassifyExtension("pcx"), PictureKind::kPcx);
    EXPECT_EQ(ClassifyExtension("tga"), PictureKind::kOther);
    EXPECT_EQ(ClassifyExtension("bm"), PictureKind::kOther);
    EXPECT_EQ(ClassifyExtension(""), PictureKind::kOther);
}

TEST(GifCorners, TopLeftIndexWhenThreeOthersShareIt) {
    Picture8 p(8, 7, 1);
    p.At(0, 0) = 9;
    EXPECT_EQ(CornerTransparentIndex(p.view()), -1) << "no other sample point is 9";
    p.At(7, 6) = 9;
    p.At(1, 1) = 9;
    EXPECT_EQ(CornerTransparentIndex(p.view()), -1) << "two others are not enough";
    p.At(6, 1) = 9;  // diagonal inside the top-right corner
    EXPECT_EQ(CornerTransparentIndex(p.view()), 9);

    Picture8 same(6, 6, 4);
    EXPECT_EQ(CornerTransparentIndex(same.view()), 4) << "6 x 6 is large enough";
    Picture8 narrow(5, 40, 4);
    EXPECT_EQ(CornerTransparentIndex(narrow.view()), -1);
    Picture8 low(40, 5, 4);
    EXPECT_EQ(CornerTransparentIndex(low.view()), -1);
    // The sample points are exactly these eight: the rest does not count.
    Picture8 frame(10, 10, 2);
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {9, 0}, {8, 1}, {0, 9}, {1, 8}, {9, 9}, {8, 8}}) frame.At(x, y) = 3;
    frame.At(0, 0) = 2;
    EXPECT_EQ(CornerTransparentIndex(frame.view()), -1);
}
