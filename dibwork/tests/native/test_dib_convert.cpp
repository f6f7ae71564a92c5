// Normal-form classification and run-length checks under the sanitizers,
// with a bounded random run over streams and headers.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "dib_convert.h"
#include "kernel_pictures.h"

using namespace dibwork;
using kernel_test::Info;

namespace {

TEST(NormalForm, Classification) {
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 8), 0), NormalForm::kNormal);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 1), 0), NormalForm::kNormal);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 24), 0), NormalForm::kNormal);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 24, 0, 16), 0), NormalForm::kConvert);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 24), 3), NormalForm::kConvert);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 32), 0), NormalForm::kConvert);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 16, 3), 0), NormalForm::kConvert);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 8, 1), 0), NormalForm::kConvert);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 4, 2), 0), NormalForm::kConvert);
    EXPECT_EQ(ClassifyNormalForm(Info(4, -4, 8), 0), NormalForm::kConvert);  // top-down rows

    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 4, 1), 0), NormalForm::kRefused);  // RLE8 at 4 bits
    EXPECT_EQ(ClassifyNormalForm(Info(4, -4, 8, 1), 0), NormalForm::kRefused); // RLE top-down
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 24, 3), 0), NormalForm::kRefused);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 8, 4), 0), NormalForm::kRefused);  // JPEG data
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 7), 0), NormalForm::kRefused);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 4, 0), 0), NormalForm::kRefused);
    EXPECT_EQ(ClassifyNormalForm(Info(0, 4, 8), 0), NormalForm::kRefused);
    EXPECT_EQ(ClassifyNormalForm(Info(-3, 4, 8), 0), NormalForm::kRefused);
    EXPECT_EQ(ClassifyNormalForm(Info(4, 0, 8), 0), NormalForm::kRefused);
    auto v4 = Info(4, 4, 8);
    v4.headerSize = 108;
    EXPECT_EQ(ClassifyNormalForm(v4, 0), NormalForm::kRefused);
}

bool Fits(const std::vector<uint8_t> &s, int w, int h, int bits = 8) {
    return RleStreamFits(s.data(), s.size(), w, h, bits);
}

TEST(RleStream, WellFormedStreamsFit) {
    // 4 x 2: a run of 4, end of line, a literal of 3 (padded) and a run of 1,
    // end of bitmap.
    EXPECT_TRUE(Fits({4, 7, 0, 0, 0, 3, 1, 2, 3, 0, 1, 9, 0, 1}, 4, 2));
    EXPECT_TRUE(Fits({4, 7, 0, 0, 4, 7, 0, 0, 0, 1}, 4, 2));  // EOL after the last row
    EXPECT_TRUE(Fits({2, 7, 0, 2, 0, 1, 2, 7}, 4, 2));        // delta one row up
    EXPECT_TRUE(Fits({4, 7, 0, 0}, 4, 2));                    // ends with the data
    EXPECT_TRUE(Fits({5, 0x12, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1}, 5, 2, 4));
}

TEST(RleStream, RunsPastTheirRowsAreRefused) {
    EXPECT_FALSE(Fits({5, 7, 0, 1}, 4, 2));                       // run past the row's end
    EXPECT_FALSE(Fits({2, 7, 0, 3, 1, 2, 3, 0}, 4, 2));           // literal past the row's end
    EXPECT_FALSE(Fits({0, 0, 0, 0, 1, 7}, 4, 2));                 // pixels above the last row
    EXPECT_FALSE(Fits({0, 0, 0, 0, 0, 0}, 4, 2));                 // end of line past the last row
    EXPECT_FALSE(Fits({0, 2, 5, 0}, 4, 2));                       // delta past the row's end
    EXPECT_FALSE(Fits({0, 2, 0, 3}, 4, 2));                       // delta past the last row
    EXPECT_FALSE(Fits({0, 2, 1}, 4, 2));                          // delta cut off
    EXPECT_FALSE(Fits({0, 4, 1, 2}, 4, 2));                       // literal cut off
    EXPECT_FALSE(Fits({6, 0x12, 0, 1}, 5, 2, 4));                 // 4-bit run of 6 in 5
    EXPECT_FALSE(RleStreamFits(nullptr, 0, 4, 2, 8));
    EXPECT_FALSE(Fits({0, 1}, 4, 2, 24));
}

// Replays a stream the way a decoder writes it and reports whether any
// pixel would land outside the picture.  Every stream RleStreamFits
// accepts must stay inside.
bool WritesOutside(const std::vector<uint8_t> &s, int w, int h) {
    long x = 0, y = 0;
    size_t i = 0;
    while (i + 2 <= s.size()) {
        const int n = s[i], c = s[i + 1];
        i += 2;
        if (n) {
            if (y >= h || x + n > w) return true;
            x += n;
        } else if (c == 0) {
            x = 0;
            ++y;
        } else if (c == 1) {
            return false;
        } else if (c == 2) {
            if (i + 2 > s.size()) return true;
            x += s[i];
            y += s[i + 1];
            i += 2;
        } else {
            if (y >= h || x + c > w || i + c > s.size()) return true;
            x += c;
            i += c + (c & 1);
        }
    }
    return false;
}

