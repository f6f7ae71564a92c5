// The manager's plain rules under the sanitizers: descriptor numbers, text
// cut to record fields, the table order and the menu mnemonics.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "brush_rules.h"

using namespace bristler;

namespace {

TEST(ParseDecimal, ReadsLikeTheLibraryConversionAndSaturates) {
    EXPECT_EQ(ParseDecimal("101"), 101);
    EXPECT_EQ(ParseDecimal("  -45"), -45);
    EXPECT_EQ(ParseDecimal("+7"), 7);
    EXPECT_EQ(ParseDecimal("12abc"), 12) << "leading digits only";
    EXPECT_EQ(ParseDecimal("abc"), 0) << "no digits";
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal(nullptr), 0);
    EXPECT_EQ(ParseDecimal("- 5"), 0) << "the sign must touch the digits";
    EXPECT_EQ(ParseDecimal("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseDecimal("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseDecimal("2147483648"), INT32_MAX);
    EXPECT_EQ(ParseDecimal("99999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseDecimal("-99999999999999999999999999"), INT32_MIN);
}

// A field of `bytes` inside a larger buffer, so that any write past the
// field shows in the guard bytes.
struct GuardedField {
    explicit GuardedField(size_t bytes) : size(bytes), buffer(bytes + 16, '#') {}
    char *data() { return buffer.data(); }
    bool GuardIntact() const {
        return std::all_of(buffer.begin() + static_cast<long>(size), buffer.end(), [](char c) { return c == '#'; });
    }
    size_t size;
    std::vector<char> buffer;
};

TEST(CopyTextToField, FitsExactlyOrCutsAtTheField) {
    const std::string fits(39, 'x');
    GuardedField field(40);
    EXPECT_TRUE(CopyTextToField(field.data(), field.size, fits.c_str(), Utf8CharLength));
    EXPECT_EQ(std::string(field.data()), fits);
    EXPECT_TRUE(field.GuardIntact());

    const std::string tooLong(40, 'y');
    GuardedField cut(40);
    EXPECT_FALSE(CopyTextToField(cut.data(), cut.size, tooLong.c_str(), Utf8CharLength));
    EXPECT_EQ(std::string(cut.data()), std::string(39, 'y'));
    EXPECT_TRUE(cut.GuardIntact());
}

TEST(CopyTextToField, NeverCutsACharacterInHalf) {
    // "A" then fourteen 3-byte kana: 43 bytes.  39 bytes would end inside
    // the 13th kana, so 37 bytes (A and twelve kana) are kept.
    std::string text = "A";
    for (int i = 0; i < 14; ++i) text += "\xE3\x81\x82";  // あ
    GuardedField field(40);
    EXPECT_FALSE(CopyTextToField(field.data(), field.size, text.c_str(), Utf8CharLength));
    EXPECT_EQ(std::strlen(field.data()), 37u);
    EXPECT_EQ(std::string(field.data()), text.substr(0, 37));
    EXPECT_TRUE(field.GuardIntact());

    // A 4-byte character straddling the end of a 24-byte label field.
    std::string label(21, 'l');
    label += "\xF0\x9F\x98\x80";  // one emoji
    GuardedField labelField(24);
    EXPECT_FALSE(CopyTextToField(labelField.data(), labelField.size, label.c_str(), Utf8CharLength));
    EXPECT_EQ(std::string(labelField.data()), std::string(21, 'l'));
}

TEST(CopyTextToField, BrokenSequencesStopAtTheirEnd) {
    // A lead byte promising three bytes, cut by the end of the string: the
    // copy must not read past the NUL.
    const char broken[] = {'a', '\xE3', '\x81', '\0', 'z', 'z', '\0'};
    GuardedField field(8);
    EXPECT_TRUE(CopyTextToField(field.data(), field.size, broken, Utf8CharLength));
    EXPECT_EQ(std::string(field.data()), std::string("a\xE3\x81"));
    EXPECT_EQ(Utf8CharLength("\x81\x81"), 1u) << "a stray continuation byte is one character";
    EXPECT_EQ(Utf8CharLength("\xE3" "a"), 1u);
}

TEST(BubbleSortIndices, MatchesAStableSortOnSeededRandomKeys) {
    std::mt19937 random(20240607);
    for (int round = 0; round < 200; ++round) {
        const int count = static_cast<int>(random() % 40);
        std::vector<int> keys(static_cast<size_t>(count));
        for (int &k : keys) k = static_cast<int>(random() % 6);
        std::vector<int32_t> order(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
        std::vector<int32_t> expected = order;
        BubbleSortIndices(order.data(), count, [&](int32_t a, int32_t b) { return keys[a] - keys[b]; });
        std::stable_sort(expected.begin(), expected.end(), [&](int32_t a, int32_t b) { return keys[a] < keys[b]; });
        ASSERT_EQ(order, expected) << "round " << round;
    }
}

TEST(MenuMnemonic, LettersThenDigitsThenAgain) {
    EXPECT_EQ(MenuMnemonic(0), 'A');
    EXPECT_EQ(MenuMnemonic(25), 'Z');
    EXPECT_EQ(MenuMnemonic(26), '1');
    EXPECT_EQ(MenuMnemonic(34), '9');
    EXPECT_EQ(MenuMnemonic(35), '0');
    EXPECT_EQ(MenuMnemonic(36), 'A');
    EXPECT_EQ(MenuMnemonic(36 + 27), '2');
}

TEST(ClampParam, KeepsValuesInTheirRange) {
    EXPECT_EQ(ClampParam(20 * 3 / 4, 4, 100), 15);
    EXPECT_EQ(ClampParam(2, 4, 100), 4);
    EXPECT_EQ(ClampParam(250, 1, 100), 100);
    EXPECT_EQ(ClampParam(7, 0, 0), 0) << "a parameter the brush lacks has the range 0..0";
    EXPECT_EQ(ClampParam(INT32_MIN, -5, 5), -5);
}

TEST(TrackbarPageSize, ATwentiethOfTheRangeAndAtLeastOne) {
    EXPECT_EQ(TrackbarPageSize(1, 10), 1);
    EXPECT_EQ(TrackbarPageSize(0, 100), 5);
    EXPECT_EQ(TrackbarPageSize(20, 250), 11);
    EXPECT_EQ(TrackbarPageSize(0, 39), 1);
    EXPECT_EQ(TrackbarPageSize(0, 40), 2);
    EXPECT_EQ(TrackbarPageSize(5, 5), 1);
    EXPECT_EQ(TrackbarPageSize(INT32_MIN, INT32_MAX), 214748364) << "no overflow on the widest range";
}

// Each of the four rules at its edge: the popup (100 wide, so half is 50)
// stays while the button is exactly on the limit and is re-anchored one
// pixel past it.
TEST(PopupNeedsReanchor, EachRuleAtItsEdge) {
    const Box popup{200, 300, 300, 400};
    const Box near{150, 280, 180, 300};  // left of and above the popup, within reach
    EXPECT_FALSE(PopupNeedsReanchor(near, popup));
    EXPECT_FALSE(PopupNeedsReanchor({250, 280, 300, 300}, popup)) << "right edges equal";
    EXPECT_TRUE(PopupNeedsReanchor({251, 280, 301, 300}, popup)) << "the button passed the popup's right edge";
    EXPECT_FALSE(PopupNeedsReanchor({100, 280, 150, 300}, popup)) << "popup 50 to the right";
    EXPECT_TRUE(PopupNeedsReanchor({100, 280, 149, 300}, popup)) << "popup 51 to the right";
    EXPECT_FALSE(PopupNeedsReanchor({150, 400, 180, 420}, popup)) << "button top on the popup's bottom";
    EXPECT_TRUE(PopupNeedsReanchor({150, 401, 180, 420}, popup)) << "button below the popup";
    EXPECT_FALSE(PopupNeedsReanchor({150, 250, 180, 270}, popup)) << "popup 50 below the button's top";
    EXPECT_TRUE(PopupNeedsReanchor({150, 249, 180, 270}, popup)) << "popup 51 below the button's top";
    EXPECT_TRUE(PopupNeedsReanchor({150, 249, 180, 270}, {200, 300, 301, 400})) << "half of 101 is 50";
}

}  // namespace
