# End-to-end checks of the lines-capture binary, run as
#   cmake -DCAPTURE=<binary> -DGOLDEN=<dir> -DWORK=<scratch dir> -DCHECK=<name> -P lines_capture.cmake
# CHECK is one of: golden, wrap, png, help, bad-arguments.

foreach(var CAPTURE GOLDEN WORK CHECK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(expect_file_size path size)
  file(SIZE "${path}" actual)
  if(NOT actual EQUAL size)
    message(FATAL_ERROR "${path} has ${actual} bytes, expected ${size}")
  endif()
endfunction()

# Frame `frame` (counted from 1) of a --cells file must equal a golden frame.
function(expect_frame cells frame golden)
  math(EXPR offset "(${frame} - 1) * 8000")
  file(READ "${cells}" actual OFFSET ${offset} LIMIT 8000 HEX)
  file(READ "${golden}" expected HEX)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "frame ${frame} of ${cells} differs from ${golden}")
  endif()
endfunction()

function(run_capture)
  execute_process(COMMAND "${CAPTURE}" ${ARGN}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 120)
  set(status "${status}" PARENT_SCOPE)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "golden")
  run_capture(--input "${GOLDEN}/flight.input" --frames 120 --cells "${WORK}/flight.cells")
  if(NOT status EQUAL 0 OR NOT err STREQUAL "" OR NOT out STREQUAL "")
    message(FATAL_ERROR "lines-capture exited ${status}, said '${out}${err}'")
  endif()
  expect_file_size("${WORK}/flight.cells" 960000)
  foreach(frame 30 60 90 120)
    string(LENGTH "00${frame}" length)
    math(EXPR start "${length} - 3")
    string(SUBSTRING "00${frame}" ${start} 3 padded)
    expect_frame("${WORK}/flight.cells" ${frame} "${GOLDEN}/flight_frame_${padded}.cells")
  endforeach()

elseif(CHECK STREQUAL "wrap")
  # Frame 3's deadline is 4294967295, which no 32-bit tick exceeds.
  run_capture(--start-tick 4294967264 --frames 6 --cells "${WORK}/wrap.cells")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "lines-capture across the clock wrap: ${status} ${err}")
  endif()
  expect_file_size("${WORK}/wrap.cells" 48000)

elseif(CHECK STREQUAL "png")
  run_capture(--frames 3 --png "${WORK}/frame.png")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "lines-capture --png: ${status} ${err}")
  endif()
  # PNG signature, then the IHDR chunk: width 640 (0x280), height 600 (0x258).
  file(READ "${WORK}/frame.png" head LIMIT 24 HEX)
  if(NOT head STREQUAL "89504e470d0a1a0a0000000d494844520000028000000258")
    message(FATAL_ERROR "not a 640x600 PNG: ${head}")
  endif()

elseif(CHECK STREQUAL "help")
  run_capture(--help)
  if(NOT status EQUAL 0 OR NOT out MATCHES "^Usage: lines-capture" OR NOT err STREQUAL "")
    message(FATAL_ERROR "--help: status ${status}, output '${out}', errors '${err}'")
  endif()

elseif(CHECK STREQUAL "bad-arguments")
  file(WRITE "${WORK}/bad.input" "# fine\n1 500 500 L\n12 400 x R\n")
  # Arguments of one case are separated by "|".
  set(cases
    "--frames|0"
    "--frames|ten"
    "--frames"
    "--start-tick|4294967296"
    "--start-tick|-1"
    "--speed|3"
    "stray"
    "--input|${WORK}/missing.input"
    "--input|${WORK}/bad.input"
    "--input|${WORK}"
    "--frames|2|--frames|3"
    "--png|${WORK}/out.cells"
    "--png|${WORK}/no-such-dir/out.png"
    "--png|${WORK}")
  set(expected_messages
    "--frames needs a whole number from 1 to 4294967295, not '0'"
    "--frames needs a whole number from 1 to 4294967295, not 'ten'"
    "--frames needs a value"
    "--start-tick needs a whole number from 0 to 4294967295, not '4294967296'"
    "--start-tick needs a whole number from 0 to 4294967295, not '-1'"
    "unknown option '--speed'"
    "unexpected argument 'stray'"
    "cannot read input file"
    "bad.input', line 3: X and Y must be 32-bit integers"
    "cannot read input file"
    "--frames is given more than once"
    "--cells and --png name the same file"
    "cannot create"
    "is a directory")
  list(LENGTH cases count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET cases ${i} case)
    string(REPLACE "|" " " shown "${case}")
    string(REPLACE "|" ";" case "${case}")
    list(GET expected_messages ${i} message)
    run_capture(--cells "${WORK}/out.cells" ${case})
    if(NOT status EQUAL 2)
      message(FATAL_ERROR "'${shown}': exit status ${status}, expected 2")
    endif()
    string(FIND "${err}" "${message}" found)
    if(found EQUAL -1)
      message(FATAL_ERROR "'${shown}': stderr '${err}' does not say '${message}'")
    endif()
    string(REGEX MATCHALL "\n" newlines "${err}")
    list(LENGTH newlines lines)
    if(NOT lines EQUAL 1 OR NOT err MATCHES "^lines-capture: ")
      message(FATAL_ERROR "'${shown}': expected one line on stderr, got '${err}'")
    endif()
    file(GLOB left_behind "${WORK}/out.*" "${WORK}/.tmp-*" "${WORK}/no-such-dir")
    if(left_behind)
      message(FATAL_ERROR "'${shown}': left ${left_behind}")
    endif()
  endforeach()

else()
  message(FATAL_ERROR "unknown CHECK '${CHECK}'")
endif()
