# Cross toolchain of the released program: 32-bit Windows (PE32), run under
# 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PINTORA_TRIPLET i686-w64-mingw32)
set(PINTORA_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
