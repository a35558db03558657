# The sources are laid out in floors. Each floor is a folder of src/ and a
# static library that links only the floors below it, so a call the wrong
# way fails to link; the "floors" test also fails on an include the wrong
# way, even of a header alone.
#
#   veltrana_floor(NAME SOURCES file.cpp ... [USES floor ...] [LINKS target ...])
#
# makes the library veltrana_NAME from src/NAME/ and records which folders
# its files may include: its own and those of the floors it uses, with
# theirs.
#
#   veltrana_floor(NAME ONLY_IF VARIABLE ...)
#
# makes the library only when VARIABLE is true (the other platform's window,
# the Qt window without Qt) and otherwise only records what it may include,
# from the same USES, so that the include check still covers its files.

function(veltrana_floor_record name)
  set(reachable ${name})
  foreach(used IN LISTS ARGN)
    get_property(known GLOBAL PROPERTY VELTRANA_FLOOR_REACH_${used} SET)
    if(NOT known)
      message(FATAL_ERROR "veltrana_floor(${name}): the floor ${used} it uses is made below it")
    endif()
    get_property(below GLOBAL PROPERTY VELTRANA_FLOOR_REACH_${used})
    list(APPEND reachable ${below})
  endforeach()
  list(REMOVE_DUPLICATES reachable)
  set_property(GLOBAL PROPERTY VELTRANA_FLOOR_REACH_${name} ${reachable})
  list(JOIN reachable "," joined)
  set_property(GLOBAL APPEND PROPERTY VELTRANA_FLOORS "${name}=${joined}")
endfunction()

function(veltrana_floor name)
  cmake_parse_arguments(PARSE_ARGV 1 floor "" "ONLY_IF" "SOURCES;USES;LINKS")
  veltrana_floor_record(${name} ${floor_USES})
  if(DEFINED floor_ONLY_IF AND NOT ${floor_ONLY_IF})
    return()
  endif()
  list(TRANSFORM floor_SOURCES PREPEND ${name}/)
  add_library(veltrana_${name} STATIC ${floor_SOURCES})
  target_include_directories(veltrana_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(veltrana_${name} PUBLIC
    VELTRANA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    VELTRANA_VERSION_MINOR=${PROJECT_VERSION_MINOR})
  foreach(used IN LISTS floor_USES)
    target_link_libraries(veltrana_${name} PUBLIC veltrana_${used})
  endforeach()
  target_link_libraries(veltrana_${name} PUBLIC ${floor_LINKS} PRIVATE veltrana_warnings)
endfunction()
