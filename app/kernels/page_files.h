// The page files of the program: 24 pages per mode beside the program,
// each a full-size 24-bit BMP and a 64 x 48 thumbnail, and the names the
// explicit "save as" writes.
//
//   page index p (0..23) of folder D (the program's, ending in '\'):
//     normal mode  D + "Save\Normal\" + two digits of p + 1 + ".bmp" / "_s.bmp"
//     kids mode    D + "Save\Kids\"   + ...
//   so index 0 is 01.bmp and 01_s.bmp, index 23 is 24.bmp and 24_s.bmp.
#pragma once

#include <string>

namespace pintora {

constexpr int kThumbnailWidth = 64;
constexpr int kThumbnailHeight = 48;
constexpr int kExportJpegWidth = 640;
constexpr int kExportJpegHeight = 480;
constexpr int kExportJpegQuality = 95;

// The page's folder below the program folder: "Save\Kids\" or
// "Save\Normal\" (with the trailing backslash).
std::string PageFolder(const std::string &programFolder, bool kids);

// The picture (thumbnail false) or thumbnail file of page `index`; an
// index outside 0..23 is brought into it first.
std::string PageFileName(const std::string &programFolder, bool kids, int index, bool thumbnail);

// The page a turn of the page bar leads to: the next one, or the previous
// one, cycling through the 24 pages.
int TurnedPage(int index, bool forward);

// Where a page is written first: a file in the same folder, so that
// replacing the page is a rename within one volume.
std::string TemporaryPageName(const std::string &pageName);

// The autosave marker of a mode, "autosave.txt" in the page folder: while
// it exists, the page it names holds an autosave of a run that did not end
// (it crashed, or the power went).  Its text is "page=" and the page index
// 0..23 in decimal.
std::string AutosaveMarkerName(const std::string &programFolder, bool kids);
std::string AutosaveMarkerText(int index);
// The page index of a marker's text, or -1 when the text names none.
int ParseAutosaveMarker(const std::string &text);

// What "save as" writes for the chosen name: the extension after the
// dialog's extension offset, compared without regard to case.
enum class ExportKind { kBmp, kJpeg, kNothing };
ExportKind ExportKindOf(const std::string &fileName, size_t extensionOffset);

}  // namespace pintora
