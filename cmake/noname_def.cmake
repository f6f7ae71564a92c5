# Turns a .def file into one whose exports are all NONAME, for an import
# library that binds callers by ordinal only.  Usage:
#   cmake -DIN=lib.def -DOUT=lib.noname.def -P noname_def.cmake
file(STRINGS "${IN}" lines)
set(out "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*([A-Za-z_][A-Za-z0-9_@]*)[ \t]+@([0-9]+)")
    string(APPEND out "  ${CMAKE_MATCH_1} @${CMAKE_MATCH_2} NONAME\n")
  elseif(NOT line MATCHES "^[ \t]*(;|$)")
    string(APPEND out "${line}\n")
  endif()
endforeach()
file(WRITE "${OUT}" "${out}")
