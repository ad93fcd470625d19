# Makes the Debian packages of a built tree into OUT, emptied first, for the package tests.
# Arguments: -DCPACK=... -DCONFIG=<build>/CPackConfig.cmake -DOUT=...
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} --config ${CONFIG} -B ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "CPack could not make the packages: ${result}")
endif()
