# Adds every subfolder of the current source folder that has a CMakeLists.txt,
# in name order, so that a new subsystem or tool needs no edit of its parent.
function(tonvale_add_subfolders)
  file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT entries)
  foreach(dir ${entries})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# Adds the platform half of each concept: <stem>_win.cpp for Windows,
# <stem>_posix.cpp elsewhere.
#   tonvale_platform_sources(<target> <stem>...)
function(tonvale_platform_sources target)
  if(WIN32)
    set(suffix _win.cpp)
  else()
    set(suffix _posix.cpp)
  endif()
  foreach(stem ${ARGN})
    target_sources(${target} PRIVATE ${stem}${suffix})
  endforeach()
endfunction()
