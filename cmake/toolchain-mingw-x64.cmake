# Cross-compiles for 64-bit Windows with the POSIX-thread MinGW-w64 compilers.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SIREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(SIREL_WIDL_ARCH    --win64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
