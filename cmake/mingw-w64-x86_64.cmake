# Cross-compiles Vantrel for 64-bit Windows with the mingw-w64 toolchain (posix threads, SEH).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTREL_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${VANTREL_MINGW_PREFIX}-gcc-posix ${VANTREL_MINGW_PREFIX}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VANTREL_MINGW_PREFIX}-g++-posix ${VANTREL_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VANTREL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here (the asset generator, the tests) run under Wine when it is installed, so
# the build can make the demo's assets and ctest can run the Windows tests from Linux. They share
# one Wine prefix in the build tree, made on first use; Mono and Gecko are left out of it, since
# their installers would ask on screen and nothing here needs them.
find_program(VANTREL_WINE NAMES wine64 wine PATHS /usr/lib/wine)
set(VANTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the build's programs")
if(VANTREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEDEBUG=-all
      WINEPREFIX=${VANTREL_WINEPREFIX} WINEDLLOVERRIDES=mscoree,mshtml= ${VANTREL_WINE})
endif()

# Every program links the C and C++ runtimes statically, so an .exe runs without mingw's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
