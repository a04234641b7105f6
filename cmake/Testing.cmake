# Test programs: one CTest entry per program, never one per test case (Wine
# start-up costs about 0.3 s a process).
#
# Labels: native (runs on Linux), wine (a Windows program run under Wine),
# rig (needs the sound server or the display that scripts/rig starts).

include(CTest)

if(CMAKE_CROSSCOMPILING)
  set(TONVALE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix the tests run in")
  # Host paths as a Windows program sees them (Wine maps Z: to /).
  set(TONVALE_HOST_PATH_PREFIX "Z:")
  # A fresh prefix takes seconds to create; make it once before any test so
  # parallel tests never race to initialise it.
  get_filename_component(_wine_dir ${TONVALE_WINE} DIRECTORY)
  find_program(TONVALE_WINESERVER NAMES wineserver-stable wineserver
               HINTS ${_wine_dir} /usr/lib/wine)
  add_test(NAME wine_prefix
           COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${TONVALE_WINEPREFIX} WINEDEBUG=-all
                   ${TONVALE_WINE} wineboot --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wineprefix LABELS "wine" TIMEOUT 300)
else()
  set(TONVALE_HOST_PATH_PREFIX "")
endif()

set(TONVALE_TEST_DATA_DIR "${TONVALE_HOST_PATH_PREFIX}${CMAKE_SOURCE_DIR}/tests/data")

# Registers an executable target as a test with the project's labels and, for
# Windows programs, the Wine environment.
#   tonvale_register_test(<target> [RIG] [LABELS l...] [TIMEOUT s] [ARGS a...])
function(tonvale_register_test target)
  cmake_parse_arguments(T "RIG" "TIMEOUT" "LABELS;ARGS" ${ARGN})
  add_test(NAME ${target} COMMAND ${target} ${T_ARGS})
  set(labels ${T_LABELS})
  if(CMAKE_CROSSCOMPILING)
    list(APPEND labels wine)
    set_tests_properties(${target} PROPERTIES
      ENVIRONMENT "WINEPREFIX=${TONVALE_WINEPREFIX};WINEDEBUG=-all"
      FIXTURES_REQUIRED wineprefix)
  else()
    list(APPEND labels native)
  endif()
  if(T_RIG)
    list(APPEND labels rig)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${target} PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
endfunction()

# A GoogleTest program.
#   tonvale_add_gtest(<name> SOURCES s... [LIBRARIES l...] [RIG] [LABELS ...] [TIMEOUT s])
# Portable tests list only portable sources and libraries and build for both
# targets; Windows-only tests are declared inside if(WIN32).
function(tonvale_add_gtest name)
  cmake_parse_arguments(T "RIG" "TIMEOUT" "SOURCES;LIBRARIES;LABELS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBRARIES} GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE TONVALE_TEST_DATA_DIR="${TONVALE_TEST_DATA_DIR}")
  tonvale_warnings(${name})
  set(extra)
  if(T_RIG)
    set(extra RIG)
  endif()
  if(T_TIMEOUT)
    list(APPEND extra TIMEOUT ${T_TIMEOUT})
  endif()
  tonvale_register_test(${name} ${extra} LABELS ${T_LABELS} ARGS ${T_ARGS})
endfunction()
