// The page files and the "save as" export through the real Dibwork and
// codec libraries: names, sizes, the thumbnail, folder creation, the
// replacement of a page only when the new one is whole, and what each
// extension writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "dibwork.h"
#include "page_files.h"
#include "page_store.h"
#include "test_support.h"

using namespace pintora;
using pintora_test::Narrow;

namespace {

// A 24-bit picture filled with one byte value.
HBITMAP Picture(int w, int h, BYTE value) {
    HBITMAP bmp = MakeBlankFCDIBitmap(w, h);
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    GetDIBitmapInfo(bmp, &header, &bits);
    FillMemory(bits, header.biSizeImage, value);
    return bmp;
}

std::vector<BYTE> FileBytes(const std::string &path) {
    std::vector<BYTE> out;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return out;
    out.resize(GetFileSize(f, nullptr));
    DWORD read = 0;
    if (!out.empty()) ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &read, nullptr);
    CloseHandle(f);
    return out;
}

BITMAPINFOHEADER FileHeader(const std::string &path) {
    BITMAPINFOHEADER h{};
    const auto bytes = FileBytes(path);
    if (bytes.size() >= 54) std::memcpy(&h, &bytes[14], sizeof(h));
    return h;
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Files of a folder other than "." and "..".
std::vector<std::string> FilesIn(const std::string &folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::strcmp(found.cFileName, ".") && std::strcmp(found.cFileName, "..")) names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

}  // namespace

TEST(PageFiles, KidsPageFourWritesPictureAndThumbnailIntoNewFolders) {
    pintora_test::TempDir dir;
    const std::string folder = Narrow(dir.path());
    HBITMAP canvas = Picture(800, 600, 0x40);
    ASSERT_TRUE(SavePageFiles(folder, true, 4, canvas)) << "the missing Save folders are created";
    const std::string page = folder + "Save\\Kids\\05.bmp";
    const std::string thumb = folder + "Save\\Kids\\05_s.bmp";
    EXPECT_EQ(FileBytes(page).size(), 54u + 800u * 600u * 3u);
    const BITMAPINFOHEADER small = FileHeader(thumb);
    EXPECT_EQ(small.biWidth, 64);
    EXPECT_EQ(small.biHeight, 48);
    EXPECT_EQ(small.biBitCount, 24);
    EXPECT_EQ(FileBytes(thumb).size(), 54u + 64u * 48u * 3u);
    EXPECT_EQ(FileBytes(thumb)[54], 0x40) << "the thumbnail shows the canvas";
    EXPECT_TRUE(Exists(folder + "Save\\Normal"));
    EXPECT_EQ(FilesIn(folder + "Save\\Kids\\").size(), 2u) << "no temporary file is left behind";

    ASSERT_TRUE(SavePageFiles(folder, false, 23, canvas));
    EXPECT_TRUE(Exists(folder + "Save\\Normal\\24.bmp"));
    EXPECT_TRUE(Exists(folder + "Save\\Normal\\24_s.bmp"));

    // Saving again replaces the page.
    HBITMAP second = Picture(800, 600, 0x99);
    ASSERT_TRUE(SavePageFiles(folder, true, 4, second));
    EXPECT_EQ(FileBytes(page)[54], 0x99);
    FreeDIBitmap(&second);

    // A program folder under which no folder can be made: nothing written,
    // no crash.
    const std::string blocked = folder + "blocked\\";
    HANDLE file = CreateFileA((folder + "blocked").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    EXPECT_FALSE(SavePageFiles(blocked, true, 0, canvas));
    EXPECT_FALSE(SavePageFiles(folder, true, 0, nullptr));
    FreeDIBitmap(&canvas);
}

TEST(PageFiles, LoadsOnlyPagesOfTheScreenSize) {
    pintora_test::TempDir dir;
    const std::string folder = Narrow(dir.path());
    HBITMAP canvas = Picture(320, 200, 0x22);
    ASSERT_TRUE(SavePageFiles(folder, false, 7, canvas));
    HBITMAP page = LoadPagePicture(folder, false, 7, SIZE{320, 200});
    ASSERT_NE(page, nullptr);
    BITMAPINFOHEADER h{};
    void *bits = nullptr;
    GetDIBitmapInfo(page, &h, &bits);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(static_cast<BYTE *>(bits)[0], 0x22);
    FreeDIBitmap(&page);
    EXPECT_EQ(LoadPagePicture(folder, false, 7, SIZE{320, 201}), nullptr) << "another screen's page";
    EXPECT_EQ(LoadPagePicture(folder, false, 8, SIZE{320, 200}), nullptr) << "never saved";
    EXPECT_EQ(LoadPagePicture(folder, true, 7, SIZE{320, 200}), nullptr) << "the other mode's folder";
    FreeDIBitmap(&canvas);
}

TEST(SaveAs, JpegAt640x480BmpFullSizeOthersNothing) {
    pintora_test::TempDir dir;
    for (SIZE screen : {SIZE{1024, 768}, SIZE{300, 200}}) {
        HBITMAP canvas = Picture(screen.cx, screen.cy, 0x80);
        const std::string jpeg = Narrow(dir.File(L"x.JPG"));
        ASSERT_TRUE(ExportPicture(canvas, jpeg, jpeg.size() - 3));
        HBITMAP back = nullptr;
        ASSERT_NE(ReadGraphicsFile(jpeg.c_str(), nullptr, &back), 0);
        BITMAPINFOHEADER h{};
        GetDIBitmapInfoHeader(&h, back);
        EXPECT_EQ(h.biWidth, 640);
        EXPECT_EQ(h.biHeight, 480);
        FreeDIBitmap(&back);
        const auto bytes = FileBytes(jpeg);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xD8);

        const std::string bmp = Narrow(dir.File(L"y.bmp"));
        ASSERT_TRUE(ExportPicture(canvas, bmp, bmp.size() - 3));
        EXPECT_EQ(FileBytes(bmp).size(), 54u + static_cast<size_t>(BitmapWidthBytes(screen.cx, 24)) * screen.cy);

        const std::string png = Narrow(dir.File(L"z.png"));
        EXPECT_FALSE(ExportPicture(canvas, png, png.size() - 3));
        EXPECT_FALSE(Exists(png));
        DeleteFileA(jpeg.c_str());
        DeleteFileA(bmp.c_str());
        FreeDIBitmap(&canvas);
    }
}

