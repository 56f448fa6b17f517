# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the posix-threads
# variant of GCC, whose C++ library has std::thread and friends):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DZENFARO_GUI=OFF
# Programs are linked statically, so a .exe needs no DLL beside it, and they
# run under wine when it is installed (CTest uses it to run the tests).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZENFARO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZENFARO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENFARO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENFARO_MINGW_TRIPLET}-windres)

# Libraries and packages come from the MinGW-w64 tree only, never from the
# build machine's /usr; programs (such as wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZENFARO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ZENFARO_WINE NAMES wine wine64)
if(ZENFARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZENFARO_WINE})
endif()
