// Run without the product folder on the search path: Lumaio.dll cannot be
// loaded, every codec route gives 0, and the library is not looked for
// again even once it could be found.
#include <gtest/gtest.h>

#include "file_test_support.h"

using namespace file_test;

TEST(CodecMissing, RoutesFailAndTheLibraryIsNotLoadedAgain) {
    pintora_test::TempDir dir;
    HBITMAP picture = MakePicture(16, 16, [](int x, int y) { return RGB(x * 16, y * 16, 0); });
    const std::string jpeg = pintora_test::Narrow(dir.File(L"a.jpg"));
    const std::string png = pintora_test::Narrow(dir.File(L"a.png"));
    EXPECT_EQ(Dw().WriteJpegFile(jpeg.c_str(), nullptr, picture, 95), 0);
    EXPECT_FALSE(FileExists(jpeg));

    // From now on the library could be loaded: a retry would succeed.
    ASSERT_TRUE(SetDllDirectoryW(pintora_test::DistDir().c_str()));
    HMODULE probe = LoadLibraryW(L"Lumaio.dll");
    ASSERT_NE(probe, nullptr);
    FreeLibrary(probe);

    EXPECT_EQ(Dw().WriteJpegFile(jpeg.c_str(), nullptr, picture, 95), 0);
    EXPECT_EQ(Dw().WriteGraphicsFile(png.c_str(), nullptr, picture), 0);
    EXPECT_EQ(Dw().WriteGIFFileEngineWithTrans(png.c_str(), nullptr, picture, 1), 0);
    EXPECT_FALSE(FileExists(jpeg));
    EXPECT_FALSE(FileExists(png));

    // BMP needs no codec.
    const std::string bmp = pintora_test::Narrow(dir.File(L"a.bmp"));
    EXPECT_EQ(Dw().WriteGraphicsFile(bmp.c_str(), nullptr, picture), 1);
    HBITMAP back = nullptr;
    EXPECT_NE(Dw().ReadGraphicsFile(bmp.c_str(), nullptr, &back), 0);
    Dw().FreeDIBitmap(&back);
    Dw().FreeDIBitmap(&picture);
}
