# pavo-host with WAV files for the engine's audio: a station recorded at 8 kHz
# is copied into the main pane, and what the operator sends is written out as
# a signal quorvel-modem copies back.
#   cmake -DHOST=... -DTOOL=... -DSCRIPT=... -DWORK=... -P check-host-audio.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${TOOL}" encode --mode bpsk --speed 31.25 --carrier 1000 --rate 8000 --snr 5
    --text "CQ de DL1ABC from a file" "${WORK}/in.wav" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "encode failed")
endif()
execute_process(COMMAND "${HOST}" --headless --data "${WORK}/data" --script "${SCRIPT}"
    --audio-in "${WORK}/in.wav" --audio-out "${WORK}/out.wav" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "pane RichEdit1 = \"{#008000}CQ de DL1ABC from a file{/#008000}\"")
  message(FATAL_ERROR "pavo-host (${rc}): ${err}\n${out}")
endif()
execute_process(COMMAND "${TOOL}" decode --mode bpsk --carrier 1000 "${WORK}/out.wav" OUTPUT_VARIABLE sent RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT sent STREQUAL "TEST de R3ABC \n")
  message(FATAL_ERROR "the transmitted audio decodes as \"${sent}\"")
endif()
execute_process(COMMAND "${HOST}" --headless --data "${WORK}/data2" --script "${SCRIPT}"
    --audio-in "${WORK}/missing.wav" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "cannot use the audio files")
  message(FATAL_ERROR "a missing input file: (${rc}) ${err}")
endif()
