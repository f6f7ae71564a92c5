// DisableGifSaved is one-way for the process: GIF files are written and
// read before it, and neither afterwards (not by the fallback reader
// either), while the other routes go on.
#include <gtest/gtest.h>

#include "file_test_support.h"

using namespace file_test;

TEST(GifDisabled, ReadsAndWritesGiveZeroAfterwards) {
    pintora_test::TempDir dir;
    HBITMAP picture = MakePicture(12, 9, [](int x, int y) { return (x + y) % 3 ? RGB(200, 30, 30) : RGB(10, 90, 250); });
    const std::string gif = pintora_test::Narrow(dir.File(L"a.gif"));
    ASSERT_NE(Dw().WriteGIFFile(gif.c_str(), nullptr, picture), 0);
    HBITMAP back = nullptr;
    ASSERT_NE(Dw().ReadGraphicsFile(gif.c_str(), nullptr, &back), 0);
    Dw().FreeDIBitmap(&back);

    Dw().DisableGifSaved();
    const std::string other = pintora_test::Narrow(dir.File(L"b.gif"));
    EXPECT_EQ(Dw().WriteGIFFile(other.c_str(), nullptr, picture), 0);
    EXPECT_EQ(Dw().WriteGIFFileEngineWithTrans(other.c_str(), nullptr, picture, 1), 0);
    EXPECT_EQ(Dw().WriteGraphicsFile(other.c_str(), nullptr, picture), 0);
    EXPECT_FALSE(FileExists(other));
    EXPECT_EQ(Dw().ReadGIFFile(gif.c_str(), nullptr, &back), 0);
    EXPECT_EQ(Dw().ReadGraphicsFile(gif.c_str(), nullptr, &back), 0);
    EXPECT_EQ(back, nullptr);

    const std::string png = pintora_test::Narrow(dir.File(L"c.png"));
    EXPECT_NE(Dw().WriteGraphicsFile(png.c_str(), nullptr, picture), 0);
    Dw().FreeDIBitmap(&picture);
}
