# pavo-host with WAV files for the engine's audio: a station recorded at 8 kHz
# is copied into the main pane, and what the operator sends is written out as
# a signal quorvel-modem copies back.
#   cmake -DHOST=... -DTOOL=... -DSCRIPT=... -DWORK=... -P check-host-audio.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${TOOL}" encode --mode bpsk --speed 31.25 --carrier 1750 --rate 8000 --snr 5
    --text "CQ de DL1ABC from a file" "${WORK}/in.wav" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "encode failed")
endif()
execute_process(COMMAND "${HOST}" --headless --data "${WORK}/data" --script "${SCRIPT}"
    --audio-in "${WORK}/in.wav" --audio-out "${WORK}/out.wav" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "pane RichEdit1 [^\n]*= \"{#008000}CQ de DL1ABC from a file{/#008000}\"")
  message(FATAL_ERROR "pavo-host (${rc}): ${err}\n${out}")
endif()
execute_process(COMMAND "${TOOL}" decode --mode bpsk --carrier 1750 "${WORK}/out.wav" OUTPUT_VARIABLE sent RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT sent STREQUAL "TEST de R3ABC \n")
  message(FATAL_ERROR "the transmitted audio decodes as \"${sent}\"")
endif()
execute_process(COMMAND "${HOST}" --headless --data "${WORK}/data2" --script "${SCRIPT}"
    --audio-in "${WORK}/missing.wav" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "cannot use the audio files")
  message(FATAL_ERROR "a missing input file: (${rc}) ${err}")
endif()
# A station off frequency, drifting, on a fast sound card: the plug-in's AFC
# and the receiver's clock tracking still copy it; the loopback engine refuses.
get_filename_component(scripts "${SCRIPT}" DIRECTORY)
execute_process(COMMAND "${HOST}" --headless --data "${WORK}/data3" --script "${scripts}/station-offset.script"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "remote 0: 30 Hz off, drifting 6 Hz a minute, clock 200 ppm"
   OR NOT out MATCHES "CQ CQ CQ de DL1ABC DL1ABC pse k")
  message(FATAL_ERROR "station off frequency (${rc}): ${err}\n${out}")
endif()
execute_process(COMMAND "${HOST}" --headless --engine loopback --data "${WORK}/data4"
    --script "${scripts}/station-offset.script" RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "no signals to put off frequency")
  message(FATAL_ERROR "the loopback engine took an offset: (${rc}) ${err}")
endif()
