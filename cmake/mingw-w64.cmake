# Cross build for Windows x86-64 with MinGW-w64 (posix thread model: the win32
# model lacks std::mutex, which GoogleTest needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TONVALE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${TONVALE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TONVALE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TONVALE_MINGW_PREFIX}-windres)
set(CMAKE_AR           ${TONVALE_MINGW_PREFIX}-gcc-ar-posix)
set(CMAKE_RANLIB       ${TONVALE_MINGW_PREFIX}-gcc-ranlib-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${TONVALE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the test programs through Wine (wine-run keeps Wine's lingering
# helper processes from holding ctest's output pipe open).
find_program(TONVALE_WINE NAMES wine-stable wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)

# Nothing to ship beside the .exe/.dll: runtime libraries linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