// A writer killed at any moment leaves either the old page or the new one,
// each whole; never a short or mixed file.  Each round starts a writer of
// the other colour, waits until its first page is in place (so it is busy
// writing) and kills it a few milliseconds later.
TEST(PageFiles, AKilledWriterLeavesAWholePage) {
    pintora_test::TempDir dir;
    const std::string folder = Narrow(dir.path());
    HBITMAP old = Picture(1024, 768, 0x11);
    ASSERT_TRUE(SavePageFiles(folder, false, 0, old));
    FreeDIBitmap(&old);
    const std::string page = folder + "Save\\Normal\\01.bmp";
    const size_t whole = 54u + 1024u * 768u * 3u;
    const std::wstring helper = pintora_test::TestDir() + L"page_write_helper.exe";

    for (int round = 0; round < 8; ++round) {
        const BYTE colour = round % 2 ? 0x11 : 238;
        // The folder without its trailing backslash, which would escape the
        // closing quote.
        const std::wstring bare = dir.path().substr(0, dir.path().size() - 1);
        std::wstring command = L"\"" + helper + L"\" \"" + bare + L"\" " + std::to_wstring(colour);
        STARTUPINFOW startup{sizeof(startup)};
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(helper.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        bool writing = false;
        for (int i = 0; i < 2000 && !writing; ++i) {
            const auto bytes = FileBytes(page);
            writing = bytes.size() == whole && bytes[54] == colour;
            if (!writing) Sleep(5);
        }
        Sleep(static_cast<DWORD>(round * 3));
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ASSERT_TRUE(writing) << "the writer never replaced the page";

        const auto bytes = FileBytes(page);
        ASSERT_EQ(bytes.size(), whole) << "round " << round;
        size_t odd = 0;
        for (size_t i = 54; i < bytes.size(); ++i) odd += bytes[i] != colour;
        EXPECT_EQ(odd, 0u) << "one picture, whole";
    }
}
