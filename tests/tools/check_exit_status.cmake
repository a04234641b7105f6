# Runs a program (through EMULATOR when set) and fails unless it exits with
# EXPECTED and prints EXPECTED_STDERR. The Wine launcher merges the program's
# two streams, so the text is looked for in both.
#   cmake -DPROGRAM=... -DARGS=a;b -DEXPECTED=2 -DEXPECTED_STDERR=text [-DEMULATOR=...] -P check_exit_status.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status STREQUAL "${EXPECTED}")
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED}\nstdout: ${out}\nstderr: ${err}")
endif()
if(DEFINED EXPECTED_STDERR AND NOT "${out}${err}" MATCHES "${EXPECTED_STDERR}")
  message(FATAL_ERROR "no '${EXPECTED_STDERR}' in the output: ${out}${err}")
endif()
