// Registry values with a default written back on first use, under a key of
// the tests' own (deleted before and after each test).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dibwork_binding.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

class RegistryValues : public testing::Test {
protected:
    TestKeyScope scope_;
};

TEST_F(RegistryValues, MissingValueGivesAndStoresTheDefault) {
    auto &dw = Dw();
    char buffer[64] = "junk";
    EXPECT_EQ(dw.GetRegistryValue(Self(), IDS_TEST_KEY_PATH, IDS_TEST_SUB_KEY, "Mode", buffer, sizeof(buffer), "abc"),
              0);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Mode"), "abc") << "the key is made and the default written";

    // From now on the stored value is read, whatever the default says.
    EXPECT_EQ(dw.GetRegistryValue(Self(), IDS_TEST_KEY_PATH, IDS_TEST_SUB_KEY, "Mode", buffer, sizeof(buffer), "xyz"),
              1);
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(RegistryValues, WrittenTextsReadBackWithTheirBytes) {
    auto &dw = Dw();
    const char *japanese = "\xE8\x89\xB2\xE3\x81\xAE\xE9\x81\xB8\xE6\x8A\x9E";  // "色の選択" in UTF-8
    EXPECT_NE(dw.SetRegistryValue(Self(), IDS_TEST_KEY_PATH, IDS_TEST_SUB_KEY, "Caption", japanese), 0);
    char buffer[64] = "";
    EXPECT_EQ(dw.GetRegistryValue(Self(), IDS_TEST_KEY_PATH, IDS_TEST_SUB_KEY, "Caption", buffer, sizeof(buffer), ""),
              1);
    EXPECT_STREQ(buffer, japanese);

    // The key-path forms reach the same key.
    EXPECT_EQ(dw.GetRegistryString(TEST_KEY_FULL, "Caption", buffer, sizeof(buffer), "none"), 1);
    EXPECT_STREQ(buffer, japanese);
    EXPECT_NE(dw.SetRegistryString(TEST_KEY_FULL, "Caption", "replaced"), 0);
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Caption"), "replaced");
    EXPECT_EQ(dw.GetRegistryString(TEST_KEY_FULL, "Empty", buffer, sizeof(buffer), ""), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Empty"), "");
}

// The default is copied only as far as the caller's buffer reaches; the
// stored default stays whole.
TEST_F(RegistryValues, DefaultIsCutToTheBuffer) {
    auto &dw = Dw();
    char buffer[8];
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(dw.GetRegistryValue(Self(), IDS_TEST_KEY_PATH, IDS_TEST_SUB_KEY, "Long", buffer, 4, "0123456789"), 0);
    EXPECT_STREQ(buffer, "012");
    EXPECT_EQ(std::string(buffer + 4, 4), "####") << "nothing written past the buffer";
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Long"), "0123456789");

    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(dw.GetRegistryString(TEST_KEY_FULL, "Longer", buffer, 4, "abcdefghij"), 0);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], '#');
    EXPECT_EQ(StoredText(TEST_KEY_FULL, "Longer"), "abcdefghij");

    // A buffer of no size receives nothing at all.
    buffer[0] = '#';
    EXPECT_EQ(dw.GetRegistryString(TEST_KEY_FULL, "Other", buffer, 0, "abc"), 0);
    EXPECT_EQ(buffer[0], '#');
}

// A stored value read into a buffer is always terminated, even when the
// stored bytes carry no NUL; one that does not fit counts as unreadable.
TEST_F(RegistryValues, StoredTextWithoutItsNulIsTerminated) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TEST_KEY_FULL, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE *>("12345"), 5), ERROR_SUCCESS);
    RegCloseKey(key);

    char buffer[8];
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(Dw().GetRegistryString(TEST_KEY_FULL, "Bare", buffer, 6, "0"), 1);
    EXPECT_STREQ(buffer, "12345");

    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(Dw().GetRegistryString(TEST_KEY_FULL, "Bare", buffer, 5, "0"), 0);
    EXPECT_STREQ(buffer, "0");
    EXPECT_EQ(buffer[5], '#');
}

// Without a key path nothing is written, least of all to the root of the
// user's hive.
TEST_F(RegistryValues, MissingKeyTextLeavesTheRegistryAlone) {
    auto &dw = Dw();
    char buffer[16] = "";
    EXPECT_EQ(dw.GetRegistryValue(Self(), IDS_TEST_MISSING, IDS_TEST_SUB_KEY, "PintoraTestStray", buffer,
                                  sizeof(buffer), "dflt"),
              0);
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_EQ(dw.SetRegistryValue(Self(), IDS_TEST_KEY_PATH, IDS_TEST_MISSING, "PintoraTestStray", "x"), 0);
    EXPECT_EQ(dw.GetRegistryString(nullptr, "PintoraTestStray", buffer, sizeof(buffer), "dflt"), 0);
    EXPECT_EQ(dw.SetRegistryString("", "PintoraTestStray", "x"), 0);
    EXPECT_EQ(StoredText("", "PintoraTestStray"), "<missing>");
    EXPECT_EQ(StoredText("\\", "PintoraTestStray"), "<missing>");
    EXPECT_FALSE(KeyExists(TEST_KEY_ROOT));
}

}  // namespace
