# The compilers and search rules of a 64-bit Windows cross build with Debian's
# MinGW-w64 (the posix-threads variant of GCC, whose C++ library has std::thread
# and friends). Shared by the project's toolchain file and by scripts/windows-qt,
# which builds Qt with exactly these compilers.
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
