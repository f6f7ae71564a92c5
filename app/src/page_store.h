// Writing and reading the page files and the "save as" export, apart from
// the canvas window so that each piece can be driven on its own.
//
// A page never loses its last good state: it is written to a temporary
// file in its own folder and replaces the old page only once it is
// complete, and the save folders are created when they are missing.
#pragma once

#include <windows.h>

#include <string>

namespace pintora {

// The program's folder, ending in a backslash ("" when it cannot be had).
std::string ProgramFolder();

// Creates "Save", "Save\Normal" and "Save\Kids" below the program folder
// when they are missing.  True when both page folders exist afterwards.
bool EnsurePageFolders(const std::string &programFolder);

// Writes the picture as a BMP file to a temporary file beside `path`,
// flushes it and only then puts it in the place of `path`.  On failure
// `path` is left as it was and the temporary file removed.
bool WritePictureFileSafely(const std::string &path, HBITMAP picture);

// Saves the canvas as page `index` of the mode: the full picture and its
// 64 x 48 thumbnail.  True when both were written.
bool SavePageFiles(const std::string &programFolder, bool kids, int index, HBITMAP canvas);

// The autosave marker of the mode (page_files.h): the page index it names,
// or -1 when there is none or it names no page.
int ReadAutosaveMarker(const std::string &programFolder, bool kids);
// Writes the marker through a temporary file, as the pages are written.
bool WriteAutosaveMarker(const std::string &programFolder, bool kids, int index);
void RemoveAutosaveMarker(const std::string &programFolder, bool kids);

// The page's picture when it exists and has exactly the screen's size,
// else NULL (a page of another screen is not shown stretched).
HBITMAP LoadPagePicture(const std::string &programFolder, bool kids, int index, SIZE screen);

// "Save as": a name ending in bmp gets the full picture as BMP, jpg a
// 640 x 480 JPEG at quality 95, any other extension nothing.  True when a
// file was written.
bool ExportPicture(HBITMAP canvas, const std::string &fileName, size_t extensionOffset);

}  // namespace pintora
