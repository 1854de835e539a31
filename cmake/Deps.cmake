# Imported targets for the static third-party prefix built by scripts/deps.sh.
set(_p ${KORVANE_DEPS_PREFIX})
function(_korvane_static_lib name)
  add_library(korvane::${name} INTERFACE IMPORTED GLOBAL)
  set_target_properties(korvane::${name} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_p}/include)
  set(_libs)
  foreach(l IN LISTS ARGN)
    list(APPEND _libs ${_p}/lib/lib${l}.a)
  endforeach()
  set_target_properties(korvane::${name} PROPERTIES INTERFACE_LINK_LIBRARIES "${_libs}")
endfunction()

_korvane_static_lib(zlib z)
_korvane_static_lib(jpeg turbojpeg jpeg)

# FFmpeg with its codec libraries, in the order pkg-config gives for static links.
find_program(PKG_CONFIG_EXECUTABLE pkg-config REQUIRED)
set(ENV{PKG_CONFIG_LIBDIR} ${_p}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
execute_process(
  COMMAND ${PKG_CONFIG_EXECUTABLE} --static --libs libavfilter libavformat libavcodec libswresample libavutil
  OUTPUT_VARIABLE _ff_libs OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "pkg-config cannot find FFmpeg in ${_p}")
endif()
separate_arguments(_ff_libs UNIX_COMMAND "${_ff_libs}")
add_library(korvane::media INTERFACE IMPORTED GLOBAL)
set_target_properties(korvane::media PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${_p}/include
  INTERFACE_LINK_LIBRARIES "${_ff_libs};${_p}/lib/libmp3lame.a;${_p}/lib/libvorbisenc.a;${_p}/lib/libvorbis.a;${_p}/lib/libogg.a;${_p}/lib/libgsm.a;${_p}/lib/libz.a")
