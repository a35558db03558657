# Cross-building the 64-bit Windows executables with MinGW-w64 on Debian:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake
set(MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# The tests run through Wine (64-bit), in the Wine prefix the test script
# prepares.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
