# The property list and terminology resources are generated as binary files by
# a small tool of ours.  In the Windows tree the tool is built with the build
# machine's own compiler, since it has to run during the build.
set(TESSARO_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(TESSARO_PIPL_BIN ${TESSARO_GENERATED_DIR}/pipl.bin)
set(TESSARO_AETE_BIN ${TESSARO_GENERATED_DIR}/aete.bin)
set(TESSARO_RESGEN_SOURCES
  ${CMAKE_SOURCE_DIR}/resources/make_plugin_resources_main.cpp
  ${CMAKE_SOURCE_DIR}/host/plugin_resources.cpp
  ${CMAKE_SOURCE_DIR}/settings/effect_settings.cpp)

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
    COMMENT "Building the resource generator for the build machine"
    VERBATIM)
else()
  add_executable(make_plugin_resources ${TESSARO_RESGEN_SOURCES})
  target_include_directories(make_plugin_resources PRIVATE ${CMAKE_SOURCE_DIR})
  set(resgen $<TARGET_FILE:make_plugin_resources>)
endif()

add_custom_command(
  OUTPUT ${TESSARO_PIPL_BIN} ${TESSARO_AETE_BIN}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSARO_GENERATED_DIR}
  COMMAND ${resgen} ${TESSARO_PIPL_BIN} ${TESSARO_AETE_BIN}
  DEPENDS ${resgen}
  COMMENT "Generating the plug-in property list and terminology"
  VERBATIM)
add_custom_target(tessaro_plugin_resources DEPENDS ${TESSARO_PIPL_BIN} ${TESSARO_AETE_BIN})
