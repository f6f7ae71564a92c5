// Layout arithmetic of packed DIBs under the sanitizers: every size that
// does not fit is refused, headers are read only within what is given.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "dib_format.h"
#include "kernel_pictures.h"

using namespace dibwork;
using kernel_test::Info;

namespace {

TEST(DibLayout, BlockOfAPackedPicture) {
    auto l = ComputeBlockLayout(Info(10, 10, 1));
    ASSERT_TRUE(l);
    EXPECT_EQ(l->stride, 4u);
    EXPECT_EQ(l->tableBytes, 8u);
    EXPECT_EQ(l->imageBytes, 40u);
    EXPECT_EQ(l->totalBytes, 88u);
    EXPECT_EQ(l->bitsOffset, 48u);

    auto topDown = ComputeBlockLayout(Info(3, -2, 24));
    ASSERT_TRUE(topDown);
    EXPECT_EQ(topDown->rows, 2u);
    EXPECT_EQ(topDown->imageBytes, 24u);
}

TEST(DibLayout, RefusesWhatDoesNotFit) {
    EXPECT_FALSE(ComputeBlockLayout(Info(0, 10, 24)));
    EXPECT_FALSE(ComputeBlockLayout(Info(-1, 10, 24)));
    EXPECT_FALSE(ComputeBlockLayout(Info(10, 0, 24)));
    EXPECT_FALSE(ComputeBlockLayout(Info(0x7FFFFFFF, 1, 32)));
    EXPECT_FALSE(ComputeBlockLayout(Info(65536, 65536, 24)));
    EXPECT_FALSE(ComputeBlockLayout(Info(1, INT32_MIN, 24)));
    EXPECT_FALSE(ComputeBlockLayout(Info(10, 10, 0)));
    EXPECT_FALSE(ComputeBlockLayout(Info(10, 10, 65535)));
    auto absurd = Info(4, 4, 24);
    absurd.headerSize = 1000;
    EXPECT_FALSE(ComputeBlockLayout(absurd));
    // RLE data size comes from the header and is bounded as well.
    EXPECT_TRUE(ComputeBlockLayout(Info(4, 4, 8, kCompressionRle8, 0)));
    auto rle = Info(4, 4, 8, kCompressionRle8);
    rle.sizeImage = 0xFFFFFFF0u;
    EXPECT_FALSE(ComputeBlockLayout(rle));
}

TEST(DibLayout, StrideWrapsOnlyInTheExportedForm) {
    EXPECT_EQ(StrideBytesWrapping(64, 24), 192u);
    EXPECT_EQ(StrideBytesWrapping(33, 1), 8u);
    EXPECT_FALSE(StrideBytesChecked(0x7FFFFFFF, 32));
    EXPECT_EQ(*StrideBytesChecked(0x3FFFFFFF, 8), 0x40000000u);
}

// A block is only made where 32-bit stride arithmetic (BitmapWidthBytes,
// the system's DIB code) finds its true stride: the widest 8-bit row is
// 0x1FFFFFFC pixels, one more would wrap.
TEST(DibLayout, BlockRowInBitsFits32Bits) {
    EXPECT_FALSE(ComputeBlockLayout(Info(0x1FFFFFFD, 1, 8)));
    EXPECT_FALSE(ComputeBlockLayout(Info(0x40000001, 1, 8)));
    const auto widest = ComputeBlockLayout(Info(0x1FFFFFFC, 1, 8));
    ASSERT_TRUE(widest);
    EXPECT_EQ(widest->stride, StrideBytesWrapping(0x1FFFFFFC, 8));
}

TEST(DibLayout, CheckedHeaderReadStaysInsideTheBytes) {
    uint8_t core[12] = {12, 0, 0, 0, 5, 0, 7, 0, 1, 0, 4, 0};
    auto f = ReadDibHeaderFieldsChecked(core, sizeof(core));
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->core);
    EXPECT_EQ(f->width, 5);
    EXPECT_EQ(f->height, 7);
    EXPECT_EQ(ColorTableBytes(*f), 48);
    EXPECT_FALSE(ReadDibHeaderFieldsChecked(core, 11));

    // Random headers of random lengths: never a read past the buffer.
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        const size_t n = rng() % 130;
        std::vector<uint8_t> bytes(n);
        for (auto &b : bytes) b = static_cast<uint8_t>(rng());
        if (n >= 4 && rng() % 2) {
            const uint32_t sizes[] = {12, 40, 52, 56, 108, 124};
            const uint32_t s = sizes[rng() % 6];
            std::memcpy(bytes.data(), &s, 4);
        }
        auto h = ReadDibHeaderFieldsChecked(bytes.empty() ? nullptr : bytes.data(), n);
        if (h) {
            ASSERT_LE(h->headerSize, n);
            auto l = ComputeBlockLayout(*h);
            if (l) {
                ASSERT_LE(l->totalBytes, kMaxBlockBytes);
                ASSERT_EQ(l->bitsOffset, l->headerBytes + l->tableBytes);
            }
        }
    }
}

