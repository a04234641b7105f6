# String tables from their readable UTF-8 sources, generated at build time by
# tools/stringtable (built for the build machine, also in the cross build).
#
#   tonvale_add_string_tables(<target> COUNT <n> TABLES <langId> <source> [<langId> <source>...])
#
# Makes an OBJECT library <target> holding the tables in the target's form:
# RCDATA resources named by language id on Windows, a compiled-in table
# (support/ui_table_data.h) elsewhere. Link it into the program that owns the
# tables: resources must be linked as objects, an archive would drop them.

set(TONVALE_STRINGTABLE_SOURCE ${CMAKE_CURRENT_LIST_DIR}/stringtable.cpp)

# Sets out_var to the generator's path and dep_var to what a command running
# it must depend on.
function(_tonvale_stringtable_tool out_var dep_var)
  if(NOT CMAKE_CROSSCOMPILING)
    if(NOT TARGET stringtable)
      add_executable(stringtable ${TONVALE_STRINGTABLE_SOURCE})
      tonvale_warnings(stringtable)
    endif()
    set(${out_var} $<TARGET_FILE:stringtable> PARENT_SCOPE)
    set(${dep_var} stringtable PARENT_SCOPE)
    return()
  endif()
  set(tool ${CMAKE_BINARY_DIR}/host-tools/stringtable)
  if(NOT TARGET stringtable_host)
    find_program(TONVALE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
    add_custom_command(OUTPUT ${tool}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
      COMMAND ${TONVALE_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -o ${tool} ${TONVALE_STRINGTABLE_SOURCE}
      DEPENDS ${TONVALE_STRINGTABLE_SOURCE}
      COMMENT "Building the string-table generator for the build machine"
      VERBATIM)
    add_custom_target(stringtable_host DEPENDS ${tool})
  endif()
  set(${out_var} ${tool} PARENT_SCOPE)
  set(${dep_var} stringtable_host ${TONVALE_STRINGTABLE_SOURCE} PARENT_SCOPE)
endfunction()

function(tonvale_add_string_tables target)
  cmake_parse_arguments(S "" "COUNT" "TABLES" ${ARGN})
  _tonvale_stringtable_tool(tool tool_deps)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target})
  file(MAKE_DIRECTORY ${dir})
  set(args)
  set(sources)
  set(ids)
  set(pairs ${S_TABLES})
  while(pairs)
    list(POP_FRONT pairs id source)
    get_filename_component(source ${source} ABSOLUTE)
    list(APPEND args ${id}=${source})
    list(APPEND sources ${source})
    list(APPEND ids ${id})
  endwhile()

  if(WIN32)
    set(bins)
    set(rc "// Generated: string tables as RCDATA named by language id.\n")
    foreach(id ${ids})
      list(APPEND bins ${dir}/${id}.bin)
      string(APPEND rc "${id} RCDATA \"${dir}/${id}.bin\"\n")
    endforeach()
    add_custom_command(OUTPUT ${bins}
      COMMAND ${tool} --count ${S_COUNT} --bin-dir ${dir} ${args}
      DEPENDS ${tool_deps} ${sources}
      COMMENT "Generating string tables ${target}"
      VERBATIM)
    file(GENERATE OUTPUT ${dir}/${target}.rc CONTENT "${rc}")
    set_source_files_properties(${bins} PROPERTIES HEADER_FILE_ONLY ON)
    set_source_files_properties(${dir}/${target}.rc PROPERTIES OBJECT_DEPENDS "${bins}")
    add_library(${target} OBJECT ${dir}/${target}.rc ${bins})
  else()
    add_custom_command(OUTPUT ${dir}/${target}.cpp
      COMMAND ${tool} --count ${S_COUNT} --cpp ${dir}/${target}.cpp ${args}
      DEPENDS ${tool_deps} ${sources}
      COMMENT "Generating string tables ${target}"
      VERBATIM)
    add_library(${target} OBJECT ${dir}/${target}.cpp)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  endif()
endfunction()
