# The layers of the product's code, lowest first, and what each may use.
#
# This table is the one place that says which code may include which: the
# build makes one static library of each library layer from it, linked only to
# the layers it uses, and the layer check (cmake/CheckLayers.cmake, run by the
# test command) fails on any include that crosses a layer the wrong way.
#
# FILES entries:
#   folder/        the files directly in that folder,
#   folder/name    the files of one unit: name.h, name.cpp, name_win.cpp, name_posix.cpp,
#   folder/x.ext   one file.
# A file belongs to its most specific entry (a unit or file before a folder), so
# a folder can give some of its files to another layer without moving them.
#
# Tests, fuzz targets and benchmarks are outside the layers: they may use
# anything.

set(TESSARO_LAYERS "")

function(tessaro_layer name)
  cmake_parse_arguments(L "LIBRARY" "" "USES;FILES" ${ARGN})
  set(TESSARO_LAYERS ${TESSARO_LAYERS} ${name} PARENT_SCOPE)
  set(TESSARO_LAYER_${name}_USES ${L_USES} PARENT_SCOPE)
  set(TESSARO_LAYER_${name}_FILES ${L_FILES} PARENT_SCOPE)
  set(TESSARO_LAYER_${name}_LIBRARY ${L_LIBRARY} PARENT_SCOPE)
endfunction()

# Pixels and images, numeric helpers, text, files, the key-value store, debug
# output and resource ids: nothing here knows what the effect is.
tessaro_layer(base LIBRARY
  FILES image/ i18n/ascii.h i18n/file_system i18n/ini_file i18n/utf16
        settings/settings_store settings/file_settings_store settings/store_lock
        host/debug_output resources/resource_ids.h)

# The effect: its settings and presets, the scene, the renderer, the language
# table and the product's identity.
tessaro_layer(model LIBRARY USES base
  FILES settings/ scene/ render/ i18n/)

# The host interface: entry and selector dispatch, the filter run and its
# composite, scripting, the plug-in resources, and the effect controller that
# the dialog drives.  It reaches a user interface only through the hooks in
# host/interface_hooks.h.
tessaro_layer(host LIBRARY USES model base
  FILES host/)

# A window toolkit that knows nothing of the product: frames, controls, the
# skin's drawing state and painter.
tessaro_layer(toolkit LIBRARY USES base
  FILES ui/toolkit/ ui/dialog/interface_styles ui/dialog/paint_surface)

# The product's windows: the main dialog, its menus and preview, the about box,
# the small dialogs and message boxes, and the hooks that show them.
tessaro_layer(dialogs LIBRARY USES host model toolkit base
  FILES ui/dialog/ ui/toolkit/small_dialogs)

# Programs and modules at the top: each puts the layers together.
tessaro_layer(module USES dialogs host model toolkit base
  FILES host/plugin_main.cpp)
tessaro_layer(cli USES host model base
  FILES cli/)
tessaro_layer(buildtools USES host model base
  FILES resources/)
tessaro_layer(gallery USES dialogs host model toolkit base
  FILES ui/gallery/)

# The folders the check reads.
set(TESSARO_LAYER_FOLDERS cli host i18n image render resources scene settings
    ui/dialog ui/gallery ui/toolkit)

# The layer of a file (path relative to the source root), or "" if none.
function(tessaro_layer_of path out)
  set(best "")
  set(best_rank -1)
  foreach(layer IN LISTS TESSARO_LAYERS)
    foreach(entry IN LISTS TESSARO_LAYER_${layer}_FILES)
      set(rank -1)
      string(LENGTH "${entry}" len)
      if(entry MATCHES "/$")
        string(FIND "${path}" "${entry}" at)
        if(at EQUAL 0)
          string(SUBSTRING "${path}" ${len} -1 rest)
          if(NOT rest MATCHES "/")
            set(rank ${len})
          endif()
        endif()
      elseif(entry MATCHES "\\.[a-z]+$")
        if(path STREQUAL entry)
          math(EXPR rank "${len} + 1000")
        endif()
      else()
        string(REGEX REPLACE "([.+])" "\\\\\\1" quoted "${entry}")
        if(path MATCHES "^${quoted}(_win|_posix)?\\.(h|cpp)$")
          math(EXPR rank "${len} + 1000")
        endif()
      endif()
      if(rank GREATER best_rank)
        set(best_rank ${rank})
        set(best ${layer})
      endif()
    endforeach()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

# The sources of one library layer for this build: the platform split by file
# name (*_win.cpp only on Windows, *_posix.cpp only elsewhere, *_main.cpp never).
function(tessaro_layer_sources layer out)
  set(result "")
  foreach(dir IN LISTS TESSARO_LAYER_FOLDERS)
    file(GLOB files CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    foreach(f IN LISTS files)
      if(f MATCHES "_main\\.cpp$")
        continue()
      endif()
      if(WIN32 AND f MATCHES "_posix\\.cpp$")
        continue()
      endif()
      if(NOT WIN32 AND f MATCHES "_win\\.cpp$")
        continue()
      endif()
      tessaro_layer_of(${f} owner)
      if(owner STREQUAL layer)
        list(APPEND result ${CMAKE_SOURCE_DIR}/${f})
      endif()
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()
