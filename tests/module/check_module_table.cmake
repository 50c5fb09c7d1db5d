# A host loads the module into its own process, where no compiler runtime DLL
# can be assumed: the module may import from Windows' own DLLs only, and must
# export the entry point under its plain name.
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()

set(allowed
  kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comdlg32.dll ole32.dll
  oleaut32.dll comctl32.dll msvcrt.dll msimg32.dll shlwapi.dll uxtheme.dll)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "no import table found in ${MODULE}")
endif()
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" lower)
  list(FIND allowed "${lower}" idx)
  if(idx EQUAL -1)
    message(FATAL_ERROR "module imports a DLL that is not part of Windows: ${dll}")
  endif()
  message(STATUS "import: ${dll}")
endforeach()

if(NOT dump MATCHES "\\[[ 0-9]+\\] PluginMainTessaro[\r\n]")
  message(FATAL_ERROR "export PluginMainTessaro not found in the export table")
endif()
message(STATUS "export: PluginMainTessaro")
