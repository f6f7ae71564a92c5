// Not a test: writes page 01 of normal mode below the folder given on the
// command line (without its trailing backslash) over and over (a picture of the colour given second), until
// it is killed.  The page tests kill it in the middle of a write.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "dibwork.h"
#include "page_files.h"
#include "page_store.h"

int main(int argc, char **argv) {
    if (argc < 3) return 2;
    const std::string folder = std::string(argv[1]) + "\\";
    const BYTE value = static_cast<BYTE>(std::atoi(argv[2]));
    HBITMAP picture = MakeBlankFCDIBitmap(1024, 768);
    BITMAPINFOHEADER header{};
    void *bits = nullptr;
    if (!GetDIBitmapInfo(picture, &header, &bits)) return 3;
    FillMemory(bits, header.biSizeImage, value);
    const std::string page = pintora::PageFileName(folder, false, 0, false);
    for (;;) pintora::WritePictureFileSafely(page, picture);
}
