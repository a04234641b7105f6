# Test programs: one CTest entry per program, never one per test case (Wine
# start-up costs about 0.3 s a process).
#
# Labels: native (runs on Linux), wine (a Windows program run under Wine),
# rig (needs the sound server or the display that scripts/rig starts), and
# asan on the tests of the sanitizer build. Rig tests share one sink and one
# screen, so they hold the resource lock "rig" and never overlap.

include(CTest)

find_program(TONVALE_BASH bash REQUIRED)

if(CMAKE_CROSSCOMPILING)
  set(TONVALE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix the tests run in")
  # Host paths as a Windows program sees them (Wine maps Z: to /).
  set(TONVALE_HOST_PATH_PREFIX "Z:")
  # Quiet Wine, and no Mono/Gecko prompts or desktop menu entries from a new
  # prefix. Wine takes its code pages and UI language from the locale, and
  # non-ASCII file names need a UTF-8 one: tests see C.UTF-8 whatever the
  # caller's locale (an empty LC_* counts as unset), unless they append their
  # own LANG or LC_ALL.
  set(TONVALE_WINE_ENV
      "WINEPREFIX=${TONVALE_WINEPREFIX}"
      "WINEDEBUG=-all"
      "WINEDLLOVERRIDES=winemenubuilder.exe,mscoree,mshtml=d"
      "LC_ALL=" "LC_CTYPE=" "LC_MESSAGES="
      "LANG=C.UTF-8")
  # A fresh prefix takes seconds to create; make it once before any test so
  # parallel tests never race to initialise it.
  add_test(NAME wine_prefix
           COMMAND ${CMAKE_COMMAND} -E env ${TONVALE_WINE_ENV}
                   ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wineprefix LABELS "wine" TIMEOUT 300)
else()
  set(TONVALE_HOST_PATH_PREFIX "")
  set(TONVALE_WINE_ENV)
endif()

set(TONVALE_TEST_DATA_DIR "${TONVALE_HOST_PATH_PREFIX}${CMAKE_SOURCE_DIR}/tests/data")

# Screenshots and other files a test keeps for people to look at. Every test
# sees the folder (a host path) in TONVALE_ARTEFACTS_DIR; tests write into a
# subfolder named after themselves. Windows programs see it as a Z: path;
# bash drivers strip that: ${TONVALE_ARTEFACTS_DIR#Z:}.
set(TONVALE_ARTEFACTS_DIR "${CMAKE_BINARY_DIR}/artefacts")
file(MAKE_DIRECTORY ${TONVALE_ARTEFACTS_DIR})

# A Wine prefix of the build tree that reports another Windows version
# (winxp64 = 5.2, vista = 6.0, win7 = 6.1, win10 = 6.2 to programs without a
# Windows 10 manifest entry). Made once by a fixture test
# wine_prefix_<version>; tests take it with PREFIX <version>.
#   tonvale_wine_prefix(<version>)
function(tonvale_wine_prefix version)
  if(NOT CMAKE_CROSSCOMPILING OR TEST wine_prefix_${version})
    return()
  endif()
  set(prefix ${CMAKE_BINARY_DIR}/wineprefix-${version})
  add_test(NAME wine_prefix_${version}
           COMMAND ${CMAKE_COMMAND} -DWINE_RUN=${CMAKE_CROSSCOMPILING_EMULATOR}
                   -DPREFIX=${prefix} -DVERSION=${version}
                   -P ${CMAKE_SOURCE_DIR}/cmake/make_wine_prefix.cmake)
  set_tests_properties(wine_prefix_${version} PROPERTIES
    FIXTURES_SETUP wineprefix_${version} LABELS wine TIMEOUT 300)
endfunction()

# Runs an existing Windows test in the prefix of another Windows version.
#   tonvale_use_wine_prefix(<test> <version>)
function(tonvale_use_wine_prefix test version)
  tonvale_wine_prefix(${version})
  get_test_property(${test} ENVIRONMENT env)
  list(FILTER env EXCLUDE REGEX "^WINEPREFIX=")
  list(APPEND env "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-${version}")
  set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env}"
                       FIXTURES_REQUIRED wineprefix_${version})
endfunction()

# Labels, environment, fixture and lock shared by every kind of test.
function(_tonvale_test_properties name rig labels timeout)
  if(CMAKE_CROSSCOMPILING)
    list(APPEND labels wine)
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "${TONVALE_WINE_ENV}"
      FIXTURES_REQUIRED wineprefix)
  else()
    list(APPEND labels native)
    if(TONVALE_SANITIZE)
      list(APPEND labels asan)
    endif()
  endif()
  if(rig)
    list(APPEND labels rig)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK rig)
  endif()
  if(NOT timeout)
    set(timeout 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${timeout})
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
               "TONVALE_ARTEFACTS_DIR=${TONVALE_HOST_PATH_PREFIX}${TONVALE_ARTEFACTS_DIR}")
endfunction()

# Registers an executable target as a test with the project's labels and, for
# Windows programs, the Wine environment.
#   tonvale_register_test(<target> [RIG] [LABELS l...] [TIMEOUT s] [ARGS a...])
function(tonvale_register_test target)
  cmake_parse_arguments(T "RIG" "TIMEOUT" "LABELS;ARGS" ${ARGN})
  add_test(NAME ${target} COMMAND ${target} ${T_ARGS})
  _tonvale_test_properties(${target} "${T_RIG}" "${T_LABELS}" "${T_TIMEOUT}")
endfunction()

# A test judged from outside the program: a bash driver starts the program
# (through Wine for Windows programs), provides what it needs (a tone, a
# screen) and checks what it did (output, a screenshot).
#   tonvale_add_driven_test(<name> DRIVER <script> PROGRAM <target>
#                           [RIG] [LABELS l...] [TIMEOUT s] [ARGS a...])
# The driver is run as `bash <script> <program> <args...>` with
# TONVALE_EMULATOR set to the launcher (Wine, or empty for native programs).
# It must send the program's output to a file, not to a pipe of its own: see
# cmake/wine-run.
function(tonvale_add_driven_test name)
  cmake_parse_arguments(T "RIG" "DRIVER;PROGRAM;TIMEOUT" "LABELS;ARGS" ${ARGN})
  add_test(NAME ${name}
           COMMAND ${TONVALE_BASH} ${T_DRIVER} $<TARGET_FILE:${T_PROGRAM}> ${T_ARGS})
  _tonvale_test_properties(${name} "${T_RIG}" "${T_LABELS}" "${T_TIMEOUT}")
  get_test_property(${name} ENVIRONMENT env)
  if(NOT env)
    set(env)
  endif()
  if(CMAKE_CROSSCOMPILING)
    list(APPEND env "TONVALE_EMULATOR=${TONVALE_WINE}")
  else()
    list(APPEND env "TONVALE_EMULATOR=")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
endfunction()

# A GoogleTest program.
#   tonvale_add_gtest(<name> SOURCES s... [LIBRARIES l...] [RIG] [LABELS ...] [TIMEOUT s]
#                     [PREFIX <windows-version>])
# Portable tests list only portable sources and libraries and build for both
# targets; Windows-only tests are declared inside if(WIN32).
function(tonvale_add_gtest name)
  cmake_parse_arguments(T "RIG" "TIMEOUT;PREFIX" "SOURCES;LIBRARIES;LABELS;ARGS" ${ARGN})
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
  if(T_PREFIX AND CMAKE_CROSSCOMPILING)
    tonvale_use_wine_prefix(${name} ${T_PREFIX})
  endif()
endfunction()
