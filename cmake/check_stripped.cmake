# Fails when a program or library that goes to users still has its symbol
# table or debug sections: they only make the package bigger and tell
# anyone who unpacks it how the code is put together.
#
#   cmake -DOBJDUMP=<objdump> -P check_stripped.cmake <file or folder>...
#
# A folder stands for every .exe and .dll below it, so a binary that joins
# the stage is checked without anyone listing it.
if(NOT OBJDUMP)
  message(FATAL_ERROR "check_stripped.cmake: OBJDUMP not given")
endif()

# The arguments after the script's name (cmake -D... -P <script> <args>).
set(_files)
set(_first 0)
math(EXPR _last "${CMAKE_ARGC} - 1")
foreach(_i RANGE 1 ${_last})
  set(_arg "${CMAKE_ARGV${_i}}")
  if(_first EQUAL 0)
    if(_arg STREQUAL "-P")
      math(EXPR _first "${_i} + 2")
    endif()
  elseif(_i GREATER_EQUAL _first)
    if(IS_DIRECTORY "${_arg}")
      file(GLOB_RECURSE _found "${_arg}/*.exe" "${_arg}/*.dll")
      list(APPEND _files ${_found})
    elseif(EXISTS "${_arg}")
      list(APPEND _files "${_arg}")
    else()
      message(FATAL_ERROR "check_stripped.cmake: no such file: ${_arg}")
    endif()
  endif()
endforeach()
if(NOT _files)
  message(FATAL_ERROR "check_stripped.cmake: no binaries to check")
endif()

set(_bad)
foreach(_file IN LISTS _files)
  execute_process(COMMAND ${OBJDUMP} -f -h ${_file} OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "check_stripped.cmake: ${OBJDUMP} cannot read ${_file}: ${_err}")
  endif()
  set(_what)
  string(REGEX MATCHALL "\n +[0-9]+ (\\.debug[^ ]*)" _sections "${_out}")
  list(LENGTH _sections _count)
  if(_count GREATER 0)
    list(APPEND _what "${_count} debug sections")
  endif()
  if(_out MATCHES "HAS_SYMS")
    list(APPEND _what "a symbol table")
  endif()
  if(_what)
    list(JOIN _what " and " _what)
    list(APPEND _bad "  ${_file}: ${_what}")
  endif()
endforeach()

if(_bad)
  list(JOIN _bad "\n" _bad)
  message(FATAL_ERROR "Shipped binaries that are not stripped (link them with -s):\n${_bad}")
endif()
list(LENGTH _files _count)
message(STATUS "${_count} shipped binaries, none with symbols or debug sections")
