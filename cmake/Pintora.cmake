# Build helpers shared by every folder of the tree.
#
# Two kinds of build use these files:
#   * the cross build, in one of two flavours: i686 (toolchain-i686-mingw.cmake,
#     the released PE32 program) or x86_64 (toolchain-x86_64-mingw.cmake, the
#     same program as PE32+).  Every deliverable is laid out in
#     ${PINTORA_DIST_DIR} exactly as installed, plus the Wine-run tests;
#   * the native build (host compiler, PINTORA_NATIVE): only the pixel kernels
#     and their tests, with AddressSanitizer and UndefinedBehaviorSanitizer.

set(PINTORA_CMAKE_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(PINTORA_DIST_DIR  "${CMAKE_BINARY_DIR}/dist")
set(PINTORA_TEST_DIR  "${CMAKE_BINARY_DIR}/tests")
set(PINTORA_BENCH_DIR "${CMAKE_BINARY_DIR}/bench")
set(PINTORA_LIB_DIR   "${CMAKE_BINARY_DIR}/lib")

option(PINTORA_WERROR "Treat compiler warnings as errors" ON)

function(pintora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra
    $<$<COMPILE_LANGUAGE:CXX>:-Wno-missing-field-initializers>)
  if(PINTORA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Kernel libraries: plain C++ that never includes <windows.h>; built by both
# kinds of build.
function(pintora_kernel_library target)
  add_library(${target} STATIC ${ARGN})
  pintora_warnings(${target})
endfunction()

if(PINTORA_NATIVE)
  # ---------------------------------------------------------------- native --
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)

  # The fuzzing build (clang, see fuzz/): every kernel carries libFuzzer's
  # coverage instrumentation, and only the fuzz targets are tests.
  option(PINTORA_FUZZ "Build the libFuzzer targets of fuzz/ instead of the kernel tests (clang)" OFF)
  if(PINTORA_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()

  # A GoogleTest executable over kernels; one CTest entry per executable.
  function(pintora_native_test name)
    if(PINTORA_FUZZ)
      return()
    endif()
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    pintora_warnings(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PINTORA_TEST_DIR})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  endfunction()
  return()
endif()

# ------------------------------------------------------------------- cross --

file(MAKE_DIRECTORY ${PINTORA_DIST_DIR} ${PINTORA_LIB_DIR})

# The flavour: "i686" or "x86_64".
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PINTORA_ARCH x86_64)
  set(PINTORA_MANIFEST_ARCH amd64)
else()
  set(PINTORA_ARCH i686)
  set(PINTORA_MANIFEST_ARCH x86)
endif()
message(STATUS "Pintora flavour: ${PINTORA_ARCH}")

# The manifest names the flavour's processor architecture: Windows and Wine
# ignore a manifest of the other one, and with it the UTF-8 code page.
configure_file(${PINTORA_CMAKE_DIR}/pintora.manifest.in
               ${CMAKE_BINARY_DIR}/manifest/pintora.manifest @ONLY)
configure_file(${PINTORA_CMAKE_DIR}/manifest.rc
               ${CMAKE_BINARY_DIR}/manifest/manifest.rc COPYONLY)
set(PINTORA_MANIFEST_RC "${CMAKE_BINARY_DIR}/manifest/manifest.rc")

# Writes a .def derived from `def` (see def_flavour.cmake) at configure
# time; a change of the source .def configures again.
function(pintora_derive_def def out)
  cmake_parse_arguments(V "UNDECORATE;NONAME" "" "" ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DIN=${def} -DOUT=${out} -DUNDECORATE=${V_UNDECORATE}
            -DNONAME=${V_NONAME} -P ${PINTORA_CMAKE_DIR}/def_flavour.cmake
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "could not derive ${out} from ${def}")
  endif()
endfunction()

