// The PCX and any-map readers: each supported form decodes to the colours
// that were put in, and broken files of every kind give nothing (run under
// AddressSanitizer, so a read past the buffer fails the test too).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "decoded_image.h"

using codecs::DecodePcx;
using codecs::DecodePnm;
using Bytes = std::vector<uint8_t>;

namespace {

void Put16(Bytes &b, size_t at, int v) {
    b[at] = static_cast<uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

Bytes PcxHeader(int width, int height, int bits, int planes, int lineBytes) {
    Bytes b(128, 0);
    b[0] = 0x0A;
    b[1] = 5;
    b[2] = 1;
    b[3] = static_cast<uint8_t>(bits);
    Put16(b, 8, width - 1);
    Put16(b, 10, height - 1);
    b[65] = static_cast<uint8_t>(planes);
    Put16(b, 66, lineBytes);
    return b;
}

// Run-length encodes one buffer the way PCX writers do (runs up to 63,
// literal bytes with the top bits set always as a run of one).
void AppendRuns(Bytes &out, const Bytes &raw) {
    for (size_t i = 0; i < raw.size();) {
        size_t n = 1;
        while (i + n < raw.size() && raw[i + n] == raw[i] && n < 63) ++n;
        if (n > 1 || (raw[i] & 0xC0) == 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | n));
        out.push_back(raw[i]);
        i += n;
    }
}

// An 8-bit 3 x 2 PCX with the palette at the end: index i is (i, 2i, 3i).
Bytes Pcx8() {
    Bytes b = PcxHeader(3, 2, 8, 1, 4);
    AppendRuns(b, {0, 1, 2, 0, 5, 5, 5, 0});
    b.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
        b.push_back(static_cast<uint8_t>(i));
        b.push_back(static_cast<uint8_t>(2 * i));
        b.push_back(static_cast<uint8_t>(3 * i));
    }
    return b;
}

void ExpectPixel(const codecs::DecodedImage &image, int x, int y, int r, int g, int b) {
    const uint8_t *p = image.Pixel(x, y);
    EXPECT_EQ(p[2], r) << x << "," << y;
    EXPECT_EQ(p[1], g) << x << "," << y;
    EXPECT_EQ(p[0], b) << x << "," << y;
}

Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }

}  // namespace

TEST(PcxReader, DecodesEachSupportedForm) {
    auto vga = DecodePcx(Pcx8().data(), Pcx8().size());
    ASSERT_TRUE(vga);
    EXPECT_EQ(vga->width, 3);
    EXPECT_EQ(vga->height, 2);
    ExpectPixel(*vga, 1, 0, 1, 2, 3);
    ExpectPixel(*vga, 2, 0, 2, 4, 6);
    ExpectPixel(*vga, 0, 1, 5, 10, 15);

    // True colour: three planes per line, red first; a run crossing the
    // end of a line carries on into the next one.
    Bytes rgb = PcxHeader(2, 2, 8, 3, 2);
    rgb.insert(rgb.end(), {0xC7, 200, 10, 20, 30, 40, 50, 60, 70, 80, 90});
    auto tc = DecodePcx(rgb.data(), rgb.size());
    ASSERT_TRUE(tc);
    ExpectPixel(*tc, 0, 0, 200, 200, 200);
    ExpectPixel(*tc, 1, 0, 200, 200, 200);
    ExpectPixel(*tc, 0, 1, 200, 20, 40);
    ExpectPixel(*tc, 1, 1, 10, 30, 50);

    // Mono: bit 1 white, most significant bit first.
    Bytes mono = PcxHeader(10, 1, 1, 1, 2);
    AppendRuns(mono, {0x80, 0x40});
    auto m = DecodePcx(mono.data(), mono.size());
    ASSERT_TRUE(m);
    ExpectPixel(*m, 0, 0, 255, 255, 255);
    ExpectPixel(*m, 1, 0, 0, 0, 0);
    ExpectPixel(*m, 9, 0, 255, 255, 255);

    // 16 colours in four bit planes, plane 0 the lowest bit of the index.
    Bytes ega = PcxHeader(2, 1, 1, 4, 2);
    for (int i = 0; i < 16; ++i) ega[16 + 3 * i] = static_cast<uint8_t>(i * 16);
    AppendRuns(ega, {0x80, 0, 0x40, 0, 0xC0, 0, 0, 0});
    auto e = DecodePcx(ega.data(), ega.size());
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Pixel(0, 0)[2], 5 * 16);  // planes 0 and 2
    EXPECT_EQ(e->Pixel(1, 0)[2], 6 * 16);  // planes 1 and 2
}

