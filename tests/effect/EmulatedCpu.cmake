# Runs the instruction-set path tests on an emulated CPU model and checks that
# they pass (an instruction the model lacks stops the program) and that the
# effect chose the expected path.
# Usage: cmake -DQEMU=... -DCPU=... -DEXPECTED_PATH=... -DPROGRAM=... -P EmulatedCpu.cmake
execute_process(
  COMMAND ${QEMU} -cpu ${CPU} ${PROGRAM} --gtest_filter=SimdPaths.*
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "on a ${CPU} CPU the program failed (${status}):\n${output}\n${errors}")
endif()
if(NOT output MATCHES "fastest path: ${EXPECTED_PATH}\n")
  message(FATAL_ERROR "on a ${CPU} CPU the effect did not choose ${EXPECTED_PATH}:\n${output}")
endif()
message(STATUS "${CPU}: ${EXPECTED_PATH} chosen, every path renders the scalar bits")
