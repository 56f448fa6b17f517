# Cross-compiles for 64-bit Windows with Debian's MinGW-w64:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# With the window (scripts/windows-check), Qt's own qt.toolchain.cmake loads this
# file. The programs run under wine when it is installed (CTest uses it to run
# the tests).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-compilers.cmake)

find_program(ZENFARO_WINE NAMES wine wine64)
if(ZENFARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZENFARO_WINE})
endif()
