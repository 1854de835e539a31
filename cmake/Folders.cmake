# Every C++ unit starts with cmake/Prefix.h. The framework precompiles it once
# and the folders, programs and benchmarks reuse that; the tests reuse one that
# adds GoogleTest. A compiler cache seldom hits on precompiled units (each build
# of the header differs), so behind one the prefix is read as plain text.
set(KORVANE_PREFIX_HEADER ${CMAKE_SOURCE_DIR}/cmake/Prefix.h)
if(CMAKE_CXX_COMPILER_LAUNCHER)
  option(KORVANE_PCH "Precompile the prefix header" OFF)
else()
  option(KORVANE_PCH "Precompile the prefix header" ON)
endif()

# korvane_prefix(<target> [FROM <target that precompiles it>] [HEADERS more headers...])
function(korvane_prefix target)
  cmake_parse_arguments(A "" "FROM" "HEADERS" ${ARGN})
  if(NOT KORVANE_PCH)
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:-include;${KORVANE_PREFIX_HEADER}>")
    return()
  endif()
  # The prefix is C++: C sources go without it.
  get_target_property(_c ${target} SOURCES)
  list(FILTER _c INCLUDE REGEX "\\.c$")
  if(_c)
    set_source_files_properties(${_c} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  endif()
  if(A_FROM)
    target_precompile_headers(${target} REUSE_FROM ${A_FROM})
  else()
    target_precompile_headers(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${KORVANE_PREFIX_HEADER}>"
      ${A_HEADERS})
  endif()
endfunction()

# Product code (the folder libraries and the programs) builds without a
# warning: any warning fails it. Tests, benchmarks and third-party code are
# left out.
option(KORVANE_WERROR "Treat warnings in product code as errors" ON)
function(korvane_product_warnings target)
  if(KORVANE_WERROR)
    # GCC 12 reports out-of-bounds wmemcpy inside std::wstring copies of short
    # literals once they are inlined (false positives of that version).
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX,C>:-Werror;-Wno-array-bounds;-Wno-stringop-overread>")
  endif()
endfunction()

# korvane_folder_library(<name> [DIR folder] [DEPS libraries...] [LIBS libs...])
# Every .cpp of the folder (DIR, by default the name) goes into one static
# library, except the program entries.
set(KORVANE_PROGRAM_ENTRIES ${CMAKE_SOURCE_DIR}/recorder/Korvane.cpp ${CMAKE_SOURCE_DIR}/editor/Tessaro.cpp)

function(korvane_folder_library name)
  cmake_parse_arguments(A "" "DIR" "DEPS;LIBS" ${ARGN})
  if(NOT A_DIR)
    set(A_DIR ${name})
  endif()
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${A_DIR}/*.cpp ${CMAKE_SOURCE_DIR}/${A_DIR}/*.c)
  list(REMOVE_ITEM _src ${KORVANE_PROGRAM_ENTRIES})
  add_library(${name} STATIC ${_src})
  korvane_product_warnings(${name})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS} ${A_LIBS})
  if(name STREQUAL "framework")
    korvane_prefix(${name})
  else()
    korvane_prefix(${name} FROM framework)
  endif()
  # Resources of the folder (resources/<folder>/*.rc) are linked into every executable that uses it.
  file(GLOB _rc CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/${name}/*.rc)
  set_property(GLOBAL PROPERTY KORVANE_RC_${name} "${_rc}")
  set_property(GLOBAL PROPERTY KORVANE_DEPS_${name} "${A_DEPS}")
endfunction()

# The resource scripts of a folder and of every folder it depends on.
function(korvane_collect_rc out)
  set(_seen)
  set(_todo ${ARGN})
  set(_rc)
  while(_todo)
    list(POP_FRONT _todo f)
    if(f IN_LIST _seen)
      continue()
    endif()
    list(APPEND _seen ${f})
    get_property(_r GLOBAL PROPERTY KORVANE_RC_${f})
    list(APPEND _rc ${_r})
    get_property(_d GLOBAL PROPERTY KORVANE_DEPS_${f})
    list(APPEND _todo ${_d})
  endwhile()
  set(${out} ${_rc} PARENT_SCOPE)
endfunction()

# One resource script per executable that includes the scripts of its
# folders: a single windres run numbers cursor and icon images uniquely, and
# the linker then has one resource section (it fails merging several that
# hold images of the same type). Sets <out> to the script (empty without any).
function(korvane_rc_bundle out name)
  set(_rc ${ARGN})
  if(NOT _rc)
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  set(_content "// Resources of ${name}: the scripts of its folders.\n")
  foreach(r ${_rc})
    string(APPEND _content "#include \"${r}\"\n")
  endforeach()
  set(_file ${CMAKE_BINARY_DIR}/rc/${name}.rc)
  file(CONFIGURE OUTPUT ${_file} CONTENT "${_content}" @ONLY)
  # Rebuilt when a folder's script or any of its pictures changes.
  set(_deps)
  foreach(r ${_rc})
    get_filename_component(_d ${r} DIRECTORY)
    file(GLOB _files LIST_DIRECTORIES false CONFIGURE_DEPENDS ${_d}/*)
    list(APPEND _deps ${_files})
  endforeach()
  set_source_files_properties(${_file} PROPERTIES OBJECT_DEPENDS "${_deps}")
  set(${out} ${_file} PARENT_SCOPE)
endfunction()

# The folders of resource scripts, for windres to find the files they name.
function(korvane_rc_include_dirs target)
  foreach(r ${ARGN})
    get_filename_component(_d ${r} DIRECTORY)
    target_include_directories(${target} PRIVATE ${_d})
  endforeach()
endfunction()

function(korvane_program name)
  cmake_parse_arguments(A "" "ENTRY" "FOLDERS" ${ARGN})
  korvane_collect_rc(_rc ${A_FOLDERS})
  korvane_rc_bundle(_bundle ${name} ${_rc})
  add_executable(${name} WIN32 ${CMAKE_SOURCE_DIR}/${A_ENTRY} ${_bundle})
  korvane_product_warnings(${name})
  korvane_rc_include_dirs(${name} ${_rc})
  target_link_libraries(${name} PRIVATE ${A_FOLDERS})
  korvane_prefix(${name} FROM framework)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/resources)
endfunction()
