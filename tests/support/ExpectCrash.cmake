# Runs PROBE (through EMULATOR when set) and succeeds only when the probe started,
# printed its marker and then ended with a non-zero status.
set(command ${PROBE})
if(EMULATOR)
  set(command ${EMULATOR} ${PROBE})
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT out MATCHES "crash probe armed")
  message(FATAL_ERROR "the crash probe did not start: status ${status}\n${out}\n${err}")
endif()
if(status EQUAL 0)
  message(FATAL_ERROR "a crashing program ended with status 0: a crash would pass unnoticed")
endif()
message(STATUS "crash reported as status ${status}")
