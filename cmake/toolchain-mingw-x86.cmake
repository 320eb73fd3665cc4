# Cross-compiles for 32-bit Windows with the POSIX-thread MinGW-w64 compilers.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(SIREL_MINGW_TRIPLE i686-w64-mingw32)
set(SIREL_WIDL_ARCH    --win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
