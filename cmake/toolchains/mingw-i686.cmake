# Cross-building the 32-bit Windows executables with MinGW-w64 on Debian:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686.cmake
set(MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# These machines cannot run 32-bit code: only the programs are built here.
