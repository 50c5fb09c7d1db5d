# The product's version is the project's VERSION and nothing else: the about
# box, the module's version resource and `tessaro --version` all read this
# generated header.
set(TESSARO_VERSION_SHORT ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
if(NOT PROJECT_VERSION_PATCH EQUAL 0)
  set(TESSARO_VERSION_SHORT ${PROJECT_VERSION})
endif()
set(TESSARO_VERSION_DIR ${CMAKE_BINARY_DIR}/version)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tessaro_version.h.in
               ${TESSARO_VERSION_DIR}/tessaro_version.h @ONLY)
include_directories(${TESSARO_VERSION_DIR})
