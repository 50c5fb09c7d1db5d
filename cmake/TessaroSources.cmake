# Source collection by folder, with the platform split done by file name:
#   *_win.cpp    only in the Windows build,
#   *_posix.cpp  only in the native build,
#   *_main.cpp   never in a library (entry points of modules and programs).
function(tessaro_collect_sources out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    foreach(f IN LISTS files)
      get_filename_component(name ${f} NAME)
      if(name MATCHES "_main\\.cpp$")
        continue()
      endif()
      if(WIN32 AND name MATCHES "_posix\\.cpp$")
        continue()
      endif()
      if(NOT WIN32 AND name MATCHES "_win\\.cpp$")
        continue()
      endif()
      list(APPEND result ${f})
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()
