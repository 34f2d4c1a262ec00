# Fails if the library's machine code contains a fused multiply-add: one
# rounding instead of two would change the output's bits, and the vector paths
# must give exactly the scalar path's results.
# Usage: cmake -DOBJDUMP=... -DLIBRARY=... -P NoFusedMultiplyAdd.cmake
execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${LIBRARY}
  RESULT_VARIABLE status OUTPUT_VARIABLE code ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not disassemble ${LIBRARY}: ${errors}")
endif()
if(NOT code MATCHES "vdivpd")
  message(FATAL_ERROR "no vector division found in ${LIBRARY}: is this the vectorised library?")
endif()
string(REGEX MATCHALL "[ \t]vf(n?m(add|sub)|maddsub|msubadd)[0-9a-z]*" fused "${code}")
if(fused)
  list(REMOVE_DUPLICATES fused)
  message(FATAL_ERROR "fused multiply-add in ${LIBRARY}: ${fused}")
endif()
