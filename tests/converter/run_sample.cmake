# Runs the converter (through EMULATOR, if set) on INPUT with the fields and options of ARGS
# ('|'-separated) and compares the CSV it writes with EXPECTED, byte for byte.
string(REPLACE "|" ";" args "${ARGS}")
file(REMOVE "${OUTPUT}")
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" "${INPUT}" "${OUTPUT}" ${args}
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "exit code ${code}, expected 0\n${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT}" "${EXPECTED}"
  RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}")
endif()
