# Cross toolchain of the 64-bit flavour: x86_64 Windows (PE32+), run under
# 64-bit Wine.  Its loader is named directly, since /usr/bin/wine prefers
# the 32-bit one whenever that is installed.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PINTORA_TRIPLET x86_64-w64-mingw32)
set(PINTORA_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
