# cmake -DPROGRAM=... -DARGUMENT=... -DOUTPUT=... -P RunToFile.cmake
# Writes what PROGRAM ARGUMENT prints to OUTPUT; fails when the program does.
execute_process(COMMAND ${PROGRAM} ${ARGUMENT} OUTPUT_FILE ${OUTPUT}.part
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "${PROGRAM} ${ARGUMENT} failed: ${status}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