# Links `target` with its module's one .def.  The .def names the i686
# stdcall symbols with their @N (a wrong argument size fails the link) and
# the exports drop the @N; x86_64 has no decoration, so it links with a copy
# whose names are undecorated.  Either way the DLL exports the same names
# at the same ordinals.
#   LITERAL_NAMES  the .def spells every export name out ("Name = Name@8",
#                  '"_Name@16" = Name@16'): i686 links without --kill-at, so
#                  that a name really ending in "@N" is kept.
function(pintora_link_def target def)
  cmake_parse_arguments(L "LITERAL_NAMES" "" "" ${ARGN})
  if(PINTORA_ARCH STREQUAL "x86_64")
    get_filename_component(def_name ${def} NAME)
    set(flavour_def ${PINTORA_LIB_DIR}/defs/${target}.${def_name})
    pintora_derive_def(${def} ${flavour_def} UNDECORATE)
    target_sources(${target} PRIVATE ${flavour_def})
  else()
    target_sources(${target} PRIVATE ${def})
    if(NOT L_LITERAL_NAMES)
      target_link_options(${target} PRIVATE -Wl,--kill-at)
    endif()
  endif()
endfunction()

# Writes the .def of a brush plug-in from its brush list, at configure
# time: every line "MACRO(Function, ordinal, ...)" of LIST becomes the
# export "Xi_Function" at `ordinal` (the i686 stdcall symbol
# Xi_Function@4), and EXTRA lines are added as written.  With LITERAL_NAMES
# each name is spelled out ("Xi_Function = Xi_Function@4 @1"), for a
# plug-in linked with LITERAL_NAMES.  A change of the list configures
# again; the file is rewritten only when it changes.
function(pintora_brush_list_def)
  cmake_parse_arguments(B "LITERAL_NAMES" "LIST;MACRO;LIBRARY;OUT" "EXTRA" ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${B_LIST})
  file(STRINGS ${B_LIST} rows REGEX "^${B_MACRO}\\(")
  get_filename_component(list_name ${B_LIST} NAME)
  set(exports "")
  foreach(row IN LISTS rows)
    if(NOT row MATCHES "^${B_MACRO}\\(([A-Za-z0-9_]+), *([0-9]+)[,)]")
      message(FATAL_ERROR "${list_name}: cannot read \"${row}\"")
    endif()
    if(B_LITERAL_NAMES)
      string(APPEND exports "  Xi_${CMAKE_MATCH_1} = Xi_${CMAKE_MATCH_1}@4 @${CMAKE_MATCH_2}\n")
    else()
      string(APPEND exports "  Xi_${CMAKE_MATCH_1}@4 @${CMAKE_MATCH_2}\n")
    endif()
  endforeach()
  if(exports STREQUAL "")
    message(FATAL_ERROR "${list_name} names no brush")
  endif()
  foreach(line IN LISTS B_EXTRA)
    string(APPEND exports "  ${line}\n")
  endforeach()
  set(text "; Written by the build from ${list_name}.\nLIBRARY ${B_LIBRARY}\nEXPORTS\n${exports}")
  set(old "")
  if(EXISTS ${B_OUT})
    file(READ ${B_OUT} old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE ${B_OUT} "${text}")
  endif()
endfunction()

# Windows form of a Unix path, as Wine sees it (drive Z: is the root).
function(pintora_wine_path out unix_path)
  string(REPLACE "/" "\\" win "${unix_path}")
  set(${out} "Z:${win}" PARENT_SCOPE)
endfunction()

# Every Windows module links its C and C++ runtimes statically (libgcc,
# libstdc++, winpthread): a user needs only our files.  msvcrt.dll stays
# shared, since it holds the one rand() generator of the process.
function(pintora_module target)
  pintora_warnings(${target})
  target_link_options(${target} PRIVATE -static)
  target_compile_definitions(${target} PRIVATE
    WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endfunction()

# An executable of the product or of its tests: carries the manifest.
function(pintora_executable target)
  cmake_parse_arguments(E "WIN32" "OUTPUT_DIR" "SOURCES" ${ARGN})
  if(E_WIN32)
    add_executable(${target} WIN32 ${E_SOURCES} ${PINTORA_MANIFEST_RC})
  else()
    add_executable(${target} ${E_SOURCES} ${PINTORA_MANIFEST_RC})
  endif()
  pintora_module(${target})
  if(NOT E_OUTPUT_DIR)
    set(E_OUTPUT_DIR ${PINTORA_DIST_DIR})
  endif()
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${E_OUTPUT_DIR})
endfunction()

