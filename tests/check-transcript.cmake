# Plays a session script with pavo-host and compares the transcript and the
# log it leaves with the expected files. Paths that differ between machines
# appear there as $DATA (the data folder) and $BIN (the build's program folder).
#
#   cmake -DHOST=... -DSCRIPT=examples/x.script -DSOURCE=<source dir> -DDATA=<scratch folder>
#         -DBIN=<folder of pavo-host> -DEXPECTED_TRANSCRIPT=... -DEXPECTED_LOG=...
#         [-DEXTRA_ARGS=...] [-DUPDATE=ON] -P check-transcript.cmake
#
# With UPDATE=ON the expected files are rewritten from the run instead.
foreach(var HOST SCRIPT SOURCE DATA BIN EXPECTED_TRANSCRIPT EXPECTED_LOG)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check-transcript: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${DATA}")
execute_process(COMMAND "${HOST}" --headless ${EXTRA_ARGS} --data "${DATA}" --script "${SCRIPT}"
  WORKING_DIRECTORY "${SOURCE}" OUTPUT_VARIABLE transcript ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pavo-host exited with ${result}:\n${errors}\n${transcript}")
endif()
string(REPLACE "${DATA}" "$DATA" transcript "${transcript}")
string(REPLACE "${BIN}" "$BIN" transcript "${transcript}")
file(READ "${DATA}/Zentavo/pavo-host/Profiles/Default/log.adi" log)

if(UPDATE)
  file(WRITE "${EXPECTED_TRANSCRIPT}" "${transcript}")
  file(WRITE "${EXPECTED_LOG}" "${log}")
  message(STATUS "updated ${EXPECTED_TRANSCRIPT} and ${EXPECTED_LOG}")
  return()
endif()

function(compare what actual expectedFile)
  file(READ "${expectedFile}" expected)
  if(NOT actual STREQUAL expected)
    set(actualFile "${DATA}.${what}")
    file(WRITE "${actualFile}" "${actual}")
    execute_process(COMMAND diff -u "${expectedFile}" "${actualFile}" OUTPUT_VARIABLE difference)
    message(FATAL_ERROR "the ${what} differs from ${expectedFile} (this run's is ${actualFile}):\n${difference}")
  endif()
endfunction()
compare(transcript "${transcript}" "${EXPECTED_TRANSCRIPT}")
compare(log "${log}" "${EXPECTED_LOG}")
message(STATUS "transcript and log as expected")
