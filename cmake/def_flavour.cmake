# Derives a .def file for one flavour or use from the one .def of a module.
# The source .def names every export as the i686 stdcall symbol with its
# argument size ("Name@8 @3"; an alias as "Export@8 = Internal@8 @3").
#
#   cmake -DIN=lib.def -DOUT=out.def [-DUNDECORATE=ON] [-DNONAME=ON]
#         -P def_flavour.cmake
#
#   UNDECORATE  drops the "@N" of every symbol name: x86_64 has one calling
#               convention and no such decoration.  Quoted names are kept as
#               written, so an export whose name really ends in "@N" stays.
#   NONAME      marks every export NONAME, for an import library that binds
#               callers by ordinal only.
file(STRINGS "${IN}" lines)
set(name_re "(\"[^\"]+\"|[A-Za-z_][A-Za-z0-9_@?$]*)")
set(out "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*${name_re}([ \t]*=[ \t]*${name_re})?[ \t]+@([0-9]+)([ \t]+NONAME)?[ \t]*(;.*)?$")
    set(export_name "${CMAKE_MATCH_1}")
    set(internal_name "${CMAKE_MATCH_3}")
    set(ordinal "${CMAKE_MATCH_4}")
    set(noname "${CMAKE_MATCH_5}")
    if(UNDECORATE)
      foreach(var export_name internal_name)
        if(NOT "${${var}}" MATCHES "^\"")
          string(REGEX REPLACE "@[0-9]+$" "" ${var} "${${var}}")
        endif()
      endforeach()
    endif()
    if(NONAME)
      set(noname " NONAME")
    endif()
    if(internal_name STREQUAL "")
      string(APPEND out "  ${export_name} @${ordinal}${noname}\n")
    else()
      string(APPEND out "  ${export_name} = ${internal_name} @${ordinal}${noname}\n")
    endif()
  elseif(NOT line MATCHES "^[ \t]*(;|$)")
    string(APPEND out "${line}\n")
  endif()
endforeach()
# Rewritten only when it changes, so that a re-run does not relink.
set(old "")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL out)
  file(WRITE "${OUT}" "${out}")
endif()
