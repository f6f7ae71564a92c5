// Marking a GIF's transparent index by editing its blocks: an existing
// graphic control extension is updated in place, a missing one is inserted
// before the first image, and files that do not parse are left alone
// (under AddressSanitizer, so a read past the end fails too).
#include <gtest/gtest.h>

#include <random>

#include "gif_blocks.h"

using codecs::SetGifTransparentIndex;
using Bytes = std::vector<uint8_t>;

namespace {

// GIF89a, 2 x 1, a global table of 2 colours, optionally a comment and a
// graphic control extension, then one image and the trailer.
Bytes SmallGif(bool withControl) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0,  // screen, table of 2
               0, 0, 0, 255, 255, 255,                                 // black, white
               0x21, 0xFE, 3, 'h', 'i', '!', 0};                       // comment
    if (withControl) b.insert(b.end(), {0x21, 0xF9, 4, 0x04, 10, 0, 0, 0});
    b.insert(b.end(), {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B});
    return b;
}

size_t ImageAt(const Bytes &b) {
    for (size_t i = 26; i < b.size(); ++i) {
        if (b[i] == 0x2C) return i;
    }
    return 0;
}

TEST(GifTransparency, AnExistingControlBlockKeepsItsOtherFields) {
    Bytes gif = SmallGif(true);
    const Bytes before = gif;
    ASSERT_TRUE(SetGifTransparentIndex(gif, 1));
    ASSERT_EQ(gif.size(), before.size());
    const size_t control = ImageAt(gif) - 8;
    EXPECT_EQ(gif[control + 3], 0x05) << "disposal bits kept, flag set";
    EXPECT_EQ(gif[control + 4], 10) << "delay kept";
    EXPECT_EQ(gif[control + 6], 1);
}

TEST(GifTransparency, AMissingControlBlockIsInsertedBeforeTheImage) {
    Bytes gif = SmallGif(false);
    const size_t image = ImageAt(gif);
    ASSERT_TRUE(SetGifTransparentIndex(gif, 0));
    const Bytes control(gif.begin() + image, gif.begin() + image + 8);
    EXPECT_EQ(control, (Bytes{0x21, 0xF9, 4, 0x01, 0, 0, 0, 0}));
    EXPECT_EQ(gif[image + 8], 0x2C);
    EXPECT_EQ(gif.back(), 0x3B);
}

TEST(GifTransparency, ANegativeIndexClearsTheFlagAndInsertsNothing) {
    Bytes gif = SmallGif(true);
    const size_t control = ImageAt(gif) - 8;
    gif[control + 3] |= 0x01;
    ASSERT_TRUE(SetGifTransparentIndex(gif, -1));
    EXPECT_EQ(gif[control + 3], 0x04);
    Bytes plain = SmallGif(false);
    const Bytes before = plain;
    ASSERT_TRUE(SetGifTransparentIndex(plain, -1));
    EXPECT_EQ(plain, before);
}

TEST(GifTransparency, FilesThatDoNotParseAreLeftAlone) {
    const Bytes good = SmallGif(true);
    Bytes notGif = good;
    notGif[0] = 'P';
    Bytes copy = notGif;
    EXPECT_FALSE(SetGifTransparentIndex(copy, 1));
    EXPECT_EQ(copy, notGif);
    for (size_t cut = 0; cut < ImageAt(good); ++cut) {
        Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        const Bytes original = truncated;
        EXPECT_FALSE(SetGifTransparentIndex(truncated, 1)) << cut;
        EXPECT_EQ(truncated, original) << cut;
    }
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        Bytes mutated = good;
        mutated[6 + random() % (mutated.size() - 6)] = static_cast<uint8_t>(random());
        SetGifTransparentIndex(mutated, 1);  // must only stay inside the buffer
    }
}

}  // namespace