# A shared library of the product.
#   DEF            the .def file: i686 stdcall names with their @N, and
#                  @ordinals (see pintora_link_def)
#   OUTPUT_NAME    file name without extension
#   SUFFIX         .dll (default) or .brs
#   ORDINAL_IMPORT name of an INTERFACE target that links callers to this
#                  library by ordinal only (an import library made from the
#                  .def with every entry NONAME)
#   INCLUDE        public include folder handed to callers
#   LITERAL_NAMES  the .def spells every exported name out (Name = Symbol@N),
#                  and names are exported exactly as written: no --kill-at,
#                  which would also cut an "@N" that belongs to a name
function(pintora_shared_library target)
  cmake_parse_arguments(D "LITERAL_NAMES" "DEF;OUTPUT_NAME;SUFFIX;ORDINAL_IMPORT;INCLUDE" "SOURCES" ${ARGN})
  if(NOT D_SUFFIX)
    set(D_SUFFIX .dll)
  endif()
  add_library(${target} SHARED ${D_SOURCES})
  pintora_module(${target})
  if(D_LITERAL_NAMES)
    pintora_link_def(${target} ${D_DEF} LITERAL_NAMES)
  else()
    pintora_link_def(${target} ${D_DEF})
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${D_OUTPUT_NAME} SUFFIX ${D_SUFFIX}
    RUNTIME_OUTPUT_DIRECTORY ${PINTORA_DIST_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${PINTORA_LIB_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${PINTORA_LIB_DIR})
  if(D_INCLUDE)
    target_include_directories(${target} PUBLIC ${D_INCLUDE})
  endif()

  if(D_ORDINAL_IMPORT)
    set(noname_def ${PINTORA_LIB_DIR}/defs/${D_OUTPUT_NAME}.noname.def)
    set(implib ${PINTORA_LIB_DIR}/lib${D_OUTPUT_NAME}.ordinal.a)
    if(PINTORA_ARCH STREQUAL "x86_64")
      pintora_derive_def(${D_DEF} ${noname_def} NONAME UNDECORATE)
    else()
      pintora_derive_def(${D_DEF} ${noname_def} NONAME)
    endif()
    add_custom_command(OUTPUT ${implib}
      COMMAND ${CMAKE_DLLTOOL} -k -d ${noname_def} -D ${D_OUTPUT_NAME}${D_SUFFIX} -l ${implib}
      DEPENDS ${noname_def}
      COMMENT "Import library of ${D_OUTPUT_NAME} (by ordinal)"
      VERBATIM)
    add_custom_target(${target}_ordinal_implib DEPENDS ${implib})
    add_library(${D_ORDINAL_IMPORT} INTERFACE)
    target_link_libraries(${D_ORDINAL_IMPORT} INTERFACE ${implib})
    if(D_INCLUDE)
      target_include_directories(${D_ORDINAL_IMPORT} INTERFACE ${D_INCLUDE})
    endif()
    add_dependencies(${D_ORDINAL_IMPORT} ${target}_ordinal_implib ${target})
  endif()
endfunction()

# A GoogleTest executable run under Wine; one CTest entry per executable.
#   SOURCES   test sources
#   LIBS      libraries to link (kernels, ordinal import targets, ...)
#   DEPENDS   product targets the test loads at run time (built first)
function(pintora_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;DEPENDS" ${ARGN})
  pintora_executable(${name} OUTPUT_DIR ${PINTORA_TEST_DIR} SOURCES ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} pintora_testsupport)
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  pintora_wine_path(dist_win ${PINTORA_DIST_DIR})
  # A program that faults under Wine can end with exit code 0 once the
  # debugger has printed its report, so the verdict is read from the
  # output as well: GoogleTest's summary must be there, and neither a
  # failed test nor an unhandled exception may be.
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "WINEPATH=${dist_win}"
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\];Unhandled exception;Unhandled page fault"
    TIMEOUT ${T_TIMEOUT})
endfunction()

# A benchmark: a program that prints "name value unit" lines.
function(pintora_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  pintora_executable(${name} OUTPUT_DIR ${PINTORA_BENCH_DIR} SOURCES ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} pintora_benchsupport)
  target_compile_options(${name} PRIVATE -O2)
  if(B_DEPENDS)
    add_dependencies(${name} ${B_DEPENDS})
  endif()
endfunction()
