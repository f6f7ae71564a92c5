# Shared part of the two cross toolchains (toolchain-i686-mingw.cmake and
# toolchain-x86_64-mingw.cmake), which set PINTORA_TRIPLET and
# PINTORA_WINE_LOADER before including this file.
#
# MinGW-w64 with the posix thread model: std::mutex (GoogleTest uses it)
# needs it.  winpthread is linked statically, so only msvcrt.dll and system
# DLLs are imported.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${PINTORA_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PINTORA_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${PINTORA_TRIPLET}-windres)
set(CMAKE_DLLTOOL      ${PINTORA_TRIPLET}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${PINTORA_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run under the Wine loader of their flavour; the scripts
# in tools/ prepare a prefix of the matching architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PINTORA_WINE_LOADER})
