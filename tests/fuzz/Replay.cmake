# Runs every harness over its committed corpus; RUNS holds "binary|corpus"
# pairs joined by commas. Fails at the first harness that fails, with its
# output.
string(REPLACE "," ";" runs "${RUNS}")
foreach(run ${runs})
  string(REPLACE "|" ";" pair "${run}")
  list(GET pair 0 binary)
  list(GET pair 1 corpus)
  execute_process(COMMAND ${binary} ${corpus} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message(STATUS "${out}${err}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${binary} failed on ${corpus}: ${result}")
  endif()
endforeach()
