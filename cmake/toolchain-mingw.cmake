# The part of the MinGW-w64 cross toolchains that both bitnesses share: the POSIX-thread
# compilers, windres and widl of SIREL_MINGW_TRIPLE, and its sysroot for libraries and headers.
# Included by toolchain-mingw-x64.cmake and toolchain-mingw-x86.cmake, which set the triple, the
# processor and widl's bitness flag (SIREL_WIDL_ARCH).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${SIREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SIREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${SIREL_MINGW_TRIPLE}-windres)
# widl through a wrapper that keeps build paths and the clock out of its output.
set(SIREL_WIDL         ${CMAKE_CURRENT_LIST_DIR}/widl-reproducible.sh ${SIREL_MINGW_TRIPLE}-widl)
set(CMAKE_FIND_ROOT_PATH /usr/${SIREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
