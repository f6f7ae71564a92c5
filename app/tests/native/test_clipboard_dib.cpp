// Clipboard pictures: only a whole, convertible, bottom-up picture of the
// screen's size is taken; every malformed header is refused without
// reading beyond the block.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "clipboard_dib.h"

using namespace pintora;

namespace {

struct Header {
    uint32_t size = 40;
    int32_t width = 0, height = 0;
    uint16_t planes = 1, bitCount = 24;
    uint32_t compression = 0, sizeImage = 0;
    int32_t xPels = 0, yPels = 0;
    uint32_t used = 0, important = 0;
};
static_assert(sizeof(Header) == 40, "info header");

uint32_t Stride(int w, int bits) { return ((static_cast<uint32_t>(w) * bits + 31) / 32) * 4; }

// A block holding the header, `tableEntries` colours and the full image.
std::vector<uint8_t> Block(const Header &h, uint32_t tableBytes, uint32_t imageBytes) {
    std::vector<uint8_t> b(40 + tableBytes + imageBytes, 0x5A);
    std::memcpy(b.data(), &h, sizeof h);
    return b;
}

Header Screen(int w, int h, uint16_t bits, uint32_t compression = 0) {
    Header x;
    x.width = w;
    x.height = h;
    x.bitCount = bits;
    x.compression = compression;
    return x;
}

TEST(ClipboardDib, AcceptsWholeScreenPicturesOfEveryConvertibleFormat) {
    const int w = 64, h = 48;
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        const Header x = Screen(w, h, bits);
        const uint32_t table = bits <= 8 ? 4u << bits : 0;
        const auto b = Block(x, table, Stride(w, bits) * h);
        EXPECT_TRUE(IsScreenSizeDib(b.data(), b.size(), w, h)) << bits;
    }
    for (uint16_t bits : {16, 32}) {
        const auto b = Block(Screen(w, h, bits, 3), 12, Stride(w, bits) * h);
        EXPECT_TRUE(IsScreenSizeDib(b.data(), b.size(), w, h)) << "bit fields " << bits;
    }
    Header rle = Screen(w, h, 8, 1);
    rle.sizeImage = 300;
    auto r = Block(rle, 1024, 300);
    EXPECT_TRUE(IsScreenSizeDib(r.data(), r.size(), w, h));
    r.resize(r.size() - 1);
    EXPECT_FALSE(IsScreenSizeDib(r.data(), r.size(), w, h)) << "run-length data cut short";
    rle.sizeImage = 0;
    const auto r0 = Block(rle, 1024, 300);
    EXPECT_FALSE(IsScreenSizeDib(r0.data(), r0.size(), w, h)) << "run-length data of unknown length";
}

TEST(ClipboardDib, RefusesAnotherSizeOrATopDownPicture) {
    const int w = 64, h = 48;
    const auto smaller = Block(Screen(w - 1, h, 24), 0, Stride(w - 1, 24) * h);
    EXPECT_FALSE(IsScreenSizeDib(smaller.data(), smaller.size(), w, h));
    const auto shorter = Block(Screen(w, h - 1, 24), 0, Stride(w, 24) * (h - 1));
    EXPECT_FALSE(IsScreenSizeDib(shorter.data(), shorter.size(), w, h));
    const auto topDown = Block(Screen(w, -h, 24), 0, Stride(w, 24) * h);
    EXPECT_FALSE(IsScreenSizeDib(topDown.data(), topDown.size(), w, h));
    EXPECT_FALSE(IsScreenSizeDib(topDown.data(), topDown.size(), 0, 0));
}

TEST(ClipboardDib, RefusesBogusHeaders) {
    const int w = 64, h = 48;
    const uint32_t image = Stride(w, 24) * h;
    auto check = [&](Header x, uint32_t table, uint32_t bytes) {
        const auto b = Block(x, table, bytes);
        return IsScreenSizeDib(b.data(), b.size(), w, h);
    };
    Header x = Screen(w, h, 24);
    x.size = 12;
    EXPECT_FALSE(check(x, 0, image)) << "core header";
    x.size = 124;
    EXPECT_FALSE(check(x, 84, image)) << "version 5 header";
    x.size = 0xFFFFFFFF;
    EXPECT_FALSE(check(x, 0, image)) << "absurd header size";
    for (uint16_t bits : {0, 2, 7, 48, 64, 65535}) {
        EXPECT_FALSE(check(Screen(w, h, bits), 1024, 8 * image)) << "bit count " << bits;
    }
    EXPECT_FALSE(check(Screen(w, h, 24, 4), 0, image)) << "embedded JPEG";
    EXPECT_FALSE(check(Screen(w, h, 24, 5), 0, image)) << "embedded PNG";
    EXPECT_FALSE(check(Screen(w, h, 24, 3), 12, image)) << "bit fields on 24 bits";
    EXPECT_FALSE(check(Screen(w, h, 24, 1), 0, image)) << "run-length on 24 bits";
    Header planes = Screen(w, h, 24);
    planes.planes = 3;
    EXPECT_FALSE(check(planes, 0, image));
    Header used = Screen(w, h, 8);
    used.used = 257;
    EXPECT_FALSE(check(used, 257 * 4, Stride(w, 8) * h)) << "more colours than 8 bits index";
    used.used = 0x10001;
    EXPECT_FALSE(check(used, 4, Stride(w, 8) * h)) << "a colour count that wraps in 16 bits";
    used.used = 16;
    EXPECT_TRUE(check(used, 64, Stride(w, 8) * h)) << "a short colour table is fine";
}

TEST(ClipboardDib, RefusesBlocksShorterThanTheirPicture) {
    const int w = 64, h = 48;
    const auto whole = Block(Screen(w, h, 8), 1024, Stride(w, 8) * h);
    for (size_t cut : {size_t{1}, size_t{100}, whole.size() - 40, whole.size() - 4, whole.size() - 1}) {
        EXPECT_FALSE(IsScreenSizeDib(whole.data(), whole.size() - cut, w, h)) << cut;
    }
    EXPECT_FALSE(IsScreenSizeDib(whole.data(), 39, w, h));
    EXPECT_FALSE(IsScreenSizeDib(whole.data(), 0, w, h));
    EXPECT_FALSE(IsScreenSizeDib(nullptr, 1 << 20, w, h));
}

TEST(ClipboardDib, RandomHeadersNeverReadOutsideTheBlock) {
    // Under the address sanitizer a read beyond the block would stop the test.
    std::mt19937 rng(7);
    for (int round = 0; round < 20000; ++round) {
        const size_t size = rng() % 200;
        std::vector<uint8_t> b(size);
        for (auto &v : b) v = static_cast<uint8_t>(rng());
        if (size >= 4 && (rng() & 1)) {
            const uint32_t forty = 40;
            std::memcpy(b.data(), &forty, 4);
        }
        // A real heap block of exactly `size` bytes, so overreads are caught.
        auto *exact = new uint8_t[size ? size : 1];
        if (size) std::memcpy(exact, b.data(), size);
        const bool ok = IsScreenSizeDib(exact, size, 2, 2);
        if (ok) {
            EXPECT_GE(size, 40u);
        }
        delete[] exact;
    }
}

}  // namespace
