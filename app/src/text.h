// Texts of the program's string table.  The table is UTF-16 in the file;
// the wide form is for showing, the ANSI form (the process code page) for
// the names other libraries compare byte for byte, such as brush names.
#pragma once

#include <windows.h>

#include <string>

namespace pintora {

std::wstring LoadWideString(HINSTANCE instance, UINT id);
std::string LoadAnsiString(HINSTANCE instance, UINT id);

}  // namespace pintora