TEST(RleStream, RandomStreamsForABoundedTime) {
    std::mt19937 rng(20240611);
    const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int accepted = 0, runs = 0;
    while (std::chrono::steady_clock::now() < stop && runs < 200000) {
        ++runs;
        const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 20);
        std::vector<uint8_t> s(rng() % 200);
        for (auto &b : s) {
            // Mostly small values so that escapes and short runs are common.
            b = uint8_t(rng() % 4 == 0 ? rng() : rng() % 6);
        }
        // Exact size: the sanitizer sees any read past the data.
        if (RleStreamFits(s.data(), s.size(), w, h, 8)) {
            ++accepted;
            ASSERT_FALSE(WritesOutside(s, w, h));
        }
    }
    EXPECT_GT(accepted, 0);
}

}  // namespace

namespace {

// A block of a 40-byte header (bits, compression, biSizeImage, colours),
// its colour table and `dataBytes` bytes of pixel data.
std::vector<uint8_t> InfoBlock(int32_t w, int32_t h, uint16_t bits, uint32_t compression, uint32_t sizeImage,
                               uint32_t colours, size_t dataBytes) {
    std::vector<uint8_t> b(40 + colours * 4 + dataBytes);
    PutLe32(b.data(), 40);
    PutLe32(b.data() + 4, static_cast<uint32_t>(w));
    PutLe32(b.data() + 8, static_cast<uint32_t>(h));
    PutLe16(b.data() + 12, 1);
    PutLe16(b.data() + 14, bits);
    PutLe32(b.data() + 16, compression);
    PutLe32(b.data() + 20, sizeImage);
    PutLe32(b.data() + 32, colours);
    return b;
}

TEST(NormalDibPlan, KeepConvertOrRefuseByTheWholeBlock) {
    auto pal = InfoBlock(5, 3, 8, 0, 0, 4, 8 * 3);
    EXPECT_EQ(PlanNormalDib(pal.data(), pal.size()), NormalDibPlan::kKeep);
    EXPECT_EQ(PlanNormalDib(pal.data(), pal.size() - 1), NormalDibPlan::kRefuse) << "a row short";
    auto rgb32 = InfoBlock(2, 2, 32, 0, 0, 0, 16);
    EXPECT_EQ(PlanNormalDib(rgb32.data(), rgb32.size()), NormalDibPlan::kConvert);
    EXPECT_EQ(PlanNormalDib(rgb32.data(), rgb32.size() - 1), NormalDibPlan::kRefuse);
    const uint8_t stream[] = {4, 7, 0, 0, 4, 9, 0, 1};
    auto rle = InfoBlock(4, 2, 8, 1, sizeof(stream), 2, sizeof(stream));
    std::copy(stream, stream + sizeof(stream), rle.end() - sizeof(stream));
    EXPECT_EQ(PlanNormalDib(rle.data(), rle.size()), NormalDibPlan::kConvert);
    rle[rle.size() - 4] = 5;  // the second run now leaves its row
    EXPECT_EQ(PlanNormalDib(rle.data(), rle.size()), NormalDibPlan::kRefuse);
    EXPECT_EQ(PlanNormalDib(pal.data(), 39), NormalDibPlan::kRefuse);
}

TEST(NormalDibPlan, ACoreHeaderBecomesAnInfoHeaderWithFourByteColours) {
    // 3 x 2, 1 bit: two 3-byte colours, rows of 4 bytes.
    std::vector<uint8_t> core = {12, 0, 0, 0, 3, 0, 2, 0, 1, 0, 1, 0, 10, 20, 30, 40, 50, 60,
                                 0xA0, 0, 0, 0, 0x40, 0, 0, 0};
    const auto info = CoreToInfoBlock(core.data(), core.size());
    ASSERT_TRUE(info);
    ASSERT_EQ(info->size(), 40u + 8u + 8u);
    EXPECT_EQ(Le32(info->data()), 40u);
    EXPECT_EQ(Le32(info->data() + 4), 3u);
    EXPECT_EQ(Le32(info->data() + 8), 2u);
    EXPECT_EQ(Le32(info->data() + 32), 2u);
    EXPECT_EQ(std::vector<uint8_t>(info->begin() + 40, info->end()),
              (std::vector<uint8_t>{10, 20, 30, 0, 40, 50, 60, 0, 0xA0, 0, 0, 0, 0x40, 0, 0, 0}));
    EXPECT_EQ(PlanNormalDib(info->data(), info->size()), NormalDibPlan::kKeep);
    EXPECT_FALSE(CoreToInfoBlock(core.data(), core.size() - 1)) << "a row short";
    core[10] = 16;  // no core picture has 16 bits
    EXPECT_FALSE(CoreToInfoBlock(core.data(), core.size()));
}

}  // namespace
