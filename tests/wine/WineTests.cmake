# Tests of the 64-bit Windows build run under Wine through run.sh, which the
# win64 preset sets as CMAKE_CROSSCOMPILING_EMULATOR: add_test(COMMAND target)
# then runs the .exe under Wine. Every such test calls zor_wine_test(name) so
# it shares the run's prefix and carries the label "wine" (ctest -L wine).
#
# One prefix per test run: the setup fixture makes it fresh (wineboot -i, no
# crash dialog), the cleanup fixture stops its wineserver. The prefix stays in
# <build>/wine/prefix afterwards for inspection.

set(ZOR_WINE_AVAILABLE OFF)
if(CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR)
  set(ZOR_WINE_AVAILABLE ON)
  set(ZOR_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
  set(ZOR_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/wine/run.sh)

  add_test(NAME wine.prefix.setup COMMAND ${ZOR_WINE_RUN} --setup)
  add_test(NAME wine.prefix.teardown COMMAND ${ZOR_WINE_RUN} --teardown)
  set_tests_properties(wine.prefix.setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
  set_tests_properties(wine.prefix.teardown PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60)
  set_tests_properties(wine.prefix.setup wine.prefix.teardown PROPERTIES
    LABELS wine ENVIRONMENT "ZOR_WINE_PREFIX=${ZOR_WINE_PREFIX}")
endif()

# Marks tests (added in the calling directory) as Wine tests of this run.
# They run one at a time even under ctest -j: each ends with wineserver -w,
# which would also wait for the programs of a test running beside it.
function(zor_wine_test)
  if(NOT ZOR_WINE_AVAILABLE)
    return()
  endif()
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS wine RUN_SERIAL TRUE)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT "ZOR_WINE_PREFIX=${ZOR_WINE_PREFIX}")
endfunction()
