# Compiler settings shared by both build trees.
#
# The renderer's arithmetic must give the same bits on Linux and Windows, so no
# fused multiply-add, no fast-math and no machine-specific code generation.
add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)
if(TESSARO_WERROR)
  add_compile_options(-Werror)
endif()

if(WIN32)
  # A host loads the module into its own process: it must need no DLL but
  # Windows' own.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE _WIN32_WINNT=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

if(TESSARO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow,float-divide-by-zero
                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow,float-divide-by-zero)
endif()

if(TESSARO_FUZZ)
  # Coverage for libFuzzer in every library; the fuzz targets add its main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(TESSARO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
