// Page names, page turns and the "save as" choice by extension.
#include <gtest/gtest.h>

#include "page_files.h"

using namespace pintora;

TEST(PageFiles, TwoDigitNamesPerMode) {
    const std::string d = "C:\\Pintora\\";
    EXPECT_EQ(PageFileName(d, true, 4, false), "C:\\Pintora\\Save\\Kids\\05.bmp");
    EXPECT_EQ(PageFileName(d, true, 4, true), "C:\\Pintora\\Save\\Kids\\05_s.bmp");
    EXPECT_EQ(PageFileName(d, false, 0, false), "C:\\Pintora\\Save\\Normal\\01.bmp");
    EXPECT_EQ(PageFileName(d, false, 9, true), "C:\\Pintora\\Save\\Normal\\10_s.bmp");
    EXPECT_EQ(PageFileName(d, false, 23, false), "C:\\Pintora\\Save\\Normal\\24.bmp");
    EXPECT_EQ(PageFileName(d, false, 24, false), "C:\\Pintora\\Save\\Normal\\01.bmp") << "cycles";
    EXPECT_EQ(PageFileName(d, true, -1, false), "C:\\Pintora\\Save\\Kids\\24.bmp");
    EXPECT_EQ(PageFolder(d, false), "C:\\Pintora\\Save\\Normal\\");
    EXPECT_EQ(TemporaryPageName("x\\05.bmp").rfind("x\\05.bmp", 0), 0u) << "same folder";
    EXPECT_NE(TemporaryPageName("x\\05.bmp"), "x\\05.bmp");
}

TEST(PageFiles, TurnsCycleThroughTwentyFourPages) {
    EXPECT_EQ(TurnedPage(0, true), 1);
    EXPECT_EQ(TurnedPage(23, true), 0);
    EXPECT_EQ(TurnedPage(0, false), 23);
    EXPECT_EQ(TurnedPage(5, false), 4);
    int page = 7;
    for (int i = 0; i < 24; ++i) page = TurnedPage(page, true);
    EXPECT_EQ(page, 7);
    EXPECT_EQ(TurnedPage(99, true), 4) << "an index out of range is brought into 0..23 first";
}

TEST(PageFiles, SaveAsChoosesByExtensionAnyCase) {
    EXPECT_EQ(ExportKindOf("C:\\a\\x.JPG", 7), ExportKind::kJpeg);
    EXPECT_EQ(ExportKindOf("C:\\a\\x.jpg", 7), ExportKind::kJpeg);
    EXPECT_EQ(ExportKindOf("C:\\a\\x.Bmp", 7), ExportKind::kBmp);
    EXPECT_EQ(ExportKindOf("C:\\a\\x.png", 7), ExportKind::kNothing);
    EXPECT_EQ(ExportKindOf("C:\\a\\x.jpeg", 7), ExportKind::kNothing);
    EXPECT_EQ(ExportKindOf("C:\\a\\x", 0), ExportKind::kNothing) << "no extension";
    EXPECT_EQ(ExportKindOf("C:\\a\\x.", 7), ExportKind::kNothing);
}

TEST(PageFiles, AutosaveMarkerNamesOnePageOfItsMode) {
    EXPECT_EQ(AutosaveMarkerName("C:\\P\\", true), "C:\\P\\Save\\Kids\\autosave.txt");
    EXPECT_EQ(AutosaveMarkerName("C:\\P\\", false), "C:\\P\\Save\\Normal\\autosave.txt");
    for (int page = 0; page < 24; ++page) EXPECT_EQ(ParseAutosaveMarker(AutosaveMarkerText(page)), page);
    // A marker cut short, grown or made by someone else names no page: a
    // start then keeps to the pages of the settings.
    for (const char *text : {"", "page=", "page=24", "page=-1", "page=7x", "page=0007", "Page=3", "page=3\r\nmore"}) {
        EXPECT_EQ(ParseAutosaveMarker(text), -1) << text;
    }
    EXPECT_EQ(ParseAutosaveMarker("page=3"), 3);
}
