# Runs the built `tessaro` program (under the emulator in the Windows tree) on
# good and bad inputs and checks its exit status, its messages and what it
# leaves on disk.  Files are passed by relative names from a work folder, so
# the same commands work for Windows programs under Wine.
#
# -DPROGRAM -DEMULATOR -DTEST_MODULE -DFIXTURES -DWORK -DNATIVE -DVERSION

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(f picture.png mask.png mask_small.png not_png.png rgba16.png)
  file(COPY ${FIXTURES}/${f} DESTINATION ${WORK})
endforeach()
get_filename_component(module_name ${TEST_MODULE} NAME)
file(COPY ${TEST_MODULE} DESTINATION ${WORK})

set(failures 0)

# run(<name> <expected status or "any"> <expected text in stderr or stdout> args...)
function(run name expected_status expected_text)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGN}
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
    TIMEOUT 120)
  set(ok TRUE)
  if(NOT expected_status STREQUAL "any" AND NOT "${status}" STREQUAL "${expected_status}")
    set(ok FALSE)
  endif()
  if(NOT "${expected_text}" STREQUAL "")
    string(FIND "${out}${err}" "${expected_text}" at)
    if(at EQUAL -1)
      set(ok FALSE)
    endif()
  endif()
  if(NOT ok)
    message(SEND_ERROR "${name}: expected status ${expected_status} and '${expected_text}'\n"
                       "  got status ${status}\n  stdout: ${out}\n  stderr: ${err}")
  else()
    message(STATUS "${name}: ok")
  endif()
  set(last_status "${status}" PARENT_SCOPE)
  set(last_output "${out}${err}" PARENT_SCOPE)
endfunction()

function(expect_absent name file)
  if(EXISTS ${WORK}/${file})
    message(SEND_ERROR "${name}: ${file} should not have been written")
  endif()
endfunction()

# ---- Usage and file errors: status 1, the culprit named -------------------------------
run(no_arguments 1 "no input file")
run(unknown_option 1 "unknown option '--sparkle'" --sparkle picture.png -o out.png)
run(bad_number 1 "--zoom: 'big' is not a whole number" --zoom big picture.png -o out.png)
run(bad_colour 1 "--color: '12345' is not a colour" --color 12345 picture.png -o out.png)
run(missing_input 1 "missing.png: cannot open" missing.png -o out.png)
run(not_a_png 1 "not_png.png: not a PNG file" not_png.png -o out.png)
run(mask_wrong_size 1 "mask_small.png: the mask is 4 x 4 pixels, but picture.png is 9 x 7"
    --mask mask_small.png picture.png -o out.png)
run(missing_module 1 "cannot load the filter module" --plugin nowhere.8bf picture.png -o out.png)
run(output_is_folder 1 "is a folder; give a file name" picture.png -o .)
run(output_folder_missing 1 "the output folder does not exist" picture.png --out-dir nowhere)
file(MAKE_DIRECTORY ${WORK}/afolder)
run(input_is_folder 1 "afolder: is a folder, not a PNG file" afolder -o out.png)
expect_absent(file_errors out.png)
run(help 0 "Usage: tessaro" --help)
run(version 0 "tessaro ${VERSION}" --version)

# ---- Runs through the test module --------------------------------------------------------
run(success 0 "" --plugin ${module_name} rgba16.png -o out.png)
if(NOT EXISTS ${WORK}/out.png)
  message(SEND_ERROR "success: out.png was not written")
endif()
file(SHA256 ${WORK}/out.png before)

set(ENV{TESSARO_TEST_MODULE_MODE} fail-text)
run(failure_text 3 "the filter failed: test module failure: the sky is falling"
    --plugin ${module_name} picture.png -o out.png)
set(ENV{TESSARO_TEST_MODULE_MODE} fail-code)
run(failure_code 3 "out of memory (-108)" --plugin ${module_name} picture.png -o out.png)
set(ENV{TESSARO_TEST_MODULE_MODE} refuse)
run(refusal 2 "This filter requires a selection" --plugin ${module_name} picture.png -o out.png)
unset(ENV{TESSARO_TEST_MODULE_MODE})
file(SHA256 ${WORK}/out.png after)
if(NOT before STREQUAL after)
  message(SEND_ERROR "a failed run changed the existing out.png")
endif()
run(flat_without_mask 2 "refused" --flat --plugin ${module_name} picture.png -o flat.png)
expect_absent(flat_without_mask flat.png)

file(GLOB leftovers ${WORK}/.*tmp*)
if(leftovers)
  message(SEND_ERROR "temporary files left behind: ${leftovers}")
endif()

# ---- The real module: renders, or fails with its own text; never half-writes -------------
run(real_module any "" picture.png -o real.png)
if(last_status EQUAL 0)
  if(NOT EXISTS ${WORK}/real.png)
    message(SEND_ERROR "real module: status 0 but real.png missing")
  endif()
elseif(last_status EQUAL 3)
  if(NOT last_output MATCHES "picture.png: the filter failed: [^\n]+")
    message(SEND_ERROR "real module: failure without the module's text: ${last_output}")
  endif()
  expect_absent(real_module real.png)
else()
  message(SEND_ERROR "real module: unexpected status ${last_status}: ${last_output}")
endif()

if(NATIVE)
  # Natively the module shows its refusal as a line on standard error; the
  # Windows build shows a message box, which would wait forever here.
  run(real_module_flat any "" --flat picture.png -o real_flat.png)
  if(NOT last_status EQUAL 2 AND NOT last_status EQUAL 3)
    message(SEND_ERROR "real module, flat picture without selection: status ${last_status}")
  endif()
  expect_absent(real_module_flat real_flat.png)
endif()