// One rule for the colour count: at most 2^bits entries for 1 to 8 bits,
// at most 256 for more; a header that breaks it is refused, and no size
// derived from it wraps (49152 colours once made a 44-byte block look
// "normal" with a table of 0xC000 x 4 = 0x30000 bytes cut to 16 bits).
TEST(DibLayout, OneRuleForTheColourCount) {
    struct Case {
        uint16_t bits;
        uint32_t used;
        bool taken;
    };
    for (const Case c : {Case{1, 2, true}, Case{1, 3, false}, Case{4, 16, true}, Case{4, 17, false},
                         Case{8, 256, true}, Case{8, 257, false}, Case{8, 16384, false}, Case{8, 49152, false},
                         Case{24, 256, true}, Case{24, 257, false}, Case{32, 0xFFFFFFFFu, false}}) {
        const auto f = Info(4, 4, c.bits, 0, c.used);
        EXPECT_EQ(AnnouncedColours(f).has_value(), c.taken) << c.bits << " bits, " << c.used;
        EXPECT_EQ(ComputeBlockLayout(f).has_value(), c.taken) << c.bits << " bits, " << c.used;
        uint8_t raw[40] = {};
        PutLe32(raw, 40);
        PutLe32(raw + 4, 4);
        PutLe32(raw + 8, 4);
        PutLe16(raw + 12, 1);
        PutLe16(raw + 14, c.bits);
        PutLe32(raw + 32, c.used);
        EXPECT_EQ(ReadDibHeaderFieldsChecked(raw, sizeof raw).has_value(), c.taken) << c.bits << ", " << c.used;
        // Never more than the table may hold, never wrapped.
        EXPECT_LE(ColorCount(f), c.bits <= 8 ? (1u << c.bits) : 256u);
        if (c.taken) {
            EXPECT_EQ(ColorTableBytes(f), 4 * c.used);
        }
    }
}

// What a writer takes from a caller's block lies inside the block: the
// table right after the header, whatever its size, and every row.
TEST(DibIntake, EveryPartLiesInsideTheBlock) {
    std::vector<uint8_t> b(124 + 2 * 4 + 4, 0);
    PutLe32(b.data(), 124);
    PutLe32(b.data() + 4, 3);
    PutLe32(b.data() + 8, 1);
    PutLe16(b.data() + 12, 1);
    PutLe16(b.data() + 14, 8);
    PutLe32(b.data() + 32, 2);
    auto in = TakeDibBlock(b.data(), b.size());
    ASSERT_TRUE(in);
    EXPECT_EQ(in->tableOffset, 124u);
    EXPECT_EQ(in->tableEntries, 2u);
    EXPECT_EQ(in->bitsOffset, 132u);
    EXPECT_EQ(in->imageBytes, 4u);
    EXPECT_FALSE(TakeDibBlock(b.data(), b.size() - 1)) << "the last row byte missing";

    // 4000 x 4000 at 8 bits in 1,080 bytes; 32768 x 32768 in a small block.
    std::vector<uint8_t> lying(1080, 0);
    PutLe32(lying.data(), 40);
    PutLe32(lying.data() + 4, 4000);
    PutLe32(lying.data() + 8, 4000);
    PutLe16(lying.data() + 12, 1);
    PutLe16(lying.data() + 14, 8);
    EXPECT_FALSE(TakeDibBlock(lying.data(), lying.size()));
    PutLe32(lying.data() + 4, 32768);
    PutLe32(lying.data() + 8, 32768);
    EXPECT_FALSE(TakeDibBlock(lying.data(), lying.size()));

    // Random headers in blocks of random size, each an exact copy watched
    // by the sanitizers: whatever is taken lies inside the block.
    std::mt19937 rng(29);
    int taken = 0;
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> bytes(rng() % 1200);
        for (auto &x : bytes) x = static_cast<uint8_t>(rng() % 4 ? 0 : rng());
        if (bytes.size() >= 40) {
            const uint32_t sizes[] = {40, 52, 108, 124};
            PutLe32(bytes.data(), sizes[rng() % 4]);
            PutLe32(bytes.data() + 4, 1 + rng() % 40);
            PutLe32(bytes.data() + 8, static_cast<uint32_t>(static_cast<int>(rng() % 40) - 10));
            PutLe16(bytes.data() + 12, 1);
            const uint16_t bits[] = {1, 4, 8, 16, 24, 32};
            PutLe16(bytes.data() + 14, bits[rng() % 6]);
            PutLe32(bytes.data() + 16, rng() % 4);
            PutLe32(bytes.data() + 20, rng() % 600);
            PutLe32(bytes.data() + 32, rng() % 3 ? 0 : rng() % 300);
        }
        std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + 1]);
        if (!bytes.empty()) std::memcpy(exact.get(), bytes.data(), bytes.size());
        const auto got = TakeDibBlock(exact.get(), bytes.size());
        if (!got) continue;
        ++taken;
        ASSERT_GE(got->bitsOffset, got->tableOffset + 4 * got->tableEntries);
        ASSERT_LE(uint64_t{got->bitsOffset} + got->imageBytes, bytes.size());
        if (got->fields.compression == kCompressionRgb) {
            ASSERT_EQ(got->imageBytes, got->stride * got->rows);
        }
    }
    EXPECT_GT(taken, 100);
}

}  // namespace
