# Fails when a source of the library calls a standard mathematical function
# other than through analysis/double_maths.h, whose functions take double
# arguments only. Run by the build before the library's objects compile:
#   cmake -DSOURCES="a.cpp;b.h" -DSTAMP=path -P CheckDoubleMaths.cmake
# Calls are looked for in code, not in // comments; maths::NAME( is the one
# allowed spelling.
set(names "exp|exp2|expm1|log|log10|log2|log1p|pow|sin|cos|tan|asin|acos|atan|atan2|sinh|cosh|tanh|sqrt|cbrt|hypot")
set(call "(^|[^A-Za-z0-9_:.])(std::|::)?(${names})[fl]?[ \t]*\\(")
set(faults "")
foreach(source IN LISTS SOURCES)
  if(source MATCHES "double_maths\\.h$")
    continue()
  endif()
  file(READ "${source}" text)
  # One list element a line, empty lines kept, so that numbers are right.
  string(REPLACE ";" "," text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(REGEX REPLACE "//.*$" "" code "${line}")
    if(code MATCHES "${call}")
      string(APPEND faults "\n  ${source}:${number}: ${line}")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "mathematical functions called other than through maths:: (analysis/double_maths.h):${faults}")
endif()
file(TOUCH "${STAMP}")
