# cmake -DTOOL=... -DDESTINATION=... -P MakeArchiveIfMissing.cmake
if(EXISTS "${DESTINATION}")
  return()
endif()
execute_process(COMMAND "${TOOL}" "${DESTINATION}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Could not create the empty archive ${DESTINATION}")
endif()
