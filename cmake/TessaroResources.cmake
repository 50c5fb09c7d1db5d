# The property list and terminology resources are generated as binary files by
# a small tool of ours, which also draws the icons and the cursor into .ico and
# .cur files.  In the Windows tree the tool is built with the build machine's
# own compiler, since it has to run during the build.
set(TESSARO_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(TESSARO_PIPL_BIN ${TESSARO_GENERATED_DIR}/pipl.bin)
set(TESSARO_AETE_BIN ${TESSARO_GENERATED_DIR}/aete.bin)
# The entry point is listed under the key of the module's processor.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TESSARO_MODULE_ARCHITECTURE x86)
else()
  set(TESSARO_MODULE_ARCHITECTURE x64)
endif()
# Must match BuildArtworkFiles(), the logo and the file names in tessaro.rc.
set(TESSARO_ARTWORK_FILES)
foreach(name warning.ico question.ico check_on.ico check_off.ico caption_menu.ico
             caption_close.ico eyedropper.cur about_logo.bmp)
  list(APPEND TESSARO_ARTWORK_FILES ${TESSARO_GENERATED_DIR}/${name})
endforeach()

# The drawing and file encoding are portable: the native and Windows unit
# tests compile them too.
set(TESSARO_ARTWORK_SOURCES
  ${CMAKE_SOURCE_DIR}/resources/about_logo.cpp
  ${CMAKE_SOURCE_DIR}/resources/artwork_shapes.cpp
  ${CMAKE_SOURCE_DIR}/resources/icon_file.cpp
  ${CMAKE_SOURCE_DIR}/resources/toolkit_artwork.cpp)
set(TESSARO_RESGEN_SOURCES
  ${CMAKE_SOURCE_DIR}/resources/make_plugin_resources_main.cpp
  ${CMAKE_SOURCE_DIR}/host/plugin_resources.cpp
  ${CMAKE_SOURCE_DIR}/settings/effect_settings.cpp
  ${CMAKE_SOURCE_DIR}/image/rounding.cpp
  ${TESSARO_ARTWORK_SOURCES}
  ${CMAKE_SOURCE_DIR}/image/dib.cpp
  ${CMAKE_SOURCE_DIR}/image/dib_shapes.cpp
  ${CMAKE_SOURCE_DIR}/image/dib_memory_posix.cpp
  ${CMAKE_SOURCE_DIR}/image/ellipse_raster.cpp
  ${CMAKE_SOURCE_DIR}/image/pixel.cpp)

if(CMAKE_CROSSCOMPILING)
  find_program(TESSARO_BUILD_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  set(resgen ${CMAKE_BINARY_DIR}/buildtools/make_plugin_resources)
  add_custom_command(
    OUTPUT ${resgen}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/buildtools
    COMMAND ${TESSARO_BUILD_CXX} -std=c++17 -O1 -Wall -Wextra -I${CMAKE_SOURCE_DIR}
            ${TESSARO_RESGEN_SOURCES} -o ${resgen}
    DEPENDS ${TESSARO_RESGEN_SOURCES}
            ${CMAKE_SOURCE_DIR}/host/plugin_resources.h
            ${CMAKE_SOURCE_DIR}/host/plugin_interface.h
            ${CMAKE_SOURCE_DIR}/settings/effect_settings.h
            ${CMAKE_SOURCE_DIR}/resources/about_logo.h
            ${CMAKE_SOURCE_DIR}/resources/artwork_shapes.h
            ${CMAKE_SOURCE_DIR}/resources/icon_file.h
            ${CMAKE_SOURCE_DIR}/resources/toolkit_artwork.h
            ${CMAKE_SOURCE_DIR}/resources/resource_ids.h
            ${CMAKE_SOURCE_DIR}/image/dib.h
            ${CMAKE_SOURCE_DIR}/image/dib_memory.h
            ${CMAKE_SOURCE_DIR}/image/ellipse_raster.h
            ${CMAKE_SOURCE_DIR}/image/pixel.h
            ${CMAKE_SOURCE_DIR}/image/numeric.h
            ${CMAKE_SOURCE_DIR}/image/rounding.h
    COMMENT "Building the resource generator for the build machine"
    VERBATIM)
else()
  add_executable(make_plugin_resources ${TESSARO_RESGEN_SOURCES})
  target_include_directories(make_plugin_resources PRIVATE ${CMAKE_SOURCE_DIR})
  set(resgen $<TARGET_FILE:make_plugin_resources>)
endif()

add_custom_command(
  OUTPUT ${TESSARO_PIPL_BIN} ${TESSARO_AETE_BIN} ${TESSARO_ARTWORK_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSARO_GENERATED_DIR}
  COMMAND ${resgen} ${TESSARO_PIPL_BIN} ${TESSARO_AETE_BIN} ${TESSARO_GENERATED_DIR}
          ${TESSARO_MODULE_ARCHITECTURE}
  DEPENDS ${resgen}
  COMMENT "Generating the plug-in property list, terminology, icons and cursor"
  VERBATIM)
add_custom_target(tessaro_plugin_resources
  DEPENDS ${TESSARO_PIPL_BIN} ${TESSARO_AETE_BIN} ${TESSARO_ARTWORK_FILES})
# Everything the resource script reads: it is compiled again when any changes.
set(TESSARO_RC_INPUTS ${TESSARO_PIPL_BIN} ${TESSARO_AETE_BIN} ${TESSARO_ARTWORK_FILES}
    ${CMAKE_SOURCE_DIR}/resources/resource_ids.h)
