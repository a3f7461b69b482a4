# Packs the demo package: zorpack build into a partial file, zorpack verify
# when the tool has it, then the partial file takes the package's name, so a
# failed or interrupted step never leaves a package that looks finished.
#
#   cmake -DZORPACK=<zorpack> -DPROJECT=<description> -DENGINE=<setup program>
#         -DOUTPUT=<package> -DLOG=<build log> -P package_build.cmake
foreach(_var ZORPACK PROJECT ENGINE OUTPUT LOG)
  if(NOT DEFINED ${_var} OR "${${_var}}" STREQUAL "")
    message(FATAL_ERROR "package_build.cmake: ${_var} not given")
  endif()
endforeach()

set(_partial ${OUTPUT}.partial)
file(REMOVE ${OUTPUT} ${_partial})
get_filename_component(_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${_dir})

execute_process(COMMAND ${ZORPACK} build ${PROJECT} -o ${_partial} --engine ${ENGINE} --log ${LOG}
  RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  file(REMOVE ${_partial})
  message(FATAL_ERROR "zorpack build failed (${_rc}); its log: ${LOG}")
endif()

# The verify command reads every stream back; older tools do not have it.
execute_process(COMMAND ${ZORPACK} --help OUTPUT_VARIABLE _help ERROR_QUIET)
if(_help MATCHES "(^|\n) *verify ")
  execute_process(COMMAND ${ZORPACK} verify ${_partial} RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    file(REMOVE ${_partial})
    message(FATAL_ERROR "zorpack verify found a fault in the package just built (${_rc})")
  endif()
endif()

file(RENAME ${_partial} ${OUTPUT})