TEST(PcxReader, RefusesBrokenFiles) {
    const Bytes good = Pcx8();
    for (size_t cut : {size_t(0), size_t(10), size_t(127), size_t(130), good.size() - 1}) {
        EXPECT_FALSE(DecodePcx(good.data(), cut)) << "cut at " << cut;
    }
    Bytes noPalette = good;
    noPalette[noPalette.size() - 769] = 0;
    EXPECT_FALSE(DecodePcx(noPalette.data(), noPalette.size()));
    Bytes narrowLines = PcxHeader(100, 1, 8, 3, 10);
    narrowLines.resize(1000, 0);
    EXPECT_FALSE(DecodePcx(narrowLines.data(), narrowLines.size()));
    Bytes huge = PcxHeader(65535, 65535, 8, 3, 65535);
    huge.resize(200, 0);
    EXPECT_FALSE(DecodePcx(huge.data(), huge.size()));
    Bytes twoBits = PcxHeader(4, 1, 2, 1, 2);
    twoBits.resize(200, 0);
    EXPECT_FALSE(DecodePcx(twoBits.data(), twoBits.size()));
}

TEST(PnmReader, DecodesAllSixForms) {
    const Bytes p1Text = Text("P1\n# a comment\n3 1\n1 0\n1");
    auto p1 = DecodePnm(p1Text.data(), p1Text.size());
    ASSERT_TRUE(p1);
    ExpectPixel(*p1, 0, 0, 0, 0, 0);
    ExpectPixel(*p1, 1, 0, 255, 255, 255);

    const Bytes p1Packed = Text("P1 3 1 101");
    auto packed = DecodePnm(p1Packed.data(), p1Packed.size());
    ASSERT_TRUE(packed);
    ExpectPixel(*packed, 2, 0, 0, 0, 0);

    const Bytes p2 = Text("P2 2 1 10 0 5");
    auto grey = DecodePnm(p2.data(), p2.size());
    ASSERT_TRUE(grey);
    ExpectPixel(*grey, 1, 0, 128, 128, 128);

    const Bytes p3 = Text("P3 1 1 255 10 20 30");
    auto colour = DecodePnm(p3.data(), p3.size());
    ASSERT_TRUE(colour);
    ExpectPixel(*colour, 0, 0, 10, 20, 30);

    Bytes p4 = Text("P4 9 1\n");
    p4.insert(p4.end(), {0x80, 0x80});
    auto bits = DecodePnm(p4.data(), p4.size());
    ASSERT_TRUE(bits);
    ExpectPixel(*bits, 0, 0, 0, 0, 0);
    ExpectPixel(*bits, 1, 0, 255, 255, 255);
    ExpectPixel(*bits, 8, 0, 0, 0, 0);

    Bytes p5 = Text("P5 2 1 65535\n");
    p5.insert(p5.end(), {0xFF, 0xFF, 0x00, 0x00});
    auto deep = DecodePnm(p5.data(), p5.size());
    ASSERT_TRUE(deep);
    ExpectPixel(*deep, 0, 0, 255, 255, 255);
    ExpectPixel(*deep, 1, 0, 0, 0, 0);

    Bytes p6 = Text("P6 1 1 255\n");
    p6.insert(p6.end(), {1, 2, 3});
    auto rgb = DecodePnm(p6.data(), p6.size());
    ASSERT_TRUE(rgb);
    ExpectPixel(*rgb, 0, 0, 1, 2, 3);
}

TEST(PnmReader, RefusesBrokenFiles) {
    for (const char *text : {"", "P", "P7 1 1 255 0", "P3 1 1", "P3 1 1 255 1 2", "P2 1 1 0 0", "P2 1 1 70000 0",
                             "P6 2 2 255\nabc", "P5 100000 100000 255\n", "P1 0 1", "P1 2 1 1 2",
                             "P2 99999999999 1 255 0"}) {
        const Bytes b = Text(text);
        EXPECT_FALSE(DecodePnm(b.data(), b.size())) << text;
    }
}

// Bounded mutation run over both readers: random bytes flipped and files
// cut short must never read outside the buffer (the sanitizers watch).
TEST(SmallReaders, SurviveMutatedInput) {
    std::mt19937 random(12345);
    Bytes seeds[] = {Pcx8(), Text("P6 4 4 255\n" + std::string(48, 'x')), Text("P3 2 2 255 1 2 3 4 5 6 7 8 9 10 11 12")};
    for (int round = 0; round < 3000; ++round) {
        Bytes b = seeds[round % 3];
        const int flips = 1 + random() % 8;
        for (int i = 0; i < flips; ++i) b[random() % b.size()] = static_cast<uint8_t>(random());
        if (random() % 4 == 0) b.resize(random() % b.size());
        // A copy of exactly the file's size, so that any overrun is caught.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[b.size() + 1]);
        std::memcpy(exact.get(), b.data(), b.size());
        (void)DecodePcx(exact.get(), b.size());
        (void)DecodePnm(exact.get(), b.size());
    }
}
