// Layout arithmetic of packed DIBs under the sanitizers: every size that
// does not fit is refused, headers are read only within what is given.
#include <gtest/gtest.h>

#include <cstring>
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

}  // namespace
