# Cross-compiling the Windows x86 (32-bit) module with MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_PROCESSOR x86)

set(TESSARO_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The compiler's default for this target is the x87 unit, whose 80-bit
# registers round differently from the 64-bit doubles of every other build:
# the SSE2 unit computes each double operation as x86-64 does, bit for bit.
# Hosts built with other compilers call us with the stack aligned to 4 bytes
# only, so functions that keep SSE values on the stack align it themselves.
set(TESSARO_X86_FLAGS "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_C_FLAGS_INIT "${TESSARO_X86_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${TESSARO_X86_FLAGS}")
# The command-line program may use 4 GB on 64-bit Windows instead of 2 GB:
# large pictures need it, and nothing here keeps flags in pointers' top bit.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--large-address-aware")
