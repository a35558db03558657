# veltrana_warnings: the warning flags of the compiler in use, for every
# target of the project. Flags go only to compilers that understand them.
add_library(veltrana_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(veltrana_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Wunused -Woverloaded-virtual -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 warns of overlapping copies inside std::string at -O3, where
    # there are none (its bug 105329).
    target_compile_options(veltrana_warnings INTERFACE -Wno-restrict)
  endif()
  if(VELTRANA_WERROR)
    target_compile_options(veltrana_warnings INTERFACE -Werror)
  endif()
elseif(MSVC)
  target_compile_options(veltrana_warnings INTERFACE /W4 /permissive-)
  if(VELTRANA_WERROR)
    target_compile_options(veltrana_warnings INTERFACE /WX)
  endif()
endif()
